#include "platform/qt/qt_front_end.h"

#include "platform/qt/qt_image.h"
#include "platform/qt/qt_services.h"
#include "platform/screen.h"
#include "tray/tray_icon.h"
#include "ui/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <map>
#include <optional>

namespace korvane::qtfront {

namespace {

int Pixels(std::int32_t twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / static_cast<double>(std::max(twipsPerPixel, 1))));
}

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

// Runs a function for chosen events of an object.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<bool(QEvent*)> handler) : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override { return m_handler(event); }

private:
    std::function<bool(QEvent*)> m_handler;
};

// Places a widget where its control is, relative to its parent, and mirrors the common state.
void Place(QWidget* widget, const forms::Control& control, int tpp)
{
    widget->setGeometry(Pixels(control.Left(), tpp), Pixels(control.Top(), tpp), Pixels(control.Width(), tpp),
                        Pixels(control.Height(), tpp));
    widget->setVisible(control.Visible());
    widget->setEnabled(control.Enabled());
    widget->setToolTip(QString::fromStdString(control.ToolTipText()));
}

class ListBoxWidget : public QWidget {
public:
    ListBoxWidget(forms::ListBox& list, int tpp, QWidget* parent) : QWidget(parent), m_list(list), m_tpp(tpp)
    {
        setFont(ListFont());
        setFocusPolicy(Qt::ClickFocus);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Base));
        painter.setFont(font());
        const int rowHeight = 16;
        const int first = std::max(event->rect().top() / rowHeight, 0);
        const int last = std::min(event->rect().bottom() / rowHeight, m_list.ListCount() - 1);
        for (int row = first; row <= last; ++row) {
            const QRect rect(0, row * rowHeight + 1, width(), rowHeight);
            const bool selected = m_list.Selected(row);
            if (selected)
                painter.fillRect(rect, palette().color(QPalette::Highlight));
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromUtf8(m_list.List(row).c_str(), static_cast<int>(m_list.List(row).size())));
        }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_list.UserClickRow(static_cast<std::int32_t>((event->position().y() - 1) / 16),
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
        if (m_list.UserKeyDown(event->key(), ShiftState(event->modifiers())) != 0)
            QWidget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QWidget::focusInEvent(event);
        m_list.UserGotFocus();
    }

private:
    forms::ListBox& m_list;
    int m_tpp;
};

class PictureWidget : public QWidget {
public:
    PictureWidget(forms::PictureBox& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), ToQColor(m_picture.BackColor()));
        if (!m_picture.Picture().Empty())
            painter.drawImage(0, 0, ToQImage(m_picture.Picture()));
    }
    void mouseReleaseEvent(QMouseEvent* /*event*/) override
    {
        if (m_picture.OnClick)
            m_picture.OnClick();
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
    label->setPalette(palette);
}

// The menu's items as actions, in order, with their marks and enabled states.
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

// The main window's top-level widget: the close box hides to the tray, state and geometry go to
// the model.
class MainWindowWidget : public QWidget {
public:
    MainWindowWidget(ui::Form1& form, int tpp) : m_form(form), m_tpp(tpp)
    {
        m_settle.setSingleShot(true);
        m_settle.setInterval(1500);
        QObject::connect(&m_settle, &QTimer::timeout, this, [this] { SendGeometry(); });
    }

    void ApplyModel()
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

    // The limits are for the outer window, frame included.
    void SetLimits(const ui::SizeLimits& limits)
    {
        m_limits = limits;
        ApplyLimits();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_form.Ended())
            return;
        event->ignore();
        m_form.Unload(ui::kUnloadControlMenu);
    }
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() != QEvent::WindowStateChange || m_applying || !isVisible())
            return;
        const forms::WindowState state = isMinimized()   ? forms::WindowState::Minimized
                                         : isMaximized() ? forms::WindowState::Maximized
                                                         : forms::WindowState::Normal;
        m_form.Controls().Form.SetState(state);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        SendGeometry();
    }
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        SendGeometry();
    }

