#pragma once

#include <functional>

#include "core/list_row.h"
#include "platform/fake/fake_autostart.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_counters.h"
#include "platform/fake/fake_dialogs.h"
#include "platform/fake/fake_file_dialogs.h"
#include "platform/fake/fake_icon_source.h"
#include "platform/fake/fake_machine.h"
#include "platform/fake/fake_notification_area.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_single_instance.h"
#include "platform/fake/memory_file_system.h"
#include "platform/fake/memory_settings_storage.h"
#include "platform/forms/scheduler.h"
#include "platform/program_location.h"
#include "ui/form1.h"

#include <memory>
#include <string>
#include <vector>

namespace korvane::test {

inline constexpr const char* kProgramFolder = "/opt/korvane/";

class FakeLocation : public platform::ProgramLocation {
public:
    std::string ExecutableFolder() override { return folder; }
    std::string ExecutablePath() override { return path; }
    std::string UserDataFolder() override { return dataFolder; }
    std::string WindowsFolder() override { return windowsFolder; }

    std::string folder = "/opt/korvane";
    std::string path = "/opt/korvane/korvane";
    std::string dataFolder = "/home/user/.local/share/Korvane";
    std::string windowsFolder;
};

// A wall clock that follows the virtual time of a scheduler, and that tests can set forward or back.
class SchedulerClock : public platform::Clock {
public:
    explicit SchedulerClock(forms::VirtualScheduler& scheduler) : m_scheduler(scheduler) {}
    std::int64_t Now() override { return 1'700'000'000 + m_offset + m_scheduler.Now().count() / 1000; }
    void Advance(std::int64_t seconds) { m_offset += seconds; }

private:
    forms::VirtualScheduler& m_scheduler;
    std::int64_t m_offset = 0;
};

// The main window on a simulated machine with virtual time.
struct FakeForm {
    explicit FakeForm(int processors = 4) : machine(processors) { files.CreateFolder("/opt/korvane"); }
    // A machine with Windows paths, the program in the root of drive C: "C:\\korvane.exe".
    explicit FakeForm(platform::fake::PathStyle style) : files(style)
    {
        location.folder = "C:\\";
        location.path = "C:\\korvane.exe";
        location.dataFolder = "C:\\Users\\u\\AppData\\Roaming\\Korvane";
        location.windowsFolder = "C:\\Windows";
        fileDialogs.programFilterFirst = true;
        files.CreateFolder("C:\\");
    }

    // Creates and loads the window; files and processes set up before are what it finds.
    ui::Form1& Start()
    {
        form = std::make_unique<ui::Form1>(ui::MachineServices{machine, machine, machine, machine, files, dialogs,
                                                               icons,
                                                               location, scheduler, counters, tray,
                                                               clock, settings, instance, autostart, screen,
                                                               fileDialogs});
        if (beforeLoad)
            beforeLoad(*form);
        form->Form_Initialize();
        form->Form_Load();
        return *form;
    }

    // Moves virtual time in steps so each timer sees every tick.
    // Virtual time moves the wall clock with it.
    void Run(int milliseconds) { scheduler.Advance(std::chrono::milliseconds{milliseconds}); }

    ui::MainControls& Controls() { return form->Controls(); }
    // Runs between creating the window and loading it (services given before Form_Load).
    std::function<void(ui::Form1&)> beforeLoad;

    std::vector<std::string> Rows(const forms::ListBox& list) const
    {
        std::vector<std::string> rows;
        for (std::int32_t i = 0; i < list.ListCount(); ++i)
            rows.push_back(list.List(i));
        return rows;
    }
    std::vector<std::string> ProcessRows() { return Rows(Controls().List1); }
    std::int32_t RowOf(const std::string& name)
    {
        const auto& list = Controls().List1;
        for (std::int32_t i = 0; i < list.ListCount(); ++i) {
            if (list.List(i).find(name) != std::string::npos)
                return i;
        }
        return -1;
    }
    std::int32_t RowOfFavorite(const std::string& name)
    {
        const auto& list = Controls().List2;
        for (std::int32_t i = 0; i < list.ListCount(); ++i) {
            if (core::ListRow(list.List(i)).Name() == name)
                return i;
        }
        return -1;
    }
    void AddFavoriteFile(const std::vector<std::string>& rows)
    {
        std::string content;
        for (const auto& row : rows)
            content += row + "\r\n";
        files.PutFile(std::string(kProgramFolder) + "MyFav.Affinity", content);
    }

    platform::fake::FakeMachine machine;
    platform::fake::MemoryFileSystem files;
    platform::fake::FakeDialogs dialogs;
    platform::fake::FakeIconSource icons;
    FakeLocation location;
    forms::VirtualScheduler scheduler;
    platform::fake::FakeCounters counters;
    platform::fake::FakeNotificationArea tray;
    SchedulerClock clock{scheduler};
    platform::fake::MemorySettingsStorage settings;
    std::shared_ptr<platform::fake::InstanceRegistry> registry = std::make_shared<platform::fake::InstanceRegistry>();
    platform::fake::FakeSingleInstance instance{registry, 4242};
    platform::fake::FakeAutostart autostart;
    platform::fake::FakeScreen screen;
    platform::fake::FakeFileDialogs fileDialogs;
    std::unique_ptr<ui::Form1> form;
};

inline std::string Row(const std::string& name, const std::string& affinity)
{
    return core::ListRow::NameFieldOf(name) + affinity;
}

} // namespace korvane::test
