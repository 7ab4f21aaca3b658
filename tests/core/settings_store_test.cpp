#include "core/settings_store.h"

#include "core/program_folder.h"
#include "platform/fake/memory_file_system.h"
#include "platform/fake/memory_settings_storage.h"
#include "platform/program_location.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

TEST(SettingsConversion, FractionsRoundHalfToEvenAndNonNumbersAreRefused)
{
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"2512.5", 2512}, {"2513.5", 2514}, {"-0.5", 0}, {"-1.5", -2}, {" 42 ", 42}, {"7", 7},
        {"+3", 3}, {"1e3", 1000}, {"", std::nullopt}, {"abc", std::nullopt}, {"12abc", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt}, {"99999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLong(c.text), c.value) << c.text;
    EXPECT_EQ(ParseInteger("32767"), 32767);
    EXPECT_EQ(ParseInteger("32768"), std::nullopt);
    EXPECT_EQ(ParseInteger("0.5"), 0);
    EXPECT_EQ(ParseInteger("1.5"), 2);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void Put(const std::string& key, const std::string& value) { storage.Save("Tollmere", "Korvane", key, value); }

    platform::fake::MemorySettingsStorage storage;
    SettingsStore settings{storage};
};

TEST_F(SettingsStoreTest, MissingKeysReadAsTheirDefaults)
{
    EXPECT_EQ(settings.GetLong(kKeyHwnd, 0), 0);
    EXPECT_EQ(settings.GetLong(kKeyTop, (11520.0 - 4995.0) / 2), 3262); // 3262.5 rounds to even
    EXPECT_EQ(settings.GetLong(kKeyHeight, kDefaultHeight), 4995);
    EXPECT_EQ(settings.GetCheckValue(kKeyAutoSet, kDefaultAutoSet), 0);
    EXPECT_EQ(settings.GetCheckValue(kKeyMiniMe, kDefaultMiniMe), 0);
    EXPECT_EQ(settings.GetCheckValue(kKeyConfirmRemvFav, kDefaultConfirmRemvFav), 1);
    EXPECT_EQ(settings.GetCheckValue(kKeySortFavByAff, kDefaultSortFavByAff), 1);
    EXPECT_EQ(settings.GetTrayForeColor(), 5);
    EXPECT_EQ(settings.GetCheckValue(kKeyTrayAsNum, kDefaultTrayAsNum), 0);
    EXPECT_EQ(settings.GetSetting("Other", "dflt"), "dflt");
}

TEST_F(SettingsStoreTest, StoredValuesAreConvertedAndGarbageReadsAsTheDefault)
{
    Put(kKeyTop, "2512.5");
    Put(kKeyLeft, "2513.5");
    Put(kKeyHeight, "tall");
    Put(kKeyAutoSet, "1");
    Put(kKeyMiniMe, "7");
    Put(kKeyConfirmRemvFav, "0");
    Put(kKeyTrayForeColor, "9");
    Put(kKeyTrayAsNum, "");
    EXPECT_EQ(settings.GetLong(kKeyTop, 0), 2512);
    EXPECT_EQ(settings.GetLong(kKeyLeft, 0), 2514);
    EXPECT_EQ(settings.GetLong(kKeyHeight, kDefaultHeight), 4995);
    EXPECT_EQ(settings.GetCheckValue(kKeyAutoSet, 0), 1);
    EXPECT_EQ(settings.GetCheckValue(kKeyMiniMe, 0), 0);
    EXPECT_EQ(settings.GetCheckValue(kKeyConfirmRemvFav, 1), 0);
    EXPECT_EQ(settings.GetTrayForeColor(), 5);
    EXPECT_EQ(settings.GetCheckValue(kKeyTrayAsNum, 0), 0);
    Put(kKeyTrayForeColor, "4");
    EXPECT_EQ(settings.GetTrayForeColor(), 4);
}

TEST_F(SettingsStoreTest, DeleteRemovesTheWholeSectionAndIgnoresAMissingOne)
{
    settings.SaveNumber(kKeyTop, 100);
    settings.SaveNumber(kKeyHwnd, 5);
    storage.Save("Tollmere", "Other", "Keep", "1");
    settings.DeleteSettings();
    EXPECT_EQ(settings.GetLong(kKeyTop, -1), -1);
    EXPECT_EQ(storage.KeyCount(), 1U);
    settings.DeleteSettings();
}

