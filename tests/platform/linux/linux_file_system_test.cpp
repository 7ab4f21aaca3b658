#include "platform/linux/linux_file_system.h"

#include "core/favorites_store.h"
#include "core/list_row.h"
#include "core/unicode.h"
#include "support/temp_folder.h"
#include "ui/list_box_rows.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::platform::linuxos {
namespace {

std::string ReadBack(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(LinuxFileSystem, AtomicWriteReplacesTheFileAndLeavesNoTemporaryBehind)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    const std::string path = folder / "MyFav.Affinity";
    ASSERT_TRUE(files.WriteFileAtomic(path, "first\r\n"));
    ASSERT_TRUE(files.WriteFileAtomic(path, "second\r\n"));
    EXPECT_EQ(ReadBack(path), "second\r\n");
    EXPECT_EQ(files.ListFolder(folder.Path()), std::vector<std::string>{"MyFav.Affinity"});
    EXPECT_TRUE(files.FileExists(path));
    EXPECT_FALSE(files.FileExists(folder.Path()));
    EXPECT_EQ(files.ReadFile(path), "second\r\n");
}

TEST(LinuxFileSystem, WriteThatRunsOutOfSpaceKeepsThePreviousFileWhole)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    const std::string path = folder / "Hidden.txt";
    const std::string previous = "Keep.exe\r\nAlso.exe\r\n";
    ASSERT_TRUE(files.WriteFileAtomic(path, previous));

    // A file-size limit makes the write fail part way, as a full disk does.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = files.WriteFileAtomic(path, std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBack(path), previous);
    EXPECT_EQ(files.ListFolder(folder.Path()), std::vector<std::string>{"Hidden.txt"});
}

TEST(LinuxFileSystem, WriteIntoAMissingOrNonFolderFails)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    EXPECT_FALSE(files.WriteFileAtomic(folder / "missing/file.txt", "x"));
    ASSERT_TRUE(files.WriteFileAtomic(folder / "plain", "x"));
    EXPECT_FALSE(files.WriteFileAtomic(folder / "plain/file.txt", "x"));
    EXPECT_FALSE(files.IsOwnWritableFolder(folder / "plain"));
    EXPECT_FALSE(files.CreateFolder(folder / "plain/sub"));
    EXPECT_TRUE(files.CreateFolder(folder / "a/b/cache"));
    EXPECT_TRUE(files.CreateFolder(folder / "a/b/cache")); // an existing folder is fine
    EXPECT_TRUE(files.IsOwnWritableFolder(folder / "a/b/cache"));
}

