#include "frontend/qt/qt_icon_source.h"

#include "frontend/qt/qt_image.h"

#include <QIcon>
#include <QPixmap>

namespace korvane::qtfront {

std::optional<image::Icon> QtIconSource::ExtractSmallIcon(const std::string& programPath)
{
    const std::string name = m_iconNameOf ? m_iconNameOf(programPath) : std::string();
    if (name.empty())
        return std::nullopt;
    const QString iconName = QString::fromStdString(name);
    const QIcon icon = iconName.startsWith('/') ? QIcon(iconName) : QIcon::fromTheme(iconName);
    if (icon.isNull())
        return std::nullopt;
    const QPixmap pixmap = icon.pixmap(16, 16);
    if (pixmap.isNull())
        return std::nullopt;
    return ToIcon(pixmap.toImage().scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace korvane::qtfront
