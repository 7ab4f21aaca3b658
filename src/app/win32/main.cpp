// Korvane on Windows: wires the main window to the Win32 backend and the native front end.
#include "frontend/win32/win32_dialogs.h"
#include "frontend/win32/win32_front_end.h"
#include "frontend/win32/win32_notification_area.h"
#include "frontend/win32/win32_scheduler.h"
#include "frontend/win32/win32_screen.h"
#include "platform/win32/win32_autostart.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_counters.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_icon_source.h"
#include "platform/win32/win32_privileges.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_program_location.h"
#include "platform/win32/win32_settings_storage.h"
#include "platform/win32/win32_single_instance.h"
#include "platform/win32/win32_topology.h"
#include "ui/form1.h"

#include <windows.h>
#include <objbase.h>

namespace {

// COM for this thread while the program runs.
struct ComApartment {
    ComApartment() : initialized(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (initialized)
            ::CoUninitialize();
    }
    bool initialized;
};

} // namespace

int main()
{
    using namespace korvane;
    // DLLs that are not known DLLs load from the system folder, never from beside korvane.exe
    // (a Downloads folder), before anything loads one.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A screen reader in another process receives the lists' accessible objects through COM.
    const ComApartment apartment;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32Processes processes;
    platform::win32::Win32Topology topology;
    platform::win32::Win32Privileges privileges;
    platform::win32::Win32ProgramLocation location;
    platform::win32::Win32Clock clock;
    platform::win32::Win32Counters counters;
    platform::win32::Win32SettingsStorage settings;
    platform::win32::Win32Autostart autostart;
    platform::win32::Win32SingleInstance instance;
    platform::win32::Win32IconSource icons;
    win32front::Win32Scheduler scheduler;
    win32front::Win32Screen screen;
    win32front::Win32NotificationArea tray;
    // The window lays itself out at the screen's exact scale (7.5 twips a pixel at 200 %).
    win32front::Win32MainWindow window(screen, screen.DotsPerInch());
    window.FollowOwnMonitor();
    screen.SetWindow(window.Handle());
    win32front::Win32Dialogs dialogs;
    win32front::Win32FileDialogs fileDialogs;
    dialogs.owner = window.Handle();
    fileDialogs.owner = window.Handle();
    instance.SetWindowHandle(window.HandleValue());

    ui::Form1 form(ui::MachineServices{processes, processes, topology, privileges, files, dialogs, icons, location,
                                       scheduler,
                                       counters, tray, clock, settings, instance, autostart, screen, fileDialogs});
    win32front::Win32FrontEnd frontEnd(form, window, tray, &instance);
    form.OnEnded = [] { ::PostQuitMessage(0); };

    form.Form_Initialize();
    form.Form_Load();
    if (form.Ended())
        return 0;
    frontEnd.ApplySizeLimits();

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab, the arrows between buttons and Space on a button, as in a dialog box.
        HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (!form.Ended())
        form.Unload(ui::kUnloadAppWindows);
    return 0;
}
