#pragma once

#include "core/favorites_store.h"
#include "core/hidden_names.h"
#include "core/settings_store.h"
#include "cpuusage/usage_counters.h"
#include "cpuusage/usage_graph.h"
#include "cpuusage/usage_statistics.h"
#include "procmon/affinity_control.h"
#include "procmon/monitoring_loop.h"
#include "procmon/process_table.h"
#include "procmon/start_watcher.h"
#include "tray/tray_icon.h"
#include "tray/tray_image.h"
#include "ui/favorites_commands.h"
#include "ui/every_cpu_view.h"
#include "ui/favorites_view.h"
#include "ui/form2.h"
#include "ui/icon_cache.h"
#include "ui/list_box_rows.h"
#include "ui/main_controls.h"
#include "ui/options_panel.h"
#include "ui/process_list_view.h"
#include "ui/program_icons.h"
#include "ui/view_state.h"
#include "ui/window_layout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform {
class Autostart;
class Clock;
class Dialogs;
class FileDialogs;
class FileSystem;
class IconSource;
class NotificationArea;
class PerformanceCounters;
class Privileges;
class Processes;
class ProcessorInfo;
class ProcessorTopology;
class ProgramLocation;
class Screen;
class SettingsStorage;
class SingleInstance;
class StartWatch;
class SystemService;
} // namespace korvane::platform

namespace korvane::ui {

// What the main window reaches the machine through.
struct MachineServices {
    platform::Processes& processes;
    platform::ProcessorInfo& processors;
    platform::ProcessorTopology& topology;
    platform::Privileges& privileges;
    platform::FileSystem& files;
    platform::Dialogs& dialogs;
    platform::IconSource& icons;
    platform::ProgramLocation& location;
    forms::Scheduler& scheduler;
    platform::PerformanceCounters& counters;
    platform::NotificationArea& notificationArea;
    platform::Clock& clock;
    platform::SettingsStorage& settings;
    platform::SingleInstance& instance;
    platform::Autostart& autostart;
    platform::Screen& screen;
    platform::FileDialogs& fileDialogs;
};

// Why the window unloads: its close box, the program itself, the session ending, a task manager.
enum UnloadReason { kUnloadControlMenu = 0, kUnloadCode = 1, kUnloadAppWindows = 2, kUnloadTaskManager = 3 };

// The main window: owns every control and the state of the run, and composes the subsystems
// that work on them. Creating and loading it starts everything; unloading it ends everything.
class Form1 {
public:
    explicit Form1(MachineServices services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1();

    void Form_Initialize();
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int reason);
    void Form_Unload();
    void mnuExit_Click() { Unload(kUnloadCode); }
    // Asks the window to unload: the close box only hides it, every other reason ends the
    // program (once). True when the window unloaded.
    bool Unload(int reason);
    bool Ended() const { return m_ended; }

    // The wheel, routed to the list that is its target: one row a notch (120) or more, parts of
    // a notch added up.
    void MouseWheel(std::int32_t rotation);
    // The system's colours or its contrast setting changed: the usage pictures are drawn in the
    // colours now asked for from the next sample on.
    void SystemColorsChanged();
    // The notification area was recreated: the icon must be added again.
    void TaskbarCreated() { m_trayIcon.Add_Tray(); }
    // The tray went away: a window hidden in it comes back, minimized to the taskbar.
    void TaskbarGone();
    // A second start asked this instance to show its window.
    void PollShowRequests();
    // Favorites are also given the moment a process starts, told by the watch (before Form_Load).
    void UseStartWatch(platform::StartWatch& watch);
    // The start watch has starts waiting.
    void StartWatch_Ready();
    // The system's service (korvaned) gets the favorites and Auto Set at start and after every
    // change, sets processes this window may not, and offers favorites for every user (before
    // Form_Load).
    void UseSystemService(platform::SystemService& service);
    // Sends the favorites when they or Auto Set changed since the last send.
    void SendFavoritesToService();
    void EveryUser_Click();
    void List2_MouseUp(int button, int shift, float x, float y);

