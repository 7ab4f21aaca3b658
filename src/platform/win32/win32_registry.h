#pragma once

#include <optional>
#include <string>

namespace korvane::platform::win32 {

// Text values of a key under HKEY_CURRENT_USER; subKey like "Software\\Tollmere\\Korvane".
// A REG_SZ value may lack its terminating NUL: the text ends at the first NUL or the data's end.
std::optional<std::string> ReadUserText(const std::string& subKey, const std::string& name);
// Creates the key as needed and stores the text as REG_SZ.
bool WriteUserText(const std::string& subKey, const std::string& name, const std::string& text);
// The bytes of a REG_BINARY value.
std::optional<std::string> ReadUserBinary(const std::string& subKey, const std::string& name);
bool WriteUserBinary(const std::string& subKey, const std::string& name, const std::string& bytes);
bool DeleteUserValue(const std::string& subKey, const std::string& name);
// Removes the key with everything under it; false when it did not exist or could not be removed.
bool DeleteUserKey(const std::string& subKey);

} // namespace korvane::platform::win32
