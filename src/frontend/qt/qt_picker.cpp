#include "frontend/qt/qt_picker.h"

#include "frontend/qt/qt_controls.h"
#include "ui/form2.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <memory>

namespace korvane::qtfront {

void OpenPicker(ui::Form2& picker, int tpp)
{
    auto* popup = new QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameStyle(QFrame::Panel | QFrame::Raised);
    popup->setMouseTracking(true);
    // The picker's controls are laid out for a small menu font.
    QFont menuFont = popup->font();
    menuFont.setPointSize(8);
    popup->setFont(menuFont);

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

    // Losing the activation closes the picker; once the model has closed it, the widget goes.
    auto closed = std::make_shared<bool>(false);
    new EventHook(popup, [&picker, closed](QEvent* event) {
        if (event->type() == QEvent::Hide && !*closed) {
            *closed = true;
            if (!picker.Closed() && picker.Form.OnDeactivate)
                picker.Form.OnDeactivate();
        }
        return false;
    });
    picker.Form.SetChangedHandler([tpp, popup, &picker, closed, binder] {
        if (!picker.Form.Visible()) {
            *closed = true;
            binder->Unbind();
            popup->close(); // deleted later, by the event loop
            return;
        }
        popup->setGeometry(Pixels(picker.Form.Left(), tpp), Pixels(picker.Form.Top(), tpp),
                           Pixels(picker.Form.Width(), tpp), Pixels(picker.Form.Height(), tpp));
        popup->show();
    });
}

} // namespace korvane::qtfront
