#include "core/hidden_names.h"

#include "platform/fake/memory_file_system.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

constexpr const char* kFolder = "/opt/korvane/";
constexpr const char* kPath = "/opt/korvane/Hidden.txt";

class HiddenNamesTest : public ::testing::Test {
protected:
    HiddenNamesTest()
    {
        files.CreateFolder(kFolder);
        hidden.SetProgramFolder(kFolder);
    }

    std::vector<std::string> Entries()
    {
        std::vector<std::string> entries;
        for (std::int32_t i = 0; i < hidden.Names().ListCount(); ++i)
            entries.push_back(hidden.Names().List(i));
        return entries;
    }

    platform::fake::MemoryFileSystem files;
    HiddenNames hidden{files};
};

TEST_F(HiddenNamesTest, LoadSortsProperCasesTrimsAndSkipsEmptyLines)
{
    files.PutFile(kPath, "notepad.EXE\r\n  explorer.exe  \r\n\r\nsvchost.exe");
    hidden.LoadHiddenNames();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Explorer.exe", "Notepad.exe", "Svchost.exe"}));
}

TEST_F(HiddenNamesTest, HiddenIsAContainmentTestIgnoringCase)
{
    files.PutFile(kPath, "Svchost.exe\r\n");
    hidden.LoadHiddenNames();
    EXPECT_TRUE(hidden.IsHidden("Host.exe"));
    EXPECT_TRUE(hidden.IsHidden("SVCHOST.EXE"));
    EXPECT_FALSE(hidden.IsHidden("Svchost.exe2"));
    EXPECT_FALSE(hidden.UnhideName("Host.exe"));
    EXPECT_FALSE(hidden.HiddenNamesChanged());

    HiddenNames shortEntry(files);
    shortEntry.SetProgramFolder(kFolder);
    files.PutFile(kPath, "Host.exe\r\n");
    shortEntry.LoadHiddenNames();
    EXPECT_FALSE(shortEntry.IsHidden("Svchost.exe"));
}

TEST_F(HiddenNamesTest, UnhideRemovesOneEqualEntryAtATime)
{
    files.PutFile(kPath, "calc.exe\r\nCALC.EXE\r\n");
    hidden.LoadHiddenNames();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Calc.exe", "Calc.exe"}));
    EXPECT_TRUE(hidden.UnhideName("Calc.exe"));
    EXPECT_TRUE(hidden.HiddenNamesChanged());
    EXPECT_TRUE(hidden.IsHidden("Calc.exe"));
    EXPECT_TRUE(hidden.UnhideName("Calc.exe"));
    EXPECT_FALSE(hidden.IsHidden("Calc.exe"));
    EXPECT_FALSE(hidden.UnhideName("Calc.exe"));
}

TEST_F(HiddenNamesTest, SaveWritesOnlyAfterAChangeAndThenReleasesTheList)
{
    hidden.LoadHiddenNames();
    EXPECT_TRUE(hidden.SaveHiddenNames());
    EXPECT_FALSE(files.FileExists(kPath));

    hidden.LoadHiddenNames();
    hidden.HideName("Zsh");
    hidden.HideName("Bash");
    EXPECT_TRUE(hidden.SaveHiddenNames());
    EXPECT_EQ(files.Content(kPath), "Bash\r\nZsh\r\n");
    EXPECT_EQ(hidden.Names().ListCount(), 0);
}

TEST_F(HiddenNamesTest, HideThenUnhideStillRewritesAndTheLastUnhideLeavesAnEmptyFile)
{
    files.PutFile(kPath, "Top\r\n");
    hidden.LoadHiddenNames();
    EXPECT_TRUE(hidden.UnhideName("Top"));
    EXPECT_TRUE(hidden.SaveHiddenNames());
    EXPECT_EQ(files.Content(kPath), "");
}

TEST_F(HiddenNamesTest, AFileThatCouldNotBeReadIsNeverSavedOver)
{
    files.PutFile(kPath, "Keep.exe\r\n");
    files.MakeUnreadable(kPath);
    hidden.LoadHiddenNames();
    EXPECT_TRUE(hidden.ReadFailed());
    EXPECT_EQ(hidden.Names().ListCount(), 0);
    hidden.HideName("New.exe");
    EXPECT_FALSE(hidden.SaveHiddenNames());
    EXPECT_EQ(files.Content(kPath), "Keep.exe\r\n");

    // A read that fails halfway keeps the lines read whole, and still saves nothing.
    platform::fake::MemoryFileSystem cut;
    cut.CreateFolder(kFolder);
    cut.PutFile(kPath, "alpha.exe\r\nbeta.exe\r\ngamma.exe\r\n");
    cut.FailReadAfter(kPath, 15);
    HiddenNames partial(cut);
    partial.SetProgramFolder(kFolder);
    partial.LoadHiddenNames();
    EXPECT_TRUE(partial.ReadFailed());
    ASSERT_EQ(partial.Names().ListCount(), 1);
    EXPECT_EQ(partial.Names().List(0), "Alpha.exe");
    partial.HideName("New.exe");
    EXPECT_FALSE(partial.SaveHiddenNames());
    EXPECT_EQ(cut.WriteCount(), 0);
}

TEST_F(HiddenNamesTest, AFailedSaveKeepsTheOldFileAndASecondSaveWritesNothing)
{
    files.PutFile(kPath, "Keep.exe\r\n");
    hidden.LoadHiddenNames();
    files.MakeReadOnly(kFolder);
    hidden.HideName("New.exe");
    EXPECT_FALSE(hidden.SaveHiddenNames());
    EXPECT_EQ(files.Content(kPath), "Keep.exe\r\n");

    platform::fake::MemoryFileSystem other;
    other.CreateFolder(kFolder);
    HiddenNames twice(other);
    twice.SetProgramFolder(kFolder);
    twice.LoadHiddenNames();
    twice.HideName("Bash");
    EXPECT_TRUE(twice.SaveHiddenNames());
    EXPECT_TRUE(twice.SaveHiddenNames());
    EXPECT_EQ(other.Content(kPath), "Bash\r\n");
    EXPECT_EQ(other.WriteCount(), 1);
}

} // namespace
} // namespace korvane::core
