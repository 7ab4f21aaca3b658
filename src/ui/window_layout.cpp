#include "ui/window_layout.h"

#include "platform/screen.h"
#include "ui/favorites_view.h"
#include "ui/process_list_view.h"
#include "ui/scroll_layout.h"

#include <cmath>

namespace korvane::ui {

namespace {

std::int32_t ToPixels(std::int32_t twips, std::int32_t twipsPerPixel)
{
    return static_cast<std::int32_t>(std::nearbyint(twips / static_cast<double>(std::max(twipsPerPixel, 1))));
}

} // namespace

WindowLayout::WindowLayout(MainControls& controls, ViewState& state, platform::Screen& screen,
                           ProcessListView& processView, FavoritesView& favoritesView)
    : m_controls(controls), m_state(state), m_screen(screen), m_processView(processView),
      m_favoritesView(favoritesView)
{
}

platform::PixelRect WindowLayout::CurrentWorkArea()
{
    platform::PixelRect area;
    // Without a work area the whole screen keeps the window reachable.
    if (!m_screen.WorkArea(&area) || area.right <= area.left || area.bottom <= area.top)
        area = platform::PixelRect{0, 0, m_screen.ScreenWidthPixels(), m_screen.ScreenHeightPixels()};
    return area;
}

void WindowLayout::ReadWorkArea()
{
    WorkAreaBottom = CurrentWorkArea().bottom;
}

std::int32_t WindowLayout::MainWindowWidthPixels()
{
    return ToPixels(kMainWindowWidth, m_screen.TwipsPerPixelX());
}

void WindowLayout::Form_Resize()
{
    forms::Window& form = m_controls.Form;
    if (form.State() == forms::WindowState::Minimized) {
        if (!TrayAvailable || TrayAvailable())
            form.SetVisible(false);
        return;
    }
    const std::int32_t inner = form.InnerHeight();
    if (inner - 780 > 780) {
        const std::int32_t height = inner - 100 - m_controls.MainBox.Top();
        m_controls.MainBox.SetHeight(height);
        m_controls.Vs1.SetHeight(height);
        m_controls.MainBox2.SetHeight(height);
        m_controls.Vs2.SetHeight(height);
    }
    if (form.State() == forms::WindowState::Maximized) {
        ScrollToTop(m_processView.Scrolling());
        ScrollToTop(m_favoritesView.Scrolling());
    }
    m_processView.LayoutProcessScroll();
    m_favoritesView.LayoutFavoritesScroll();
}

void WindowLayout::ShowMainWindow()
{
    forms::Window& form = m_controls.Form;
    form.SetState(forms::WindowState::Normal);
    form.SetVisible(true);
    form.Move(SavedLeft, SavedTop, kMainWindowWidth, SavedHeight);
    KeepInWorkArea();
}

void WindowLayout::SaveWindowPlacement()
{
    const forms::Window& form = m_controls.Form;
    if (form.State() != forms::WindowState::Normal)
        return;
    // Where the platform never told the place, the saved one stays for the next session.
    if (m_screen.WindowPlacesKnown()) {
        SavedTop = form.Top();
        SavedLeft = form.Left();
    }
    SavedHeight = form.Height();
}

void WindowLayout::KeepInWorkArea()
{
    forms::Window& form = m_controls.Form;
    if (!m_screen.WindowPlacesKnown())
        return; // the compositor places the window
    // Real pixels: at 175-225 % the whole twips per pixel is off by up to 7 %.
    const double place = std::max(m_screen.PlaceTwipsPerPixel(), 1.0);
    const double size = std::max(m_screen.SizeTwipsPerPixel(), 1.0);
    const platform::PixelRect area = CurrentWorkArea();
    const auto left = static_cast<std::int32_t>(std::lround(form.Left() / place));
    const auto top = static_cast<std::int32_t>(std::lround(form.Top() / place));
    const auto width = static_cast<std::int32_t>(std::lround(form.Width() / size));
    const auto height = static_cast<std::int32_t>(std::lround(form.Height() / size));
    std::int32_t x = left;
    std::int32_t y = top;
    bool moved = false;
    if (top < area.top) {
        y = area.top;
        moved = true;
    }
    if (left < area.left) {
        x = area.left;
        moved = true;
    }
    if (y > area.bottom - height) {
        y = area.bottom - height;
        moved = true;
    }
    if (x > area.right - width) {
        x = area.right - width;
        moved = true;
    }
    if (moved)
        form.Move(static_cast<std::int32_t>(std::lround(x * place)), static_cast<std::int32_t>(std::lround(y * place)),
                  form.Width(), form.Height());
}

SizeLimits WindowLayout::GetMinMaxInfo()
{
    const std::int32_t width = MainWindowWidthPixels();
    SizeLimits limits{};
    limits.maxSizeWidth = width;
    limits.maxSizeHeight = m_screen.ScreenHeightPixels();
    limits.maxPositionX = ToPixels(m_controls.Form.Left(), m_screen.TwipsPerPixelX());
    limits.maxPositionY = 0;
    limits.minTrackWidth = width;
    limits.minTrackHeight = kMinimumHeightPixels;
    limits.maxTrackWidth = width;
    limits.maxTrackHeight = WorkAreaBottom;
    return limits;
}

bool WindowLayout::AllowCaptionDrag() const
{
    return m_controls.Form.State() != forms::WindowState::Maximized;
}

} // namespace korvane::ui
