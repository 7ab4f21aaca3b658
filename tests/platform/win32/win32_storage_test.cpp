// Settings, autostart, the single instance and files of the Win32 backend, for real.
#include "platform/win32/win32_autostart.h"
#include "win32_child.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_icon_source.h"
#include "platform/win32/win32_program_location.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_settings_storage.h"
#include "platform/win32/win32_single_instance.h"
#include "platform/win32/win32_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace korvane::platform::win32 {
namespace {

// A name of this test run, so that runs side by side never share keys, mutexes or folders.
std::string RunName(const std::string& what)
{
    return "KorvaneTest" + what + std::to_string(::GetCurrentProcessId());
}

TEST(Win32SettingsStorage, ValuesRoundTripAndTheSectionIsDeletedWithItsKey)
{
    Win32SettingsStorage storage;
    const std::string application = RunName("App");
    EXPECT_EQ(storage.Get(application, "Korvane", "Top"), std::nullopt);
    ASSERT_TRUE(storage.Save(application, "Korvane", "Top", "2512"));
    ASSERT_TRUE(storage.Save(application, "Korvane", "Caf\xc3\xa9", "\xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(storage.Get(application, "Korvane", "Top"), "2512");
    EXPECT_EQ(storage.Get(application, "Korvane", "Caf\xc3\xa9"), "\xc3\xa9t\xc3\xa9");
    ASSERT_TRUE(storage.Save(application, "Korvane", "Top", "10"));
    EXPECT_EQ(storage.Get(application, "Korvane", "Top"), "10");

    // Values written by hand: a REG_SZ without its NUL, and a number.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen("Software\\" + application + "\\Korvane").c_str(), 0,
                              KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const wchar_t text[] = {L'4', L'2'};
    ::RegSetValueExW(key, L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    const DWORD number = 7;
    ::RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    ::RegCloseKey(key);
    EXPECT_EQ(storage.Get(application, "Korvane", "NoNul"), "42");
    EXPECT_EQ(storage.Get(application, "Korvane", "Number"), "7");

    EXPECT_TRUE(storage.DeleteSection(application, "Korvane"));
    EXPECT_EQ(storage.Get(application, "Korvane", "Top"), std::nullopt);
    HKEY gone = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen("Software\\" + application + "\\Korvane").c_str(), 0,
                              KEY_READ, &gone),
              ERROR_SUCCESS);
    EXPECT_FALSE(storage.DeleteSection(application, "Korvane"));
    DeleteUserKey("Software\\" + application);
}

// schtasks.exe as a fake: what it was asked, with the task file's text, and which tasks exist.
struct FakeSchtasks {
    std::vector<std::vector<std::string>> calls;
    std::string taskFile;
    std::set<std::string> tasks;
    bool refuse = false;

    TaskCommand Command()
    {
        return [this](const std::vector<std::string>& arguments) {
            calls.push_back(arguments);
            const std::string& verb = arguments.at(0);
            const std::string& name = arguments.at(2);
            if (verb == "/Query")
                return tasks.count(name) != 0 ? 0 : 1;
            if (verb == "/Delete")
                return tasks.erase(name) != 0 ? 0 : 1;
            if (refuse)
                return 1;
            std::ifstream file(arguments.at(4), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            // UTF-16LE with its mark: the ASCII of it is every other byte.
            taskFile.clear();
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
                taskFile += bytes[i];
            tasks.insert(name);
            return 0;
        };
    }
};

TEST(Win32Autostart, TheRunValueHoldsTheQuotedPathAndGoesWhenSwitchedOff)
{
    FakeSchtasks schtasks;
    Win32Autostart autostart(false, schtasks.Command());
    const std::string name = RunName("Run");
    EXPECT_FALSE(autostart.IsAutostartSet(name));
    autostart.SetAutostart(name, "C:\\Program Files\\Korvane\\korvane.exe", true);
    EXPECT_TRUE(autostart.IsAutostartSet(name));
    EXPECT_EQ(ReadUserText(kRunKey, name), "\"C:\\Program Files\\Korvane\\korvane.exe\"");
    autostart.SetAutostart(name, "C:\\Program Files\\Korvane\\korvane.exe", false);
    EXPECT_FALSE(autostart.IsAutostartSet(name));
    EXPECT_EQ(ReadUserText(kRunKey, name), std::nullopt);
}

TEST(Win32Autostart, AnEntrySwitchedOffInTaskManagerIsNotTickedUntilTickedAgain)
{
    using namespace std::string_literals;
    FakeSchtasks schtasks;
    Win32Autostart autostart(false, schtasks.Command());
    const std::string name = RunName("Approved");
    autostart.SetAutostart(name, "C:\\Korvane\\korvane.exe", true);
    // As Task Manager switches an entry off (3) and on (2).
    ASSERT_TRUE(WriteUserBinary(kStartupApprovedKey, name, "\x03\0\0\0\x10\x20\x30\x40\0\0\0\0"s));
    EXPECT_FALSE(autostart.IsAutostartSet(name));
    ASSERT_TRUE(WriteUserBinary(kStartupApprovedKey, name, "\x02\0\0\0\0\0\0\0\0\0\0\0"s));
    EXPECT_TRUE(autostart.IsAutostartSet(name));
    ASSERT_TRUE(WriteUserBinary(kStartupApprovedKey, name, "\x03\0\0\0\0\0\0\0\0\0\0\0"s));
    autostart.SetAutostart(name, "C:\\Korvane\\korvane.exe", true);
    EXPECT_TRUE(autostart.IsAutostartSet(name));
    EXPECT_EQ(ReadUserBinary(kStartupApprovedKey, name), std::nullopt);
    autostart.SetAutostart(name, "C:\\Korvane\\korvane.exe", false);
}

TEST(Win32Autostart, AnElevatedRunStartsAgainElevatedThroughALogOnTaskInsteadOfTheRunKey)
{
    FakeSchtasks schtasks;
    Win32Autostart elevated(true, schtasks.Command());
    const std::string name = RunName("Task");
    const std::string path = "C:\\Tools & More\\korvane.exe";
    elevated.SetAutostart(name, path, true);
    ASSERT_EQ(schtasks.calls.back().at(0), "/Create");
    EXPECT_EQ(schtasks.calls.back().at(5), "/F");
    EXPECT_NE(schtasks.taskFile.find("<RunLevel>HighestAvailable</RunLevel>"), std::string::npos);
    EXPECT_NE(schtasks.taskFile.find("<Command>C:\\Tools &amp; More\\korvane.exe</Command>"), std::string::npos);
    EXPECT_NE(schtasks.taskFile.find("<LogonTrigger>"), std::string::npos);
    EXPECT_FALSE(std::ifstream(schtasks.calls.back().at(4)).good()); // the file is gone
    EXPECT_EQ(ReadUserText(kRunKey, name), std::nullopt);             // no second, plain start
    EXPECT_TRUE(elevated.IsAutostartSet(name));
    // A plain run sees the task ticked.
    EXPECT_TRUE(Win32Autostart(false, schtasks.Command()).IsAutostartSet(name));

    elevated.SetAutostart(name, path, false);
    EXPECT_EQ(schtasks.calls.back().at(0), "/Delete");
    EXPECT_FALSE(elevated.IsAutostartSet(name));

    // Where the task cannot be made, the Run value still starts it.
    schtasks.refuse = true;
    elevated.SetAutostart(name, path, true);
    EXPECT_EQ(ReadUserText(kRunKey, name), "\"" + path + "\"");
    elevated.SetAutostart(name, path, false);
    EXPECT_EQ(ReadUserText(kRunKey, name), std::nullopt);

    EXPECT_NE(LogonTaskXml("PC\\<ann>", "x").find("<UserId>PC\\&lt;ann&gt;</UserId>"), std::string::npos);
}

TEST(Win32SingleInstance, ASecondProcessFindsTheFirstUntilItEnds)
{
    const std::string name = RunName("Instance");
    const std::wstring wideName = Widen(name);
    {
        Win32SingleInstance first(name);
        ASSERT_FALSE(first.AnotherInstanceRunning());
        test::Win32Child second(test::ChildCommand(KORVANE_INSTANCE_CHILD, wideName));
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.WaitForExit(20000), 3U);
    }
    // The first one ended: a new process becomes the running instance and holds it.
    test::Win32Child holder(test::ChildCommand(KORVANE_INSTANCE_CHILD, wideName + L" hold"));
    ASSERT_TRUE(holder.Started());
    Win32SingleInstance late(name);
    bool running = false;
    for (int i = 0; i < 100 && !running; ++i) {
        ::Sleep(100);
        running = Win32SingleInstance(name).AnotherInstanceRunning();
    }
    EXPECT_TRUE(running);
    EXPECT_EQ(holder.WaitForExit(0), STILL_ACTIVE);
}

TEST(Win32SingleInstance, TheShowRequestReachesTheFirstInstancesWindow)
{
    const wchar_t* className = L"KorvaneTestWindow";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, className, L"Korvane", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    Win32SingleInstance first(RunName("Show"));
    first.SetWindowHandle(reinterpret_cast<std::intptr_t>(window));
    Win32SingleInstance(RunName("Show2")).ShowRunningInstance(first.WindowHandle());
    MSG message;
    while (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
        if (message.message == Win32SingleInstance::ShowRequestMessage())
            first.NoteShowRequest();
    }
    EXPECT_EQ(first.TakeShowRequests(), 1);
    EXPECT_EQ(first.TakeShowRequests(), 0);
    Win32SingleInstance(RunName("Show3")).ShowRunningInstance(0); // no window: nothing happens
    ::DestroyWindow(window);
}

class Win32Files : public ::testing::Test {
protected:
    Win32Files()
    {
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder = Narrow(temp) + RunName("Files") + "\\Caf\xc3\xa9 \xe2\x82\xac";
        files.CreateFolder(folder);
    }
    ~Win32Files() override
    {
        for (const auto& name : files.ListFolder(folder))
            files.RemoveFile(folder + "\\" + name);
        ::RemoveDirectoryW(Widen(folder).c_str());
    }
    Win32FileSystem files;
    std::string folder;
};

TEST_F(Win32Files, AnAtomicSaveReplacesTheFileAndAFailedOneLeavesItWhole)
{
    ASSERT_TRUE(files.FolderExists(folder));
    EXPECT_TRUE(files.IsOwnWritableFolder(folder));
    const std::string path = folder + "\\MyFav.Affinity";
    EXPECT_EQ(files.ReadFileChecked(path).status, ReadStatus::Missing);
    ASSERT_TRUE(files.WriteFileAtomic(path, "old\r\n"));
    ASSERT_TRUE(files.WriteFileAtomic(path, "new\r\n"));
    EXPECT_EQ(files.ReadFile(path), "new\r\n");

    // Held open without leave to delete or rename it, the file cannot be replaced.
    HANDLE held = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.WriteFileAtomic(path, "lost\r\n"));
    ::CloseHandle(held);
    EXPECT_EQ(files.ReadFile(path), "new\r\n");
    EXPECT_EQ(files.ListFolder(folder), std::vector<std::string>{"MyFav.Affinity"}); // no temporary left

    // Held only for a moment (antivirus, the indexer, cloud sync): the save waits it out.
    held = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        ::Sleep(100);
        ::CloseHandle(held);
    });
    EXPECT_TRUE(files.WriteFileAtomic(path, "kept\r\n"));
    release.join();
    EXPECT_EQ(files.ReadFile(path), "kept\r\n");
    EXPECT_EQ(files.ListFolder(folder), std::vector<std::string>{"MyFav.Affinity"});

    EXPECT_FALSE(files.WriteFileAtomic(folder + "\\missing\\x", "x"));
    EXPECT_TRUE(files.FileExists(path));
    EXPECT_FALSE(files.FolderExists(path));
    EXPECT_TRUE(files.RemoveFile(path));
    EXPECT_TRUE(files.RemoveFile(path));
    EXPECT_FALSE(files.FileExists(path));
}

