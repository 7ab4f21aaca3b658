// The Qt front end over the simulated machine, on Qt's offscreen platform.
#include "frontend/qt/qt_front_end.h"

#include "frontend/qt/qt_dialogs.h"
#include "frontend/qt/qt_icon_source.h"
#include "frontend/qt/qt_image.h"
#include "frontend/qt/qt_notification_area.h"
#include "frontend/qt/qt_screen.h"
#include "support/fake_form.h"
#include "tray/tray_image.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace korvane::qtfront {
namespace {

using test::Row;

struct FrontEndFixture : ::testing::Test {
    FrontEndFixture()
    {
        f.AddFavoriteFile({Row("Game", "1")});
        f.machine.Start("/usr/bin/editor");
        f.machine.Start("/opt/game");
        f.Start();
        view = std::make_unique<QtFrontEnd>(*f.form, f.screen, tray);
        f.Run(1000);
        QApplication::processEvents();
    }
    template <typename Widget>
    Widget* Of(const forms::Control& control)
    {
        return dynamic_cast<Widget*>(view->WidgetOf(&control));
    }

    test::FakeForm f{2};
    QtNotificationArea tray;
    std::unique_ptr<QtFrontEnd> view;
};

TEST_F(FrontEndFixture, TheWindowMirrorsTheModel)
{
    ui::MainControls& c = f.Controls();
    EXPECT_EQ(view->Window().windowTitle(), "Korvane");
    EXPECT_EQ(Of<QLabel>(c.Label2)->text(), "Process (2/2)");
    EXPECT_EQ(Of<QLabel>(c.Label5)->text(), "Favorites (1)");
    EXPECT_EQ(Of<QPushButton>(c.Command5)->text(), "Apply");
    EXPECT_EQ(Of<QPushButton>(c.Command7)->toolTip(), "Hide selected file");
    EXPECT_FALSE(Of<QCheckBox>(c.Check11[3])->isEnabled());
    EXPECT_TRUE(Of<QCheckBox>(c.Check11[0])->isChecked());
    EXPECT_EQ(Of<QPushButton>(c.Command1)->isEnabled(), c.Command1.Enabled());
    // 15 twips to a pixel: the viewport of the process list at (15, 63), 332 pixels wide.
    const QWidget* viewport = view->WidgetOf(&c.MainBox);
    EXPECT_EQ(viewport->geometry(), QRect(15, 63, 332, 251));
    EXPECT_EQ(view->Window().frameGeometry().width(), 717);
    // The icon column shows the model's picture, in part as in whole.
    QWidget* column = view->WidgetOf(&c.ScrollBox);
    ASSERT_NE(column, nullptr);
    const image::Surface& model = c.ScrollBox.Picture();
    ASSERT_GE(model.Height(), 32);
    for (const QRect part : {QRect(0, 0, model.Width(), model.Height()), QRect(0, 16, 16, 16)}) {
        const QImage shown = column->grab(part).toImage();
        for (const QPoint at : {QPoint(5, 5), QPoint(0, 15), QPoint(15, 0)}) {
            const image::Color color = model.Pixel(part.x() + at.x(), part.y() + at.y());
            EXPECT_EQ(shown.pixelColor(at), QColor(image::RedOf(color), image::GreenOf(color), image::BlueOf(color)))
                << part.y() << " " << at.x() << "," << at.y();
        }
    }

    c.Label2.SetCaption("Process (9/9)");
    EXPECT_EQ(Of<QLabel>(c.Label2)->text(), "Process (9/9)");
    c.Form.SetState(forms::WindowState::Minimized);
    EXPECT_FALSE(view->Window().isVisible());
}

TEST_F(FrontEndFixture, AScreenReaderFindsTheRowsTheirTextTheSelectionAndTheNames)
{
    ui::MainControls& c = f.Controls();
    QWidget* list = view->WidgetOf(&c.List1);
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* processes = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(processes, nullptr);
    EXPECT_EQ(processes->role(), QAccessible::List);
    EXPECT_EQ(processes->text(QAccessible::Name), "Processes");
    ASSERT_EQ(processes->childCount(), c.List1.ListCount());
    const int game = f.RowOf("Game");
    QAccessibleInterface* row = processes->child(game);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->role(), QAccessible::ListItem);
    EXPECT_EQ(row->text(QAccessible::Name), "Game, CPUs 0, 1, favorite");
    EXPECT_EQ(row->parent(), processes);
    EXPECT_EQ(processes->indexOfChild(row), game);
    EXPECT_EQ(processes->child(c.List1.ListIndex())->state().selected, true);

