#include "ui/process_list_view.h"

#include "core/hidden_names.h"
#include "core/list_row.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/icon_source.h"
#include "procmon/cpu_check_boxes.h"
#include "procmon/process_table.h"
#include "ui/icon_cache.h"
#include "ui/scroll_layout.h"

namespace korvane::ui {

image::Surface DrawDummyIcon()
{
    using image::Rgb;
    const image::Color black = image::kBlack;
    const image::Color grey = Rgb(128, 128, 128);
    const image::Color light = Rgb(192, 192, 192);
    image::Surface icon(kIconPixels, kIconPixels, image::kWhite);
    // Screen: a black frame round a grey glass, rows 1 to 9.
    icon.FillRect(2, 1, 12, 9, black);
    icon.FillRect(3, 2, 10, 7, grey);
    icon.FillRect(4, 3, 3, 1, light); // a glint
    // Stand.
    icon.FillRect(7, 10, 2, 1, black);
    // Keyboard: rows 11 to 14, black outline, grey keys on white.
    icon.FillRect(1, 11, 14, 4, black);
    icon.FillRect(2, 12, 12, 2, image::kWhite);
    for (int x = 2; x < 14; x += 2)
        icon.SetPixel(x, 12, grey);
    for (int x = 3; x < 14; x += 2)
        icon.SetPixel(x, 13, grey);
    return icon;
}

std::string RewriteSystemPath(std::string path, std::string_view windowsFolder)
{
    if (path.find("\\??\\") != std::string::npos) {
        std::string cleaned;
        for (std::size_t pos = 0;;) {
            const auto hit = path.find("\\??\\", pos);
            cleaned.append(path, pos, hit == std::string::npos ? std::string::npos : hit - pos);
            if (hit == std::string::npos)
                break;
            pos = hit + 4;
        }
        path = std::move(cleaned);
    }
    if (path.find("\\SystemRoot\\") != std::string::npos)
        path = core::ReplaceAllIgnoreCase(path, "\\SystemRoot\\", windowsFolder);
    return path;
}

ProcessListView::ProcessListView(MainControls& controls, ViewState& state, procmon::ProcessTable& table,
                                 procmon::ProcessSelection& selection, core::HiddenNames& hidden,
                                 IconCache& cache, platform::IconSource& icons, platform::FileSystem& files)
    : m_controls(controls), m_state(state), m_table(table), m_selection(selection), m_hidden(hidden),
      m_cache(cache), m_icons(icons), m_files(files)
{
}

std::optional<image::Surface> SmallIconPicture(platform::IconSource& icons, platform::FileSystem& files,
                                               const std::string& programPath)
{
    if (programPath.empty())
        return std::nullopt;
    const auto icon = icons.ExtractSmallIcon(files.ShortPathOf(programPath));
    if (!icon)
        return std::nullopt;
    image::Surface picture(kIconPixels, kIconPixels, image::kWhite);
    image::DrawIcon(picture, 0, 0, *icon);
    return picture;
}

bool ProcessListView::MakeIconBitmap(const std::string& processPath, const std::string& cacheName,
                                     image::Surface& picture)
{
    auto icon = SmallIconPicture(m_icons, m_files, RewriteSystemPath(processPath, m_windowsFolder));
    if (!icon) {
        picture = DrawDummyIcon();
        return false;
    }
    picture = std::move(*icon);
    m_cache.Save(cacheName, picture);
    return true;
}

void ProcessListView::RefreshProcessList()
{
    ++m_refreshCount;
    forms::Window& form = m_controls.Form;
    if (m_state.ListsReady)
        form.SetUpdatesFrozen(true);

    m_table.RefreshProcessTable();

    ScrollToTop(Scrolling());
    LayoutProcessScroll();

    const forms::ListBox& list1 = m_controls.List1;
    image::Surface column(kIconPixels, kIconPixels * list1.ListCount(), image::kWhite);
    image::Surface picTemp(kIconPixels, kIconPixels, image::kWhite);
    m_cache.Rescan();
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        picTemp = image::Surface(kIconPixels, kIconPixels, image::kWhite);
        const std::string& row = list1.List(i);
        const std::string name = core::ListRow(row).BareName();
        if (auto cached = m_cache.Load(name)) {
            picTemp = std::move(*cached);
        } else {
            MakeIconBitmap(m_table.GetProcessPath(list1.ItemData(i)), name, picTemp);
        }
        column.BlockCopy(0, i * kIconPixels, kIconPixels, kIconPixels, picTemp, 0, 0);
    }
    m_controls.ScrollBox.SetPicture(std::move(column));

