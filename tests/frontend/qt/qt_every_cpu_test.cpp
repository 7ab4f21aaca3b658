// Show Every CPU in the Qt front end, on Qt's offscreen platform over the simulated machine.
#include "frontend/qt/qt_front_end.h"

#include "frontend/qt/qt_notification_area.h"
#include "support/cpu_machines.h"
#include "support/fake_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace korvane::qtfront {
namespace {

struct EveryCpuView {
    explicit EveryCpuView(const platform::CpuTopology& topology) : f(static_cast<int>(topology.cpus.size()))
    {
        f.machine.SetTopology(topology);
        f.AddFavoriteFile({test::Row("Renderer", "0-3"), test::Row("Encoder", "0123")});
        game = f.machine.Start("/opt/game", 2);
        f.machine.Start("/usr/bin/editor");
        f.machine.Start("/usr/bin/encoder");
        for (int cpu = 0; cpu < static_cast<int>(topology.cpus.size()); ++cpu)
            f.counters.SetUsage(cpu, (cpu * 37) % 101);
        f.settings.Save("Tollmere", "Korvane", "AllCpus", "1");
        f.Start();
        view = std::make_unique<QtFrontEnd>(*f.form, f.screen, tray);
        f.Run(3000);
        QApplication::processEvents();
    }
    template <typename Widget>
    Widget* Of(const forms::Control& control)
    {
        return dynamic_cast<Widget*>(view->WidgetOf(&control));
    }
    // The open pop-up, if any.
    static QFrame* Popup()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && (widget->windowFlags() & Qt::Popup) == Qt::Popup)
                return qobject_cast<QFrame*>(widget);
        }
        return nullptr;
    }
    // KORVANE_PICTURES=folder keeps the pictures for the README and for review.
    static void Keep(QWidget* widget, const char* name)
    {
        if (const char* folder = std::getenv("KORVANE_PICTURES"))
            widget->grab().save(QString::fromLocal8Bit(folder) + "/" + name);
    }

    test::FakeForm f;
    QtNotificationArea tray;
    std::unique_ptr<QtFrontEnd> view;
    std::int32_t game = 0;
};

TEST(QtEveryCpu, TheFieldTheButtonAndTheOptionExistDrawAndForward)
{
    EveryCpuView v(test::HybridMachine(4, 8));
    ui::MainControls& c = v.f.Controls();
    QLineEdit* field = v.Of<QLineEdit>(c.TxtCpus);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isVisible());
    EXPECT_FALSE(v.Of<QCheckBox>(c.Check11[0])->isVisible());
    EXPECT_EQ(v.Of<QCheckBox>(c.AllCpus)->text(), "Show Every CPU");
    EXPECT_TRUE(v.Of<QCheckBox>(c.AllCpus)->isChecked());

    c.List1.UserClickRow(v.f.RowOf("Game"));
    QApplication::processEvents();
    EXPECT_EQ(field->text(), "0-15");
    field->selectAll();
    QTest::keyClicks(field, "5-3");
    EXPECT_EQ(c.TxtCpus.Text(), "5-3");
    EXPECT_EQ(v.Of<QLabel>(c.LblCpusError)->text(), "\"5-3\" runs backwards.");
    EXPECT_FALSE(v.Of<QPushButton>(c.Command5)->isEnabled());
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-16-typed.png");
    field->selectAll();
    QTest::keyClicks(field, "8-15");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(v.f.machine.ThreadCpus(v.game).front(), (std::vector<std::uint64_t>{0xFF00}));
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-16.png");

    // The picker: a toggle per CPU that forwards to the model.
    v.Of<QPushButton>(c.CmdCpus)->click();
    QApplication::processEvents();
    QFrame* popup = EveryCpuView::Popup();
    ASSERT_NE(popup, nullptr);
    const auto toggles = popup->findChildren<QCheckBox*>();
    EXPECT_EQ(toggles.size(), 16);
    ui::CpuPicker* picker = v.f.form->EveryCpu().Picker();
    ASSERT_NE(picker, nullptr);
    QCheckBox* zero = dynamic_cast<QCheckBox*>(toggles.front());
    for (QCheckBox* toggle : toggles) {
        if (toggle->text() == "0")
            zero = toggle;
    }
    // Named for a screen reader by what each CPU is, and the pop-up by what it is for.
    EXPECT_EQ(zero->accessibleName(), "CPU 0, performance core 0, thread 1");
    for (QCheckBox* toggle : toggles) {
        if (toggle->text() == "5") {
            EXPECT_EQ(toggle->accessibleName(), "CPU 5, performance core 2, thread 2");
        } else if (toggle->text() == "12") {
            EXPECT_EQ(toggle->accessibleName(), "CPU 12, efficiency core 8, thread 1");
        }
    }
    EXPECT_EQ(popup->windowTitle(), "Choose CPUs");
    zero->click();
    EXPECT_TRUE(picker->ToggleOf(0)->Ticked());
    EXPECT_EQ(picker->ChosenText.Caption(), "Chosen: 0,8-15 (9 CPUs)");
    EveryCpuView::Keep(popup, "every-cpu-qt-16-picker.png");
    // A preset ticks the toggles on screen too.
    picker->Presets.front()->UserClick(); // "All CPUs"
    for (QCheckBox* toggle : toggles)
        EXPECT_TRUE(toggle->isChecked()) << toggle->text().toStdString();
    zero->click();
    for (QPushButton* button : popup->findChildren<QPushButton*>()) {
        if (button->text() == "Apply")
            button->click();
    }
    QApplication::processEvents();
    EXPECT_EQ(EveryCpuView::Popup(), nullptr);
    EXPECT_EQ(field->text(), "1-15");

    c.Command4.UserClick();
    QApplication::processEvents();
    EXPECT_TRUE(v.Of<QCheckBox>(c.AllCpus)->isVisible());
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-options.png");
}

