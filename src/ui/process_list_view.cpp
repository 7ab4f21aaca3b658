#include "ui/process_list_view.h"

#include "core/hidden_names.h"
#include "core/list_row.h"
#include "core/text.h"
#include "procmon/cpu_check_boxes.h"
#include "procmon/process_table.h"
#include "ui/icon_cache.h"
#include "ui/program_icons.h"
#include "ui/scroll_layout.h"

namespace korvane::ui {

ProcessListView::ProcessListView(MainControls& controls, ViewState& state, procmon::ProcessTable& table,
                                 procmon::ProcessSelection& selection, core::HiddenNames& hidden,
                                 IconCache& cache, ProgramIcons& icons)
    : m_controls(controls), m_state(state), m_table(table), m_selection(selection), m_hidden(hidden),
      m_cache(cache), m_icons(icons)
{
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
    // The column of a list of thousands of processes is megabytes: drawn again in the same memory.
    image::Surface column = m_controls.ScrollBox.TakePicture();
    column.Reset(kIconPixels, kIconPixels * list1.ListCount(), image::kWhite);
    image::Surface picTemp(kIconPixels, kIconPixels, image::kWhite);
    m_cache.Rescan();
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        picTemp = image::Surface(kIconPixels, kIconPixels, image::kWhite);
        const std::string& row = list1.List(i);
        const std::string name = core::ListRow(row).BareName();
        if (auto cached = m_cache.Load(name)) {
            picTemp = std::move(*cached);
        } else {
            m_icons.MakeIconBitmap(m_table.GetProcessPath(list1.ItemData(i)), name, picTemp);
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
        const std::string affinity = selected >= 0 ? core::ListRow(list1.List(selected)).AffinityText() : "";
        procmon::ShowAffinityInCheckBoxes(affinity, c.CpuBoxes());
        c.CpuSetField.Show(affinity);
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
    m_table.RememberStartTime(m_selection.SelectedProcessId);
    m_table.ShowRowTip(m_selection.SelectedProcessId);
    // A typed set that cannot be read keeps "Apply" off.
    c.CpuSetField.Check();
}

bool ProcessListView::ApplyAllowed() const
{
    const forms::ListBox& list1 = m_controls.List1;
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        if (list1.Selected(i))
            return !(core::ListRow(list1.List(i)).Favorite() && m_controls.Check1.Value() == 1);
    }
    return false;
}

void ProcessListView::Check11_MouseUp()
{
    m_selection.BoxesChangedByUser = true;
}

void ProcessListView::List1_KeyDown(int& keyCode, int shift)
{
    // The keys that move the current row move it here, scrolling as the bar does; the list box
    // itself moves nothing.
    KeyboardMove(Scrolling(), keyCode, shift);
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
