#include "ui/form1.h"

#include "core/affinity.h"
#include "core/list_row.h"
#include "core/program_folder.h"
#include "core/text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/program_location.h"
#include "platform/screen.h"
#include "platform/single_instance.h"
#include "procmon/cpu_check_boxes.h"
#include "procmon/debug_privilege.h"

#include <iterator>

namespace korvane::ui {

namespace {

// The executable's file name without its extension: the autostart entry's name.
std::string ProgramName(const std::string& executablePath, char separator)
{
    std::string name = procmon::FileNameFromPath(executablePath, separator);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name.empty() ? "korvane" : name;
}

} // namespace

Form1::Form1(MachineServices services)
    : m_services(services), m_controls(services.scheduler), m_processControls(m_controls.ForProcessMonitor()),
      m_favoriteRows(m_controls.List2), m_favorites(m_favoriteRows, services.files), m_hidden(services.files),
      m_table(services.processes, m_processControls, m_favorites, m_hidden, services.files.PathSeparator()), m_iconCache(services.files),
      m_programIcons(m_iconCache, services.icons, services.files),
      m_processView(m_controls, m_state, m_table, m_selection, m_hidden, m_iconCache, m_programIcons),
      m_favoritesView(m_controls, m_state, m_favorites, m_iconCache),
      m_affinity(services.processes, services.dialogs, m_processControls, m_selection, m_table,
                 [this] { m_processView.RefreshProcessList(); }),
      m_monitor(m_table, m_affinity, m_processControls, [this] { m_processView.RefreshProcessList(); }),
      m_settings(services.settings), m_usageControls(m_controls.ForUsageMonitor()), m_usageCounters(services.counters),
      m_usageGraph(m_usageControls, services.screen.WindowBackgroundColor(), services.screen.TwipsPerPixelX()),
      m_usage(m_usageCounters, m_usageGraph, m_usageControls, services.clock, services.scheduler),
      m_everyCpu(m_controls, m_selection, m_usage, m_usageGraph, services.screen, m_layout),
      m_trayImage(m_controls.ColurPik, m_controls.ShowTrayColr, m_controls.P2),
      m_trayIcon(services.notificationArea, m_controls.Form, m_controls.mnuFile, tray::DrawProgramIcon(),
                 services.instance.WindowHandle()),
      m_layout(m_controls, m_state, services.screen, m_processView, m_favoritesView),
      m_options(m_controls, m_settings, services.autostart, services.dialogs,
                ProgramName(services.location.ExecutablePath(), services.files.PathSeparator()), services.location.ExecutablePath()),
      m_commands(m_controls, m_favorites, m_hidden, m_selection, m_favoritesView, m_iconCache, m_programIcons,
                 services.files, services.dialogs, services.fileDialogs, [this] { m_processView.RefreshProcessList(); },
                 [this] { m_monitor.Command3_Click(); })
{
    WireEvents();
}

Form1::~Form1()
{
    // Handlers that point back into this window must not outlive it.
    m_controls.Timer1.SetEnabled(false);
    m_controls.Timer2.SetEnabled(false);
    m_controls.Timer3.SetEnabled(false);
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
    for (auto& box : c.Check11)
        box.OnMouseUp = [&view](int /*button*/, int /*shift*/, float /*x*/, float /*y*/) { view.Check11_MouseUp(); };
    c.Vs1.OnChange = [&view] { view.Vs1_Change(); };
    c.Vs1.OnScroll = [&view] { view.Vs1_Scroll(); };
    c.Vs1.OnGotFocus = [&view] { view.Vs1_GotFocus(); };
    c.Command7.OnClick = Saving([&view] { view.Command7_Click(); });
    c.Command8.OnClick = Saving([&view] { view.Command8_Click(); });
    c.ShowAll.OnClick = [&view] { view.ShowAll_Click(); };

    FavoritesView& favorites = m_favoritesView;
    c.List2.OnMouseUp = [this](int b, int s, float x, float y) { List2_MouseUp(b, s, x, y); };
    c.List2.OnKeyDown = [&favorites](int& key, int shift) { favorites.List2_KeyDown(key, shift); };
    c.List2.OnGotFocus = [&favorites] { favorites.List2_GotFocus(); };
    c.MainBox2.OnClick = [&favorites] { favorites.MainBox2_Click(); };
    c.Vs2.OnChange = [&favorites] { favorites.Vs2_Change(); };
    c.Vs2.OnScroll = [&favorites] { favorites.Vs2_Scroll(); };
    c.Vs2.OnGotFocus = [&favorites] { favorites.Vs2_GotFocus(); };
    c.SortFavByAff.OnMouseUp = [&favorites](int b, int s, float x, float y) {
        favorites.SortFavByAff_MouseUp(b, s, x, y);
    };

    procmon::MonitoringLoop& monitor = m_monitor;
    c.Command5.OnClick = [this] { m_affinity.Command5_Click(); };
    c.Command3.OnClick = [&monitor] { monitor.Command3_Click(); };
    c.MnuSetFav.OnClick = [&monitor] { monitor.MnuSetFav_Click(); };
    c.MnuSetFavNow.OnClick = [&monitor] { monitor.MnuSetFavNow_Click(); };
    c.mnuExit.OnClick = [this] { mnuExit_Click(); };
    c.Command15.OnClick = [this] { mnuExit_Click(); };
    m_layout.TrayAvailable = [this] { return m_services.notificationArea.TrayAvailable(); };
    c.Timer1.OnTimer = [this] {
        m_monitor.Timer1_Timer();
        PollShowRequests();
    };
    c.EveryUser.OnClick = [this] { EveryUser_Click(); };
    // Auto Set changed, by its box or the tray menu: the service follows.
    c.Check1.OnClick = [this] { SendFavoritesToService(); };
    c.Timer2.OnTimer = [&monitor] { monitor.Timer2_Timer(); };

    c.Command1.OnClick = Saving([this] { m_commands.Command1_Click(); });
    c.Command9.OnClick = Saving([this] { m_commands.Command9_Click(); });
    c.Command2.OnClick = Saving([this] { m_commands.Command2_Click(); });

    OptionsPanel& options = m_options;
    c.Command4.OnClick = [&options] { options.Command4_Click(); };
    c.Command6.OnClick = [&options] { options.Command6_Click(); };
    c.Command12.OnClick = [&options] { options.Command12_Click(); };
    c.Command13.OnClick = [&options] { options.Command13_Click(); };
    c.Command14.OnClick = [&options] { options.Command14_Click(); };
    c.Command10.OnClick = [&options] { options.Command10_Click(); };
    c.Start_Up.OnClick = [&options] { options.Start_Up_Click(); };
    m_options.Unload = [this] { Unload(kUnloadCode); };

    c.Timer3.OnTimer = [this] {
        m_everyCpu.CheckOnlineCpus();
        m_usage.Timer3_Timer();
    };
    c.Command11.OnClick = [this] { m_usage.Command11_Click(); };
    m_usage.UpdateTrayImage = [this](double total) { UpdateTrayImage(total); };
    for (std::size_t i = 0; i < c.ColurPik.size(); ++i)
        c.ColurPik[i].OnClick = [this, i] { m_trayImage.ColurPik_Click(static_cast<int>(i)); };
    c.P2.OnMouseMove = [this](int b, int s, float x, float y) { m_trayIcon.P2_MouseMove(b, s, x, y); };
    m_trayIcon.RefreshProcessList = [this] { m_processView.RefreshProcessList(); };
    m_trayIcon.ShowMainWindow = [this] { m_layout.ShowMainWindow(); };

    c.Form.OnResize = [this] { m_layout.Form_Resize(); };
    WireEveryCpu();
}

void Form1::WireEveryCpu()
{
    MainControls& c = m_controls;
    EveryCpuView& every = m_everyCpu;
    procmon::CpuSetField& field = c.CpuSetField;
    c.AllCpus.OnClick = [&every] { every.AllCpus_Click(); };
    c.CmdCpus.OnClick = [&every] { every.CmdCpus_Click(); };
    c.TxtCpus.OnUserChange = [this, &field] {
        m_processView.Check11_MouseUp();
        field.Check();
    };
    c.TxtCpus.OnEnter = [&every] { every.TxtCpus_Enter(); };
    every.ApplyTyped = [this] { m_affinity.Command5_Click(); };
    field.ApplyAllowed = [this] { return m_processView.ApplyAllowed(); };
    // "Auto Set Affinity" may give "Apply" back while the typed set cannot be read.
    c.Check1.OnMouseUp = [this, &field](int b, int s, float x, float y) {
        m_monitor.Check1_MouseUp(b, s, x, y);
        field.Check();
    };
    c.PicCpuBars.OnPointAt = [this](int x, int y) {
        m_usage.PointAt(m_controls.PicCpuBars, m_usageGraph.BarPlaces(), x, y);
    };
    c.PicCpuAverages.OnPointAt = [this](int x, int y) {
        m_usage.PointAt(m_controls.PicCpuAverages, m_usageGraph.CellPlaces(), x, y);
    };
}

std::function<void()> Form1::Saving(std::function<void()> handler)
{
    return [this, handler = std::move(handler)] {
        handler();
        SaveChangedFiles();
    };
}

void Form1::SaveChangedFiles()
{
    m_favorites.SaveUnsavedFavorites();
    m_hidden.SaveUnsavedHiddenNames();
    SendFavoritesToService();
}

void Form1::Form_Initialize()
{
    procmon::EnableDebugPrivilege(m_services.processes, m_services.privileges);
}

void Form1::CheckPreviousInstance()
{
    platform::SingleInstance& instance = m_services.instance;
    if (instance.AnotherInstanceRunning()) {
        instance.ShowRunningInstance(m_settings.GetLong(core::kKeyHwnd, 0));
        m_alreadyRunning = true;
        return;
    }
    m_settings.SaveNumber(core::kKeyHwnd, instance.WindowHandle());
}

void Form1::UseStartWatch(platform::StartWatch& watch)
{
    m_startWatcher = std::make_unique<procmon::StartWatcher>(watch, m_services.processes, m_table, m_affinity,
                                                             m_processControls, [this] {
        // A fresh listing first: the dropped starts are not among the ids of the last tick.
        m_monitor.Timer1_Timer();
        m_monitor.Timer2_Timer();
    });
}

void Form1::StartWatch_Ready()
{
    if (m_startWatcher && !m_ended)
        m_startWatcher->StartWatch_Ready();
}

void Form1::Form_Load()
{
    CheckPreviousInstance();
    if (m_alreadyRunning) {
        Unload(kUnloadCode);
        return;
    }
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
    m_layout.HookMainWindow();
    m_controls.Timer1.SetEnabled(true);
    if (m_controls.MiniMe.Value() == 1) {
        // Without a tray it is minimized to the taskbar: shown first, so there is a window to find.
        if (!m_services.notificationArea.TrayAvailable())
            m_layout.ShowMainWindow();
        m_controls.Form.SetState(forms::WindowState::Minimized);
    } else {
        m_layout.ShowMainWindow();
    }
    m_state.ListsReady = true;
    SendFavoritesToService();
    if (m_controls.EveryUser.Value() == 1 && m_systemService != nullptr)
        ApplyEveryUser(false);
}

void Form1::InitializeMainWindow()
{
    m_layout.ReadWorkArea();
    DetectCpus();
    OpenUsageMonitor();

    MainControls& c = m_controls;
    m_options.LayoutPanels();
    c.Vs1.Move(c.MainBox.Left() + c.MainBox.InnerWidth(), c.MainBox.Top(), 255, c.MainBox.Height());
    c.Vs2.Move(c.MainBox2.Left() + c.MainBox2.InnerWidth(), c.MainBox2.Top(), 255, c.MainBox2.Height());
    m_processView.LayoutProcessScroll();
    m_favoritesView.LayoutFavoritesScroll();

    m_programFolder = core::ResolveProgramFolder(m_services.location, m_services.files);
    std::string cacheFolder = core::ResolveCacheFolder(m_services.location, m_programFolder, m_services.files.PathSeparator());
    // A link in the cache's place is not followed: the pictures go to the user's own cache.
    if (!m_services.files.CreateFolder(cacheFolder)) {
        cacheFolder = core::WithTrailingSeparator(m_services.location.UserCacheFolder(), m_services.files.PathSeparator());
        m_services.files.CreateFolder(cacheFolder);
    }
    m_iconCache.SetFolder(cacheFolder);
    // Linux has no Windows folder: system paths are used as the process reports them.
    const std::string windowsFolder = m_services.location.WindowsFolder();
    m_programIcons.SetWindowsFolder(windowsFolder.empty() ? std::string()
                                                          : core::WithTrailingSeparator(windowsFolder, '\\'));

    m_hidden.SetProgramFolder(m_programFolder);
    m_hidden.LoadHiddenNames();

    m_favorites.SetProgramFolder(m_programFolder);
    m_favorites.LoadFavorites();
    m_favoritesView.UpdateFavoritesCaption();
    if (c.List2.ListCount() > 0)
        c.List2.SetSelected(0, true);
    m_favoritesView.UpdateFavIcons();

    ReportUnreadableFiles();
    ReadOptions();
}

void Form1::ReportUnreadableFiles()
{
    std::string paths;
    for (const auto& [failed, path] : {std::pair{m_favorites.ReadFailed(), m_favorites.FilePath()},
                                       std::pair{m_hidden.ReadFailed(), m_hidden.FilePath()}}) {
        if (failed)
            paths += "\n" + path;
    }
    if (paths.empty())
        return;
    m_services.dialogs.MessageBox("Korvane could not read:" + paths +
                                      "\n\nIt works with what it could read, and will not save over these files "
                                      "until it is started again.",
                                  platform::kMbIconWarning, procmon::kProgramTitle);
}

void Form1::DetectCpus()
{
    m_maxCpuIndex = core::DetectMaxCpuIndex(m_services.processors);
    for (int i = 0; i <= m_maxCpuIndex; ++i)
        m_controls.Check11[static_cast<std::size_t>(i)].SetEnabled(true);
    m_everyCpu.DetectCpus(m_services.topology);
}

void Form1::OpenUsageMonitor()
{
    if (m_usageCounters.OpenUsageCounters(m_maxCpuIndex)) {
        m_trayImage.ColurPik_Click(m_settings.GetTrayForeColor());
        ReadCheckBoxSettings(true);
    }
    m_usage.Prepare(m_maxCpuIndex);
    SystemColorsChanged();
    m_usageGraph.InitialState(m_maxCpuIndex);
}

void Form1::SystemColorsChanged()
{
    platform::Screen& screen = m_services.screen;
    cpuusage::UsagePalette palette;
    if (const std::optional<platform::SystemColors> colors = screen.ContrastColors()) {
        palette.system = true;
        palette.window = colors->window;
        palette.text = colors->windowText;
        palette.highlight = colors->highlight;
        palette.gray = colors->grayText;
    }
    m_usageGraph.SetPalette(palette, screen.WindowBackgroundColor());
}

void Form1::UpdateTrayImage(double totalUsage)
{
    if (auto icon = m_trayImage.ComposeTrayIcon(totalUsage, m_controls.TrayAsNum.Value() == 1))
        m_trayIcon.ModifyIcon(std::move(*icon));
}

bool Form1::Unload(int reason)
{
    if (m_ended)
        return true;
    bool cancel = false;
    Form_QueryUnload(cancel, reason);
    if (cancel)
        return false;
    Form_Unload();
    return true;
}

void Form1::Form_QueryUnload(bool& cancel, int reason)
{
    if (m_alreadyRunning)
        return;
    if (reason == kUnloadControlMenu) {
        m_layout.SaveWindowPlacement();
        cancel = true;
        m_controls.Form.SetState(forms::WindowState::Minimized);
        return;
    }
    Shutdown();
}

void Form1::Shutdown()
{
    m_controls.Timer1.SetEnabled(false);
    m_controls.Timer2.SetEnabled(false);
    m_controls.Timer3.SetEnabled(false);
    m_layout.UnhookMainWindow();
    // What the run's actions could not write yet. A file that still cannot be written (held by
    // another program, a full disk) is named rather than lost without a word; a file that could
    // not be read was not to be saved over.
    // (Appended a piece at a time: GCC 12 warns wrongly of overlapping copies for "\n" + path.)
    std::string unsaved;
    if (!m_favorites.SaveUnsavedFavorites() && !m_favorites.ReadFailed())
        unsaved.append("\n").append(m_favorites.FilePath());
    const bool hiddenReadFailed = m_hidden.ReadFailed();
    if (!m_hidden.SaveHiddenNames() && !hiddenReadFailed)
        unsaved.append("\n").append(m_hidden.FilePath());
    if (!unsaved.empty())
        m_services.dialogs.MessageBox("Korvane could not save:" + unsaved +
                                          "\n\nAnother program may be holding the file, or the disk is full. "
                                          "The changes of this run to it are lost.",
                                      platform::kMbIconError, procmon::kProgramTitle);
    if (!m_options.SettingsDeleted)
        SaveSettings();
    m_trayIcon.DeleteIcon();
    m_usageCounters.CloseUsageCounters();
}

void Form1::TaskbarGone()
{
    forms::Window& form = m_controls.Form;
    if (m_ended || form.Visible())
        return;
    form.SetState(forms::WindowState::Minimized);
    form.SetVisible(true);
}

void Form1::Form_Unload()
{
    if (m_form2)
        m_form2.reset();
    m_everyCpu.ClosePicker();
    m_ended = true;
    if (OnEnded)
        OnEnded();
}

} // namespace korvane::ui
