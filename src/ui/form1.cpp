#include "ui/form1.h"

#include "core/affinity.h"
#include "core/program_folder.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "procmon/debug_privilege.h"

namespace korvane::ui {

Form1::Form1(MachineServices services)
    : m_services(services), m_controls(services.scheduler), m_processControls(m_controls.ForProcessMonitor()),
      m_favorites(m_controls.List2, m_controls.Label5, services.files), m_hidden(services.files),
      m_table(services.processes, m_processControls, m_favorites, m_hidden), m_iconCache(services.files),
      m_processView(m_controls, m_state, m_table, m_selection, m_hidden, m_iconCache, services.icons, services.files),
      m_affinity(services.processes, services.dialogs, m_processControls, m_selection,
                 [this] { m_processView.RefreshProcessList(); }),
      m_monitor(m_table, m_affinity, m_processControls, [this] { m_processView.RefreshProcessList(); }),
      m_settings(services.settings), m_usageControls(m_controls.ForUsageMonitor()), m_usageCounters(services.counters),
      m_usageGraph(m_usageControls), m_usage(m_usageCounters, m_usageGraph, m_usageControls, services.clock,
                                             services.scheduler),
      m_trayImage(m_controls.ColurPik, m_controls.ShowTrayColr, m_controls.P2),
      m_trayIcon(services.notificationArea, m_controls.Form, m_controls.mnuFile, tray::DrawProgramIcon(),
                 services.processes.CurrentProcessId())
{
    WireEvents();
}

void Form1::WireEvents()
{
    MainControls& c = m_controls;
    ProcessListView& view = m_processView;
    c.List1.OnClick = [&view] { view.List1_Click(); };
    c.List1.OnKeyDown = [&view](int& key, int shift) { view.List1_KeyDown(key, shift); };
    c.List1.OnGotFocus = [&view] { view.List1_GotFocus(); };
    c.List1.OnMouseUp = [&view](int b, int s, float x, float y) { view.List1_MouseUp(b, s, x, y); };
    c.MainBox.OnClick = [&view] { view.MainBox_Click(); };
    c.Vs1.OnChange = [&view] { view.Vs1_Change(); };
    c.Vs1.OnScroll = [&view] { view.Vs1_Scroll(); };
    c.Vs1.OnGotFocus = [&view] { view.Vs1_GotFocus(); };
    c.Command7.OnClick = [&view] { view.Command7_Click(); };
    c.Command8.OnClick = [&view] { view.Command8_Click(); };
    c.ShowAll.OnClick = [&view] { view.ShowAll_Click(); };

    procmon::MonitoringLoop& monitor = m_monitor;
    c.Command5.OnClick = [this] { m_affinity.Command5_Click(); };
    c.Command3.OnClick = [&monitor] { monitor.Command3_Click(); };
    c.Check1.OnMouseUp = [&monitor](int b, int s, float x, float y) { monitor.Check1_MouseUp(b, s, x, y); };
    c.MnuSetFav.OnClick = [&monitor] { monitor.MnuSetFav_Click(); };
    c.MnuSetFavNow.OnClick = [&monitor] { monitor.MnuSetFavNow_Click(); };
    c.Timer1.OnTimer = [&monitor] { monitor.Timer1_Timer(); };
    c.Timer2.OnTimer = [&monitor] { monitor.Timer2_Timer(); };

    c.Timer3.OnTimer = [this] { m_usage.Timer3_Timer(); };
    c.Command11.OnClick = [this] { m_usage.Command11_Click(); };
    m_usage.UpdateTrayImage = [this](double total) { UpdateTrayImage(total); };
    for (std::size_t i = 0; i < c.ColurPik.size(); ++i)
        c.ColurPik[i].OnClick = [this, i] { m_trayImage.ColurPik_Click(static_cast<int>(i)); };
    c.P2.OnMouseMove = [this](int b, int s, float x, float y) { m_trayIcon.P2_MouseMove(b, s, x, y); };
    m_trayIcon.RefreshProcessList = [this] { m_processView.RefreshProcessList(); };
    m_trayIcon.ShowMainWindow = [this] { ShowMainWindow(); };
}

void Form1::Form_Initialize()
{
    procmon::EnableDebugPrivilege(m_services.processes, m_services.privileges);
}

void Form1::Form_Load()
{
    m_services.scheduler.DoEvents();
    InitializeMainWindow();
    if (m_usageCounters.CountersUnavailable)
        m_controls.Command13.SetEnabled(false);
    m_trayIcon.Add_Tray();
    m_monitor.Timer1_Timer();
    m_usage.StartTime = m_services.clock.Now();
    m_usage.LastTickTime = m_usage.StartTime;
    if (!m_usageCounters.CountersUnavailable) {
        m_usage.Timer3_Timer();
        m_usage.Command11_Click();
    }
    m_controls.Timer1.SetEnabled(true);
    ShowMainWindow();
    m_state.ListsReady = true;
}

void Form1::OpenUsageMonitor()
{
    if (m_usageCounters.OpenUsageCounters(m_maxCpuIndex)) {
        m_trayImage.ColurPik_Click(m_settings.GetTrayForeColor());
        m_controls.TrayAsNum.SetValue(m_settings.GetCheckValue(core::kKeyTrayAsNum, core::kDefaultTrayAsNum));
    }
    m_usage.Prepare(m_maxCpuIndex);
    m_usageGraph.InitialState(m_maxCpuIndex);
}

void Form1::UpdateTrayImage(double totalUsage)
{
    if (auto icon = m_trayImage.ComposeTrayIcon(totalUsage, m_controls.TrayAsNum.Value() == 1))
        m_trayIcon.ModifyIcon(std::move(*icon));
}

void Form1::ShowMainWindow()
{
    m_controls.Form.SetState(forms::WindowState::Normal);
    m_controls.Form.SetVisible(true);
}

void Form1::InitializeMainWindow()
{
    DetectCpus();
    OpenUsageMonitor();
    LayoutLists();

    m_programFolder = core::ResolveProgramFolder(m_services.location, m_services.files);
    const std::string cacheFolder = m_programFolder + "cache/";
    m_services.files.CreateFolder(cacheFolder);
    m_iconCache.SetFolder(cacheFolder);

    m_hidden.SetProgramFolder(m_programFolder);
    m_hidden.LoadHiddenNames();

    m_favorites.SetProgramFolder(m_programFolder);
    m_favorites.LoadFavorites();
    m_favorites.UpdateFavoritesCaption();
    if (m_controls.List2.ListCount() > 0)
        m_controls.List2.SetSelected(0, true);
    m_favorites.OrderFavorites(true);
}

void Form1::DetectCpus()
{
    m_maxCpuIndex = core::DetectMaxCpuIndex(m_services.processors);
    for (int i = 0; i <= m_maxCpuIndex; ++i)
        m_controls.Check11[static_cast<std::size_t>(i)].SetEnabled(true);
}

void Form1::LayoutLists()
{
    MainControls& c = m_controls;
    c.Vs1.Move(c.MainBox.Left() + c.MainBox.InnerWidth(), c.MainBox.Top(), 255, c.MainBox.Height());
    c.Vs2.Move(c.MainBox2.Left() + c.MainBox2.InnerWidth(), c.MainBox2.Top(), 255, c.MainBox2.Height());
    m_processView.LayoutProcessScroll();
}

void Form1::MouseWheel(std::int32_t rotation)
{
    m_processView.WheelProcessList(rotation);
}

} // namespace korvane::ui
