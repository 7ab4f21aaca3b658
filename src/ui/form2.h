#pragma once

#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "procmon/cpu_check_boxes.h"

#include <array>
#include <functional>
#include <string>

namespace korvane::core { class FavoritesStore; }

namespace korvane::ui {

struct MainControls;

inline constexpr std::uint32_t kDropShadowClassStyle = 0x20000;

// The affinity picker: a small menu-like pop-up with four CPU boxes, "Apply" and "Cancel". It is
// created for each use and closes on "Apply", "Cancel" or the loss of activation.
class Form2 {
public:
    Form2(MainControls& main, core::FavoritesStore& favorites, std::function<void()> updateFavIcons,
          std::function<void()> applyFavorites);
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    void Form_Load();
    void Label1_Click(); // "Apply": the ticked CPUs to every selected favorite
    void Label2_Click(); // "Cancel"
    void Form_Deactivate();
    void Label1_MouseMove();
    void Label2_MouseMove();
    void Label3_MouseMove();
    void Check1_MouseMove();

    bool Closed() const { return m_closed; }

    forms::Window Form;
    std::array<forms::CheckBox, 4> Check1{forms::CheckBox("CPU 0"), forms::CheckBox("CPU 1"),
                                          forms::CheckBox("CPU 2"), forms::CheckBox("CPU 3")};
    forms::Label Label1{"Apply"};
    forms::Label Label2{"Cancel"};
    forms::Label Label3;

    procmon::CpuCheckBoxes CpuBoxes() { return {&Check1[0], &Check1[1], &Check1[2], &Check1[3]}; }

private:
    // Closing always switches the main window's Timer1 on again.
    void Close();

    MainControls& m_main;
    core::FavoritesStore& m_favorites;
    std::function<void()> m_updateFavIcons;
    std::function<void()> m_applyFavorites;
    bool m_closed = false;
};

// Gives every selected favorite the affinity (its row changes and stays selected), and with
// "Auto Set Affinity" on applies the favorites.
void SetSelectedFavorites(MainControls& main, core::FavoritesStore& favorites, const std::string& affinity,
                          const std::function<void()>& updateFavIcons, const std::function<void()>& applyFavorites);

} // namespace korvane::ui
