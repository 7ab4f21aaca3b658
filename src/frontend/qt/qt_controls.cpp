#include "frontend/qt/qt_controls.h"

#include "frontend/qt/qt_image.h"
#include "frontend/qt/qt_list_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane::qtfront {

int Pixels(std::int32_t twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / static_cast<double>(std::max(twipsPerPixel, 1))));
}

// The modifier state as the handlers receive it: 1 shift, 2 ctrl, 4 alt.
int ShiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int ButtonOf(Qt::MouseButton button)
{
    return button == Qt::RightButton ? forms::kRightButton : (button == Qt::LeftButton ? forms::kLeftButton : 4);
}

namespace {

QColor ToQColor(image::Color c)
{
    return QColor(image::RedOf(c), image::GreenOf(c), image::BlueOf(c));
}

// Places a widget where its control is, relative to its parent, and mirrors the common state.
void Place(QWidget* widget, const forms::Control& control, int tpp)
{
    widget->setGeometry(Pixels(control.Left(), tpp), Pixels(control.Top(), tpp), Pixels(control.Width(), tpp),
                        Pixels(control.Height(), tpp));
    widget->setVisible(control.Visible());
    widget->setEnabled(control.Enabled());
    widget->setToolTip(QString::fromStdString(control.ToolTipText()));
    if (!control.AccessibleName().empty())
        widget->setAccessibleName(QString::fromStdString(control.AccessibleName()));
    if (!control.AccessibleDescription().empty())
        widget->setAccessibleDescription(QString::fromStdString(control.AccessibleDescription()));
}

class PictureWidget : public QWidget {
public:
    PictureWidget(forms::PictureBox& picture, QWidget* parent) : QWidget(parent), m_picture(picture)
    {
        setMouseTracking(static_cast<bool>(picture.OnPointAt));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRect exposed = event->rect();
        painter.fillRect(exposed, ToQColor(m_picture.BackColor()));
        // Only the part shown: a list's icon column is as tall as thousands of rows.
        const QRect shown = exposed.intersected(QRect(0, 0, m_picture.Picture().Width(), m_picture.Picture().Height()));
        if (!shown.isEmpty())
            painter.drawImage(shown.topLeft(), ToQImage(m_picture.Picture(), shown));
    }
    void mouseReleaseEvent(QMouseEvent* /*event*/) override
    {
        if (m_picture.OnClick)
            m_picture.OnClick();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_picture.OnPointAt)
            m_picture.OnPointAt(static_cast<int>(event->position().x()), static_cast<int>(event->position().y()));
    }

private:
    forms::PictureBox& m_picture;
};

// A list's viewport: a sunken frame whose inside clips the scroll area.
class Viewport : public QFrame {
public:
    Viewport(forms::PictureBox& box, QWidget* parent) : QFrame(parent), m_box(box), inside(new QWidget(this))
    {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setLineWidth(2);
        inside->setAutoFillBackground(true);
        inside->setBackgroundRole(QPalette::Base);
    }
    void Layout(int tpp)
    {
        Place(this, m_box, tpp);
        const int border = Pixels(m_box.BorderTwips(), tpp);
        inside->setGeometry(border, border, width() - 2 * border, height() - 2 * border);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* /*event*/) override
    {
        if (m_box.OnClick)
            m_box.OnClick();
    }

private:
    forms::PictureBox& m_box;

public:
    QWidget* inside;
};

void ApplyLook(QLabel* label, const forms::Label& model)
{
    QPalette palette = QApplication::palette();
    const bool highlighted = model.Look() == forms::LabelLook::Highlighted;
    label->setAutoFillBackground(highlighted);
    // Only the enabled groups: a disabled label keeps the style's greyed text.
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        if (highlighted) {
            palette.setColor(group, QPalette::Window, palette.color(group, QPalette::Highlight));
            palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::HighlightedText));
        } else {
            palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::Text));
        }
    }
    // Set only when it differs: setting it sends a palette change, which calls this again.
    const QPalette& now = label->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto role : {QPalette::Window, QPalette::WindowText}) {
            if (now.color(group, role) != palette.color(group, role)) {
                label->setPalette(palette);
                return;
            }
        }
    }
}

// The room a caption has inside its widget, in pixels: less the check box's indicator or the
// button's margins.
int CaptionRoom(const QWidget* widget)
{
    const QStyle* style = widget->style();
    if (qobject_cast<const QCheckBox*>(widget) != nullptr)
        return widget->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget) - 2;
    if (qobject_cast<const QPushButton*>(widget) != nullptr)
        return widget->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget) - 4;
    return widget->width();
}

// The layout is fixed in twips; with a large desktop font a caption would be cut ("Auto Set
// Affin"). Such a caption gets a smaller size of the same font, down to 6 points.
void FitCaption(QWidget* widget, const QString& caption)
{
    QFont font = widget->parentWidget() != nullptr ? widget->parentWidget()->font() : QApplication::font();
    font.setBold(widget->font().bold());
    const int room = CaptionRoom(widget);
    if (room > 0 && !caption.isEmpty()) {
        for (qreal size = font.pointSizeF(); size > 6 && QFontMetrics(font).horizontalAdvance(caption) > room;
             size -= 0.5)
            font.setPointSizeF(size - 0.5);
    }
    // Captions change on every usage tick: only a new size needs a new font.
    if (widget->font() != font)
        widget->setFont(font);
}

} // namespace

EventHook::EventHook(QObject* target, std::function<bool(QEvent*)> handler)
    : QObject(target), m_handler(std::move(handler))
{
    target->installEventFilter(this);
}

bool EventHook::eventFilter(QObject* /*watched*/, QEvent* event)
{
    return m_handler(event);
}

