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
#include "tray/tray_icon.h"
#include "tray/tray_image.h"
#include "ui/icon_cache.h"
#include "ui/main_controls.h"
#include "ui/process_list_view.h"
#include "ui/view_state.h"

#include <cstdint>
#include <string>

namespace korvane::platform {
class Clock;
class Dialogs;
class NotificationArea;
class PerformanceCounters;
class SettingsStorage;
class FileSystem;
class IconSource;
class Privileges;
class Processes;
class ProcessorInfo;
class ProgramLocation;
} // namespace korvane::platform

namespace korvane::ui {

// What the main window reaches the machine through.
struct MachineServices {
    platform::Processes& processes;
    platform::ProcessorInfo& processors;
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
};

// The main window: owns every control and the state of the run, and composes the subsystems
// that work on them.
class Form1 {
public:
    explicit Form1(MachineServices services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void Form_Initialize();
    void Form_Load();

    // The wheel, routed to the list that is its target.
    void MouseWheel(std::int32_t rotation);

    MainControls& Controls() { return m_controls; }
    core::FavoritesStore& Favorites() { return m_favorites; }
    core::HiddenNames& Hidden() { return m_hidden; }
    procmon::ProcessTable& Table() { return m_table; }
    procmon::AffinityControl& Affinity() { return m_affinity; }
    procmon::MonitoringLoop& Monitor() { return m_monitor; }
    ProcessListView& ProcessView() { return m_processView; }
    procmon::ProcessSelection& Selection() { return m_selection; }
    cpuusage::UsageCounters& Counters() { return m_usageCounters; }
    cpuusage::UsageStatistics& Usage() { return m_usage; }
    tray::TrayImage& TrayPicture() { return m_trayImage; }
    tray::TrayIcon& Tray() { return m_trayIcon; }
    core::SettingsStore& Settings() { return m_settings; }
    ViewState& State() { return m_state; }
    IconCache& Icons() { return m_iconCache; }
    const std::string& ProgramFolder() const { return m_programFolder; }
    std::int16_t MaxCpuIndex() const { return m_maxCpuIndex; }

private:
    void InitializeMainWindow();
    void WireEvents();
    void DetectCpus();
    void LayoutLists();
    void OpenUsageMonitor();
    void UpdateTrayImage(double totalUsage);
    void ShowMainWindow();

    MachineServices m_services;
    MainControls m_controls;
    ViewState m_state;
    procmon::ProcessSelection m_selection;
    procmon::ProcessControls m_processControls;
    core::FavoritesStore m_favorites;
    core::HiddenNames m_hidden;
    procmon::ProcessTable m_table;
    IconCache m_iconCache;
    ProcessListView m_processView;
    procmon::AffinityControl m_affinity;
    procmon::MonitoringLoop m_monitor;
    core::SettingsStore m_settings;
    cpuusage::UsageControls m_usageControls;
    cpuusage::UsageCounters m_usageCounters;
    cpuusage::UsageGraph m_usageGraph;
    cpuusage::UsageStatistics m_usage;
    tray::TrayImage m_trayImage;
    tray::TrayIcon m_trayIcon;
    std::string m_programFolder;
    std::int16_t m_maxCpuIndex = 0;
};

} // namespace korvane::ui
