#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform { class SettingsStorage; }

namespace korvane::core {

inline constexpr const char* kSettingsApplication = "Tollmere";
inline constexpr const char* kSettingsSection = "Korvane";

inline constexpr const char* kKeyHwnd = "Hwnd";
inline constexpr const char* kKeyTop = "Top";
inline constexpr const char* kKeyLeft = "Left";
inline constexpr const char* kKeyHeight = "Height";
inline constexpr const char* kKeyAutoSet = "AutoSet";
inline constexpr const char* kKeyMiniMe = "MiniMe";
inline constexpr const char* kKeyConfirmRemvFav = "ConfirmRemvFav";
inline constexpr const char* kKeySortFavByAff = "SortFavByAff";
inline constexpr const char* kKeyTrayForeColor = "TrayForeColor";
inline constexpr const char* kKeyTrayAsNum = "TrayAsNum";
inline constexpr const char* kKeyAllCpus = "AllCpus";
inline constexpr const char* kKeyEveryUser = "EveryUser";

inline constexpr std::int32_t kDefaultHeight = 4995;
inline constexpr std::int16_t kDefaultAutoSet = 0;
inline constexpr std::int16_t kDefaultMiniMe = 0;
inline constexpr std::int16_t kDefaultConfirmRemvFav = 1;
inline constexpr std::int16_t kDefaultSortFavByAff = 1;
inline constexpr std::int16_t kDefaultTrayForeColor = 5;
inline constexpr std::int16_t kDefaultTrayAsNum = 0;
inline constexpr std::int16_t kDefaultAllCpus = 0;
inline constexpr std::int16_t kDefaultEveryUser = 0;

// A decimal text as a number rounded to the nearest integer, halves to even; nullopt when the
// text is not a number or the result does not fit.
std::optional<std::int32_t> ParseLong(std::string_view text);
std::optional<std::int16_t> ParseInteger(std::string_view text);

// The program's settings: one section ("Tollmere", "Korvane") of per-user text values. A value
// that is missing, not a number or out of range reads as the key's default.
class SettingsStore {
public:
    explicit SettingsStore(platform::SettingsStorage& storage) : m_storage(storage) {}

    std::string GetSetting(const std::string& key, const std::string& defaultText);
    bool SaveSetting(const std::string& key, const std::string& value);
    void SaveNumber(const std::string& key, std::int64_t value) { SaveSetting(key, std::to_string(value)); }
    // Errors, such as a section that does not exist, are ignored.
    void DeleteSettings();

    // "Hwnd", "Top", "Left", "Height": 32-bit. The default may be fractional and is rounded too.
    std::int32_t GetLong(const std::string& key, double defaultValue);
    // Every other key: 16-bit.
    std::int16_t GetInteger(const std::string& key, std::int16_t defaultValue);
    // A check-box key: 0 or 1, anything else reads as the default.
    std::int16_t GetCheckValue(const std::string& key, std::int16_t defaultValue);
    // "TrayForeColor": 0..7, anything else reads as 5 (red).
    std::int16_t GetTrayForeColor();

private:
    platform::SettingsStorage& m_storage;
};

} // namespace korvane::core
