#include "ui/options_panel.h"

#include "core/settings_store.h"
#include "platform/autostart.h"
#include "platform/dialogs.h"
#include "procmon/affinity_control.h"

namespace korvane::ui {

OptionsPanel::OptionsPanel(MainControls& controls, core::SettingsStore& settings, platform::Autostart& autostart,
                           platform::Dialogs& dialogs, std::string valueName, std::string executablePath)
    : m_controls(controls), m_settings(settings), m_autostart(autostart), m_dialogs(dialogs),
      m_valueName(std::move(valueName)), m_executablePath(std::move(executablePath))
{
}

void OptionsPanel::LayoutPanels()
{
    const forms::PictureBox& picture1 = m_controls.Picture1;
    m_controls.Picture2.Move(picture1.Left(), picture1.Top(), m_controls.Picture2.Width(), m_controls.Picture2.Height());
    m_controls.cpuOptions.Move(picture1.Left(), picture1.Top(), m_controls.cpuOptions.Width(),
                               m_controls.cpuOptions.Height());
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(false);
}

void OptionsPanel::Command4_Click()
{
    m_controls.Picture2.SetVisible(true);
    m_controls.cpuOptions.SetVisible(false);
}

void OptionsPanel::Command6_Click()
{
    m_controls.Picture2.SetVisible(false);
}

void OptionsPanel::Command12_Click()
{
    m_controls.cpuOptions.SetVisible(false);
}

void OptionsPanel::Command13_Click()
{
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(true);
}

void OptionsPanel::Command14_Click()
{
    m_controls.Form.PopupMenu(m_controls.mnuTrayIconColor);
}

void OptionsPanel::Start_Up_Click()
{
    AutostartWanted = m_controls.Start_Up.Value() == 1;
}

bool OptionsPanel::IsAutostartSet()
{
    return m_autostart.IsAutostartSet(m_valueName);
}

void OptionsPanel::SetAutostart(bool enable)
{
    m_autostart.SetAutostart(m_valueName, m_executablePath, enable);
}

void OptionsPanel::Command10_Click()
{
    const int answer =
        m_dialogs.MessageBox(kDeleteSettingsQuestion,
                             platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2,
                             procmon::kProgramTitle);
    if (answer != platform::kAnswerYes)
        return;
    m_settings.DeleteSettings();
    SetAutostart(false);
    SettingsDeleted = true;
    if (Unload)
        Unload();
}

} // namespace korvane::ui
