#pragma once

#include "ui/window_layout.h"

#include <QMargins>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <optional>

namespace korvane::ui { class Form1; }

namespace korvane::qtfront {

// The main window's top-level widget: the close box hides to the tray, state and geometry go to
// the model.
//
// A window manager answers a placement in steps of its own (it maps the window, frames it, may
// move it again), and reports a maximize as a new size before the new state. A report answers
// Korvane's own request when it shows the size and place that were asked for, with the frame
// known then or now; other reports while a request is open are earlier steps. Every other report
// is the user's, and the model takes it at once.
class MainWindowWidget : public QWidget {
public:
    MainWindowWidget(ui::Form1& form, int tpp);

    void ApplyModel();

    // The limits are for the outer window, frame included.
    void SetLimits(const ui::SizeLimits& limits);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // A placement Korvane asked the window manager for: the outer rectangle and the frame it
    // counted with. It stays after its answer: a frame added later is the window manager's too.
    struct Request {
        QRect outer;
        QMargins frame;
        int reapplies;
        bool answered;
    };
    bool Pending() const { return m_request && !m_request->answered; }

    // The size limits for the state the window is in, counted with the frame of that state.
    void ApplyLimits();
    // Minimizes to the taskbar (no tray) once the model settled and the window is mapped.
    void Iconify(int attempt);
    void SetSizeLimits(const QMargins& frame);
    // Asks for the model's geometry (the window's outer one, frame included).
    void ApplyGeometry();
    void RequestGeometry(const QRect& outer, const QMargins& frame, int reapplies);
    bool Answers(const Request& request) const;
    QMargins FrameMargins() const;
    // The frame of the state the window is in: a maximized window has a thinner one.
    QMargins StateFrame() const;
    QMargins NormalFrame() const;

    // The outer rectangle in pixels, from the client's geometry and the frame as known now.
    QRect OuterGeometry() const;
    QRect ModelGeometry() const;

    void SendGeometry();
    void WatchFrame();
    void ReportGeometry();
    // The model takes a geometry without the widget acting on it again.
    void SetModelGeometry(const QRect& outer);

    ui::Form1& m_form;
    int m_tpp;
    bool m_applying = false;
    bool m_settingGeometry = false;
    std::optional<ui::SizeLimits> m_limits;
    QMargins m_limitsFrame;
    std::optional<Request> m_request;
    // The frame and the outer rectangle of the normal state, for the way back from maximized.
    QMargins m_normalFrame;
    std::optional<QRect> m_normalGeometry;
    // The normal placement is taken a moment after a report, once a maximize would have shown.
    QTimer m_normalSettle;
    // A window manager that never grants a request exactly: its placement is taken after this.
    QTimer m_requestTimeout;
    QTimer m_frameWatch;
    int m_frameChecks = 0;
};

} // namespace korvane::qtfront
