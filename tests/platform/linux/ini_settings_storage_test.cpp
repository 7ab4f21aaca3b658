#include "platform/linux/ini_settings_storage.h"

#include "core/settings_store.h"
#include "platform/fake/memory_file_system.h"
#include "platform/linux/linux_file_system.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace korvane::platform::linuxos {
namespace {

TEST(IniSettingsStorage, ValuesSurviveARestartInTheirOwnFile)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    {
        IniSettingsStorage storage(files, folder.Path());
        EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), std::nullopt);
        EXPECT_TRUE(storage.Save("Tollmere", "Korvane", "Top", "1200"));
        EXPECT_TRUE(storage.Save("Tollmere", "Korvane", "Left", "300"));
        EXPECT_TRUE(storage.Save("Tollmere", "Korvane", "Top", "1500"));
    }
    IniSettingsStorage storage(files, folder.Path());
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "1500");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Left"), "300");
    EXPECT_EQ(*files.ReadFile(folder / "Tollmere/Korvane.conf"), "[Korvane]\nTop=1500\nLeft=300\n");
}

TEST(IniSettingsStorage, ASettingsFileThatCouldNotBeReadIsNotReplaced)
{
    fake::MemoryFileSystem files;
    files.CreateFolder("/cfg/Tollmere");
    const std::string content = "[Korvane]\nTop=1\nLeft=2\nHeight=3\n";
    files.PutFile("/cfg/Tollmere/Korvane.conf", content);
    files.FailReadAfter("/cfg/Tollmere/Korvane.conf", 12);
    IniSettingsStorage storage(files, "/cfg");
    EXPECT_FALSE(storage.Save("Tollmere", "Korvane", "MiniMe", "1"));
    EXPECT_EQ(files.Content("/cfg/Tollmere/Korvane.conf"), content);
}

TEST(IniSettingsStorage, HandEditedFilesAreReadLeniently)
{
    fake::MemoryFileSystem files;
    files.PutFile("/cfg/Tollmere/Korvane.conf",
                  "# comment\r\n[Other]\r\nTop=1\r\n[Korvane]\r\n  Top = 2512.5 \r\nbroken line\r\nHeight=abc\r\n");
    IniSettingsStorage storage(files, "/cfg");
    core::SettingsStore settings(storage);
    EXPECT_EQ(settings.GetLong(core::kKeyTop, 0), 2512);
    EXPECT_EQ(settings.GetLong(core::kKeyHeight, core::kDefaultHeight), 4995);

    EXPECT_TRUE(storage.Save("Tollmere", "Korvane", "MiniMe", "1"));
    const std::string content = *files.Content("/cfg/Tollmere/Korvane.conf");
    EXPECT_NE(content.find("# comment"), std::string::npos);
    EXPECT_NE(content.find("broken line"), std::string::npos);
    EXPECT_EQ(storage.Get("Tollmere", "Other", "Top"), std::nullopt); // another file holds "Other"
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "MiniMe"), "1");
}

TEST(IniSettingsStorage, DeleteSectionRemovesTheFileAndAMissingSectionIsNoError)
{
    fake::MemoryFileSystem files;
    IniSettingsStorage storage(files, "/cfg");
    EXPECT_FALSE(storage.DeleteSection("Tollmere", "Korvane"));
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Hwnd", "77"));
    EXPECT_TRUE(storage.DeleteSection("Tollmere", "Korvane"));
    EXPECT_FALSE(files.FileExists("/cfg/Tollmere/Korvane.conf"));
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Hwnd"), std::nullopt);
}

TEST(IniSettingsStorage, ASectionWrittenTwiceReadsItsLastValueAndIsDeletedWhole)
{
    fake::MemoryFileSystem files;
    const std::string path = "/cfg/Tollmere/Korvane.conf";
    files.PutFile(path, "[Korvane]\nTop=1\nLeft=7\n[Other]\nTop=9\n[Korvane]\nTop=2\n");
    IniSettingsStorage storage(files, "/cfg");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "2");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Left"), "7");

    // A save changes the value that is read, and a new key goes to the last copy.
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Top", "3"));
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Height", "4"));
    EXPECT_EQ(files.Content(path), "[Korvane]\nTop=1\nLeft=7\n[Other]\nTop=9\n[Korvane]\nTop=3\nHeight=4\n");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "3");

    EXPECT_TRUE(storage.DeleteSection("Tollmere", "Korvane"));
    EXPECT_EQ(files.Content(path), "[Other]\nTop=9\n");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), std::nullopt);
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Left"), std::nullopt);
}

TEST(IniSettingsStorage, ARunOfCarriageReturnsEndsALineAndUntouchedLinesKeepTheirBytes)
{
    fake::MemoryFileSystem files;
    const std::string path = "/cfg/Tollmere/Korvane.conf";
    files.PutFile(path, "; kept \t\r\r\n[Korvane]\r\r\nTop=300\r\r\nodd\r\n");
    IniSettingsStorage storage(files, "/cfg");
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "300");
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Top", "5"));
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Left", "6"));
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "5");
    EXPECT_EQ(files.Content(path), "; kept \t\r\r\n[Korvane]\r\r\nTop=5\r\r\nodd\r\nLeft=6\r\r\n");
}

TEST(IniSettingsStorage, RefusesTextThatWouldBreakTheFile)
{
    fake::MemoryFileSystem files;
    IniSettingsStorage storage(files, "/cfg");
    EXPECT_FALSE(storage.Save("Tollmere", "Korvane", "Top", "1\nHeight=5"));
    EXPECT_FALSE(storage.Save("Tollmere", "Korvane", "a=b", "1"));
    EXPECT_EQ(files.WriteCount(), 0);
}

TEST(IniSettingsStorage, AFailedWriteKeepsThePreviousValues)
{
    fake::MemoryFileSystem files;
    IniSettingsStorage storage(files, "/cfg");
    ASSERT_TRUE(storage.Save("Tollmere", "Korvane", "Top", "1"));
    files.FailAllWrites(true);
    EXPECT_FALSE(storage.Save("Tollmere", "Korvane", "Top", "2"));
    EXPECT_EQ(storage.Get("Tollmere", "Korvane", "Top"), "1");
}

} // namespace
} // namespace korvane::platform::linuxos
