// A second process for the single-instance tests: exits with 3 when another instance already runs;
// otherwise it is the running instance, says so with 0 at once, or with "hold" stays until killed.
#include "platform/win32/win32_single_instance.h"

#include <windows.h>

#include <cstring>

int main(int argc, char** argv)
{
    korvane::platform::win32::Win32SingleInstance instance(argc > 1 ? argv[1] : "KorvaneTest");
    if (instance.AnotherInstanceRunning())
        return 3;
    if (argc > 2 && std::strcmp(argv[2], "hold") == 0)
        ::Sleep(60000);
    return 0;
}
