// Form1's options: read at start, saved at exit, and the favorites handed to the system service.
#include "ui/form1.h"

#include "core/list_row.h"
#include "core/text.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/system_service.h"

#include <iterator>

namespace korvane::ui {

namespace {

// The settings kept in check boxes, in the order they are written at exit. At start-up the tray's
// are read only when the usage counters opened, the others after the favorites, by readOrder.
struct CheckBoxSetting {
    const char* key;
    forms::CheckBox MainControls::*box;
    std::int16_t defaultValue;
    int readOrder; // 0: a tray key
};
constexpr CheckBoxSetting kCheckBoxSettings[] = {
    {core::kKeyTrayAsNum, &MainControls::TrayAsNum, core::kDefaultTrayAsNum, 0},
    {core::kKeyConfirmRemvFav, &MainControls::ConfirmRemvFav, core::kDefaultConfirmRemvFav, 3},
    {core::kKeyAutoSet, &MainControls::Check2, core::kDefaultAutoSet, 1},
    {core::kKeyMiniMe, &MainControls::MiniMe, core::kDefaultMiniMe, 2},
    {core::kKeySortFavByAff, &MainControls::SortFavByAff, core::kDefaultSortFavByAff, 4},
    {core::kKeyAllCpus, &MainControls::AllCpus, core::kDefaultAllCpus, 5},
    {core::kKeyEveryUser, &MainControls::EveryUser, core::kDefaultEveryUser, 6},
};

} // namespace

void Form1::ReadCheckBoxSettings(bool trayKeys)
{
    const int first = trayKeys ? 0 : 1;
    const int last = trayKeys ? 0 : static_cast<int>(std::size(kCheckBoxSettings));
    for (int order = first; order <= last; ++order) {
        for (const CheckBoxSetting& setting : kCheckBoxSettings) {
            if (setting.readOrder == order)
                (m_controls.*setting.box).SetValue(m_settings.GetCheckValue(setting.key, setting.defaultValue));
        }
    }
}

void Form1::ReadOptions()
{
    MainControls& c = m_controls;
    platform::Screen& screen = m_services.screen;
    const double screenHeight = static_cast<double>(screen.ScreenHeightPixels()) * screen.TwipsPerPixelY();
    const double screenWidth = static_cast<double>(screen.ScreenWidthPixels()) * screen.TwipsPerPixelX();
    m_layout.SavedTop = m_settings.GetLong(core::kKeyTop, (screenHeight - c.Form.Height()) / 2);
    m_layout.SavedLeft = m_settings.GetLong(core::kKeyLeft, (screenWidth - c.Form.Width()) / 2);
    m_layout.SavedHeight = m_settings.GetLong(core::kKeyHeight, core::kDefaultHeight);

    // The rows were ordered before the option was read: order them again if it differs.
    const std::int16_t sortedBy = c.SortFavByAff.Value();
    ReadCheckBoxSettings(false);
    if (c.SortFavByAff.Value() != sortedBy)
        m_favoritesView.UpdateFavIcons();
    c.Start_Up.SetValue(m_options.IsAutostartSet() ? 1 : 0);
    m_options.AutostartWanted = c.Start_Up.Value() == 1;
    m_options.AutostartAtStart = m_options.AutostartWanted;

    c.Check1.SetValue(c.Check2.Value());
    if (c.Check1.Value() == 1)
        m_monitor.Check1_MouseUp(forms::kLeftButton, 0, 0.0F, 0.0F);
}

void Form1::SaveSettings()
{
    MainControls& c = m_controls;
    if (m_options.AutostartWanted != m_options.AutostartAtStart)
        m_options.SetAutostart(m_options.AutostartWanted);
    m_settings.SaveNumber(core::kKeyTrayForeColor, core::ParseInteger(c.ShowTrayColr.Tag()).value_or(0));
    for (const CheckBoxSetting& setting : kCheckBoxSettings)
        m_settings.SaveNumber(setting.key, (c.*setting.box).Value());
    m_layout.SaveWindowPlacement();
    m_settings.SaveNumber(core::kKeyTop, m_layout.SavedTop);
    m_settings.SaveNumber(core::kKeyLeft, m_layout.SavedLeft);
    m_settings.SaveNumber(core::kKeyHeight, m_layout.SavedHeight);
}

void Form1::UseSystemService(platform::SystemService& service)
{
    m_systemService = &service;
    m_affinity.UseSystemService(&service);
    m_controls.EveryUser.SetVisible(true);
    m_controls.EveryUser.SetEnabled(service.Available());
    service.OnAvailable = [this] {
        // A service that came (again) knows nothing of this window yet.
        m_sentToService.reset();
        m_controls.EveryUser.SetEnabled(true);
        SendFavoritesToService();
        if (m_controls.EveryUser.Value() == 1)
            ApplyEveryUser(false);
    };
}

void Form1::SendFavoritesToService()
{
    if (m_systemService == nullptr || !m_systemService->Available())
        return;
    // What the window itself would set at a start: rows it can apply, not hidden names.
    SentFavorites sent;
    const forms::ListBox& list2 = m_controls.List2;
    for (std::int32_t f = 0; f < list2.ListCount(); ++f) {
        const core::ListRow row(list2.List(f));
        std::string name = row.Name();
        std::string cpus = row.AffinityText();
        const auto set = core::CpuSetToApply(cpus);
        if (name.empty() || !set || set->Empty() || set->Highest() > m_controls.CpuSetField.HighestCpu() ||
            m_hidden.IsHidden(name))
            continue;
        sent.favorites.emplace_back(std::move(name), std::move(cpus));
    }
    sent.autoSet = m_controls.Check1.Value() == 1;
    if (m_sentToService && *m_sentToService == sent)
        return;
    m_systemService->SetFavorites(sent.favorites, sent.autoSet);
    m_sentToService = std::move(sent);
}

bool Form1::ApplyEveryUser(bool interactive)
{
    MainControls& c = m_controls;
    const bool on = c.EveryUser.Value() == 1;
    // Off needs no service: without one, nothing applies to other users anyway.
    if (!on && (m_systemService == nullptr || !m_systemService->Available()))
        return true;
    std::string reason = m_systemService == nullptr || !m_systemService->Available()
                             ? std::string("korvaned, Korvane's system service, is not running")
                             : m_systemService->ApplyToEveryUser(on, interactive);
    if (reason.empty())
        return true;
    // Not in effect: the box says so by being unticked.
    m_revertingEveryUser = true;
    c.EveryUser.SetValue(on ? 0 : 1);
    m_revertingEveryUser = false;
    if (interactive)
        m_services.dialogs.MessageBox("Favorites for every user could not be turned " + std::string(on ? "on" : "off") +
                                          ":\n\n" + reason,
                                      platform::kMbIconError, procmon::kProgramTitle);
    return false;
}

void Form1::EveryUser_Click()
{
    if (!m_revertingEveryUser && m_state.ListsReady)
        ApplyEveryUser(true);
}

} // namespace korvane::ui