private:
    void ApplyLimits()
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

    // The model's geometry is the window's outer one, frame included.
    void ApplyGeometry()
    {
        ApplyLimits();
        const forms::Window& model = m_form.Controls().Form;
        const QMargins frame = FrameMargins();
        m_appliedFrame = frame;
        move(Pixels(model.Left(), m_tpp), Pixels(model.Top(), m_tpp));
        resize(Pixels(model.Width(), m_tpp) - frame.left() - frame.right(),
               Pixels(model.Height(), m_tpp) - frame.top() - frame.bottom());
    }
    QMargins FrameMargins() const { return windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins(); }

    // The outer rectangle in pixels, from the client's geometry and the frame as known now.
    QRect OuterGeometry() const { return geometry().marginsAdded(FrameMargins()); }
    QRect ModelGeometry() const
    {
        const forms::Window& model = m_form.Controls().Form;
        return QRect(Pixels(model.Left(), m_tpp), Pixels(model.Top(), m_tpp), Pixels(model.Width(), m_tpp),
                     Pixels(model.Height(), m_tpp));
    }

    void SendGeometry()
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

    ui::Form1& m_form;
    int m_tpp;
    bool m_applying = false;
    QMargins m_appliedFrame;
    std::optional<ui::SizeLimits> m_limits;
    QTimer m_settle;
    int m_reapplies = 0;
};

struct QtFrontEnd::Impl {
    Impl(ui::Form1& form, platform::Screen& screen, QtNotificationArea& tray)
        : form(form), screen(screen), tray(tray), tpp(std::max(screen.TwipsPerPixelX(), 1)), window(form, tpp)
    {
    }

    template <typename Widget>
    Widget* Track(forms::Control* control, Widget* widget)
    {
        widgets[control] = widget;
        return widget;
    }

    void BindPlain(forms::Control& control, QWidget* widget, std::function<void()> extra = {})
    {
        Track(&control, widget);
        auto apply = [this, &control, widget, extra] {
            Place(widget, control, tpp);
            if (extra)
                extra();
        };
        control.SetChangedHandler(apply);
        apply();
    }

    QLabel* AddLabel(forms::Label& label, QWidget* parent, bool bold = false)
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
        return widget;
    }

    QCheckBox* AddCheckBox(forms::CheckBox& box, QWidget* parent)
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

    QPushButton* AddButton(forms::Button& button, QWidget* parent)
    {
        auto* widget = new QPushButton(parent);
        BindPlain(button, widget, [widget, &button] {
            widget->setText(QString::fromStdString(button.Caption()));
            FitCaption(widget, widget->text());
        });
        QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.UserClick(); });
        return widget;
    }

    PictureWidget* AddPicture(forms::PictureBox& picture, QWidget* parent)
    {
        auto* widget = new PictureWidget(picture, parent);
        BindPlain(picture, widget, [widget] { widget->update(); });
        return widget;
    }

    QScrollBar* AddScrollBar(forms::ScrollBar& bar, QWidget* parent)
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

    // A list in its viewport: the scroll area inside the viewport, the list inside the scroll area.
    void AddScrollingList(forms::PictureBox& viewportModel, forms::PictureBox& scrollAreaModel, forms::ListBox& list,
                          QWidget* parent)
    {
        auto* viewport = new Viewport(viewportModel, parent);
        Track(&viewportModel, viewport);
        auto* scrollArea = new PictureWidget(scrollAreaModel, viewport->inside);
        auto* listWidget = new ListBoxWidget(list, tpp, scrollArea);
        viewportModel.SetChangedHandler([this, viewport] { viewport->Layout(tpp); });
        viewport->Layout(tpp);
        BindPlain(scrollAreaModel, scrollArea, [scrollArea] { scrollArea->update(); });
        BindPlain(list, listWidget, [listWidget] { listWidget->update(); });
    }

    // The chosen item runs once the menu has closed and its event has finished: "Exit Korvane"
    // tears down what the menu's event is still using.
    void ShowMenu(const forms::Menu& menu)
    {
        QMenu popup;
        const auto items = FillMenu(popup, menu);
        QAction* chosen = popup.exec(QCursor::pos());
        const auto it = items.find(chosen);
        if (it != items.end())
            QTimer::singleShot(0, qApp, [item = it->second] { item->UserClick(); });
    }

    void Build();
    void BuildUsagePanel(QWidget* panel);
    void OpenPicker(ui::Form2& picker);

    ui::Form1& form;
    platform::Screen& screen;
    QtNotificationArea& tray;
    int tpp;
    MainWindowWidget window;
    std::map<forms::Control*, QWidget*> widgets;
    std::unique_ptr<QObject> wheelHook;
};

