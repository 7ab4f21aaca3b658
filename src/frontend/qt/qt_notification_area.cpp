#include "frontend/qt/qt_notification_area.h"

#include "frontend/qt/qt_image.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>

namespace korvane::qtfront {

namespace {

// Runs a function for every event the application delivers, before the receiver sees it.
class ApplicationEventWatch : public QObject {
public:
    explicit ApplicationEventWatch(std::function<void(QObject*, QEvent*)> handler) : m_handler(std::move(handler))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        m_handler(watched, event);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> m_handler;
};

// Qt draws an icon in an XEmbed tray with a top-level widget of this name; a StatusNotifierItem
// host has none.
bool XEmbedTrayWidgetExists()
{
    const auto widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
        return widget->objectName() == QLatin1String("QSystemTrayIconSys") ||
               qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0;
    });
}

} // namespace

QtNotificationArea::QtNotificationArea() : m_watch(std::make_unique<QTimer>()), m_menu(std::make_unique<QMenu>())
{
    MakeIcon();
    m_releaseWatch = std::make_unique<ApplicationEventWatch>([this](QObject* /*watched*/, QEvent* event) {
        if (m_contextPending && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            m_contextPending = false;
            Deliver(517);
        }
    });
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, m_menu.get(), [this] {
        m_menu->clear();
        if (fillContextMenu)
            fillContextMenu(*m_menu);
    });
    // A tray that comes back (the panel restarted) needs the icon again.
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    m_watch->setInterval(2000);
    QObject::connect(m_watch.get(), &QTimer::timeout, m_watch.get(), [this] {
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        const bool was = m_trayAvailable;
        m_trayAvailable = available;
        if (available && !m_icon)
            MakeIcon();
        if (available && !was && onTrayCreated)
            onTrayCreated();
        // Whatever came in between (a window hidden into a tray that went at once), a window
        // hidden while there is no tray comes back.
        if (!available && onTrayGone)
            onTrayGone();
    });
    m_watch->start();
}

QtNotificationArea::~QtNotificationArea()
{
    if (m_icon)
        m_icon->setContextMenu(nullptr);
}

bool QtNotificationArea::TrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotificationArea::MakeIcon()
{
    // Qt picks the kind of tray when the icon is made: a StatusNotifierItem where a host is on
    // the session bus, else an XEmbed tray, which Wayland has not (Qt would warn at each start
    // and never show the icon). Under Wayland the icon waits for a host.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_icon = std::make_unique<QSystemTrayIcon>();
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(static_cast<int>(reason)); });
    m_statusNotifier = false;
    if (m_shown) {
        Apply(*m_shown);
        m_icon->show();
        UseHostMenu();
    }
}

void QtNotificationArea::Activated(int reason)
{
    switch (static_cast<QSystemTrayIcon::ActivationReason>(reason)) {
    case QSystemTrayIcon::DoubleClick:
        Deliver(515);
        break;
    case QSystemTrayIcon::Trigger:
        if (m_statusNotifier)
            Deliver(515);
        break;
    case QSystemTrayIcon::Context:
        // A StatusNotifierItem host shows the exported menu itself. An XEmbed tray reports the
        // press: the menu opens when the button goes up.
        if (m_statusNotifier)
            break;
        if (QGuiApplication::mouseButtons().testFlag(Qt::RightButton))
            m_contextPending = true;
        else
            Deliver(517);
        break;
    default:
        break;
    }
}

void QtNotificationArea::Deliver(int message)
{
    QTimer::singleShot(0, m_watch.get(), [this, message] {
        if (onMouseMessage)
            onMouseMessage(message);
    });
}

void QtNotificationArea::UseHostMenu()
{
    if (!m_icon)
        return;
    const bool statusNotifier = QSystemTrayIcon::isSystemTrayAvailable() && !XEmbedTrayWidgetExists();
    if (statusNotifier == m_statusNotifier)
        return;
    m_statusNotifier = statusNotifier;
    if (m_statusNotifier) {
        m_menu->clear();
        if (fillContextMenu)
            fillContextMenu(*m_menu);
    }
    m_icon->setContextMenu(m_statusNotifier ? m_menu.get() : nullptr);
}

void QtNotificationArea::Apply(const platform::TrayIconData& data)
{
    m_shown = data;
    if (!m_icon)
        return;
    if (data.hIcon)
        m_icon->setIcon(QIcon(QPixmap::fromImage(ToQImage(*data.hIcon))));
    m_icon->setToolTip(QString::fromStdString(data.Tip()));
}

bool QtNotificationArea::Add(const platform::TrayIconData& data)
{
    Apply(data);
    if (!m_icon)
        return false;
    // Qt puts a shown icon back into a tray that returns by itself; showing it again would
    // destroy the icon's window and close a menu the user opened from it meanwhile.
    if (!IconInTray()) {
        m_icon->hide();
        m_icon->show();
    }
    UseHostMenu();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtNotificationArea::IconInTray() const
{
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
           (m_statusNotifier || XEmbedTrayWidgetExists());
}

bool QtNotificationArea::Modify(const platform::TrayIconData& data)
{
    if (m_shown && data.hIcon)
        m_shown->hIcon = data.hIcon;
    if (!m_icon)
        return false;
    if (data.hIcon)
        m_icon->setIcon(QIcon(QPixmap::fromImage(ToQImage(*data.hIcon))));
    return m_icon->isVisible();
}

bool QtNotificationArea::Delete(const platform::TrayIconData& /*data*/)
{
    m_shown.reset();
    if (m_icon)
        m_icon->hide();
    return true;
}

} // namespace korvane::qtfront
