#include "frontend/qt/main_window_widget.h"

#include "frontend/qt/qt_controls.h"
#include "frontend/qt/qt_screen.h"
#include "ui/form1.h"

#include <QCloseEvent>
#include <QWindow>

namespace korvane::qtfront {

namespace {

// Enough for a window manager that frames a window in a few steps; a frame that keeps changing
// is taken as it is then.
constexpr int kMaxReapplies = 4;

int FrameWidth(const QMargins& frame)
{
    return frame.left() + frame.right();
}

int FrameHeight(const QMargins& frame)
{
    return frame.top() + frame.bottom();
}

} // namespace

MainWindowWidget::MainWindowWidget(ui::Form1& form, int tpp) : m_form(form), m_tpp(tpp)
{
    m_requestTimeout.setSingleShot(true);
    m_requestTimeout.setInterval(1000);
    QObject::connect(&m_requestTimeout, &QTimer::timeout, this, [this] {
        if (m_request)
            m_request->answered = true;
        SendGeometry();
    });
    // A maximize comes as a new size first and the maximized state a moment later.
    m_normalSettle.setSingleShot(true);
    m_normalSettle.setInterval(200);
    QObject::connect(&m_normalSettle, &QTimer::timeout, this, [this] {
        if (!isVisible() || isMaximized() || isMinimized() || Pending() ||
            m_form.Controls().Form.State() != forms::WindowState::Normal)
            return;
        m_normalGeometry = OuterGeometry();
        if (!FrameMargins().isNull())
            m_normalFrame = FrameMargins();
    });
    // A window manager may frame a window after it placed it, or tell the maximized frame after
    // the maximized state and size, with no report of the window's own to follow: a change of
    // the frame alone reaches Qt as no event, so look for it a few times.
    m_frameWatch.setInterval(100);
    QObject::connect(&m_frameWatch, &QTimer::timeout, this, [this] {
        if (!isVisible() || ++m_frameChecks > 20)
            m_frameWatch.stop();
        else if (isMaximized() && FrameMargins() != m_limitsFrame)
            ApplyLimits();
        else if (!isMaximized() && m_request && FrameMargins() != m_request->frame)
            SendGeometry();
    });
}

void MainWindowWidget::ApplyModel()
{
    if (m_applying)
        return;
    m_applying = true;
    const forms::Window& model = m_form.Controls().Form;
    setUpdatesEnabled(!model.UpdatesFrozen());
    // Minimized is hidden to the tray: withdraw the window rather than iconify it, or a
    // window manager's late report of the iconified state would hide it again after the
    // window was brought back.
    if (!model.Visible()) {
        hide();
        m_request.reset();
    } else if (model.State() == forms::WindowState::Minimized) {
        // Without a tray the window stays in the taskbar, minimized. With one the model hides it
        // right after it became minimized: an iconify sent meanwhile would reach the window
        // manager after the withdraw and keep the window iconic when it is shown again.
        QTimer::singleShot(0, this, [this] { Iconify(0); });
    } else if (model.State() == forms::WindowState::Maximized) {
        if (!isMaximized())
            showMaximized();
    } else {
        // Placed before it is mapped, so the window manager maps it where it belongs. A shown
        // window is placed again only when the model moved it: any other change of the model
        // must not undo a move the user just made.
        const bool showing = !isVisible() || isMinimized() || isMaximized();
        if (showing || ModelGeometry() != m_normalGeometry)
            ApplyGeometry();
        if (showing) {
            showNormal();
            // A platform that frames the window as it shows it tells the frame at once.
            if (m_request && FrameMargins() != m_request->frame)
                RequestGeometry(m_request->outer, FrameMargins(), m_request->reapplies + 1);
        }
    }
    m_applying = false;
}

void MainWindowWidget::Iconify(int attempt)
{
    const forms::Window& model = m_form.Controls().Form;
    if (!model.Visible() || model.State() != forms::WindowState::Minimized || (isVisible() && isMinimized()))
        return;
    // A window manager takes the iconify of a window it manages and has framed: one just mapped,
    // whose frame is still being watched for, is waited for (a few seconds at most).
    const bool settling = isVisible() && ((windowHandle() != nullptr && !windowHandle()->isExposed()) ||
                                          m_frameWatch.isActive());
    if (settling && attempt < 100) {
        QTimer::singleShot(50, this, [this, attempt] { Iconify(attempt + 1); });
        return;
    }
    showMinimized();
}

void MainWindowWidget::SetLimits(const ui::SizeLimits& limits)
{
    m_limits = limits;
    ApplyLimits();
}

void MainWindowWidget::closeEvent(QCloseEvent* event)
{
    if (m_form.Ended())
        return;
    event->ignore();
    m_form.Unload(ui::kUnloadControlMenu);
}

void MainWindowWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A new theme or contrast setting: the drawn pictures follow the palette without a restart.
    if (event->type() == QEvent::PaletteChange && !m_form.Ended()) {
        m_form.SystemColorsChanged();
        return;
    }
    if (event->type() != QEvent::WindowStateChange || m_applying || !isVisible())
        return;
    forms::Window& model = m_form.Controls().Form;
    const forms::WindowState state = isMinimized()   ? forms::WindowState::Minimized
                                     : isMaximized() ? forms::WindowState::Maximized
                                                     : forms::WindowState::Normal;
    const bool restored =
        state == forms::WindowState::Normal && model.State() == forms::WindowState::Maximized && m_normalGeometry;
    if (restored) {
        // Back from maximized: the normal placement again, whatever the reports in between say.
        m_request = Request{*m_normalGeometry, NormalFrame(), 0, false};
        SetModelGeometry(*m_normalGeometry);
    }
    if (state == forms::WindowState::Maximized) {
        m_request.reset();
        // The window manager sized the window before it reported the state: not the user's.
        m_normalSettle.stop();
        WatchFrame();
    }
    model.SetState(state);
    if (restored)
        RequestGeometry(*m_normalGeometry, NormalFrame(), 0);
    else
        ApplyLimits();
}

void MainWindowWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchFrame();
    // Counted from when the event loop runs again: a start that is busy for a while after
    // showing the window must not time out before the window manager could answer.
    QTimer::singleShot(0, this, [this] {
        if (Pending())
            m_requestTimeout.start();
    });
}

void MainWindowWidget::WatchFrame()
{
    m_frameChecks = 0;
    m_frameWatch.start();
}

void MainWindowWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SendGeometry();
}

void MainWindowWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    SendGeometry();
}

QMargins MainWindowWidget::NormalFrame() const
{
    return m_normalFrame.isNull() ? FrameMargins() : m_normalFrame;
}

QMargins MainWindowWidget::StateFrame() const
{
    const bool maximized = m_form.Controls().Form.State() == forms::WindowState::Maximized;
    return maximized ? FrameMargins() : NormalFrame();
}

void MainWindowWidget::ApplyLimits()
{
    if (!m_limits)
        return;
    const QMargins frame = StateFrame();
    m_limitsFrame = frame;
    // Qt resizes a window that is outside its new limits at once: that is no user's doing.
    const bool setting = m_settingGeometry;
    m_settingGeometry = true;
    SetSizeLimits(frame);
    m_settingGeometry = setting;
}

void MainWindowWidget::SetSizeLimits(const QMargins& frame)
{
    const int frameWidth = FrameWidth(frame);
    const int frameHeight = FrameHeight(frame);
    const int minHeight = std::max(m_limits->minTrackHeight - frameHeight, 1);
    if (m_form.Controls().Form.State() == forms::WindowState::Maximized) {
        // X has no separate maximized size: the upper limit becomes it while the window is
        // maximized. The lower one stays, as a window made larger than its size by its own
        // request is no longer maximized to the window manager.
        setMaximumSize(m_limits->maxSizeWidth - frameWidth, std::max(m_limits->maxSizeHeight - frameHeight, minHeight));
        return;
    }
    setMinimumSize(m_limits->minTrackWidth - frameWidth, minHeight);
    setMaximumSize(m_limits->maxTrackWidth - frameWidth,
                   std::max(m_limits->maxTrackHeight - frameHeight, m_limits->minTrackHeight));
}

