#pragma once

namespace korvane::platform {
class Privileges;
class Processes;
} // namespace korvane::platform

namespace korvane::procmon {

inline constexpr const char* kDebugPrivilege = "SeDebugPrivilege";

// Asks once, for the program's own process, for the right to inspect and change other users'
// processes. The answer does not matter: processes that stay closed are left out later.
void EnableDebugPrivilege(platform::Processes& processes, platform::Privileges& privileges);

} // namespace korvane::procmon
