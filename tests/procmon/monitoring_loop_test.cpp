#include "procmon/monitoring_loop.h"

#include "core/list_row.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvane::procmon {
namespace {

using test::Row;

struct LoopFixture : ::testing::Test {
    test::FakeForm f;
    void AutoSet(bool on)
    {
        f.Controls().Check1.UserClick();
        EXPECT_EQ(f.Controls().Check1.Value(), on ? 1 : 0);
    }
};

TEST_F(LoopFixture, AFavoriteStartedWithAutoSetOnGetsItsAffinityWithinOneWatchAndOneRefresh)
{
    f.AddFavoriteFile({Row("Game", "01")});
    ui::Form1& form = f.Start();
    f.Run(1000);
    AutoSet(true);
    const auto game = f.machine.Start("/opt/game/game", 4);
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{3, 3, 3, 3}));
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("*Game", "01")});

    // A process moved by someone else is set back at the next change of the count.
    f.machine.SetMaskDirectly(game, 15);
    f.machine.Start("/bin/other");
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 3U);
    (void)form;
}

TEST_F(LoopFixture, AFavoriteNamedInAnyScriptMatchesItsProgramWhateverTheCase)
{
    // A hand-written row of 34 bytes in upper case, as an older Korvane or an editor left it;
    // the program runs as "игра.exe" and "ΚΑΦΕ.EXE".
    f.AddFavoriteFile({"\xd0\x98\xd0\x93\xd0\xa0\xd0\x90.EXE" + std::string(22, ' ') + "01",
                       core::ListRow::Format("\xce\x9a\xce\xb1\xcf\x86\xce\xb5.exe", "2")});
    f.Start();
    f.Run(1000);
    AutoSet(true);
    const auto game = f.machine.Start("/opt/\xd0\xb8\xd0\xb3\xd1\x80\xd0\xb0.exe", 2);
    const auto cafe = f.machine.Start("/opt/\xce\x9a\xce\x91\xce\xa6\xce\x95.EXE");
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{3, 3}));
    EXPECT_EQ(f.machine.ThreadMasks(cafe), (std::vector<std::uint32_t>{4}));
    const auto rows = f.ProcessRows();
    EXPECT_NE(std::find(rows.begin(), rows.end(), Row("*\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0.exe", "01")), rows.end());
}

TEST_F(LoopFixture, AFavoriteStartedWhileAnotherProcessEndsIsSetAtTheNextWatch)
{
    f.AddFavoriteFile({Row("Game", "01")});
    const auto launcher = f.machine.Start("/opt/launcher");
    f.Start();
    f.Run(1000);
    AutoSet(true);
    // The launcher starts the game and ends within one tick: the count does not change.
    f.machine.End(launcher);
    const auto game = f.machine.Start("/opt/game/game", 2);
    const std::int32_t count = f.form->Monitor().LastProcessCount;
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{3, 3}));
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("*Game", "01")});
    EXPECT_EQ(f.form->Monitor().LastProcessCount, count);

    // A quiet machine rebuilds nothing.
    const int refreshes = f.form->ProcessView().RefreshCount();
    f.Run(3000);
    EXPECT_EQ(f.form->ProcessView().RefreshCount(), refreshes);
}

TEST_F(LoopFixture, WithAutoSetOffNothingIsSetUntilSetNowWhichRedrawsOnlyWhenItSetSomething)
{
    f.AddFavoriteFile({Row("Game", "1"), Row("Tool", "0123")});
    const auto game = f.machine.Start("/opt/game", 2);
    f.machine.Start("/opt/tool");
    ui::Form1& form = f.Start();
    f.Run(5000);
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 15U);

    const int refreshes = form.ProcessView().RefreshCount();
    f.Controls().Command3.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 2U);
    EXPECT_EQ(f.machine.SetAffinityCount(), 1); // the tool already runs on its CPUs
    EXPECT_EQ(form.ProcessView().RefreshCount(), refreshes + 1);
    f.Controls().MnuSetFavNow.UserClick();
    EXPECT_EQ(form.ProcessView().RefreshCount(), refreshes + 1);
    EXPECT_TRUE(f.Controls().Timer1.Enabled());
}

TEST_F(LoopFixture, SwitchingAutoSetFollowsWithButtonsAndMenuAndAppliesAtOnce)
{
    f.AddFavoriteFile({Row("Game", "1")});
    const auto game = f.machine.Start("/opt/game");
    f.Start();
    f.Run(1000);
    f.Controls().List1.UserClickRow(f.RowOf("Game"));
    EXPECT_FALSE(f.Controls().Command1.Enabled());
    EXPECT_TRUE(f.Controls().Command5.Enabled());

    AutoSet(true);
    EXPECT_FALSE(f.Controls().Command3.Enabled());
    EXPECT_FALSE(f.Controls().MnuSetFavNow.Enabled());
    EXPECT_TRUE(f.Controls().MnuSetFav.Checked());
    EXPECT_FALSE(f.Controls().Command5.Enabled());
    EXPECT_FALSE(f.Controls().Command1.Enabled());
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 2U);

    AutoSet(false);
    EXPECT_TRUE(f.Controls().Command3.Enabled());
    EXPECT_TRUE(f.Controls().MnuSetFavNow.Enabled());
    EXPECT_FALSE(f.Controls().MnuSetFav.Checked());
    EXPECT_TRUE(f.Controls().Command5.Enabled());
    EXPECT_FALSE(f.Controls().Command1.Enabled());
}

