#pragma once

#include "platform/screen.h"
#include "ui/main_controls.h"
#include "ui/view_state.h"

#include <cstdint>
#include <functional>



namespace korvane::ui {

class FavoritesView;
class ProcessListView;

inline constexpr std::int32_t kMainWindowWidth = 10755; // twips, always
inline constexpr std::int32_t kMinimumHeightPixels = 33;

// The size limits the window manager is told, in pixels.
struct SizeLimits {
    std::int32_t maxSizeWidth, maxSizeHeight;
    std::int32_t maxPositionX, maxPositionY;
    std::int32_t minTrackWidth, minTrackHeight;
    std::int32_t maxTrackWidth, maxTrackHeight;
};

// The main window's size and place: fixed width, bounded height, the lists following the height,
// hiding to the tray when minimized, and staying inside the work area.
class WindowLayout {
public:
    WindowLayout(MainControls& controls, ViewState& state, platform::Screen& screen, ProcessListView& processView,
                 FavoritesView& favoritesView);

    void ReadWorkArea();
    void Form_Resize();
    void ShowMainWindow();
    void SaveWindowPlacement();
    void KeepInWorkArea();

    // What the window procedure hook answers: the size limits, and whether the caption may be
    // dragged (not while maximized).
    SizeLimits GetMinMaxInfo();
    bool AllowCaptionDrag() const;
    void HookMainWindow() { m_hooked = true; }
    void UnhookMainWindow() { m_hooked = false; }
    bool Hooked() const { return m_hooked; }

    std::int32_t MainWindowWidthPixels();
    // The work area of the screen, or the whole screen when it has none.
    platform::PixelRect CurrentWorkArea();

    // Whether a tray can hold the window's icon: a window minimized without one stays in the
    // taskbar, or nothing would show that the program still runs.
    std::function<bool()> TrayAvailable;

    std::int32_t SavedTop = 0;
    std::int32_t SavedLeft = 0;
    std::int32_t SavedHeight = 0;
    std::int32_t WorkAreaBottom = 0;

private:

    MainControls& m_controls;
    ViewState& m_state;
    platform::Screen& m_screen;
    ProcessListView& m_processView;
    FavoritesView& m_favoritesView;
    bool m_hooked = false;
};

} // namespace korvane::ui
