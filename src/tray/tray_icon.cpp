#include "tray/tray_icon.h"

#include "tray/tray_image.h"

namespace korvane::tray {

TrayIcon::TrayIcon(platform::NotificationArea& area, forms::Window& form, const forms::Menu& mnuFile,
                   image::Icon windowIcon, std::int64_t ownerWindow)
    : m_area(area), m_form(form), m_menu(mnuFile), m_windowIcon(std::move(windowIcon)), m_owner(ownerWindow)
{
}

void TrayIcon::Add_Tray()
{
    m_data.cbSize = 88;
    m_data.hWnd = m_owner;
    m_data.uID = 1;
    m_data.uFlags = 7;
    m_data.uCallbackMessage = 512;
    m_data.hIcon = m_windowIcon;
    std::string tip = kTrayTip;
    tip.push_back('\0');
    tip.resize(64, ' ');
    m_data.szTip = tip;
    m_area.Add(m_data);
}

void TrayIcon::ModifyIcon(image::Icon icon)
{
    m_data.hIcon = std::move(icon);
    m_area.Modify(m_data);
}

void TrayIcon::DeleteIcon()
{
    m_area.Delete(m_data);
}

void TrayIcon::P2_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/)
{
    const int message = static_cast<int>(x);
    if (message == kTrayDoubleClick) {
        if (RefreshProcessList)
            RefreshProcessList();
        if (ShowMainWindow)
            ShowMainWindow();
    } else if (message == kTrayRightButtonUp) {
        // In front first, so that the menu closes when the user clicks elsewhere.
        m_form.BringToForeground();
        m_form.PopupMenu(m_menu);
    }
}

image::Icon DrawProgramIcon()
{
    image::Surface s(32, 32, kTransparent);
    const image::Color pin = image::Rgb(170, 170, 170);
    const image::Color body = image::Rgb(30, 40, 70);
    for (int i = 0; i < 6; ++i) {
        const int at = 6 + i * 4;
        s.FillRect(at, 1, 2, 4, pin);
        s.FillRect(at, 27, 2, 4, pin);
        s.FillRect(1, at, 4, 2, pin);
        s.FillRect(27, at, 4, 2, pin);
    }
    s.FillRect(4, 4, 24, 24, body);
    const image::Color cores[4] = {image::Rgb(90, 231, 90), image::Rgb(231, 198, 90), image::Rgb(90, 170, 240),
                                   image::Rgb(231, 90, 90)};
    for (int i = 0; i < 4; ++i)
        s.FillRect(7 + (i % 2) * 10, 7 + (i / 2) * 10, 8, 8, cores[i]);
    return *BitmapToIcon(s, kTransparent);
}

} // namespace korvane::tray
