#include "frontend/qt/qt_image.h"

namespace korvane::qtfront {

QImage ToQImage(const image::Surface& surface)
{
    return ToQImage(surface, QRect(0, 0, surface.Width(), surface.Height()));
}

QImage ToQImage(const image::Surface& surface, const QRect& part)
{
    const QRect inside = part.intersected(QRect(0, 0, surface.Width(), surface.Height()));
    QImage result(inside.size(), QImage::Format_RGB32);
    for (int y = 0; y < inside.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < inside.width(); ++x) {
            const image::Color c = surface.Pixel(inside.x() + x, inside.y() + y);
            line[x] = qRgb(image::RedOf(c), image::GreenOf(c), image::BlueOf(c));
        }
    }
    return result;
}

QImage ToQImage(const image::Icon& icon)
{
    QImage result(icon.color.Width(), icon.color.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < icon.color.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < icon.color.Width(); ++x) {
            const image::Color c = icon.color.Pixel(x, y);
            line[x] = icon.Transparent(x, y) ? qRgba(0, 0, 0, 0)
                                             : qRgba(image::RedOf(c), image::GreenOf(c), image::BlueOf(c), 255);
        }
    }
    return result;
}

image::Icon ToIcon(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    image::Icon icon{image::Surface(argb.width(), argb.height(), image::kWhite),
                     std::vector<std::uint8_t>(static_cast<std::size_t>(argb.width() * argb.height()), 1)};
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) >= 128) {
                icon.color.SetPixel(x, y, image::Rgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
                icon.mask[static_cast<std::size_t>(y * argb.width() + x)] = 0;
            }
        }
    }
    return icon;
}

} // namespace korvane::qtfront
