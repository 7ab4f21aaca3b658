#include "frontend/qt/qt_screen.h"

#include "platform/image/surface.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <cmath>

namespace korvane::qtfront {

namespace {

QScreen* PrimaryScreen()
{
    return QGuiApplication::primaryScreen();
}

std::int32_t TwipsPerPixel(double dpi)
{
    return dpi > 0 ? static_cast<std::int32_t>(std::lround(1440.0 / dpi)) : 15;
}

} // namespace

bool QtScreen::WorkArea(platform::PixelRect* area)
{
    QScreen* screen = PrimaryScreen();
    if (screen == nullptr)
        return false;
    const QRect rect = screen->availableGeometry();
    *area = platform::PixelRect{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    return true;
}

std::int32_t QtScreen::ScreenWidthPixels()
{
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->geometry().width() : 1024;
}

std::int32_t QtScreen::ScreenHeightPixels()
{
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->geometry().height() : 768;
}

std::int32_t QtScreen::TwipsPerPixelX()
{
    QScreen* screen = PrimaryScreen();
    return TwipsPerPixel(screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
}

bool QtScreen::WaylandPlatform()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::uint32_t QtScreen::WindowBackgroundColor()
{
    const QColor color = QApplication::palette().color(QPalette::Active, QPalette::Window);
    return image::Rgb(color.red(), color.green(), color.blue());
}

std::int32_t QtScreen::TwipsPerPixelY()
{
    QScreen* screen = PrimaryScreen();
    return TwipsPerPixel(screen != nullptr ? screen->logicalDotsPerInchY() : 96.0);
}

} // namespace korvane::qtfront
