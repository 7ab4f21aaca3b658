#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace korvane::forms { class Control; }
namespace korvane::platform { class Screen; }
namespace korvane::ui { class Form1; }

namespace korvane::qtfront {

class QtNotificationArea;

// Draws the main window's controls as Qt widgets and forwards what the user does to them. It holds
// no behaviour of its own: every click, key, wheel turn and window change goes to the model.
class QtFrontEnd {
public:
    QtFrontEnd(ui::Form1& form, platform::Screen& screen, QtNotificationArea& tray);
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;
    ~QtFrontEnd();

    // The top-level window of the main window.
    QWidget& Window();
    // The widget that draws a control of the model (nullptr for one it does not draw).
    QWidget* WidgetOf(const forms::Control* control) const;
    // Sets the size limits from the model once the work area is known.
    void ApplySizeLimits();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace korvane::qtfront
