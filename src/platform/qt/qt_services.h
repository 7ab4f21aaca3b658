#pragma once

#include "platform/dialogs.h"
#include "platform/file_dialogs.h"
#include "platform/icon_source.h"
#include "platform/linux/desktop_entries.h"
#include "platform/notification_area.h"
#include "platform/screen.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QObject;
class QSystemTrayIcon;
class QTimer;

namespace korvane::platform { class FileSystem; }

namespace korvane::qtfront {

// A message-box style as the dialog shows it.
struct MessageBoxLook {
    enum class Icon { None, Error, Question, Warning, Information } icon = Icon::None;
    std::vector<int> answers; // the buttons in order, as answers (kAnswerOk, kAnswerYes, ...)
    int defaultAnswer = platform::kAnswerOk;
    bool foreground = false;
};
MessageBoxLook MapMessageBoxStyle(int style);

class QtDialogs : public platform::Dialogs {
public:
    int MessageBox(const std::string& text, int style, const std::string& title) override;
};

// The dialog's filters from the NUL-separated text: "Description (pattern pattern)".
QStringList ParseDialogFilter(const std::string& filter);

class QtFileDialogs : public platform::FileDialogs {
public:
    std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title, const std::string& filter,
                                                             bool allowMultiSelect) override;
};

class QtScreen : public platform::Screen {
public:
    bool WorkArea(platform::PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override;
    std::int32_t ScreenHeightPixels() override;
    std::int32_t TwipsPerPixelX() override;
    std::int32_t TwipsPerPixelY() override;
    // The palette's window colour.
    std::uint32_t WindowBackgroundColor() override;
};

// The notification area through QSystemTrayIcon. A double-click and the release of the right
// button arrive as the mouse messages 515 and 517, always after the tray's own event has finished
// (what they start may remove the icon). When a tray appears again after it was gone,
// onTrayCreated runs.
//
// Trays of two kinds: an XEmbed tray gives the icon a window of its own, where Qt reports the
// context request on the press of the right button, so 517 waits for the release. A
// StatusNotifierItem host (over D-Bus) reports activation as one trigger, never a double click:
// there the trigger is 515, and the icon carries a menu of its own that the host shows, filled by
// fillContextMenu each time it opens.
class QtNotificationArea : public platform::NotificationArea {
public:
    QtNotificationArea();
    ~QtNotificationArea() override;

    bool Add(const platform::TrayIconData& data) override;
    bool Modify(const platform::TrayIconData& data) override;
    bool Delete(const platform::TrayIconData& data) override;

    QSystemTrayIcon& Icon() { return *m_icon; }
    // True once the icon is shown by a StatusNotifierItem host rather than an XEmbed tray.
    bool StatusNotifierHost() const { return m_statusNotifier; }
    std::function<void(int message)> onMouseMessage;
    std::function<void()> onTrayCreated;
    std::function<void(QMenu& menu)> fillContextMenu;

private:
    void Apply(const platform::TrayIconData& data);
    void Activated(int reason);
    void Deliver(int message);
    void UseHostMenu();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QTimer> m_watch;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QObject> m_releaseWatch;
    bool m_trayAvailable = false;
    bool m_statusNotifier = false;
    bool m_contextPending = false;
};

// Program icons from the desktop entries and the icon theme, at 16 x 16.
class QtIconSource : public platform::IconSource {
public:
    explicit QtIconSource(platform::FileSystem& files) : m_files(files) {}
    std::optional<image::Icon> ExtractSmallIcon(const std::string& programPath) override;

private:
    platform::FileSystem& m_files;
    platform::linuxos::DesktopEntryIndex m_index;
};

} // namespace korvane::qtfront