std::map<QAction*, forms::MenuItem*> FillMenu(QMenu& popup, const forms::Menu& menu)
{
    std::map<QAction*, forms::MenuItem*> items;
    for (forms::MenuItem* item : menu.Items) {
        if (item == nullptr) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(QString::fromStdString(item->Caption()));
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        action->setEnabled(item->Enabled());
        items[action] = item;
    }
    return items;
}

void ControlBinder::BindPlain(forms::Control& control, QWidget* widget, std::function<void()> extra)
{
    Track(control, widget);
    auto apply = [this, &control, widget, extra] {
        Place(widget, control, m_tpp);
        if (extra)
            extra();
    };
    control.SetChangedHandler(apply);
    apply();
}

QLabel* ControlBinder::AddLabel(forms::Label& label, QWidget* parent, bool bold)
{
    auto* widget = new QLabel(parent);
    if (bold) {
        QFont font = widget->font();
        font.setBold(true);
        widget->setFont(font);
    }
    BindPlain(label, widget, [widget, &label] {
        widget->setText(QString::fromStdString(label.Caption()));
        FitCaption(widget, widget->text());
        ApplyLook(widget, label);
    });
    new EventHook(widget, [widget, &label](QEvent* event) {
        // The label keeps colours of its own: a new theme's are taken again.
        if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
            ApplyLook(widget, label);
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            label.UserMouseMove();
        if (event->type() == QEvent::MouseButtonRelease)
            label.UserClick();
        return false;
    });
    return widget;
}

QCheckBox* ControlBinder::AddCheckBox(forms::CheckBox& box, QWidget* parent)
{
    auto* widget = new QCheckBox(parent);
    BindPlain(box, widget, [widget, &box] {
        const QSignalBlocker block(widget);
        widget->setText(QString::fromStdString(box.Caption()));
        FitCaption(widget, widget->text());
        widget->setChecked(box.Value() == 1);
    });
    QObject::connect(widget, &QCheckBox::clicked, widget, [widget, &box] {
        box.UserClick();
        const QSignalBlocker block(widget);
        widget->setChecked(box.Value() == 1);
    });
    new EventHook(widget, [&box](QEvent* event) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            box.UserMouseMove();
        return false;
    });
    return widget;
}

QPushButton* ControlBinder::AddButton(forms::Button& button, QWidget* parent)
{
    auto* widget = new QPushButton(parent);
    BindPlain(button, widget, [widget, &button] {
        widget->setText(QString::fromStdString(button.Caption()));
        FitCaption(widget, widget->text());
    });
    QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.UserClick(); });
    return widget;
}

QLineEdit* ControlBinder::AddTextBox(forms::TextBox& field, QWidget* parent)
{
    auto* widget = new QLineEdit(parent);
    BindPlain(field, widget, [widget, &field] {
        const QString text = QString::fromStdString(field.Text());
        if (widget->text() != text) {
            const QSignalBlocker block(widget);
            widget->setText(text);
        }
    });
    QObject::connect(widget, &QLineEdit::textEdited, widget,
                     [&field](const QString& text) { field.UserType(text.toStdString()); });
    QObject::connect(widget, &QLineEdit::returnPressed, widget, [&field] { field.UserEnter(); });
    return widget;
}

QWidget* ControlBinder::AddPicture(forms::PictureBox& picture, QWidget* parent)
{
    auto* widget = new PictureWidget(picture, parent);
    BindPlain(picture, widget, [widget] { widget->update(); });
    return widget;
}

QScrollBar* ControlBinder::AddScrollBar(forms::ScrollBar& bar, QWidget* parent)
{
    auto* widget = new QScrollBar(Qt::Vertical, parent);
    widget->setFocusPolicy(Qt::ClickFocus);
    BindPlain(bar, widget, [widget, &bar] {
        const QSignalBlocker block(widget);
        widget->setRange(0, std::max(bar.Max(), 0));
        widget->setPageStep(std::max(bar.LargeChange(), 1));
        widget->setSingleStep(std::max(bar.SmallChange(), 1));
        widget->setValue(bar.Value());
    });
    QObject::connect(widget, &QScrollBar::valueChanged, widget,
                     [widget, &bar](int value) { bar.UserScroll(value, widget->isSliderDown()); });
    QObject::connect(widget, &QScrollBar::sliderReleased, widget,
                     [widget, &bar] { bar.UserScroll(widget->value(), false); });
    new EventHook(widget, [&bar](QEvent* event) {
        if (event->type() == QEvent::FocusIn && bar.OnGotFocus)
            bar.OnGotFocus();
        return false;
    });
    return widget;
}

void ControlBinder::AddScrollingList(forms::PictureBox& viewportModel, forms::PictureBox& scrollAreaModel,
                                     forms::ListBox& list, QWidget* parent)
{
    auto* viewport = new Viewport(viewportModel, parent);
    Track(viewportModel, viewport);
    auto* scrollArea = new PictureWidget(scrollAreaModel, viewport->inside);
    QWidget* listWidget = NewListWidget(list, m_tpp, scrollArea);
    viewportModel.SetChangedHandler([this, viewport] { viewport->Layout(m_tpp); });
    viewport->Layout(m_tpp);
    BindPlain(scrollAreaModel, scrollArea, [scrollArea] { scrollArea->update(); });
    BindPlain(list, listWidget, [listWidget] { ListModelChanged(listWidget); });
}

QWidget* ControlBinder::WidgetOf(const forms::Control* control) const
{
    const auto it = m_widgets.find(const_cast<forms::Control*>(control));
    return it == m_widgets.end() ? nullptr : it->second;
}

void ControlBinder::Unbind()
{
    for (const auto& [control, widget] : m_widgets)
        control->SetChangedHandler({});
    m_widgets.clear();
}

} // namespace korvane::qtfront
