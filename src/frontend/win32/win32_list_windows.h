#pragma once

#include "frontend/win32/win32_control_window.h"
#include "platform/forms/list_box.h"
#include "platform/forms/scroll_bar.h"

#include <string>
#include <vector>

namespace korvane::win32front {

// A vertical scroll bar whose range, page and position are the model's.
class ScrollBarWindow : public ControlWindow {
public:
    ScrollBarWindow(forms::ScrollBar& bar, HWND window, double tpp, HWND tooltips)
        : ControlWindow(bar, window, tpp, tooltips), m_bar(bar)
    {
    }
    bool OnScroll(int code) override;
    std::optional<LRESULT> Intercept(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void ShowValue() override;

private:
    forms::ScrollBar& m_bar;
};

// An owner-drawn list box without data of its own: the model keeps the rows and their selection,
// and what the user does goes to it; the list box itself never selects, scrolls or searches.
class ListWindow : public ControlWindow {
public:
    ListWindow(forms::ListBox& list, HWND window, double tpp, HWND tooltips, HFONT font, int rowPixels)
        : ControlWindow(list, window, tpp, tooltips), m_list(list), m_font(font), m_rowPixels(rowPixels)
    {
    }
    // One row as the model has it: its text, and the selection the model keeps.
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    std::optional<LRESULT> Intercept(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void ShowValue() override;

private:
    forms::ListBox& m_list;
    HFONT m_font;
    int m_rowPixels;
    std::vector<std::string> m_shown; // the model's rows whose spoken texts the list box holds
};

} // namespace korvane::win32front
