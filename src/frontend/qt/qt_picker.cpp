#include "frontend/qt/qt_picker.h"

#include "frontend/qt/qt_controls.h"
#include "ui/cpu_picker.h"
#include "ui/form2.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QWheelEvent>
#include <memory>

namespace korvane::qtfront {

namespace {

QFrame* NewPopup()
{
    auto* popup = new QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameStyle(QFrame::Panel | QFrame::Raised);
    popup->setMouseTracking(true);
    // The pickers' controls are laid out for a small menu font.
    QFont menuFont = popup->font();
    menuFont.setPointSize(8);
    popup->setFont(menuFont);
    return popup;
}

// Losing the activation closes the picker; once the model has closed it, the widget goes.
void FollowModel(QFrame* popup, forms::Window& form, const std::shared_ptr<ControlBinder>& binder, int tpp)
{
    // A pop-up has no title bar, but a screen reader says its title.
    popup->setWindowTitle(QString::fromStdString(form.AccessibleName()));
    popup->setAccessibleName(QString::fromStdString(form.AccessibleName()));
    auto closed = std::make_shared<bool>(false);
    new EventHook(popup, [&form, closed](QEvent* event) {
        if (event->type() == QEvent::Hide && !*closed) {
            *closed = true;
            if (form.Visible() && form.OnDeactivate)
                form.OnDeactivate();
        }
        return false;
    });
    form.SetChangedHandler([tpp, popup, &form, closed, binder] {
        if (!form.Visible()) {
            *closed = true;
            binder->Unbind();
            popup->close(); // deleted later, by the event loop
            return;
        }
        popup->setGeometry(Pixels(form.Left(), tpp), Pixels(form.Top(), tpp), Pixels(form.Width(), tpp),
                           Pixels(form.Height(), tpp));
        popup->show();
    });
}

} // namespace

void OpenPicker(ui::Form2& picker, int tpp)
{
    auto* popup = NewPopup();

    auto binder = std::make_shared<ControlBinder>(tpp);
    auto* background = new QLabel(popup);
    binder->BindPlain(picker.Label3, background);
    new EventHook(background, [&picker](QEvent* event) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            picker.Label3.UserMouseMove();
        return false;
    });
    for (auto& box : picker.Check1)
        binder->AddCheckBox(box, popup);
    for (forms::Label* item : {&picker.Label1, &picker.Label2})
        binder->AddLabel(*item, popup)->setIndent(12);

    FollowModel(popup, picker.Form, binder, tpp);
}

void OpenCpuPicker(ui::CpuPicker& picker, int tpp)
{
    auto* popup = NewPopup();
    auto binder = std::make_shared<ControlBinder>(tpp);
    for (auto& preset : picker.Presets)
        binder->AddButton(*preset, popup);
    binder->AddLabel(picker.ChosenText, popup, true);
    QWidget* viewport = binder->AddPicture(picker.Viewport, popup);
    QWidget* grid = binder->AddPicture(picker.Grid, viewport);
    for (auto& caption : picker.GroupCaptions)
        binder->AddLabel(*caption, grid, true);
    for (auto& toggle : picker.Toggles)
        binder->AddCheckBox(*toggle, grid);
    binder->AddScrollBar(picker.Scroll, popup);
    binder->AddButton(picker.Apply, popup);
    binder->AddButton(picker.Cancel, popup);
    new EventHook(popup, [&picker](QEvent* event) {
        if (event->type() != QEvent::Wheel)
            return false;
        picker.MouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    });
    FollowModel(popup, picker.Form, binder, tpp);
}

} // namespace korvane::qtfront