TEST_F(Win32Files, FoldersNamesAndShortPaths)
{
    const std::string nested = folder + "\\a\\b\\";
    ASSERT_TRUE(files.CreateFolder(nested));
    EXPECT_TRUE(files.FolderExists(folder + "\\a\\b"));
    ASSERT_TRUE(files.WriteFileAtomic(nested + "x.bmp", "BM"));
    EXPECT_EQ(files.ListFolder(nested), std::vector<std::string>{"x.bmp"});
    // The short form names the same file (its exact form differs between systems).
    const std::string shortPath = files.ShortPathOf(nested + "x.bmp");
    EXPECT_FALSE(shortPath.empty());
    EXPECT_EQ(files.ReadFile(shortPath), "BM");
    EXPECT_EQ(files.ShortPathOf(folder + "\\none.exe"), "");
    files.RemoveFile(nested + "x.bmp");
    ::RemoveDirectoryW(Widen(folder + "\\a\\b").c_str());
    ::RemoveDirectoryW(Widen(folder + "\\a").c_str());

    EXPECT_EQ(files.PathSeparator(), '\\');
    for (const char* name : {"Notepad.exe", "Caf\xc3\xa9.exe", "a b.c"})
        EXPECT_TRUE(files.IsPlainFileName(name)) << name;
    for (const char* name : {"", "..\\x", "a:b", "a/b", "x*", ".", "..", "NUL", "com1.exe", "Con"})
        EXPECT_FALSE(files.IsPlainFileName(name)) << name;
}

TEST(Win32IconSource, AProgramsSmallIconIs16By16WithAMask)
{
    const std::string notepad = Win32ProgramLocation().WindowsFolder() + "\\notepad.exe";
    const auto icon = Win32IconSource().ExtractSmallIcon(notepad);
    ASSERT_TRUE(icon.has_value()) << notepad;
    EXPECT_EQ(icon->color.Width(), 16);
    EXPECT_EQ(icon->color.Height(), 16);
    ASSERT_EQ(icon->mask.size(), 256U);
    EXPECT_GT(std::count(icon->mask.begin(), icon->mask.end(), 0), 16); // mostly drawn
    EXPECT_EQ(Win32IconSource().ExtractSmallIcon(Win32ProgramLocation().WindowsFolder() + "\\none.exe"), std::nullopt);
}

} // namespace
} // namespace korvane::platform::win32
