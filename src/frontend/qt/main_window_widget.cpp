#include "frontend/qt/main_window_widget.h"

#include "frontend/qt/qt_controls.h"
#include "ui/form1.h"

#include <QCloseEvent>
#include <QWindow>

namespace korvane::qtfront {

MainWindowWidget::MainWindowWidget(ui::Form1& form, int tpp) : m_form(form), m_tpp(tpp)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(1500);
    QObject::connect(&m_settle, &QTimer::timeout, this, [this] { SendGeometry(); });
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
    if (!model.Visible() || model.State() == forms::WindowState::Minimized) {
        hide();
    } else {
        if (model.State() == forms::WindowState::Maximized && !isMaximized())
            showMaximized();
        else if (model.State() == forms::WindowState::Normal && (!isVisible() || isMinimized() || isMaximized())) {
            // The window manager frames and places a newly mapped window in steps of its own.
            m_reapplies = 0;
            m_settle.start();
            showNormal();
        }
        if (model.State() == forms::WindowState::Normal)
            ApplyGeometry();
    }
    m_applying = false;
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
    if (event->type() != QEvent::WindowStateChange || m_applying || !isVisible())
        return;
    const forms::WindowState state = isMinimized()   ? forms::WindowState::Minimized
                                     : isMaximized() ? forms::WindowState::Maximized
                                                     : forms::WindowState::Normal;
    m_form.Controls().Form.SetState(state);
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

void MainWindowWidget::ApplyLimits()
{
    if (!m_limits)
        return;
    const QMargins frame = FrameMargins();
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    setMinimumSize(m_limits->minTrackWidth - frameWidth, std::max(m_limits->minTrackHeight - frameHeight, 1));
    setMaximumSize(m_limits->maxTrackWidth - frameWidth,
                   std::max(m_limits->maxTrackHeight - frameHeight, m_limits->minTrackHeight));
}

void MainWindowWidget::ApplyGeometry()
{
    ApplyLimits();
    const forms::Window& model = m_form.Controls().Form;
    const QMargins frame = FrameMargins();
    m_appliedFrame = frame;
    move(Pixels(model.Left(), m_tpp), Pixels(model.Top(), m_tpp));
    resize(Pixels(model.Width(), m_tpp) - frame.left() - frame.right(),
           Pixels(model.Height(), m_tpp) - frame.top() - frame.bottom());
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
    if (m_applying || !isVisible() || isMinimized())
        return;
    forms::Window& model = m_form.Controls().Form;
    // Right after the window is mapped, the window manager adds its frame around a window
    // placed without it, and moves it in steps: place it again with the frame known rather
    // than take the shifted, taller window for the user's doing. A manager that insists wins.
    if (m_settle.isActive() && model.State() == forms::WindowState::Normal && m_reapplies < 8 &&
        (FrameMargins() != m_appliedFrame || OuterGeometry() != ModelGeometry())) {
        ++m_reapplies;
        m_applying = true;
        ApplyGeometry();
        m_applying = false;
        return;
    }
    const QRect frame = OuterGeometry();
    model.SetFrameHeight((frame.height() - height()) * m_tpp);
    m_applying = true;
    model.UserResize(frame.x() * m_tpp, frame.y() * m_tpp, frame.width() * m_tpp, frame.height() * m_tpp);
    m_applying = false;
}

} // namespace korvane::qtfront
