#include "ui/process_list_view.h"

#include "platform/image/bitmap_file.h"
#include "support/fake_form.h"
#include "ui/program_icons.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

using test::Row;

struct ListFixture : ::testing::Test {
    void StartWith(int processes)
    {
        for (int i = 0; i < processes; ++i)
            f.machine.Start("/bin/p" + std::to_string(100 + i));
        f.Start();
        f.Run(1000);
    }
    test::FakeForm f;
};

TEST_F(ListFixture, ScrollBarShowsOnlyWhenTheRowsOverflowTheViewport)
{
    StartWith(15);
    EXPECT_FALSE(f.Controls().Vs1.Visible());
    EXPECT_EQ(f.Controls().ScrollBox.Height(), 15 * 240);
    EXPECT_EQ(f.Controls().List1.Height(), 15 * 240 + 240);

    f.machine.Start("/bin/p999");
    f.Run(1000);
    EXPECT_TRUE(f.Controls().Vs1.Visible());

    for (int i = 0; i < 24; ++i)
        f.machine.Start("/bin/q" + std::to_string(i));
    f.Run(1000);
    EXPECT_EQ(f.Controls().List1.ListCount(), 40);
    EXPECT_EQ(f.Controls().Vs1.Max(), 40 * 240 - f.Controls().MainBox.InnerHeight());
}

TEST_F(ListFixture, TheKeysMoveTheSelectedRowAndTheBarScrollsToShowIt)
{
    StartWith(40);
    ui::MainControls& c = f.Controls();
    const std::int32_t inner = c.MainBox.InnerHeight();
    const std::int32_t page = inner / 240;
    ASSERT_EQ(c.List1.ListIndex(), 0);
    EXPECT_EQ(c.List1.UserKeyDown(forms::kKeyDown, 0), 0);
    EXPECT_EQ(c.List1.ListIndex(), 1);
    EXPECT_EQ(f.form->Selection().SelectedProcessId, c.List1.ItemData(1)); // as a click does
    EXPECT_EQ(f.form->State().ProcessScrollTop, 0);

    c.List1.UserKeyDown(forms::kKeyEnd, 0);
    EXPECT_EQ(c.List1.ListIndex(), 39);
    EXPECT_EQ(c.Vs1.Value(), c.Vs1.Max()); // the last row shows
    EXPECT_EQ(f.form->State().ProcessScrollTop, -c.Vs1.Max());
    EXPECT_EQ(c.ScrollBox.Top(), -c.Vs1.Max());

    c.List1.UserKeyDown(forms::kKeyPageUp, 0);
    EXPECT_EQ(c.List1.ListIndex(), 39 - page);
    const std::int32_t shownTop = -f.form->State().ProcessScrollTop;
    EXPECT_LE(shownTop, (39 - page) * 240);
    EXPECT_GE(shownTop + inner, (40 - page) * 240);

    c.List1.UserKeyDown(forms::kKeyHome, 0);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    EXPECT_EQ(c.Vs1.Value(), 0);
    c.List1.UserKeyDown(forms::kKeyUp, 0); // stays on the first row
    EXPECT_EQ(c.List1.ListIndex(), 0);
    EXPECT_EQ(c.List1.UserKeyDown('A', 0), 0);
    EXPECT_EQ(c.List1.ListIndex(), 0);
}

TEST_F(ListFixture, WheelMovesOneRowAndStopsAtBothEndsOnlyOnceAListIsTheTarget)
{
    StartWith(40);
    ui::Form1& form = *f.form;
    form.MouseWheel(-120);
    EXPECT_EQ(form.State().ProcessScrollTop, 0); // no target yet

    f.Controls().List1.UserGotFocus();
    form.MouseWheel(-360); // one row whatever the distance
    EXPECT_EQ(form.State().ProcessScrollTop, -240);
    EXPECT_EQ(f.Controls().Vs1.Value(), 240);
    EXPECT_EQ(f.Controls().ScrollBox.Top(), -240);
    form.MouseWheel(120);
    form.MouseWheel(120);
    EXPECT_EQ(form.State().ProcessScrollTop, 0);

    // A touchpad's parts of a notch: a row once they add up to one, afresh after turning back.
    for (int i = 0; i < 3; ++i)
        form.MouseWheel(-30);
    EXPECT_EQ(form.State().ProcessScrollTop, 0);
    form.MouseWheel(-30);
    EXPECT_EQ(form.State().ProcessScrollTop, -240);
    for (int i = 0; i < 4; ++i)
        form.MouseWheel(-30);
    EXPECT_EQ(form.State().ProcessScrollTop, -480);
    form.MouseWheel(100);
    EXPECT_EQ(form.State().ProcessScrollTop, -480);
    form.MouseWheel(20);
    EXPECT_EQ(form.State().ProcessScrollTop, -240);

    for (int i = 0; i < 100; ++i)
        form.MouseWheel(-120);
    EXPECT_EQ(form.State().ProcessScrollTop, -f.Controls().Vs1.Max());

    f.machine.Start("/bin/new");
    f.Run(1000); // every refresh scrolls back to the top
    EXPECT_EQ(form.State().ProcessScrollTop, 0);
}