TEST(LinuxFileSystem, InASharedFolderNoLinkIsFollowedAndNoSetIdBitIsCopied)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    const std::string secret = folder / "secret";
    ASSERT_TRUE(files.WriteFileAtomic(secret, "not for Korvane\n"));

    // A data file replaced by a link is not read through it, nor written through it.
    const std::string favorites = folder / "MyFav.Affinity";
    ASSERT_EQ(::symlink(secret.c_str(), favorites.c_str()), 0);
    EXPECT_EQ(files.ReadOwnFileChecked(favorites).status, ReadStatus::Failed);
    EXPECT_EQ(files.ReadOwnFileChecked(folder / "none").status, ReadStatus::Missing);
    EXPECT_EQ(files.ReadFile(favorites), "not for Korvane\n"); // other files may be links (desktop entries)
    ASSERT_TRUE(files.WriteFileAtomic(favorites, "Mine.exe013\r\n"));
    EXPECT_EQ(ReadBack(secret), "not for Korvane\n");
    struct stat info {};
    ASSERT_EQ(::lstat(favorites.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0644U);

    // The permissions of the file replaced stay; set-user-id, set-group-id and sticky never.
    const std::string hidden = folder / "Hidden.txt";
    ASSERT_TRUE(files.WriteFileAtomic(hidden, "a\r\n"));
    ASSERT_EQ(::chmod(hidden.c_str(), 07750), 0);
    ASSERT_TRUE(files.WriteFileAtomic(hidden, "b\r\n"));
    ASSERT_EQ(::stat(hidden.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750U);

    // A link in the cache folder's place is no folder of Korvane's.
    const std::string elsewhere = folder / "elsewhere";
    ASSERT_TRUE(files.CreateFolder(elsewhere));
    ASSERT_EQ(::symlink(elsewhere.c_str(), (folder / "cache").c_str()), 0);
    EXPECT_FALSE(files.CreateFolder(folder / "cache/"));

    // A folder others may write in is not the program's own, whoever made it.
    ASSERT_TRUE(files.IsOwnWritableFolder(elsewhere));
    ASSERT_EQ(::chmod(elsewhere.c_str(), 01777), 0);
    EXPECT_FALSE(files.IsOwnWritableFolder(elsewhere));
    ASSERT_EQ(::chmod(elsewhere.c_str(), 0775), 0);
    EXPECT_FALSE(files.IsOwnWritableFolder(elsewhere));
    ASSERT_EQ(::chmod(elsewhere.c_str(), 0755), 0);
    EXPECT_TRUE(files.IsOwnWritableFolder(elsewhere));
    if (::geteuid() == 0) {
        // Root may write anywhere, but a folder of another user's is still not its own.
        ASSERT_EQ(::chown(elsewhere.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(files.IsOwnWritableFolder(elsewhere));
    }
}

TEST(LinuxFileSystem, ReadsProcFilesThatReportNoSizeAndRefusesFolders)
{
    LinuxFileSystem files;
    const auto status = files.ReadFile("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(status->find("Name:"), std::string::npos);
    EXPECT_EQ(files.ReadFile("/proc"), std::nullopt);
    EXPECT_EQ(files.ReadFile("/nonexistent/korvane"), std::nullopt);
}

TEST(LinuxFileSystem, AReadErrorIsToldApartFromAMissingFile)
{
    LinuxFileSystem files;
    EXPECT_EQ(files.ReadFileChecked("/nonexistent/korvane").status, ReadStatus::Missing);
    EXPECT_EQ(files.ReadFileChecked("/proc").status, ReadStatus::Failed);
    // Reading a process's memory from address 0 fails after the open succeeded.
    EXPECT_EQ(files.ReadFileChecked("/proc/self/mem").status, ReadStatus::Failed);
    EXPECT_EQ(files.ReadFile("/proc/self/mem"), std::nullopt);

    test::TempFolder folder;
    const std::string path = folder / "MyFav.Affinity";
    ASSERT_TRUE(files.WriteFileAtomic(path, "Keep\r\n"));
    EXPECT_EQ(files.ReadFileChecked(path).status, ReadStatus::Read);
    if (::geteuid() != 0) { // root reads a file whatever its mode
        ::chmod(path.c_str(), 0);
        EXPECT_EQ(files.ReadFileChecked(path).status, ReadStatus::Failed);
    }
}

TEST(LinuxFileSystem, RemoveFileCountsAMissingFileAsRemoved)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    ASSERT_TRUE(files.WriteFileAtomic(folder / "f", "x"));
    EXPECT_TRUE(files.RemoveFile(folder / "f"));
    EXPECT_FALSE(files.FileExists(folder / "f"));
    EXPECT_TRUE(files.RemoveFile(folder / "f"));
}

TEST(LinuxFileSystem, FavoritesRoundTripThroughARealFile)
{
    test::TempFolder folder;
    LinuxFileSystem files;
    forms::ListBox list2(forms::ListBoxKind::MultiSelect);
    ui::ListBoxRows rows(list2);
    core::FavoritesStore store(rows, files);
    store.SetProgramFolder(folder.Path() + "/");
    // A row of 34 bytes, as written before the column held characters, and rows in Cyrillic,
    // Greek with a combining mark, and Japanese (two columns a character).
    list2.AddItem("Caf\xc3\xa9.exe                         01");
    const std::string russian = core::ListRow::Format("\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0.exe", "0-3");
    const std::string greek = core::ListRow::Format("\xce\x91\xcc\x81\xce\xb2.exe", "2");
    const std::string japanese = core::ListRow::Format("\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0.exe", "13");
    for (const std::string& row : {russian, greek, japanese})
        list2.AddItem(row);
    ASSERT_TRUE(store.SaveFavorites());
    EXPECT_EQ(ReadBack(folder / "MyFav.Affinity").substr(0, 38), "Caf\xc3\xa9.exe                         01\r\n");
    store.LoadFavorites();
    ASSERT_EQ(list2.ListCount(), 4);
    EXPECT_EQ(list2.List(0), "Caf\xc3\xa9.exe                          01"); // 34 columns now
    EXPECT_EQ(list2.List(1), russian);
    EXPECT_EQ(list2.List(2), greek);
    EXPECT_EQ(list2.List(3), japanese);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(core::DisplayColumns(core::ListRow(list2.List(i)).NameField()), 34) << i;
    EXPECT_EQ(core::ListRow(list2.List(3)).AffinityText(), "13");
}

} // namespace
} // namespace korvane::platform::linuxos