TEST_F(LoopFixture, TheMenuItemTogglesBothItsMarkAndTheCheckBox)
{
    f.Start();
    f.Controls().MnuSetFav.UserClick();
    EXPECT_TRUE(f.Controls().MnuSetFav.Checked());
    EXPECT_EQ(f.Controls().Check1.Value(), 1);
    EXPECT_FALSE(f.Controls().Command3.Enabled());
    f.Controls().MnuSetFav.UserClick();
    EXPECT_FALSE(f.Controls().MnuSetFav.Checked());
    EXPECT_EQ(f.Controls().Check1.Value(), 0);
    EXPECT_TRUE(f.Controls().Command3.Enabled());
}

TEST_F(LoopFixture, HiddenFavoritesAndFavoritesInAnotherCaseAreNeverApplied)
{
    f.AddFavoriteFile({Row("Host.exe", "0"), Row("GAME", "0")});
    f.files.PutFile("/opt/korvane/Hidden.txt", "Svchost.exe\r\n");
    const auto host = f.machine.Start("/bin/host.exe");
    const auto game = f.machine.Start("/bin/game");
    f.Start();
    f.Controls().ShowAll.SetValue(1);
    AutoSet(true);
    f.Run(2000);
    EXPECT_EQ(f.machine.ThreadMasks(host).front(), 15U);
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 15U);
    EXPECT_EQ(f.ProcessRows(), (std::vector<std::string>{Row("*Game", "0123"), Row("<*Host.exe", "0123")}));
}

TEST_F(LoopFixture, WhileMinimizedTheRefreshRebuildsRowsWithoutRedrawingIcons)
{
    f.Start();
    f.Run(1000);
    const int refreshes = f.form->ProcessView().RefreshCount();
    f.Controls().Form.SetState(forms::WindowState::Minimized);
    f.machine.Start("/bin/late");
    f.Run(1000);
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("Late", "0123")});
    EXPECT_EQ(f.form->ProcessView().RefreshCount(), refreshes);
}

TEST(LoopOnEightCpus, FavoritesRestrictProcessesThatRunOnCpusAboveThreeOnce)
{
    test::FakeForm f(8);
    f.AddFavoriteFile({Row("Game", "0123"), Row("Tool", "0")});
    const auto game = f.machine.Start("/opt/game", 2);
    const auto tool = f.machine.Start("/opt/tool");
    const auto other = f.machine.Start("/bin/other");
    f.machine.SetMaskDirectly(tool, 0x21);
    f.machine.SetMaskDirectly(other, 0xF0);
    f.Start();
    f.Run(1000);
    EXPECT_EQ(f.ProcessRows(),
              (std::vector<std::string>{Row("*Game", "0-7"), Row("*Tool", "0,5"), Row("Other", "4-7")}));

    f.Controls().Check1.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{15, 15}));
    EXPECT_EQ(f.machine.ThreadMasks(tool), std::vector<std::uint32_t>{1});
    EXPECT_EQ(f.ProcessRows(),
              (std::vector<std::string>{Row("*Game", "0123"), Row("*Tool", "0"), Row("Other", "4-7")}));
    const int sets = f.machine.SetAffinityCount();
    EXPECT_EQ(sets, 2);

    f.machine.Start("/bin/late");
    f.Run(1000);
    EXPECT_EQ(f.machine.SetAffinityCount(), sets);
}

TEST(LoopOnEightCpus, FavoritesWithCpuListsAreAppliedAndUnreadableListsNever)
{
    test::FakeForm f(8);
    f.AddFavoriteFile({Row("Game", "4-7"), Row("Tool", "0,5"), Row("Odd", "5-3")});
    const auto game = f.machine.Start("/opt/game", 2);
    const auto tool = f.machine.Start("/opt/tool");
    const auto odd = f.machine.Start("/opt/odd");
    f.Start();
    f.Run(1000);
    f.Controls().Check1.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{0xF0, 0xF0}));
    EXPECT_EQ(f.machine.ThreadMasks(tool), std::vector<std::uint32_t>{0x21});
    EXPECT_EQ(f.machine.ThreadMasks(odd), std::vector<std::uint32_t>{0xFF});
    EXPECT_EQ(f.machine.SetAffinityCount(), 2);
    EXPECT_EQ(f.Rows(f.Controls().List2).size(), 3U);
    EXPECT_EQ(f.ProcessRows(),
              (std::vector<std::string>{Row("*Game", "4-7"), Row("*Odd", "0-7"), Row("*Tool", "0,5")}));
}

TEST_F(LoopFixture, AProcessThatRefusesItsFavoriteIsNotAskedAgainAtEveryRefresh)
{
    f.AddFavoriteFile({Row("Game", "1")});
    f.Start();
    const auto game = f.machine.Start("/opt/game/game");
    f.machine.RefuseAffinityChanges(game);
    f.Run(1000);
    AutoSet(true);
    const int asked = f.machine.SetAffinityCount();
    EXPECT_GE(asked, 1);
    // Other programs come and go: the list is rebuilt each time, the game is left alone.
    for (int i = 0; i < 5; ++i) {
        f.machine.Start("/bin/other" + std::to_string(i));
        f.Run(333 + 500);
    }
    EXPECT_EQ(f.machine.SetAffinityCount(), asked);
    EXPECT_TRUE(f.dialogs.Messages().empty());

    // Turning Auto Set off and on asks again; so does a later process given the same id.
    AutoSet(false);
    AutoSet(true);
    EXPECT_EQ(f.machine.SetAffinityCount(), asked + 1);
    f.machine.End(game);
    f.machine.StartWithId(game, "/opt/game/game");
    f.machine.Start("/bin/shell");
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{2});
}

} // namespace
} // namespace korvane::procmon
