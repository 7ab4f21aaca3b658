#pragma once

#include "ui/main_controls.h"
#include "ui/scroll_layout.h"
#include "ui/view_state.h"

#include <cstdint>

namespace korvane::core { class HiddenNames; }
namespace korvane::procmon { class ProcessTable; }

namespace korvane::ui {

class IconCache;
class ProgramIcons;

// The process list: rows from the process table, a column of program icons from the icon
// cache, an external scroll bar and the wheel, the row selection and the hide buttons.
class ProcessListView {
public:
    ProcessListView(MainControls& controls, ViewState& state, procmon::ProcessTable& table,
                    procmon::ProcessSelection& selection, core::HiddenNames& hidden, IconCache& cache,
                    ProgramIcons& icons);

    // Rebuilds the rows and redraws the icon column, scrolled back to the top.
    void RefreshProcessList();
    void LayoutProcessScroll();
    // One wheel notch on the process list; false when the list is not the wheel's target.
    bool WheelProcessList(std::int32_t rotation);

    void List1_Click();
    void List1_KeyDown(int& keyCode, int shift);
    void List1_GotFocus() { m_state.WheelTarget = 1; }
    void List1_MouseUp(int button, int shift, float x, float y);
    void MainBox_Click();
    // The user changed a CPU box.
    void Check11_MouseUp();
    // Whether "Apply" is for the selected row: one is selected, and it is no favorite that Auto
    // Set looks after.
    bool ApplyAllowed() const;
    void Vs1_Change();
    void Vs1_Scroll() { Vs1_Change(); }
    void Vs1_GotFocus() { m_state.WheelTarget = 1; }
    void Command7_Click();
    void Command8_Click();
    void ShowAll_Click();

    int RefreshCount() const { return m_refreshCount; }
    ScrollingList Scrolling();

private:
    MainControls& m_controls;
    ViewState& m_state;
    procmon::ProcessTable& m_table;
    procmon::ProcessSelection& m_selection;
    core::HiddenNames& m_hidden;
    IconCache& m_cache;
    ProgramIcons& m_icons;
    int m_refreshCount = 0;
};

} // namespace korvane::ui
