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
class MainWindowWidget : public QWidget {
public:
    MainWindowWidget(ui::Form1& form, int tpp);

    void ApplyModel();

    // The limits are for the outer window, frame included.
    void SetLimits(const ui::SizeLimits& limits);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void ApplyLimits();

    // The model's geometry is the window's outer one, frame included.
    void ApplyGeometry();
    QMargins FrameMargins() const;

    // The outer rectangle in pixels, from the client's geometry and the frame as known now.
    QRect OuterGeometry() const;
    QRect ModelGeometry() const;

    void SendGeometry();

    ui::Form1& m_form;
    int m_tpp;
    bool m_applying = false;
    QMargins m_appliedFrame;
    std::optional<ui::SizeLimits> m_limits;
    QTimer m_settle;
    int m_reapplies = 0;
};

} // namespace korvane::qtfront