void MainWindowWidget::ApplyGeometry()
{
    m_normalSettle.stop();
    m_normalGeometry = ModelGeometry();
    RequestGeometry(ModelGeometry(), NormalFrame(), 0);
}

void MainWindowWidget::RequestGeometry(const QRect& outer, const QMargins& frame, int reapplies)
{
    m_request = Request{outer, frame, reapplies, false};
    // A window not shown yet is answered once it is mapped: see showEvent.
    if (isVisible())
        m_requestTimeout.start();
    ApplyLimits();
    const QRect client = outer.marginsRemoved(frame);
    // A shown window already in place gets no answer, so nothing is asked.
    if (isVisible() && geometry() == client && FrameMargins() == frame) {
        m_request->answered = true;
        m_requestTimeout.stop();
        return;
    }
    m_settingGeometry = true;
    setGeometry(client);
    m_settingGeometry = false;
}

bool MainWindowWidget::Answers(const Request& request) const
{
    const QRect client = geometry();
    const QRect asked = request.outer.marginsRemoved(request.frame);
    // The size within the limits, which may have changed with the frame since.
    if (client.size() != asked.size().boundedTo(maximumSize()).expandedTo(minimumSize()))
        return false;
    // The client where it was asked for, or its frame there with the frame known now.
    const QMargins frame = FrameMargins();
    const QPoint framed = request.outer.topLeft() + QPoint(frame.left(), frame.top());
    return client.topLeft() == asked.topLeft() || client.topLeft() == framed ||
           client.topLeft() == request.outer.topLeft();
}

QRect MainWindowWidget::ModelGeometry() const
{
    const forms::Window& model = m_form.Controls().Form;
    return QRect(Pixels(model.Left(), m_tpp), Pixels(model.Top(), m_tpp), Pixels(model.Width(), m_tpp),
                 Pixels(model.Height(), m_tpp));
}

QMargins MainWindowWidget::FrameMargins() const
{
    return windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
}

QRect MainWindowWidget::OuterGeometry() const
{
    return geometry().marginsAdded(FrameMargins());
}

void MainWindowWidget::SendGeometry()
{
    if (m_settingGeometry || !isVisible() || isMinimized())
        return;
    const bool normal = m_form.Controls().Form.State() == forms::WindowState::Normal && !isMaximized();
    if (!normal) {
        // A maximized window's frame is known only once it is maximized: fit the limits to it.
        if (FrameMargins() != m_limitsFrame)
            ApplyLimits();
        ReportGeometry();
        return;
    }
    if (m_request && Answers(*m_request)) {
        const QMargins frame = FrameMargins();
        if (frame != m_request->frame && m_request->reapplies < kMaxReapplies) {
            // The window manager framed the window, now or after it answered: ask again with
            // the frame counted.
            RequestGeometry(m_request->outer, frame, m_request->reapplies + 1);
            return;
        }
        m_request->answered = true;
        m_requestTimeout.stop();
    } else if (Pending()) {
        return; // an earlier step of the window manager's, or a state report still to come
    }
    ReportGeometry();
    // The normal placement, once the window manager has said whether this was a maximize.
    m_normalSettle.start();
}

void MainWindowWidget::ReportGeometry()
{
    forms::Window& model = m_form.Controls().Form;
    const QRect frame = OuterGeometry();
    model.SetFrameHeight((frame.height() - height()) * m_tpp);
    SetModelGeometry(frame);
}

void MainWindowWidget::SetModelGeometry(const QRect& outer)
{
    const bool applying = m_applying;
    m_applying = true;
    forms::Window& model = m_form.Controls().Form;
    // Under Wayland the place Qt reports is no place on the screen: the model keeps its own.
    const bool placesKnown = !QtScreen::WaylandPlatform();
    model.UserResize(placesKnown ? outer.x() * m_tpp : model.Left(), placesKnown ? outer.y() * m_tpp : model.Top(),
                     outer.width() * m_tpp, outer.height() * m_tpp);
    m_applying = applying;
}

} // namespace korvane::qtfront
