#include "platform/win32/win32_registry.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace korvane::platform::win32 {

std::optional<std::string> ReadUserBinary(const std::string& subKey, const std::string& name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    std::optional<std::string> bytes;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_BINARY) {
        std::string data(size, '\0');
        DWORD read = size;
        if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) ==
            ERROR_SUCCESS)
            bytes = data.substr(0, read);
    }
    ::RegCloseKey(key);
    return bytes;
}

bool WriteUserBinary(const std::string& subKey, const std::string& name, const std::string& bytes)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const bool written = ::RegSetValueExW(key, Widen(name).c_str(), 0, REG_BINARY,
                                          reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

std::optional<std::string> ReadUserText(const std::string& subKey, const std::string& name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    std::optional<std::string> text;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // One character more than the data, so a value without its NUL still ends in one.
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = size;
        if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                               &read) == ERROR_SUCCESS) {
            const std::size_t characters = std::min<std::size_t>(read / sizeof(wchar_t), data.size() - 1);
            std::wstring value(data.data(), characters);
            value = value.substr(0, value.find(L'\0'));
            text = Narrow(value);
        }
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        DWORD read = sizeof number;
        if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &read) ==
            ERROR_SUCCESS)
            text = std::to_string(number);
    }
    ::RegCloseKey(key);
    return text;
}

bool WriteUserText(const std::string& subKey, const std::string& name, const std::string& text)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring value = Widen(text);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const bool written = ::RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

bool DeleteUserValue(const std::string& subKey, const std::string& name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool deleted = ::RegDeleteValueW(key, Widen(name).c_str()) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return deleted;
}

bool DeleteUserKey(const std::string& subKey)
{
    const std::wstring name = Widen(subKey);
    if (::RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str()) != ERROR_SUCCESS)
        return false;
    // Some systems leave the emptied key itself behind.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, name.c_str());
    return true;
}

} // namespace korvane::platform::win32