TEST(QtEveryCpu, At128CpusTheWindowThePickerAndTheUsagePanelStayReadable)
{
    EveryCpuView v(test::ServerMachine(1));
    ui::MainControls& c = v.f.Controls();
    c.List1.UserClickRow(v.f.RowOf("Game"));
    QApplication::processEvents();
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-128.png");
    c.CmdCpus.UserClick();
    QApplication::processEvents();
    QFrame* popup = EveryCpuView::Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->findChildren<QCheckBox*>().size(), 128);
    // Every group caption fits its width.
    for (QLabel* label : popup->findChildren<QLabel*>())
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
    EveryCpuView::Keep(popup, "every-cpu-qt-128-picker.png");
    v.f.form->EveryCpu().Picker()->Cancel.UserClick();
    QApplication::processEvents();

    c.Command13.UserClick();
    v.f.Run(1000);
    QApplication::processEvents();
    QWidget* bars = v.view->WidgetOf(&c.PicCpuBars);
    ASSERT_NE(bars, nullptr);
    EXPECT_TRUE(bars->isVisible());
    EXPECT_FALSE(v.view->WidgetOf(&c.VertGraph0)->isVisible());
    // The bars are drawn: lit green where CPU 1 is at 37 %.
    const QImage drawn = bars->grab().toImage();
    EXPECT_EQ(drawn.width(), 252);
    QTest::mouseMove(v.view->WidgetOf(&c.PicCpuAverages), QPoint(3, 3));
    QApplication::processEvents();
    EXPECT_EQ(c.PicCpuAverages.ToolTipText().rfind("CPU 0: ", 0), 0U);
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-usage-128.png");
}

TEST(QtEveryCpu, TheUsagePanelAt32Cpus)
{
    EveryCpuView v(test::TwoDieMachine32());
    ui::MainControls& c = v.f.Controls();
    c.Command13.UserClick();
    v.f.Run(1000);
    QApplication::processEvents();
    EXPECT_TRUE(v.view->WidgetOf(&c.PicCpuAverages)->isVisible());
    EXPECT_EQ(c.PicCpuAverages.Picture().Width(), 252);
    EveryCpuView::Keep(&v.view->Window(), "every-cpu-qt-usage-32.png");
}

} // namespace
} // namespace korvane::qtfront
