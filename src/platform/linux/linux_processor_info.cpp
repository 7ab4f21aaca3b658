#include "platform/linux/linux_processor_info.h"

#include <unistd.h>

namespace korvane::platform::linuxos {

int LinuxProcessorInfo::LogicalProcessorCount()
{
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

} // namespace korvane::platform::linuxos
