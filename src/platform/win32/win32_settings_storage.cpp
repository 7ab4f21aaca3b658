#include "platform/win32/win32_settings_storage.h"

#include "platform/win32/win32_registry.h"

namespace korvane::platform::win32 {

namespace {

std::string SectionKey(const std::string& application, const std::string& section)
{
    return "Software\\" + application + "\\" + section;
}

} // namespace

std::optional<std::string> Win32SettingsStorage::Get(const std::string& application, const std::string& section,
                                                     const std::string& key)
{
    return ReadUserText(SectionKey(application, section), key);
}

bool Win32SettingsStorage::Save(const std::string& application, const std::string& section, const std::string& key,
                                const std::string& value)
{
    return WriteUserText(SectionKey(application, section), key, value);
}

bool Win32SettingsStorage::DeleteSection(const std::string& application, const std::string& section)
{
    return DeleteUserKey(SectionKey(application, section));
}

} // namespace korvane::platform::win32
