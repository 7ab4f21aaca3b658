#include "core/settings_store.h"

#include "platform/settings_storage.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvane::core {

namespace {

std::optional<double> ParseNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename Int>
std::optional<Int> RoundToInt(double value)
{
    // The default rounding mode rounds halves to even.
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<std::int32_t> ParseLong(std::string_view text)
{
    const auto value = ParseNumber(text);
    return value ? RoundToInt<std::int32_t>(*value) : std::nullopt;
}

std::optional<std::int16_t> ParseInteger(std::string_view text)
{
    const auto value = ParseNumber(text);
    return value ? RoundToInt<std::int16_t>(*value) : std::nullopt;
}

std::string SettingsStore::GetSetting(const std::string& key, const std::string& defaultText)
{
    auto value = m_storage.Get(kSettingsApplication, kSettingsSection, key);
    return value ? *value : defaultText;
}

bool SettingsStore::SaveSetting(const std::string& key, const std::string& value)
{
    return m_storage.Save(kSettingsApplication, kSettingsSection, key, value);
}

void SettingsStore::DeleteSettings()
{
    m_storage.DeleteSection(kSettingsApplication, kSettingsSection);
}

std::int32_t SettingsStore::GetLong(const std::string& key, double defaultValue)
{
    const auto fallback = RoundToInt<std::int32_t>(defaultValue).value_or(0);
    const auto text = m_storage.Get(kSettingsApplication, kSettingsSection, key);
    if (!text)
        return fallback;
    return ParseLong(*text).value_or(fallback);
}

std::int16_t SettingsStore::GetInteger(const std::string& key, std::int16_t defaultValue)
{
    const auto text = m_storage.Get(kSettingsApplication, kSettingsSection, key);
    if (!text)
        return defaultValue;
    return ParseInteger(*text).value_or(defaultValue);
}

std::int16_t SettingsStore::GetCheckValue(const std::string& key, std::int16_t defaultValue)
{
    const std::int16_t value = GetInteger(key, defaultValue);
    return (value == 0 || value == 1) ? value : defaultValue;
}

std::int16_t SettingsStore::GetTrayForeColor()
{
    const std::int16_t value = GetInteger(kKeyTrayForeColor, kDefaultTrayForeColor);
    return (value >= 0 && value <= 7) ? value : kDefaultTrayForeColor;
}

} // namespace korvane::core