TEST_F(ListFixture, MoreThan136RowsScrollToTheLastRow)
{
    StartWith(300);
    f.Controls().Vs1.UserScroll(1'000'000, false);
    EXPECT_EQ(f.form->State().ProcessScrollTop, -(300 * 240 - f.Controls().MainBox.InnerHeight()));
    EXPECT_EQ(f.form->State().WheelTarget, 1);
    EXPECT_EQ(f.Controls().ScrollBox.Height(), 300 * 240);
}

TEST_F(ListFixture, RowSelectionTicksItsCpusAndSetsTheButtons)
{
    f.AddFavoriteFile({Row("Fav", "0")});
    f.files.PutFile("/opt/korvane/Hidden.txt", "Hid\r\n");
    f.machine.SetMaskDirectly(f.machine.Start("/bin/plain"), 11);
    f.machine.Start("/bin/fav");
    f.machine.Start("/bin/hid");
    const auto unknown = f.machine.Start("/bin/unknown");
    f.machine.HideAffinity(unknown);
    f.Start();
    f.Controls().ShowAll.SetValue(1);
    MainControls& c = f.Controls();
    auto cpus = [&] {
        std::string ticked;
        for (int i = 0; i < 4; ++i)
            ticked += c.Check11[static_cast<std::size_t>(i)].Value() == 1 ? '1' : '0';
        return ticked;
    };

    c.List1.UserClickRow(f.RowOf("Plain"));
    EXPECT_EQ(cpus(), "1101");
    EXPECT_TRUE(c.Command7.Enabled() && c.Command1.Enabled() && c.Command5.Enabled());
    EXPECT_FALSE(c.Command8.Enabled());

    c.List1.UserClickRow(f.RowOf("Fav"));
    EXPECT_FALSE(c.Command7.Enabled() || c.Command8.Enabled() || c.Command1.Enabled());
    EXPECT_TRUE(c.Command5.Enabled());
    EXPECT_EQ(f.form->Selection().SelectedProcessName, "Fav");

    c.List1.UserClickRow(f.RowOf("Hid"));
    EXPECT_FALSE(c.Command7.Enabled());
    EXPECT_TRUE(c.Command8.Enabled());
    EXPECT_EQ(f.form->Selection().SelectedProcessName, "<Hid");

    c.List1.UserClickRow(f.RowOf("Unknown"));
    EXPECT_EQ(cpus(), "0000");

    EXPECT_EQ(c.List1.UserKeyDown(40, 0), 0);
}

TEST_F(ListFixture, TicksNotYetAppliedSurviveARebuildThatSelectsTheSameProcess)
{
    const auto game = f.machine.Start("/bin/game");
    const auto tool = f.machine.Start("/bin/tool");
    f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    auto cpus = [&] {
        std::string ticked;
        for (const auto& box : c.Check11)
            ticked += box.Value() == 1 ? '1' : '0';
        return ticked;
    };

    // Untouched boxes follow the process's affinity at every rebuild.
    c.List1.UserClickRow(f.RowOf("Game"));
    f.machine.SetMaskDirectly(game, 3);
    f.machine.Start("/bin/first");
    f.Run(1000);
    EXPECT_EQ(cpus(), "1100");

    // A box the user changed stays as it is while processes come and go, and Apply uses it.
    c.Check11[1].UserClick();
    EXPECT_EQ(cpus(), "1000");
    f.machine.Start("/bin/second");
    f.Run(1000);
    EXPECT_EQ(f.form->Selection().SelectedProcessId, game);
    EXPECT_EQ(cpus(), "1000");
    c.Command5.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 1U);

    // After Apply, and when the selection moves, the boxes show the process again.
    f.machine.SetMaskDirectly(game, 4);
    f.machine.Start("/bin/third");
    f.Run(1000);
    EXPECT_EQ(cpus(), "0010");
    c.Check11[3].UserClick();
    c.List1.UserClickRow(f.RowOf("Tool"));
    EXPECT_EQ(cpus(), "1111");
    (void)tool;
}

