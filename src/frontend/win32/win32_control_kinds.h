#pragma once

#include "frontend/win32/win32_control_window.h"
#include "platform/forms/list_box.h"
#include "platform/forms/picture_box.h"
#include "platform/forms/scroll_bar.h"
#include "platform/forms/simple_controls.h"

namespace korvane::win32front {

// A panel that hosts other controls; a raised one comes to the front whenever it is shown.
class PanelWindow : public ControlWindow {
public:
    PanelWindow(forms::PictureBox& panel, HWND window, double tpp, HWND tooltips, bool raised)
        : ControlWindow(panel, window, tpp, tooltips), m_raised(raised)
    {
    }
    void Paint(HDC dc, const RECT& rect) override;

protected:
    void ShowValue() override;

private:
    bool m_raised;
};

// A label's caption; a picker's item stands indented, as a menu item does.
class LabelWindow : public ControlWindow {
public:
    LabelWindow(forms::Label& label, HWND window, double tpp, HWND tooltips, HFONT font, int indentPixels)
        : ControlWindow(label, window, tpp, tooltips), m_label(label), m_font(font), m_indent(indentPixels)
    {
    }
    void Paint(HDC dc, const RECT& rect) override;
    bool OnClick() override;
    void OnMouseMove(int /*x*/, int /*y*/) override { m_label.UserMouseMove(); }

protected:
    void ShowValue() override;

private:
    // The window covers only the lines of its caption: the rest of its rectangle stays the
    // parent's, as for a transparent label, so a tall label never hides what lies below its text.
    void FitToText();

    forms::Label& m_label;
    HFONT m_font;
    int m_indent;
    std::wstring m_fittedCaption;
};

// A check box whose tick the model decides (BS_CHECKBOX, not BS_AUTOCHECKBOX).
class CheckBoxWindow : public ControlWindow {
public:
    CheckBoxWindow(forms::CheckBox& box, HWND window, double tpp, HWND tooltips)
        : ControlWindow(box, window, tpp, tooltips), m_box(box)
    {
    }
    bool OnCommand(int code) override;
    std::optional<LRESULT> Intercept(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void ShowValue() override;

private:
    forms::CheckBox& m_box;
};

class ButtonWindow : public ControlWindow {
public:
    ButtonWindow(forms::Button& button, HWND window, double tpp, HWND tooltips)
        : ControlWindow(button, window, tpp, tooltips), m_button(button)
    {
    }
    bool OnCommand(int code) override;

protected:
    void ShowValue() override { SetText(m_button.Caption()); }

private:
    forms::Button& m_button;
};

// A picture; the icon column of a list draws its 16-pixel icons as tall as the list's rows.
class PictureWindow : public ControlWindow {
public:
    PictureWindow(forms::PictureBox& picture, HWND window, double tpp, HWND tooltips, int iconPixels = kIconPixels)
        : ControlWindow(picture, window, tpp, tooltips), m_picture(picture), m_iconPixels(iconPixels)
    {
    }
    void Paint(HDC dc, const RECT& rect) override;
    bool OnClick() override;
    void OnMouseMove(int x, int y) override
    {
        if (m_picture.OnPointAt)
            m_picture.OnPointAt(x, y);
    }

private:
    forms::PictureBox& m_picture;
    int m_iconPixels;
};

// A one-line edit field: the user's typing goes to the model as it changes, Enter to its handler.
class TextBoxWindow : public ControlWindow {
public:
    TextBoxWindow(forms::TextBox& field, HWND window, double tpp, HWND tooltips)
        : ControlWindow(field, window, tpp, tooltips), m_field(field)
    {
    }
    bool OnCommand(int code) override;
    std::optional<LRESULT> Intercept(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void ShowValue() override { SetText(m_field.Text()); }

private:
    forms::TextBox& m_field;
};

// The sunken frame a list scrolls in: its inner area, inside the border, clips the scroll area.
class ViewportWindow : public ControlWindow {
public:
    ViewportWindow(forms::PictureBox& viewport, HWND window, double tpp, HWND tooltips);
    HWND Inside() const { return m_inside; }
    void Paint(HDC dc, const RECT& rect) override;
    bool OnClick() override;
    void Detach() override;

protected:
    void ShowValue() override;
    void Placed(int width, int height) override;

private:
    forms::PictureBox& m_viewport;
    HWND m_inside;
};

} // namespace korvane::win32front
