#pragma once

#include "ui/main_controls.h"
#include "ui/scroll_layout.h"
#include "ui/view_state.h"

#include <cstdint>

namespace korvane::core { class FavoritesStore; }

namespace korvane::ui {

class IconCache;

// The favorites list: its rows in name or affinity order with the cached program icons beside
// them, its scroll bar and the wheel.
class FavoritesView {
public:
    FavoritesView(MainControls& controls, ViewState& state, core::FavoritesStore& favorites, IconCache& cache);

    // Reorders the rows, redraws the icon column and keeps the selected rows selected.
    void UpdateFavIcons();
    void LayoutFavoritesScroll();
    // "Favorites (n)" in Label5, then the scroll layout for the new row count.
    void UpdateFavoritesCaption();
    bool WheelFavorites(std::int32_t rotation);

    void SortFavByAff_MouseUp(int button, int shift, float x, float y);
    void Vs2_Change();
    void Vs2_Scroll() { Vs2_Change(); }
    void Vs2_GotFocus() { m_state.WheelTarget = 2; }
    void List2_GotFocus() { m_state.WheelTarget = 2; }
    void List2_KeyDown(int& keyCode, int shift);
    void MainBox2_Click();

    ScrollingList Scrolling();

private:
    MainControls& m_controls;
    ViewState& m_state;
    core::FavoritesStore& m_favorites;
    IconCache& m_cache;
};

} // namespace korvane::ui