    if (list1.ListCount() == 0) {
        m_controls.Command1.SetEnabled(false);
        m_controls.Command5.SetEnabled(false);
        m_controls.Command7.SetEnabled(false);
        m_controls.Command8.SetEnabled(false);
    }
    if (m_state.ListsReady)
        form.SetUpdatesFrozen(false);
}

ScrollingList ProcessListView::Scrolling()
{
    return ScrollingList{m_controls.List1, m_controls.MainBox, m_controls.ScrollBox, m_controls.Vs1,
                         m_state.ProcessScrollTop};
}

void ProcessListView::LayoutProcessScroll()
{
    LayoutScroll(Scrolling());
}

bool ProcessListView::WheelProcessList(std::int32_t rotation)
{
    if (m_state.WheelTarget != 1)
        return false;
    WheelScroll(Scrolling(), rotation);
    return true;
}

void ProcessListView::List1_Click()
{
    MainControls& c = m_controls;
    c.Command7.SetEnabled(true);
    c.Command8.SetEnabled(true);
    c.Command1.SetEnabled(true);
    c.Command5.SetEnabled(true);

    const forms::ListBox& list1 = c.List1;
    std::int32_t selected = -1;
    for (std::int32_t i = 0; i < list1.ListCount() && selected < 0; ++i) {
        if (list1.Selected(i))
            selected = i;
    }
    // A rebuild that selects the same process again keeps what the user ticked and not yet applied.
    const bool keepBoxes = m_selection.BoxesChangedByUser && selected >= 0 &&
                           list1.ItemData(selected) == m_selection.SelectedProcessId;
    if (!keepBoxes) {
        m_selection.BoxesChangedByUser = false;
        procmon::ShowAffinityInCheckBoxes(selected >= 0 ? core::ListRow(list1.List(selected)).AffinityText() : "",
                                          c.CpuBoxes());
    }
    if (selected < 0)
        return;
    const std::string& row = list1.List(selected);
    const bool favorite = core::ListRow(row).Favorite();
    const bool hidden = core::ListRow(row).Hidden();
    if (favorite || hidden)
        c.Command7.SetEnabled(false);
    if (favorite) {
        c.Command8.SetEnabled(false);
        c.Command1.SetEnabled(false);
        if (c.Check1.Value() == 1)
            c.Command5.SetEnabled(false);
    }
    if (!favorite && !hidden)
        c.Command8.SetEnabled(false);
    m_selection.SelectedProcessName = core::ListRow(row).NameWithoutFavoriteMark();
    m_selection.SelectedProcessId = list1.ItemData(selected);
}

void ProcessListView::Check11_MouseUp()
{
    m_selection.BoxesChangedByUser = true;
}

void ProcessListView::List1_KeyDown(int& keyCode, int /*shift*/)
{
    // The list is moved only by the scroll bar and the wheel.
    keyCode = 0;
}

void ProcessListView::List1_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/)
{
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(false);
    m_state.WheelTarget = 1;
    m_controls.Form.SetFocus();
}

void ProcessListView::MainBox_Click()
{
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(false);
}

void ProcessListView::Vs1_Change()
{
    m_state.ProcessScrollTop = -m_controls.Vs1.Value();
    LayoutProcessScroll();
    m_state.WheelTarget = 1;
}

void ProcessListView::Command7_Click()
{
    m_controls.Timer1.SetEnabled(false);
    const forms::ListBox& list1 = m_controls.List1;
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        if (!list1.Selected(i))
            continue;
        const std::string name = core::ListRow(list1.List(i)).NameWithoutHiddenMark();
        if (!m_hidden.IsHidden(name)) {
            m_hidden.HideName(name);
            RefreshProcessList();
            break;
        }
    }
    m_controls.Timer1.SetEnabled(true);
}

void ProcessListView::Command8_Click()
{
    m_controls.Timer1.SetEnabled(false);
    const forms::ListBox& list1 = m_controls.List1;
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        if (!list1.Selected(i))
            continue;
        const std::string name = core::ListRow(list1.List(i)).NameAfterMarker();
        if (m_hidden.UnhideName(name))
            RefreshProcessList();
        break;
    }
    m_controls.Timer1.SetEnabled(true);
}

void ProcessListView::ShowAll_Click()
{
    RefreshProcessList();
    m_state.WheelTarget = 1;
    m_controls.Form.SetFocus();
}

} // namespace korvane::ui
