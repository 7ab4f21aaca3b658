#include "procmon/start_watcher.h"

#include "platform/fake/fake_start_watch.h"
#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::procmon {
namespace {

using test::Row;

struct StartWatchFixture : ::testing::Test {
    void Load(bool autoSet = true)
    {
        f.AddFavoriteFile({Row("Game.exe", "1"), Row("Tool", "5-3"), Row("Hidden", "2")});
        f.files.PutFile(std::string(test::kProgramFolder) + "Hidden.txt", "Hidden\r\n");
        f.Start();
        f.form->UseStartWatch(watch);
        watch.Open();
        f.Run(1000);
        if (autoSet)
            f.Controls().Check1.UserClick();
    }
    // A process starts and the watch tells at once, before any timer has ticked.
    std::int32_t StartAndTell(const std::string& path, int threads = 1)
    {
        const std::int32_t id = f.machine.Start(path, threads);
        watch.Started(id);
        f.form->StartWatch_Ready();
        return id;
    }

    test::FakeForm f;
    platform::fake::FakeStartWatch watch;
};

TEST_F(StartWatchFixture, AFavoriteGetsItsCpusAtTheStartWithoutWaitingForTheTimers)
{
    Load();
    const auto game = StartAndTell("C:/Games/Game.exe", 3);
    EXPECT_EQ(f.machine.ThreadMasks(game), (std::vector<std::uint32_t>{2, 2, 2}));
    EXPECT_EQ(f.form->Starts()->StartsSet(), 1);

    // Not favorites, hidden ones, unreadable lists and processes gone before they were read:
    // left alone.
    const auto other = StartAndTell("/usr/bin/other");
    const auto hidden = StartAndTell("/usr/bin/hidden");
    const auto tool = StartAndTell("/usr/bin/tool");
    const auto gone = f.machine.Start("/opt/game.exe");
    f.machine.End(gone);
    watch.Started(gone);
    f.form->StartWatch_Ready();
    for (const auto id : {other, hidden, tool})
        EXPECT_EQ(f.machine.ThreadMasks(id), std::vector<std::uint32_t>{15}) << id;

    // The polling path then lists the game as set and has nothing left to do.
    const int sets = f.machine.SetAffinityCount();
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.SetAffinityCount(), sets);
    EXPECT_NE(f.RowOf("*Game.exe"), -1);
    EXPECT_EQ(f.ProcessRows()[static_cast<std::size_t>(f.RowOf("*Game.exe"))], Row("*Game.exe", "1"));
}

TEST_F(StartWatchFixture, AStartWhoseIdWentToALaterProcessLeavesTheLaterOneAlone)
{
    Load();
    // The game executes and ends before its start is read; a later game takes the same id.
    const auto game = f.machine.Start("C:/Games/Game.exe");
    const std::uint64_t execTime = f.machine.ProcessStartTime(game);
    f.machine.End(game);
    f.machine.StartWithId(game, "C:/Games/Game.exe");
    watch.Started(game, execTime);
    f.form->StartWatch_Ready();
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{15});
    EXPECT_EQ(f.form->Starts()->StartsSet(), 0);

    // Its own start is set, and so is a start whose time the platform does not tell.
    watch.Started(game, f.machine.ProcessStartTime(game));
    f.form->StartWatch_Ready();
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{2});
    const auto other = f.machine.Start("C:/Games/Game.exe");
    watch.Started(other);
    f.form->StartWatch_Ready();
    EXPECT_EQ(f.machine.ThreadMasks(other), std::vector<std::uint32_t>{2});
}

TEST_F(StartWatchFixture, WithAutoSetOffStartsChangeNothing)
{
    Load(false);
    const auto game = StartAndTell("C:/Games/Game.exe");
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{15});
    EXPECT_EQ(f.machine.SetAffinityCount(), 0);
}

TEST_F(StartWatchFixture, LostStartsRunOneFullPassAndTheWatchGoesOn)
{
    Load();
    // Two starts the platform dropped: neither was told.
    const auto first = f.machine.Start("/opt/a/game.exe", 2);
    const auto second = f.machine.Start("/opt/b/game.exe");
    watch.Overrun();
    f.form->StartWatch_Ready();
    EXPECT_EQ(f.machine.ThreadMasks(first), (std::vector<std::uint32_t>{2, 2}));
    EXPECT_EQ(f.machine.ThreadMasks(second), std::vector<std::uint32_t>{2});
    EXPECT_TRUE(watch.IsOpen());
    EXPECT_EQ(watch.OpenCount(), 1);
    EXPECT_TRUE(f.dialogs.Messages().empty());
}

TEST_F(StartWatchFixture, ABrokenWatchIsReopenedOnceAndWithoutItThePollingCarriesOn)
{
    Load();
    watch.Break();
    f.form->StartWatch_Ready();
    EXPECT_TRUE(watch.IsOpen());
    EXPECT_EQ(watch.OpenCount(), 2);

    watch.Allow(false);
    watch.Break();
    f.form->StartWatch_Ready();
    EXPECT_FALSE(watch.IsOpen());
    EXPECT_EQ(watch.OpenCount(), 3);
    // Closed: a call does not try again (no busy loop), and the timers still apply favorites.
    f.form->StartWatch_Ready();
    EXPECT_EQ(watch.OpenCount(), 3);
    const auto game = f.machine.Start("/opt/game.exe");
    f.Run(333 + 500);
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{2});
    EXPECT_TRUE(f.dialogs.Messages().empty());
}

TEST_F(StartWatchFixture, SetNowSkipsARowWhoseIdWentToALaterProcessAndTheListCatchesUp)
{
    Load(false);
    const auto game = f.machine.Start("/opt/game.exe");
    f.Run(333 + 500);
    ASSERT_NE(f.RowOf("*Game.exe"), -1);
    // Same id, another program, no tick between: the row still says Game.exe.
    f.machine.End(game);
    f.machine.StartWithId(game, "/usr/bin/editor");
    f.Controls().Command3.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{15});
    EXPECT_EQ(f.machine.SetAffinityCount(), 0);
    f.Run(500);
    EXPECT_EQ(f.RowOf("*Game.exe"), -1);
    EXPECT_NE(f.RowOf("Editor"), -1);
}

} // namespace
} // namespace korvane::procmon