class FixedLocation : public platform::ProgramLocation {
public:
    std::string ExecutableFolder() override { return "/opt/korvane/bin"; }
    std::string ExecutablePath() override { return "/opt/korvane/bin/korvane"; }
    std::string UserDataFolder() override { return "/home/u/.local/share/Korvane"; }
    bool Installed() override { return installed; }
    bool PortableByMarker() override { return byMarker; }
    std::string UserCacheFolder() override { return "/home/u/.cache/Korvane"; }
    bool installed = false;
    bool byMarker = false;
};

TEST(ProgramFolder, ExecutableFolderWhenWritableElseTheUserDataFolder)
{
    FixedLocation location;
    platform::fake::MemoryFileSystem files;
    files.CreateFolder("/opt/korvane/bin");
    EXPECT_EQ(ResolveProgramFolder(location, files), "/opt/korvane/bin/");

    files.MakeReadOnly("/opt/korvane/bin");
    EXPECT_EQ(ResolveProgramFolder(location, files), "/home/u/.local/share/Korvane/");
    EXPECT_TRUE(files.FolderExists("/home/u/.local/share/Korvane"));
    EXPECT_EQ(WithTrailingSeparator("/a//", '/'), "/a/");
    EXPECT_EQ(ResolveCacheFolder(location, "/opt/korvane/bin/", '/'), "/opt/korvane/bin/cache/");
}

TEST(ProgramFolder, WindowsFoldersGetOneBackslashAndARootKeepsItsOwn)
{
    EXPECT_EQ(WithTrailingSeparator("C:\\", '\\'), "C:\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\Tools\\\\", '\\'), "C:\\Tools\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\Tools", '\\'), "C:\\Tools\\");
    EXPECT_EQ(WithTrailingSeparator("C:/Tools/", '\\'), "C:/Tools\\");
    EXPECT_EQ(WithTrailingSeparator("/", '/'), "/");

    FixedLocation location;
    platform::fake::MemoryFileSystem files(platform::fake::PathStyle::Windows);
    EXPECT_EQ(ResolveCacheFolder(location, "C:\\", files.PathSeparator()), "C:\\cache\\");
}

TEST(ProgramFolder, WhereAMarkerDecidesTheRightsOfTheRunDoNot)
{
    FixedLocation location;
    location.byMarker = true;
    platform::fake::MemoryFileSystem files;
    files.CreateFolder("/opt/korvane/bin");
    // Writable, but not marked: the user's folder, as an elevated run of the same user finds.
    EXPECT_EQ(ResolveProgramFolder(location, files), "/home/u/.local/share/Korvane/");
    // Marked: beside the executable, also for a run that cannot write there.
    files.PutFile("/opt/korvane/bin/Korvane-portable.txt", "");
    files.MakeReadOnly("/opt/korvane/bin");
    EXPECT_EQ(ResolveProgramFolder(location, files), "/opt/korvane/bin/");
    // A copy unpacked before the marker existed keeps the favorites it has.
    platform::fake::MemoryFileSystem older;
    older.CreateFolder("/opt/korvane/bin");
    older.PutFile("/opt/korvane/bin/MyFav.Affinity", "");
    EXPECT_EQ(ResolveProgramFolder(location, older), "/opt/korvane/bin/");
    location.installed = true;
    EXPECT_EQ(ResolveProgramFolder(location, files), "/home/u/.local/share/Korvane/");
}

TEST(ProgramFolder, AnInstalledCopyKeepsItsFilesInTheUsersFoldersEvenWhereItCouldWrite)
{
    FixedLocation location;
    location.installed = true;
    platform::fake::MemoryFileSystem files;
    files.CreateFolder("/opt/korvane/bin"); // writable, as /usr/bin is for root
    const std::string folder = ResolveProgramFolder(location, files);
    EXPECT_EQ(folder, "/home/u/.local/share/Korvane/");
    EXPECT_EQ(ResolveCacheFolder(location, folder, '/'), "/home/u/.cache/Korvane/");
}

} // namespace
} // namespace korvane::core
