#pragma once

#include "platform/fake/fake_autostart.h"
#include "platform/fake/fake_dialogs.h"
#include "platform/fake/fake_file_dialogs.h"
#include "platform/fake/fake_icon_source.h"
#include "platform/fake/fake_notification_area.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_single_instance.h"
#include "platform/fake/memory_settings_storage.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_privileges.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_processor_info.h"
#include "platform/linux/proc_stat_counters.h"
#include "platform/linux/sysfs_topology.h"
#include "platform/program_location.h"
#include "support/temp_folder.h"
#include "ui/form1.h"

#include <memory>
#include <string>

namespace korvane::test {

// A program folder of our choosing.
class FolderLocation : public platform::ProgramLocation {
public:
    explicit FolderLocation(std::string folder) : m_folder(std::move(folder)) {}
    std::string ExecutableFolder() override { return m_folder; }
    std::string ExecutablePath() override { return m_folder + "/korvane"; }
    std::string UserDataFolder() override { return m_folder + "/data"; }

private:
    std::string m_folder;
};

// The main window on this Linux machine: real processes, masks, CPU counters and files in a
// temporary program folder; message boxes, icons, tray, settings and desktop are stand-ins.
struct LiveForm {
    // icons and tray replace the recording stand-ins when given.
    explicit LiveForm(forms::Scheduler& scheduler, platform::IconSource* iconSource = nullptr,
                      platform::NotificationArea* trayArea = nullptr)
        : location(folder.Path()),
          form(ui::MachineServices{processes, processors, topology, privileges, files, dialogs,
                                   iconSource != nullptr ? *iconSource : icons, location, scheduler, counters,
                                   trayArea != nullptr ? *trayArea : tray, clock, settings, instance, autostart,
                                   screen, fileDialogs})
    {
    }
    void Load()
    {
        form.Form_Initialize();
        form.Form_Load();
    }
    std::int32_t RowOfPid(std::int32_t pid)
    {
        const auto& list = form.Controls().List1;
        for (std::int32_t i = 0; i < list.ListCount(); ++i) {
            if (list.ItemData(i) == pid)
                return i;
        }
        return -1;
    }

    TempFolder folder;
    platform::linuxos::LinuxProcesses processes;
    platform::linuxos::LinuxProcessorInfo processors;
    platform::linuxos::LinuxPrivileges privileges;
    platform::linuxos::LinuxFileSystem files;
    platform::linuxos::SysfsTopology topology{files, ""};
    platform::fake::FakeDialogs dialogs;
    platform::fake::FakeIconSource icons;
    FolderLocation location;
    platform::linuxos::ProcStatCounters counters{files};
    platform::fake::FakeNotificationArea tray;
    platform::linuxos::LinuxClock clock;
    platform::fake::MemorySettingsStorage settings;
    platform::fake::FakeSingleInstance instance{std::make_shared<platform::fake::InstanceRegistry>(), 1};
    platform::fake::FakeAutostart autostart;
    platform::fake::FakeScreen screen;
    platform::fake::FakeFileDialogs fileDialogs;
    ui::Form1 form;
};

} // namespace korvane::test
