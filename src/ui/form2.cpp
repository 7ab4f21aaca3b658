#include "ui/form2.h"

#include "core/affinity.h"
#include "core/favorites_store.h"
#include "core/list_row.h"
#include "core/text.h"
#include "ui/main_controls.h"

#include <algorithm>
#include <set>

namespace korvane::ui {

Form2::Form2(MainControls& main, core::FavoritesStore& favorites, std::function<void()> updateFavIcons,
             std::function<void()> applyFavorites)
    : m_main(main), m_favorites(favorites), m_updateFavIcons(std::move(updateFavIcons)),
      m_applyFavorites(std::move(applyFavorites))
{
    Form.SetVisible(false);
    Form.SetAccessibleName("Choose the favorite's CPUs");
    Form.Move(0, 0, 1725, 1710);
    const int tops[4] = {135, 375, 615, 855};
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        Check1[i].Move(472, tops[i], 780, 195);
        Check1[i].SetEnabled(false);
        Check1[i].OnMouseMove = [this] { Check1_MouseMove(); };
    }
    Label1.Move(0, 1215, 1725, 255);
    Label2.Move(0, 1455, 1725, 255);
    Label3.Move(0, 0, 1725, 1815);
    Label1.OnClick = [this] { Label1_Click(); };
    Label2.OnClick = [this] { Label2_Click(); };
    Label1.OnMouseMove = [this] { Label1_MouseMove(); };
    Label2.OnMouseMove = [this] { Label2_MouseMove(); };
    Label3.OnMouseMove = [this] { Label3_MouseMove(); };
    Form.OnDeactivate = [this] { Form_Deactivate(); };
}

void Form2::Form_Load()
{
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        if (m_main.Check11[i].Enabled())
            Check1[i].SetEnabled(true);
    }
    Form.SetClassStyle(Form.ClassStyle() | kDropShadowClassStyle);
}

void Form2::Label1_Click()
{
    if (m_closed)
        return;
    const bool anyTicked = std::any_of(Check1.begin(), Check1.end(), [](const auto& box) { return box.Value() == 1; });
    if (!anyTicked) {
        Close();
        return;
    }
    m_main.Timer1.SetEnabled(false);
    SetSelectedFavorites(m_main, m_favorites, procmon::AffinityTextOfCheckBoxes(CpuBoxes()), m_updateFavIcons,
                         m_applyFavorites);
    Close();
}

void SetSelectedFavorites(MainControls& main, core::FavoritesStore& favorites, const std::string& affinity,
                          const std::function<void()>& updateFavIcons, const std::function<void()>& applyFavorites)
{
    forms::ListBox& list2 = main.List2;
    std::set<std::string> changed;
    for (std::int32_t i = list2.ListCount() - 1; i >= 0; --i) {
        if (!list2.Selected(i))
            continue;
        const std::string nameField = core::ListRow::NameFieldOf(core::ListRow(list2.List(i)).Name());
        changed.insert(nameField);
        list2.RemoveItem(i);
        list2.AddItem(nameField + affinity);
        favorites.SetFavoritesChanged();
    }
    for (std::int32_t i = 0; i < list2.ListCount(); ++i) {
        if (changed.count(std::string(core::ListRow(list2.List(i)).NameField())) != 0)
            list2.SetSelected(i, true);
    }
    updateFavIcons();
    if (main.Check1.Value() == 1)
        applyFavorites();
}

void Form2::Label2_Click()
{
    Close();
}

void Form2::Form_Deactivate()
{
    Close();
}

void Form2::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    Form.SetVisible(false);
    m_main.Timer1.SetEnabled(true);
}

void Form2::Label1_MouseMove()
{
    Label1.SetLook(forms::LabelLook::Highlighted);
    Label2.SetLook(forms::LabelLook::Normal);
}

void Form2::Label2_MouseMove()
{
    Label1.SetLook(forms::LabelLook::Normal);
    Label2.SetLook(forms::LabelLook::Highlighted);
}

void Form2::Label3_MouseMove()
{
    Label1.SetLook(forms::LabelLook::Normal);
    Label2.SetLook(forms::LabelLook::Normal);
}

void Form2::Check1_MouseMove()
{
    Label3_MouseMove();
}

} // namespace korvane::ui
