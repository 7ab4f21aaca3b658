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
};

// The notification area through QSystemTrayIcon. A double-click and a context request arrive as
// the mouse messages 515 and 517; when a tray appears again after it was gone, onTrayCreated runs.
class QtNotificationArea : public platform::NotificationArea {
public:
    QtNotificationArea();
    ~QtNotificationArea() override;

    bool Add(const platform::TrayIconData& data) override;
    bool Modify(const platform::TrayIconData& data) override;
    bool Delete(const platform::TrayIconData& data) override;

    QSystemTrayIcon& Icon() { return *m_icon; }
    std::function<void(int message)> onMouseMessage;
    std::function<void()> onTrayCreated;

private:
    void Apply(const platform::TrayIconData& data);

    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QTimer> m_watch;
    bool m_trayAvailable = false;
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
