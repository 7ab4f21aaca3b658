#include "frontend/qt/qt_controls.h"

#include "core/list_row.h"
#include "frontend/qt/qt_image.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
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

namespace {

QColor ToQColor(image::Color c)
{
    return QColor(image::RedOf(c), image::GreenOf(c), image::BlueOf(c));
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

QFont ListFont()
{
    QFont font;
    // Liberation Mono has the metrics of Courier New where that face is not installed.
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    font.setBold(true);
    return font;
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

constexpr int kListRowPixels = 16;

// Qt's keys as the model's key codes; other keys as they are.
int ModelKey(int key)
{
    switch (key) {
    case Qt::Key_Up: return forms::kKeyUp;
    case Qt::Key_Down: return forms::kKeyDown;
    case Qt::Key_PageUp: return forms::kKeyPageUp;
    case Qt::Key_PageDown: return forms::kKeyPageDown;
    case Qt::Key_Home: return forms::kKeyHome;
    case Qt::Key_End: return forms::kKeyEnd;
    default: return key;
    }
}

class ListBoxWidget : public QWidget {
public:
    ListBoxWidget(forms::ListBox& list, int tpp, QWidget* parent) : QWidget(parent), m_list(list), m_tpp(tpp)
    {
        setFont(ListFont());
        // Reached by Tab too, and moved by the keys.
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(false);
    }

    const forms::ListBox& Model() const { return m_list; }
    QRect RowRect(int row) const { return QRect(0, row * kListRowPixels + 1, width(), kListRowPixels); }

    // The model changed: drawn again, and a screen reader hears of a new current row.
    void ModelChanged()
    {
        update();
        const int current = m_list.ListIndex();
        const int count = m_list.ListCount();
        if (!QAccessible::isActive() || (current == m_announcedRow && count == m_announcedCount))
            return;
        if (count != m_announcedCount) {
            QAccessibleEvent reordered(this, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&reordered);
        }
        m_announcedRow = current;
        m_announcedCount = count;
        if (current < 0 || current >= count)
            return;
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(current);
        QAccessible::updateAccessibility(&selection);
        if (hasFocus()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(current);
            QAccessible::updateAccessibility(&focus);
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Base));
        painter.setFont(font());
        const int first = std::max(event->rect().top() / kListRowPixels, 0);
        const int last = std::min(event->rect().bottom() / kListRowPixels, m_list.ListCount() - 1);
        for (int row = first; row <= last; ++row) {
            const QRect rect = RowRect(row);
            const bool selected = m_list.Selected(row);
            if (selected)
                painter.fillRect(rect, palette().color(QPalette::Highlight));
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromUtf8(m_list.List(row).c_str(), static_cast<int>(m_list.List(row).size())));
            // The keyboard's place, while the list has the focus.
            if (hasFocus() && row == m_list.ListIndex()) {
                painter.setPen(QPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 1,
                                    Qt::DotLine));
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
        }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_list.UserClickRow(static_cast<std::int32_t>((event->position().y() - 1) / kListRowPixels),
                                event->modifiers().testFlag(Qt::ControlModifier),
                                event->modifiers().testFlag(Qt::ShiftModifier));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_list.UserMouseUp(ButtonOf(event->button()), ShiftState(event->modifiers()),
                           static_cast<float>(event->position().x() * m_tpp),
                           static_cast<float>(event->position().y() * m_tpp));
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_list.UserKeyDown(ModelKey(event->key()), ShiftState(event->modifiers())) != 0)
            QWidget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QWidget::focusInEvent(event);
        update();
        m_list.UserGotFocus();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QWidget::focusOutEvent(event);
        update();
    }

private:
    forms::ListBox& m_list;
    int m_tpp;
    int m_announcedRow = -1;
    int m_announcedCount = -1;
};

// One row of a list as a screen reader finds it: its spoken text, selected and focused states.
class ListRowAccessible : public QAccessibleInterface {
public:
    ListRowAccessible(ListBoxWidget* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return !m_list.isNull() && m_row < m_list->Model().ListCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list.isNull() ? nullptr : m_list->window()->windowHandle(); }
    QAccessibleInterface* parent() const override
    {
        return m_list.isNull() ? nullptr : QAccessible::queryAccessibleInterface(m_list.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        return QString::fromStdString(core::ListRow(m_list->Model().List(m_row)).Spoken());
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect row = m_list->RowRect(m_row);
        return QRect(m_list->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = m_list->Model().Selected(m_row);
        state.focused = m_list->hasFocus() && m_list->Model().ListIndex() == m_row;
        state.multiSelectable = m_list->Model().Kind() == forms::ListBoxKind::MultiSelect;
        return state;
    }

private:
    QPointer<ListBoxWidget> m_list;
    int m_row;
};

// A drawn list as a list of its rows.
class ListBoxAccessible : public QAccessibleWidget {
public:
    explicit ListBoxAccessible(ListBoxWidget* list) : QAccessibleWidget(list, QAccessible::List), m_list(list) {}
    ~ListBoxAccessible() override
    {
        for (const QAccessible::Id id : m_rows)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return m_list->Model().ListCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(m_rows.size()) <= index)
            m_rows.push_back(QAccessible::registerAccessibleInterface(
                new ListRowAccessible(m_list, static_cast<int>(m_rows.size()))));
        return QAccessible::accessibleInterface(m_rows[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (QAccessible::accessibleInterface(m_rows[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = m_list->mapFromGlobal(QPoint(x, y));
        return m_list->rect().contains(local) ? child((local.y() - 1) / kListRowPixels) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return m_list->hasFocus() ? child(m_list->Model().ListIndex()) : nullptr;
    }

private:
    ListBoxWidget* m_list;
    mutable std::vector<QAccessible::Id> m_rows;
};

QAccessibleInterface* ListAccessibleFactory(const QString&, QObject* object)
{
    if (auto* list = dynamic_cast<ListBoxWidget*>(object))
        return new ListBoxAccessible(list);
    return nullptr;
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
    // The drawn lists, as lists of rows, to a screen reader.
    static const bool factory = [] {
        QAccessible::installFactory(ListAccessibleFactory);
        return true;
    }();
    (void)factory;
    auto* viewport = new Viewport(viewportModel, parent);
    Track(viewportModel, viewport);
    auto* scrollArea = new PictureWidget(scrollAreaModel, viewport->inside);
    auto* listWidget = new ListBoxWidget(list, m_tpp, scrollArea);
    viewportModel.SetChangedHandler([this, viewport] { viewport->Layout(m_tpp); });
    viewport->Layout(m_tpp);
    BindPlain(scrollAreaModel, scrollArea, [scrollArea] { scrollArea->update(); });
    BindPlain(list, listWidget, [listWidget] { listWidget->ModelChanged(); });
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
