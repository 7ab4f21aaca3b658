#include "platform/qt/qt_services.h"

#include "platform/qt/qt_image.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace korvane::qtfront {

MessageBoxLook MapMessageBoxStyle(int style)
{
    MessageBoxLook look;
    switch (style & 0xF0) {
    case platform::kMbIconError: look.icon = MessageBoxLook::Icon::Error; break;
    case platform::kMbIconQuestion: look.icon = MessageBoxLook::Icon::Question; break;
    case 48: look.icon = MessageBoxLook::Icon::Warning; break;
    case platform::kMbIconInformation: look.icon = MessageBoxLook::Icon::Information; break;
    default: break;
    }
    switch (style & 0xF) {
    case 1: look.answers = {platform::kAnswerOk, 2}; break;
    case 3: look.answers = {platform::kAnswerYes, platform::kAnswerNo, 2}; break;
    case platform::kMbYesNo: look.answers = {platform::kAnswerYes, platform::kAnswerNo}; break;
    default: look.answers = {platform::kAnswerOk}; break;
    }
    const std::size_t defaultIndex = static_cast<std::size_t>((style & 0xF00) >> 8);
    look.defaultAnswer = look.answers[std::min(defaultIndex, look.answers.size() - 1)];
    look.foreground = (style & platform::kMbSetForeground) != 0;
    return look;
}

int QtDialogs::MessageBox(const std::string& text, int style, const std::string& title)
{
    const MessageBoxLook look = MapMessageBoxStyle(style);
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    switch (look.icon) {
    case MessageBoxLook::Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageBoxLook::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageBoxLook::Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageBoxLook::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageBoxLook::Icon::None: break;
    }
    std::map<QAbstractButton*, int> answers;
    for (const int answer : look.answers) {
        QPushButton* button = nullptr;
        switch (answer) {
        case platform::kAnswerYes: button = box.addButton(QMessageBox::Yes); break;
        case platform::kAnswerNo: button = box.addButton(QMessageBox::No); break;
        case 2: button = box.addButton(QMessageBox::Cancel); break;
        default: button = box.addButton(QMessageBox::Ok); break;
        }
        answers[button] = answer;
        if (answer == look.defaultAnswer)
            box.setDefaultButton(button);
    }
    if (look.foreground)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    // Closing the box counts as its last button (No, Cancel or OK).
    return it != answers.end() ? it->second : look.answers.back();
}

QStringList ParseDialogFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : filter) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    QStringList filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        QString patterns = QString::fromStdString(parts[i + 1]);
        patterns.replace(';', ' ');
        filters << QString::fromStdString(parts[i]) + " (" + patterns + ")";
    }
    return filters;
}

std::optional<std::vector<std::string>> QtFileDialogs::GetOpenFileNames(const std::string& title,
                                                                        const std::string& filter,
                                                                        bool allowMultiSelect)
{
    const QString caption = QString::fromStdString(title);
    const QString filters = ParseDialogFilter(filter).join(";;");
    QStringList chosen;
    if (allowMultiSelect) {
        chosen = QFileDialog::getOpenFileNames(nullptr, caption, QString(), filters);
    } else {
        const QString one = QFileDialog::getOpenFileName(nullptr, caption, QString(), filters);
        if (!one.isEmpty())
            chosen << one;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    return paths;
}

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

QtNotificationArea::QtNotificationArea()
    : m_icon(std::make_unique<QSystemTrayIcon>()), m_watch(std::make_unique<QTimer>()),
      m_menu(std::make_unique<QMenu>())
{
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(static_cast<int>(reason)); });
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
        if (available && !m_trayAvailable && onTrayCreated)
            onTrayCreated();
        m_trayAvailable = available;
    });
    m_watch->start();
}

QtNotificationArea::~QtNotificationArea()
{
    m_icon->setContextMenu(nullptr);
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
    QTimer::singleShot(0, m_icon.get(), [this, message] {
        if (onMouseMessage)
            onMouseMessage(message);
    });
}

void QtNotificationArea::UseHostMenu()
{
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
    if (data.hIcon)
        m_icon->setIcon(QIcon(QPixmap::fromImage(ToQImage(*data.hIcon))));
    m_icon->setToolTip(QString::fromStdString(data.Tip()));
}

bool QtNotificationArea::Add(const platform::TrayIconData& data)
{
    Apply(data);
    m_icon->hide();
    m_icon->show();
    UseHostMenu();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtNotificationArea::Modify(const platform::TrayIconData& data)
{
    if (data.hIcon)
        m_icon->setIcon(QIcon(QPixmap::fromImage(ToQImage(*data.hIcon))));
    return m_icon->isVisible();
}

bool QtNotificationArea::Delete(const platform::TrayIconData& /*data*/)
{
    m_icon->hide();
    return true;
}

std::optional<image::Icon> QtIconSource::ExtractSmallIcon(const std::string& programPath)
{
    if (!m_index.Built())
        m_index.Build(m_files, platform::linuxos::ApplicationFolders());
    const std::string name = m_index.IconFor(programPath);
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
