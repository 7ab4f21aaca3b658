#include "procmon/debug_privilege.h"

#include "platform/privileges.h"
#include "platform/processes.h"

namespace korvane::procmon {

void EnableDebugPrivilege(platform::Processes& processes, platform::Privileges& privileges)
{
    privileges.AdjustPrivilege(processes.CurrentProcessId(), kDebugPrivilege, true);
}

} // namespace korvane::procmon
