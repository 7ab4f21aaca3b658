#pragma once

#include "platform/image/surface.h"

#include <QImage>
#include <QRect>
#include <optional>

namespace korvane::qtfront {

// A surface as an opaque image.
QImage ToQImage(const image::Surface& surface);
// A part of a surface as an opaque image.
QImage ToQImage(const image::Surface& surface, const QRect& part);
// An icon as an image with alpha: the transparent pixels fully transparent.
QImage ToQImage(const image::Icon& icon);
// An image with alpha as an icon: pixels at least half opaque are drawn, on white.
image::Icon ToIcon(const QImage& picture);

} // namespace korvane::qtfront
