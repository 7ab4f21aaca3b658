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

std::optional<platform::SystemColors> QtScreen::ContrastColors()
{
    const QPalette palette = QApplication::palette();
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    // A dark theme, or a high-contrast one (pure black on white or white on black): the palette's
    // colours; the usual light themes keep the program's own.
    const bool dark = window.lightness() < 128;
    const bool pure = (window == Qt::black && text == Qt::white) || (window == Qt::white && text == Qt::black);
    if (!dark && !pure)
        return std::nullopt;
    const auto rgb = [](const QColor& color) { return image::Rgb(color.red(), color.green(), color.blue()); };
    return platform::SystemColors{rgb(window), rgb(text), rgb(palette.color(QPalette::Active, QPalette::Highlight)),
                                  rgb(palette.color(QPalette::Disabled, QPalette::WindowText))};
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
