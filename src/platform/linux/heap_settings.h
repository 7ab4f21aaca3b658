#pragma once

namespace korvane::platform::linuxos {

// Makes the C library hand blocks of 128 KiB and more straight back to the system when they are
// freed. By default glibc raises that threshold to the size of the largest block freed so far,
// and later blocks of that size then fragment the heap that it never gives back: the process
// list's picture, rebuilt at every change of a list of thousands of processes, grew the resident
// size by tens of megabytes that way.
void ReturnLargeBlocksToTheSystem();

} // namespace korvane::platform::linuxos
