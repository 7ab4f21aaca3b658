#include "platform/linux/heap_settings.h"

#include <malloc.h>

namespace korvane::platform::linuxos {

void ReturnLargeBlocksToTheSystem()
{
#ifdef M_MMAP_THRESHOLD
    // Setting either value switches off glibc's dynamic adjustment of both.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
#endif
}

} // namespace korvane::platform::linuxos
