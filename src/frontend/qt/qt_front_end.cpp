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
    QWidget* AddPanel(forms::PictureBox& model, bool raised);
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
    ui::MainControls::AddPanelParts(binder, c.CommandStripParts(), AddPanel(c.Picture1, false));
    ui::MainControls::AddPanelParts(binder, c.OptionsPanelParts(), AddPanel(c.Picture2, true));
    ui::MainControls::AddPanelParts(binder, c.UsagePanelParts(), AddPanel(c.cpuOptions, true));

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
    form.EveryCpu().OnPickerCreated = [this](ui::CpuPicker& picker) { OpenCpuPicker(picker, binder.TwipsPerPixel()); };
}

// A plain panel, or a raised one that comes to the front whenever the model shows it.
QWidget* QtFrontEnd::Impl::AddPanel(forms::PictureBox& model, bool raised)
{
    if (!raised) {
        auto* strip = new QWidget(&window);
        binder.BindPlain(model, strip);
        return strip;
    }
    auto* panel = new QFrame(&window);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    binder.BindPlain(model, panel, [panel] { panel->raise(); });
    return panel;
}

void QtFrontEnd::Impl::ConnectTray()
{
    tray.onMouseMessage = [this](int message) {
        ui::MainControls& controls = form.Controls();
        if (controls.P2.OnMouseMove)
            controls.P2.OnMouseMove(0, 0, static_cast<float>(message), 0);
    };
    tray.onTrayCreated = [this] { form.TaskbarCreated(); };
    tray.onTrayGone = [this] { form.TaskbarGone(); };
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
    m_impl->tray.onTrayGone = {};
    m_impl->tray.fillContextMenu = {};
    m_impl->form.OnPickerCreated = {};
    m_impl->form.EveryCpu().OnPickerCreated = {};
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
