#pragma once

#include "platform/image/surface.h"
#include "ui/main_controls.h"
#include "ui/scroll_layout.h"
#include "ui/view_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::core { class HiddenNames; }
namespace korvane::platform {
class FileSystem;
class IconSource;
} // namespace korvane::platform
namespace korvane::procmon { class ProcessTable; }

namespace korvane::ui {

class IconCache;

// The placeholder icon: a small computer, a screen above a keyboard, on white.
image::Surface DrawDummyIcon();

// The program's small icon drawn on white at 16 x 16, as the cache keeps it; nullopt without one.
std::optional<image::Surface> SmallIconPicture(platform::IconSource& icons, platform::FileSystem& files,
                                               const std::string& programPath);

// A program path as the icon lookup needs it: "\??\" removed, "\SystemRoot\" replaced by the
// Windows folder.
std::string RewriteSystemPath(std::string path, std::string_view windowsFolder);

// The process list: rows from the process table, a column of program icons from the icon
// cache, an external scroll bar and the wheel, the row selection and the hide buttons.
class ProcessListView {
public:
    ProcessListView(MainControls& controls, ViewState& state, procmon::ProcessTable& table,
                    procmon::ProcessSelection& selection, core::HiddenNames& hidden, IconCache& cache,
                    platform::IconSource& icons, platform::FileSystem& files);

    void SetWindowsFolder(std::string folder) { m_windowsFolder = std::move(folder); }

    // Rebuilds the rows and redraws the icon column, scrolled back to the top.
    void RefreshProcessList();
    void LayoutProcessScroll();
    // One wheel notch on the process list; false when the list is not the wheel's target.
    bool WheelProcessList(std::int32_t rotation);

    // Draws the program's small icon on white into picture and caches it under name; without an
    // icon the picture shows the placeholder and nothing is cached. True when an icon was found.
    bool MakeIconBitmap(const std::string& processPath, const std::string& cacheName, image::Surface& picture);

    void List1_Click();
    void List1_KeyDown(int& keyCode, int shift);
    void List1_GotFocus() { m_state.WheelTarget = 1; }
    void List1_MouseUp(int button, int shift, float x, float y);
    void MainBox_Click();
    // The user changed a CPU box.
    void Check11_MouseUp();
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
    platform::IconSource& m_icons;
    platform::FileSystem& m_files;
    std::string m_windowsFolder;
    int m_refreshCount = 0;
};

} // namespace korvane::ui