    // By the keyboard: Tab reaches the list, the arrows move its selection, and the focused row
    // is the selected one.
    EXPECT_EQ(list->focusPolicy(), Qt::StrongFocus);
    list->setFocus();
    view->Window().activateWindow();
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(c.List1.ListIndex(), c.List1.ListCount() - 1);
    QAccessibleInterface* last = processes->child(c.List1.ListCount() - 1);
    EXPECT_TRUE(last->state().selected);
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    EXPECT_FALSE(last->state().selected);
    if (list->hasFocus()) {
        EXPECT_TRUE(processes->child(0)->state().focused);
        EXPECT_EQ(processes->focusChild(), processes->child(0));
    }

    QAccessibleInterface* favorites = QAccessible::queryAccessibleInterface(view->WidgetOf(&c.List2));
    EXPECT_EQ(favorites->text(QAccessible::Name), "Favorites");
    ASSERT_EQ(favorites->childCount(), 1);
    EXPECT_EQ(favorites->child(0)->text(QAccessible::Name), "Game, CPU 1");
    EXPECT_TRUE(favorites->child(0)->state().multiSelectable);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view->WidgetOf(&c.TxtCpus))->text(QAccessible::Name),
              "CPUs to apply");

    // A row that went is no longer a row.
    f.machine.End(c.List1.ItemData(c.List1.ListCount() - 1));
    f.Run(1000);
    QApplication::processEvents();
    EXPECT_EQ(processes->childCount(), c.List1.ListCount());
    EXPECT_FALSE(last->isValid());
}

TEST(HighContrast, APaletteOfBlackAndWhiteOrADarkOneDrawsTheWindowInItWithoutARestart)
{
    const QPalette before = QApplication::palette();
    test::FakeForm f{4};
    for (int cpu = 0; cpu < 4; ++cpu)
        f.counters.SetUsage(cpu, 20 * cpu + 30);
    f.machine.Start("/usr/bin/editor");
    f.Start();
    QtScreen screen;
    QtNotificationArea tray;
    QtFrontEnd view(*f.form, screen, tray);
    f.Run(1000);
    QApplication::processEvents();
    ui::MainControls& c = f.Controls();
    const image::Color ownBackground = c.VertGraph0.Picture().Pixel(0, 60);

    // High contrast: white on black, yellow highlight.
    QPalette contrast(Qt::white, Qt::black, Qt::white, Qt::white, Qt::gray, Qt::white, Qt::white, Qt::black, Qt::black);
    contrast.setColor(QPalette::Highlight, Qt::yellow);
    contrast.setColor(QPalette::HighlightedText, Qt::black);
    // The form reads its colours from the simulated screen; the palette's change reaches it.
    f.screen.contrast = platform::SystemColors{0x000000, 0xFFFFFF, 0x00FFFF, 0};
    QApplication::setPalette(contrast);
    QApplication::processEvents();
    const std::optional<platform::SystemColors> read = screen.ContrastColors();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->window, 0x000000U);
    EXPECT_EQ(read->windowText, 0xFFFFFFU);
    EXPECT_EQ(read->highlight, 0x00FFFFU);
    f.Run(1000);
    QApplication::processEvents();
    const image::Surface& graph = c.VertGraph0.Picture();
    EXPECT_EQ(graph.Pixel(0, 60), image::Rgb(0, 0, 0));
    EXPECT_EQ(graph.Pixel(20, 58), image::Rgb(255, 255, 0)); // a lit segment: the highlight
    const QImage list = view.WidgetOf(&c.List1)->grab().toImage();
    EXPECT_EQ(list.pixelColor(list.width() - 2, list.height() - 2), QColor(Qt::black));
    // Captions keep a palette of their own, taken again from the new one.
    const QLabel* caption = dynamic_cast<QLabel*>(view.WidgetOf(&c.Label2));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::white));
    c.Command13.UserClick(); // the usage panel, in the same colours
    f.Run(1000);
    QApplication::processEvents();
    EXPECT_EQ(c.Meter[0].Picture().Pixel(5, 4), image::Rgb(255, 255, 0)); // 30 % in the highlight
    if (const char* folder = std::getenv("KORVANE_PICTURES"))
        view.Window().grab().save(QString::fromLocal8Bit(folder) + "/high-contrast-qt.png");

    // Back to the light theme: the program's own colours again.
    f.screen.contrast.reset();
    QApplication::setPalette(before);
    EXPECT_FALSE(screen.ContrastColors().has_value());
    QApplication::processEvents();
    f.Run(1000);
    EXPECT_EQ(c.VertGraph0.Picture().Pixel(0, 60), ownBackground);
}