void QtFrontEnd::Impl::Build()
{
    ui::MainControls& c = form.Controls();
    window.setWindowTitle(QString::fromStdString(c.Form.Caption()));
    window.setWindowIcon(QIcon(QPixmap::fromImage(ToQImage(tray::DrawProgramIcon()))));
    c.Form.SetChangedHandler([this] { window.ApplyModel(); });
    c.Form.OnForeground = [this] {
        window.raise();
        window.activateWindow();
    };
    c.Form.OnPopupMenu = [this](const forms::Menu& menu) { ShowMenu(menu); };
    Track(&c.Form, &window);

    AddScrollingList(c.MainBox, c.ScrollBox, c.List1, &window);
    AddScrollingList(c.MainBox2, c.ScrollBox2, c.List2, &window);
    AddScrollBar(c.Vs1, &window);
    AddScrollBar(c.Vs2, &window);
    AddLabel(c.Label2, &window, true);
    AddLabel(c.Label3, &window, true);
    AddLabel(c.Label5, &window, true);
    AddLabel(c.Label4, &window, true);

    auto* strip = new QWidget(&window);
    BindPlain(c.Picture1, strip);
    for (auto& box : c.Check11)
        AddCheckBox(box, strip);
    for (forms::Button* button : {&c.Command5, &c.Command7, &c.Command8, &c.Command4, &c.Command3, &c.Command1,
                                  &c.Command9, &c.Command2, &c.Command13})
        AddButton(*button, strip);
    AddCheckBox(c.ShowAll, strip);
    AddCheckBox(c.Check1, strip);

    auto* options = new QFrame(&window);
    options->setFrameStyle(QFrame::Panel | QFrame::Raised);
    options->setAutoFillBackground(true);
    BindPlain(c.Picture2, options, [options] { options->raise(); });
    for (forms::CheckBox* box : {&c.Start_Up, &c.MiniMe, &c.Check2, &c.ConfirmRemvFav, &c.SortFavByAff})
        AddCheckBox(*box, options);
    AddButton(c.Command10, options);
    AddButton(c.Command6, options);

    auto* usage = new QFrame(&window);
    usage->setFrameStyle(QFrame::Panel | QFrame::Raised);
    usage->setAutoFillBackground(true);
    BindPlain(c.cpuOptions, usage, [usage] { usage->raise(); });
    BuildUsagePanel(usage);

    // Every wheel turn over the window goes to the model, which scrolls the list it targets.
    wheelHook = std::make_unique<EventHook>(qApp, [this](QEvent* event) {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        QWidget* under = QApplication::widgetAt(wheel->globalPosition().toPoint());
        if (under == nullptr || under->window() != &window)
            return false;
        form.MouseWheel(wheel->angleDelta().y());
        return true;
    });

    tray.onMouseMessage = [this](int message) {
        ui::MainControls& controls = form.Controls();
        if (controls.P2.OnMouseMove)
            controls.P2.OnMouseMove(0, 0, static_cast<float>(message), 0);
    };
    tray.onTrayCreated = [this] { form.TaskbarCreated(); };
    // A StatusNotifierItem host shows the tray menu itself.
    tray.fillContextMenu = [this](QMenu& menu) {
        for (const auto& [action, item] : FillMenu(menu, form.Controls().mnuFile))
            QObject::connect(action, &QAction::triggered, action, [item = item] {
                QTimer::singleShot(0, qApp, [item] { item->UserClick(); });
            });
    };
    form.OnPickerCreated = [this](ui::Form2& picker) { OpenPicker(picker); };
}

void QtFrontEnd::Impl::BuildUsagePanel(QWidget* panel)
{
    ui::MainControls& c = form.Controls();
    AddLabel(c.Label1, panel);
    AddPicture(c.VertGraph0, panel);
    for (auto& meter : c.Meter)
        AddPicture(meter, panel);
    for (auto& average : c.AvgUse)
        AddLabel(average, panel);
    for (forms::Label* label : {&c.LblCore0, &c.LblCore0A, &c.LblCore1, &c.LblCore1A, &c.LblCore2, &c.LblCore2A,
                                &c.LblCore3, &c.LblCore3A})
        AddLabel(*label, panel);
    AddLabel(c.CPUTTL, panel, true);
    AddLabel(c.LblElapsed, panel);
    AddButton(c.Command11, panel);
    AddButton(c.Command14, panel);
    AddButton(c.Command12, panel);
    AddPicture(c.ShowTrayColr, panel);
    AddCheckBox(c.TrayAsNum, panel);
}

