#pragma once

#include "ui/main_controls.h"

#include <functional>
#include <string>

namespace korvane::core { class SettingsStore; }
namespace korvane::platform {
class Autostart;
class Dialogs;
} // namespace korvane::platform

namespace korvane::ui {

inline constexpr const char* kDeleteSettingsQuestion = "Delete saved settings and exit?";

// The options panel and the usage panel that cover the affinity controls, the autostart entry
// and "Delete Settings".
class OptionsPanel {
public:
    OptionsPanel(MainControls& controls, core::SettingsStore& settings, platform::Autostart& autostart,
                 platform::Dialogs& dialogs, std::string valueName, std::string executablePath);

    // Both panels over the affinity controls, hidden.
    void LayoutPanels();
    void Command4_Click();  // "Options"
    void Command6_Click();  // "X" of the options panel
    void Command12_Click(); // "X" of the usage panel
    void Command13_Click(); // "CPU"
    void Command14_Click(); // "Color": the tray colour menu
    void Start_Up_Click();
    void Command10_Click(); // "Delete Settings"

    bool IsAutostartSet();
    void SetAutostart(bool enable);

    bool AutostartWanted = false;
    // As found at start: the exit writes the autostart entry only when the box changed, so a
    // switch the user turned off elsewhere meanwhile (Task Manager's) stays off.
    bool AutostartAtStart = false;
    bool SettingsDeleted = false;
    // The real exit that "Delete Settings" ends with.
    std::function<void()> Unload;

private:
    MainControls& m_controls;
    core::SettingsStore& m_settings;
    platform::Autostart& m_autostart;
    platform::Dialogs& m_dialogs;
    std::string m_valueName;
    std::string m_executablePath;
};

} // namespace korvane::ui
