#pragma once

#include "platform/forms/list_box.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace korvane::win32front {

class ControlWindow;

// Twips to whole pixels at the given scale, which may be fractional (7.5 at 192 DPI).
int Pixels(std::int32_t twips, double twipsPerPixel);

// The fonts the windows use: the system's message font, its bold form, the picker's 8-point menu
// font and the lists' "Courier New" 10 point bold.
struct Fonts {
    // dotsPerInch: the layout's (1440 / twips per pixel), so that text and the places laid out
    // for it scale together.
    explicit Fonts(int dotsPerInch);
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    ~Fonts();
    void* normal = nullptr;
    void* bold = nullptr;
    void* menu = nullptr;
    void* list = nullptr;
};

// Registers the window classes of the controls drawn here (once per process).
void RegisterControlClasses();

// Makes a native child window for each control of a form and binds the two: the window follows
// every change of the control (place, visibility, enabled state, tooltip, caption, value), and what
// the user does to the window goes to the control. Parents pass their WM_COMMAND and WM_VSCROLL on
// with Route. Unbind detaches the controls before the windows go.
class ControlBinder {
public:
    ControlBinder(double twipsPerPixel, const Fonts& fonts, void* tooltips);
    ControlBinder(const ControlBinder&) = delete;
    ControlBinder& operator=(const ControlBinder&) = delete;
    ~ControlBinder();

    double TwipsPerPixel() const { return m_tpp; }

    // A raised panel that hosts other controls and comes to the front whenever it is shown.
    void* AddPanel(forms::PictureBox& panel, void* parent, bool raised);
    // A picker's item (menuFont) stands indented, as a menu item does.
    void* AddLabel(forms::Label& label, void* parent, bool bold = false, bool menuFont = false,
                   int indentPixels = 0);
    void* AddCheckBox(forms::CheckBox& box, void* parent, bool menuFont = false);
    void* AddButton(forms::Button& button, void* parent);
    void* AddTextBox(forms::TextBox& field, void* parent);
    void* AddPicture(forms::PictureBox& picture, void* parent);
    void* AddScrollBar(forms::ScrollBar& bar, void* parent);
    // A list in its viewport: the scroll area inside the viewport, the list inside the scroll area.
    void AddScrollingList(forms::PictureBox& viewport, forms::PictureBox& scrollArea, forms::ListBox& list,
                          void* parent);
    // A window kept in step by its caller; reported by WindowOf and detached by Unbind.
    void Track(forms::Control& control, void* window);

    void* WindowOf(const forms::Control* control) const;
    void Unbind();

    // A parent's WM_COMMAND or WM_VSCROLL from one of the bound windows; true when it was one.
    static bool Route(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    // Keeps the window, points the window at it and lets every change of the control reach it.
    ControlWindow& Bind(std::unique_ptr<ControlWindow> window);

    double m_tpp;
    const Fonts& m_fonts;
    void* m_tooltips;
    std::map<const forms::Control*, std::unique_ptr<ControlWindow>> m_bindings;
    // Windows kept in step by their callers, whose change handlers are theirs too.
    std::map<const forms::Control*, void*> m_tracked;
};

} // namespace korvane::win32front