TEST_F(FrontEndFixture, ClicksOnWidgetsReachTheHandlers)
{
    ui::MainControls& c = f.Controls();
    Of<QPushButton>(c.Command4)->click();
    EXPECT_TRUE(c.Picture2.Visible());
    EXPECT_TRUE(view->WidgetOf(&c.Picture2)->isVisible());
    Of<QPushButton>(c.Command6)->click();
    EXPECT_FALSE(c.Picture2.Visible());

    Of<QCheckBox>(c.Check1)->click();
    EXPECT_EQ(c.Check1.Value(), 1);
    EXPECT_FALSE(Of<QPushButton>(c.Command3)->isEnabled());

    QWidget* list = view->WidgetOf(&c.List1);
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, QPoint(30, 1 + 16 + 8));
    EXPECT_EQ(c.List1.ListIndex(), 1);
    EXPECT_EQ(f.form->State().WheelTarget, 1);

    for (auto& box : c.Check11)
        box.SetValue(0);
    Of<QPushButton>(c.Command5)->click();
    ASSERT_FALSE(f.dialogs.Messages().empty());
    EXPECT_EQ(f.dialogs.Messages().back().text, "Please set the affinity first!");
}

// The font and palette of the desktop, for one test.
struct DesktopLook {
    DesktopLook(const QFont& font, const QPalette& palette) : m_font(QApplication::font()), m_palette(QApplication::palette())
    {
        QApplication::setFont(font);
        QApplication::setPalette(palette);
    }
    ~DesktopLook()
    {
        QApplication::setFont(m_font);
        QApplication::setPalette(m_palette);
    }

private:
    QFont m_font;
    QPalette m_palette;
};