void QtFrontEnd::Impl::OpenPicker(ui::Form2& picker)
{
    auto* popup = new QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameStyle(QFrame::Panel | QFrame::Raised);
    popup->setMouseTracking(true);
    // The picker's controls are laid out for a small menu font.
    QFont menuFont = popup->font();
    menuFont.setPointSize(8);
    popup->setFont(menuFont);
    auto* background = new QLabel(popup);
    Place(background, picker.Label3, tpp);
    new EventHook(background, [&picker](QEvent* event) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            picker.Label3.UserMouseMove();
        return false;
    });
    for (auto& box : picker.Check1) {
        auto* widget = new QCheckBox(popup);
        auto apply = [this, widget, &box] {
            Place(widget, box, tpp);
            const QSignalBlocker block(widget);
            widget->setText(QString::fromStdString(box.Caption()));
            widget->setChecked(box.Value() == 1);
        };
        box.SetChangedHandler(apply);
        apply();
        QObject::connect(widget, &QCheckBox::clicked, widget, [widget, &box] {
            box.SetValue(box.Value() == 1 ? 0 : 1);
            const QSignalBlocker block(widget);
            widget->setChecked(box.Value() == 1);
        });
        new EventHook(widget, [&box](QEvent* event) {
            if (event->type() == QEvent::Enter)
                box.UserMouseMove();
            return false;
        });
    }
    for (forms::Label* item : {&picker.Label1, &picker.Label2}) {
        auto* widget = new QLabel(popup);
        widget->setIndent(12);
        auto apply = [this, widget, item] {
            Place(widget, *item, tpp);
            widget->setText(QString::fromStdString(item->Caption()));
            ApplyLook(widget, *item);
        };
        item->SetChangedHandler(apply);
        apply();
        new EventHook(widget, [item](QEvent* event) {
            if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
                item->UserMouseMove();
            if (event->type() == QEvent::MouseButtonRelease)
                item->UserClick();
            return false;
        });
    }
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
    picker.Form.SetChangedHandler([this, popup, &picker, closed] {
        if (!picker.Form.Visible()) {
            *closed = true;
            for (auto& box : picker.Check1)
                box.SetChangedHandler({});
            picker.Label1.SetChangedHandler({});
            picker.Label2.SetChangedHandler({});
            popup->close(); // deleted later, by the event loop
            return;
        }
        popup->setGeometry(Pixels(picker.Form.Left(), tpp), Pixels(picker.Form.Top(), tpp),
                           Pixels(picker.Form.Width(), tpp), Pixels(picker.Form.Height(), tpp));
        popup->show();
    });
}

QtFrontEnd::QtFrontEnd(ui::Form1& form, platform::Screen& screen, QtNotificationArea& tray)
    : m_impl(std::make_unique<Impl>(form, screen, tray))
{
    m_impl->Build();
}

QtFrontEnd::~QtFrontEnd()
{
    // The model outlives nothing here, but its handlers must not reach deleted widgets.
    ui::MainControls& c = m_impl->form.Controls();
    for (const auto& [control, widget] : m_impl->widgets)
        control->SetChangedHandler({});
    c.Form.OnForeground = {};
    c.Form.OnPopupMenu = {};
    m_impl->tray.onMouseMessage = {};
    m_impl->tray.onTrayCreated = {};
    m_impl->tray.fillContextMenu = {};
    m_impl->form.OnPickerCreated = {};
}

QWidget& QtFrontEnd::Window()
{
    return m_impl->window;
}

QWidget* QtFrontEnd::WidgetOf(const forms::Control* control) const
{
    const auto it = m_impl->widgets.find(const_cast<forms::Control*>(control));
    return it == m_impl->widgets.end() ? nullptr : it->second;
}

void QtFrontEnd::ApplySizeLimits()
{
    m_impl->window.SetLimits(m_impl->form.Layout().GetMinMaxInfo());
}

} // namespace korvane::qtfront
