#include "ui/favorites_view.h"

#include "core/favorites_store.h"
#include "core/list_row.h"
#include "core/text.h"
#include "ui/icon_cache.h"

namespace korvane::ui {

FavoritesView::FavoritesView(MainControls& controls, ViewState& state, core::FavoritesStore& favorites,
                             IconCache& cache)
    : m_controls(controls), m_state(state), m_favorites(favorites), m_cache(cache)
{
}

void FavoritesView::UpdateFavoritesCaption()
{
    m_controls.Label5.SetCaption(m_favorites.FavoritesCaption());
    LayoutFavoritesScroll();
}

ScrollingList FavoritesView::Scrolling()
{
    return ScrollingList{m_controls.List2, m_controls.MainBox2, m_controls.ScrollBox2, m_controls.Vs2,
                         m_state.FavoritesScrollTop};
}

void FavoritesView::UpdateFavIcons()
{
    forms::ListBox& list2 = m_controls.List2;
    list2.SetVisible(false);
    const auto selected = m_favorites.RefillInOrder(m_controls.SortFavByAff.Value() == 1);

    image::Surface column(kIconPixels, kIconPixels * list2.ListCount(), image::kWhite);
    m_cache.Rescan();
    for (std::int32_t j = 0; j < list2.ListCount(); ++j) {
        const std::string name = core::ListRow(list2.List(j)).Name();
        if (auto picture = m_cache.Load(name))
            column.BlockCopy(0, j * kIconPixels, kIconPixels, kIconPixels, *picture, 0, 0);
    }
    m_controls.ScrollBox2.SetPicture(std::move(column));
    list2.SetVisible(true);

    m_favorites.Reselect(selected);
}

void FavoritesView::LayoutFavoritesScroll()
{
    LayoutScroll(Scrolling());
}

bool FavoritesView::WheelFavorites(std::int32_t rotation)
{
    if (m_state.WheelTarget != 2)
        return false;
    WheelScroll(Scrolling(), rotation);
    return true;
}

void FavoritesView::SortFavByAff_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/)
{
    UpdateFavIcons();
}

void FavoritesView::Vs2_Change()
{
    m_state.FavoritesScrollTop = -m_controls.Vs2.Value();
    LayoutFavoritesScroll();
    m_state.WheelTarget = 2;
}

void FavoritesView::List2_KeyDown(int& keyCode, int shift)
{
    KeyboardMove(Scrolling(), keyCode, shift);
    keyCode = 0;
}

void FavoritesView::MainBox2_Click()
{
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(false);
}

} // namespace korvane::ui