TEST(DesktopLook, CaptionsFitAtA12PointFontAndListsTakeThePalettesColours)
{
    QFont big = QApplication::font();
    big.setPointSize(12);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 44, 52));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    const DesktopLook look(big, dark);

    test::FakeForm f{4};
    f.machine.Start("/usr/bin/editor");
    f.Start();
    QtNotificationArea tray;
    QtFrontEnd view(*f.form, f.screen, tray);
    f.Run(1000);
    QApplication::processEvents();

    ui::MainControls& c = f.Controls();
    std::vector<const forms::Control*> captioned = {&c.Start_Up, &c.MiniMe, &c.Check2, &c.ConfirmRemvFav,
                                                    &c.SortFavByAff, &c.Check1, &c.ShowAll, &c.TrayAsNum,
                                                    &c.Command10, &c.Command5, &c.Command1, &c.Command3,
                                                    &c.Label2, &c.Label3, &c.Label5, &c.Label4};
    for (const auto& box : c.Check11)
        captioned.push_back(&box);
    for (const forms::Control* control : captioned) {
        const QWidget* widget = view.WidgetOf(control);
        ASSERT_NE(widget, nullptr);
        QString text;
        int room = widget->width();
        if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
            text = box->text();
            room -= widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
        } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            text = button->text();
            room -= 2 * widget->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            text = label->text();
        }
        EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(text), room) << text.toStdString();
    }

    // KORVANE_LOOK_SHOTS=folder keeps pictures of the window to look at.
    if (const char* folder = std::getenv("KORVANE_LOOK_SHOTS")) {
        view.Window().grab().save(QString::fromLocal8Bit(folder) + "/dark-12pt.png");
        c.Command13.UserClick();
        QApplication::processEvents();
        view.Window().grab().save(QString::fromLocal8Bit(folder) + "/dark-12pt-usage.png");
        c.Command4.UserClick();
        QApplication::processEvents();
        view.Window().grab().save(QString::fromLocal8Bit(folder) + "/dark-12pt-options.png");
    }

    QWidget* list = view.WidgetOf(&c.List1);
    ASSERT_NE(list, nullptr);
    const QImage pixels = list->grab().toImage();
    // Below the last row the list shows the palette's base colour, not white.
    EXPECT_EQ(pixels.pixelColor(pixels.width() - 3, pixels.height() - 3), QColor(30, 30, 30));
}

TEST(TrayPicture, TheIconShownIsTheModelsPictureWithTransparentMagenta)
{
    std::array<forms::MenuItem, 8> items;
    forms::PictureBox swatch;
    forms::PictureBox p2;
    tray::TrayImage picture(items, swatch, p2);
    picture.ColurPik_Click(4);
    const auto icon = picture.ComposeTrayIcon(50, false);
    const QImage shown = ToQImage(*icon);
    ASSERT_EQ(shown.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const image::Color c = p2.Picture().Pixel(x, y);
            const QRgb pixel = shown.pixel(x, y);
            if (c == tray::kTransparent) {
                EXPECT_EQ(qAlpha(pixel), 0);
            } else {
                EXPECT_EQ(qAlpha(pixel), 255);
                EXPECT_EQ(qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)),
                          qRgb(image::RedOf(c), image::GreenOf(c), image::BlueOf(c)));
            }
        }
    }
    const image::Icon back = ToIcon(shown);
    EXPECT_EQ(back.mask, icon->mask);
}

TEST(MessageBoxes, StylesMapToIconButtonsAndDefault)
{
    const MessageBoxLook info = MapMessageBoxStyle(64);
    EXPECT_EQ(info.icon, MessageBoxLook::Icon::Information);
    EXPECT_EQ(info.answers, std::vector<int>{platform::kAnswerOk});
    EXPECT_FALSE(info.foreground);

    const MessageBoxLook error = MapMessageBoxStyle(65552);
    EXPECT_EQ(error.icon, MessageBoxLook::Icon::Error);
    EXPECT_TRUE(error.foreground);

    const MessageBoxLook question = MapMessageBoxStyle(4 + 32 + 256);
    EXPECT_EQ(question.icon, MessageBoxLook::Icon::Question);
    EXPECT_EQ(question.answers, (std::vector<int>{platform::kAnswerYes, platform::kAnswerNo}));
    EXPECT_EQ(question.defaultAnswer, platform::kAnswerNo);
    EXPECT_EQ(MapMessageBoxStyle(4).defaultAnswer, platform::kAnswerYes);
}

TEST(FileDialog, FiltersComeFromTheNulSeparatedText)
{
    EXPECT_EQ(ParseDialogFilter(std::string("All Files\0*\0*.Exe, *.Src\0*.exe;*.scr\0", 37)),
              (QStringList{"All Files (*)", "*.Exe, *.Src (*.exe *.scr)"}));
    EXPECT_TRUE(ParseDialogFilter(std::string(1, '\0')).isEmpty());
}

} // namespace
} // namespace korvane::qtfront

int main(int argc, char** argv)
{
    // Test discovery runs this binary without the test's environment: default to offscreen.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
