#include "frontend/qt/qt_front_end.h"

#include "frontend/qt/main_window_widget.h"
#include "frontend/qt/qt_controls.h"
#include "frontend/qt/qt_image.h"
#include "frontend/qt/qt_notification_area.h"
#include "frontend/qt/qt_picker.h"
#include "platform/screen.h"
#include "tray/tray_icon.h"
#include "ui/form1.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWheelEvent>

namespace korvane::qtfront {

struct QtFrontEnd::Impl {
    Impl(ui::Form1& form, platform::Screen& screen, QtNotificationArea& tray)
        : form(form), screen(screen), tray(tray), binder(std::max(screen.TwipsPerPixelX(), 1)),
          window(form, binder.TwipsPerPixel())
    {
    }

    // The chosen item runs once the menu has closed and its event has finished: "Exit Korvane"
    // tears down what the menu's event is still using.
    static void ShowMenu(const forms::Menu& menu)
    {
        QMenu popup;
        const auto items = FillMenu(popup, menu);
        QAction* chosen = popup.exec(QCursor::pos());
        const auto it = items.find(chosen);
        if (it != items.end())
            QTimer::singleShot(0, qApp, [item = it->second] { item->UserClick(); });
    }

    void Build();
    void BuildCommandStrip();
    QFrame* AddPanel(forms::PictureBox& model);
    void BuildUsagePanel(QWidget* panel);
    void ConnectTray();

    ui::Form1& form;
    platform::Screen& screen;
    QtNotificationArea& tray;
    ControlBinder binder;
    MainWindowWidget window;
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
    c.Form.OnPopupMenu = [](const forms::Menu& menu) { ShowMenu(menu); };
    binder.Track(c.Form, &window);

    binder.AddScrollingList(c.MainBox, c.ScrollBox, c.List1, &window);
    binder.AddScrollingList(c.MainBox2, c.ScrollBox2, c.List2, &window);
    binder.AddScrollBar(c.Vs1, &window);
    binder.AddScrollBar(c.Vs2, &window);
    for (forms::Label* label : {&c.Label2, &c.Label3, &c.Label5, &c.Label4})
        binder.AddLabel(*label, &window, true);
    BuildCommandStrip();

    QFrame* options = AddPanel(c.Picture2);
    for (forms::CheckBox* box : {&c.Start_Up, &c.MiniMe, &c.Check2, &c.ConfirmRemvFav, &c.SortFavByAff})
        binder.AddCheckBox(*box, options);
    binder.AddButton(c.Command10, options);
    binder.AddButton(c.Command6, options);

    BuildUsagePanel(AddPanel(c.cpuOptions));

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
    ConnectTray();
    form.OnPickerCreated = [this](ui::Form2& picker) { OpenPicker(picker, binder.TwipsPerPixel()); };
}

void QtFrontEnd::Impl::BuildCommandStrip()
{
    ui::MainControls& c = form.Controls();
    auto* strip = new QWidget(&window);
    binder.BindPlain(c.Picture1, strip);
    for (auto& box : c.Check11)
        binder.AddCheckBox(box, strip);
    for (forms::Button* button : {&c.Command5, &c.Command7, &c.Command8, &c.Command4, &c.Command3, &c.Command1,
                                  &c.Command9, &c.Command2, &c.Command13})
        binder.AddButton(*button, strip);
    binder.AddCheckBox(c.ShowAll, strip);
    binder.AddCheckBox(c.Check1, strip);
}

// A raised panel that comes to the front whenever the model shows it.
QFrame* QtFrontEnd::Impl::AddPanel(forms::PictureBox& model)
{
    auto* panel = new QFrame(&window);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    binder.BindPlain(model, panel, [panel] { panel->raise(); });
    return panel;
}

void QtFrontEnd::Impl::BuildUsagePanel(QWidget* panel)
{
    ui::MainControls& c = form.Controls();
    binder.AddLabel(c.Label1, panel);
    binder.AddPicture(c.VertGraph0, panel);
    for (auto& meter : c.Meter)
        binder.AddPicture(meter, panel);
    for (auto& average : c.AvgUse)
        binder.AddLabel(average, panel);
    for (forms::Label* label : {&c.LblCore0, &c.LblCore0A, &c.LblCore1, &c.LblCore1A, &c.LblCore2, &c.LblCore2A,
                                &c.LblCore3, &c.LblCore3A})
        binder.AddLabel(*label, panel);
    binder.AddLabel(c.CPUTTL, panel, true);
    binder.AddLabel(c.LblElapsed, panel);
    binder.AddButton(c.Command11, panel);
    binder.AddButton(c.Command14, panel);
    binder.AddButton(c.Command12, panel);
    binder.AddPicture(c.ShowTrayColr, panel);
    binder.AddCheckBox(c.TrayAsNum, panel);
}

void QtFrontEnd::Impl::ConnectTray()
{
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
    m_impl->binder.Unbind();
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
    return m_impl->binder.WidgetOf(control);
}

void QtFrontEnd::ApplySizeLimits()
{
    m_impl->window.SetLimits(m_impl->form.Layout().GetMinMaxInfo());
}

} // namespace korvane::qtfront