    MainControls& Controls() { return m_controls; }
    core::FavoritesStore& Favorites() { return m_favorites; }
    core::HiddenNames& Hidden() { return m_hidden; }
    procmon::ProcessTable& Table() { return m_table; }
    procmon::AffinityControl& Affinity() { return m_affinity; }
    procmon::MonitoringLoop& Monitor() { return m_monitor; }
    // The start watcher, or nullptr when no watch was given.
    procmon::StartWatcher* Starts() { return m_startWatcher.get(); }
    ProcessListView& ProcessView() { return m_processView; }
    procmon::ProcessSelection& Selection() { return m_selection; }
    ViewState& State() { return m_state; }
    cpuusage::UsageCounters& Counters() { return m_usageCounters; }
    cpuusage::UsageStatistics& Usage() { return m_usage; }
    tray::TrayImage& TrayPicture() { return m_trayImage; }
    tray::TrayIcon& Tray() { return m_trayIcon; }
    WindowLayout& Layout() { return m_layout; }
    OptionsPanel& Options() { return m_options; }
    EveryCpuView& EveryCpu() { return m_everyCpu; }
    // The open picker, or nullptr.
    Form2* Picker() { return m_form2 && !m_form2->Closed() ? m_form2.get() : nullptr; }
    const std::string& ProgramFolder() const { return m_programFolder; }
    bool AlreadyRunning() const { return m_alreadyRunning; }

    // The front end ends the program when this runs.
    std::function<void()> OnEnded;
    // A new picker was created (before it is shown): the front end draws it.
    std::function<void(Form2&)> OnPickerCreated;

private:
    void CheckPreviousInstance();
    void InitializeMainWindow();
    void WireEvents();
    void WireEveryCpu();
    void DetectCpus();
    void OpenUsageMonitor();
    void ReadOptions();
    void ReadCheckBoxSettings(bool trayKeys);
    // One message when a data file exists but could not be read: it will not be saved over.
    void ReportUnreadableFiles();
    void UpdateTrayImage(double totalUsage);
    // Writes the favorites and hidden names that a user action changed, so that a crash or a
    // session that ends without an exit loses none of them, and tells the service.
    void SaveChangedFiles();
    // A handler followed by SaveChangedFiles.
    std::function<void()> Saving(std::function<void()> handler);
    void Shutdown();
    void SaveSettings();
    // Asks the service for favorites for every user as the box says; false, the box unticked,
    // when it said no (a message says why where the user asked).
    bool ApplyEveryUser(bool interactive);

    struct SentFavorites {
        std::vector<std::pair<std::string, std::string>> favorites;
        bool autoSet = false;
        bool operator==(const SentFavorites&) const = default;
    };

    MachineServices m_services;
    MainControls m_controls;
    ViewState m_state;
    procmon::ProcessSelection m_selection;
    procmon::ProcessControls m_processControls;
    ListBoxRows m_favoriteRows;
    core::FavoritesStore m_favorites;
    core::HiddenNames m_hidden;
    procmon::ProcessTable m_table;
    IconCache m_iconCache;
    ProgramIcons m_programIcons;
    ProcessListView m_processView;
    FavoritesView m_favoritesView;
    procmon::AffinityControl m_affinity;
    procmon::MonitoringLoop m_monitor;
    core::SettingsStore m_settings;
    cpuusage::UsageControls m_usageControls;
    cpuusage::UsageCounters m_usageCounters;
    cpuusage::UsageGraph m_usageGraph;
    cpuusage::UsageStatistics m_usage;
    EveryCpuView m_everyCpu;
    tray::TrayImage m_trayImage;
    tray::TrayIcon m_trayIcon;
    WindowLayout m_layout;
    OptionsPanel m_options;
    FavoritesCommands m_commands;
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<procmon::StartWatcher> m_startWatcher;
    platform::SystemService* m_systemService = nullptr;
    std::optional<SentFavorites> m_sentToService;
    bool m_revertingEveryUser = false;
    std::string m_programFolder;
    std::int16_t m_maxCpuIndex = 0;
    std::int32_t m_wheelRest = 0; // parts of a notch not yet scrolled
    bool m_alreadyRunning = false;
    bool m_ended = false;
};

} // namespace korvane::ui