TEST_F(ListFixture, HideUnhideAndShowAllChangeTheRowsAndMarkTheList)
{
    f.files.PutFile("/opt/korvane/Hidden.txt", "calc.exe\r\nCALC.EXE\r\n");
    f.machine.Start("/bin/calc.exe");
    f.machine.Start("/bin/noisy");
    ui::Form1& form = f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("Noisy", "0123")});

    c.List1.UserClickRow(0);
    c.Command7.UserClick();
    EXPECT_TRUE(f.ProcessRows().empty());
    EXPECT_TRUE(form.Hidden().HiddenNamesChanged());
    EXPECT_FALSE(c.Command1.Enabled() || c.Command5.Enabled() || c.Command7.Enabled() || c.Command8.Enabled());

    c.ShowAll.UserClick();
    EXPECT_EQ(f.ProcessRows(), (std::vector<std::string>{Row("<Calc.exe", "0123"), Row("<Noisy", "0123")}));
    c.List1.UserClickRow(0);
    c.Command8.UserClick(); // removes one of the two Calc.exe entries: still hidden
    EXPECT_EQ(f.ProcessRows()[0], Row("<Calc.exe", "0123"));
    c.List1.UserClickRow(0);
    c.Command8.UserClick();
    EXPECT_EQ(f.ProcessRows(), (std::vector<std::string>{Row("<Noisy", "0123"), Row("Calc.exe", "0123")}));
    EXPECT_TRUE(c.Timer1.Enabled());
    EXPECT_EQ(form.State().WheelTarget, 1);
}

TEST_F(ListFixture, IconsAreExtractedOnceCachedAsBitmapsAndFoundWithoutRegardToCase)
{
    f.icons.SetIcon("/usr/bin/editor", platform::fake::FakeIconSource::SolidIcon(image::Rgb(10, 20, 30)));
    f.files.PutFile("/opt/korvane/cache/CALC.EXE.bmp",
                    image::EncodeBitmap(image::Surface(16, 16, image::Rgb(1, 2, 3))));
    const auto first = f.machine.Start("/usr/bin/editor");
    f.machine.Start("/opt/other/Editor"); // same shown name, other program: the cached icon shows
    f.machine.Start("/bin/calc.exe");
    f.machine.Start("/bin/noicon");
    ui::Form1& form = f.Start();
    f.Run(1000);

    const auto written = f.files.Content("/opt/korvane/cache/Editor.bmp");
    ASSERT_TRUE(written.has_value());
    const auto picture = image::DecodeBitmap(*written);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Pixel(0, 0), image::kWhite); // transparent pixels are white
    EXPECT_EQ(picture->Pixel(5, 5), image::Rgb(10, 20, 30));
    EXPECT_FALSE(f.files.FileExists("/opt/korvane/cache/Noicon.bmp"));

    const image::Surface& column = f.Controls().ScrollBox.Picture();
    ASSERT_EQ(column.Height(), 4 * 16);
    EXPECT_EQ(column.Pixel(5, f.RowOf("Calc.exe") * 16 + 5), image::Rgb(1, 2, 3));
    EXPECT_EQ(column.Pixel(5, 16 + 5), image::Rgb(10, 20, 30)); // the second Editor row
    const image::Surface dummy = DrawDummyIcon();
    image::Surface noicon(16, 16);
    noicon.BlockCopy(0, 0, 16, 16, column, 0, f.RowOf("Noicon") * 16);
    EXPECT_EQ(noicon, dummy);

    const std::size_t requests = f.icons.Requests().size();
    f.machine.End(first);
    f.Run(1000);
    EXPECT_EQ(f.icons.Requests().size(), requests + 1); // only the icon-less program is tried again
    (void)form;
}

TEST_F(ListFixture, RebuildsDrawTheIconColumnInTheMemoryOfTheLastOne)
{
    // At thousands of rows the column is megabytes: a new block at every rebuild fragmented the heap.
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 300; ++i)
        ids.push_back(f.machine.Start("/bin/p" + std::to_string(i)));
    f.Start();
    f.Run(1000);
    const forms::PictureBox& column = f.Controls().ScrollBox;
    const image::Color* pixels = column.Picture().Pixels().data();
    f.machine.End(ids.back());
    ids.back() = f.machine.Start("/bin/new");
    f.Run(1000);
    EXPECT_EQ(column.Picture().Pixels().data(), pixels);
    // A list that grows takes some room to grow in.
    ids.push_back(f.machine.Start("/bin/newer"));
    f.Run(1000);
    pixels = column.Picture().Pixels().data();
    ids.push_back(f.machine.Start("/bin/newest"));
    f.Run(1000);
    EXPECT_EQ(column.Picture().Height(), 302 * 16);
    EXPECT_EQ(column.Picture().Pixels().data(), pixels);

    // A list that shrinks far gives the memory back.
    for (std::size_t i = 1; i < ids.size(); ++i)
        f.machine.End(ids[i]);
    f.Run(1000);
    EXPECT_EQ(column.Picture().Height(), 16);
    EXPECT_LE(column.Picture().Pixels().capacity(), 2U * 16U * 16U);
}

} // namespace
} // namespace korvane::ui
