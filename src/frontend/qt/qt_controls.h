#pragma once

#include "platform/forms/list_box.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QWidget;

namespace korvane::qtfront {

int Pixels(std::int32_t twips, int twipsPerPixel);
// The modifier state as the handlers receive it (1 shift, 2 ctrl, 4 alt), and a mouse button.
int ShiftState(Qt::KeyboardModifiers modifiers);
int ButtonOf(Qt::MouseButton button);

// Runs a function for chosen events of an object; owned by that object.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<bool(QEvent*)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QEvent*)> m_handler;
};

// The menu's items as actions, in order, with their marks and enabled states.
std::map<QAction*, forms::MenuItem*> FillMenu(QMenu& popup, const forms::Menu& menu);

// Makes a widget for each control of a form and binds the two: the widget follows every change of
// the control (place, visibility, enabled state, tooltip, caption, value), and what the user does
// to the widget goes to the control. Unbind detaches the controls before the widgets go.
class ControlBinder {
public:
    explicit ControlBinder(int twipsPerPixel) : m_tpp(twipsPerPixel) {}
    ControlBinder(const ControlBinder&) = delete;
    ControlBinder& operator=(const ControlBinder&) = delete;

    int TwipsPerPixel() const { return m_tpp; }

    // Any widget placed where its control is; extra runs after each change as well.
    void BindPlain(forms::Control& control, QWidget* widget, std::function<void()> extra = {});
    // A widget kept in step by its caller; reported by WidgetOf and detached by Unbind.
    void Track(forms::Control& control, QWidget* widget) { m_widgets[&control] = widget; }

    QLabel* AddLabel(forms::Label& label, QWidget* parent, bool bold = false);
    QCheckBox* AddCheckBox(forms::CheckBox& box, QWidget* parent);
    QPushButton* AddButton(forms::Button& button, QWidget* parent);
    QLineEdit* AddTextBox(forms::TextBox& field, QWidget* parent);
    QWidget* AddPicture(forms::PictureBox& picture, QWidget* parent);
    QScrollBar* AddScrollBar(forms::ScrollBar& bar, QWidget* parent);
    // A list in its viewport: the scroll area inside the viewport, the list inside the scroll area.
    void AddScrollingList(forms::PictureBox& viewport, forms::PictureBox& scrollArea, forms::ListBox& list,
                          QWidget* parent);

    // The widget that draws a control (nullptr for one this binder does not draw).
    QWidget* WidgetOf(const forms::Control* control) const;
    void Unbind();

private:
    int m_tpp;
    std::map<forms::Control*, QWidget*> m_widgets;
};

} // namespace korvane::qtfront
