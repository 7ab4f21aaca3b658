// The Win32 backend on real processes under the system the tests run on (Windows or wine).
#include "platform/win32/win32_privileges.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_program_location.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_counters.h"
#include "platform/win32/win32_text.h"
#include "win32_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <string>
#include <vector>

namespace korvane::platform::win32 {
namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && Lower(text.substr(text.size() - end.size())) == Lower(end);
}

std::vector<std::int32_t> AllProcessIds(Win32Processes& processes)
{
    std::vector<std::int32_t> ids(4096);
    std::int32_t bytes = 0;
    if (!processes.EnumProcesses(ids.data(), static_cast<std::int32_t>(ids.size() * 4), &bytes))
        return {};
    ids.resize(static_cast<std::size_t>(bytes) / 4);
    return ids;
}

TEST(Win32Processes, TheTestProcessIsListedWithItsOwnProgramPath)
{
    Win32Processes processes;
    const std::int32_t self = processes.CurrentProcessId();
    const auto ids = AllProcessIds(processes);
    EXPECT_NE(std::find(ids.begin(), ids.end(), self), ids.end());
    EXPECT_TRUE(EndsWith(processes.GetProcessPath(self), "\\korvane_win32_tests.exe")) << processes.GetProcessPath(self);
    EXPECT_EQ(processes.GetProcessPath(self), Win32ProgramLocation().ExecutablePath());

    // A buffer too small for every id is filled and reported full.
    std::int32_t two[2] = {};
    std::int32_t bytes = 0;
    ASSERT_TRUE(processes.EnumProcesses(two, 8, &bytes));
    EXPECT_EQ(bytes, ids.size() >= 2 ? 8 : static_cast<std::int32_t>(ids.size() * 4));

    EXPECT_EQ(processes.GetProcessPath(0), "");
    EXPECT_TRUE(processes.GetProcessAffinity(0).empty());
    EXPECT_GE(processes.LogicalProcessorCount(), 1);
}

TEST(Win32Processes, AChildTakesAMaskAndAMaskOfNoCpuIsRefusedWithoutChange)
{
    test::Win32Child child(test::ChildCommand(KORVANE_TEST_CHILD, L"2"));
    ASSERT_TRUE(child.Started());
    Win32Processes processes;
    // The module list exists once the new process has been loaded.
    std::string path;
    for (int i = 0; i < 100 && path.empty(); ++i) {
        path = processes.GetProcessPath(child.Id());
        if (path.empty())
            ::Sleep(50);
    }
    EXPECT_TRUE(EndsWith(path, "\\Korvane_test_child.exe")) << path;

    ASSERT_TRUE(processes.SetProcessAffinity(child.Id(), {1}));
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    ASSERT_TRUE(::GetProcessAffinityMask(child.Handle(), &processMask, &systemMask));
    EXPECT_EQ(processMask, 1U);
    EXPECT_EQ(processes.GetProcessAffinity(child.Id()), CpuWords{1});

    // Mask 0 names no CPU: the system refuses it and the process keeps its mask.
    EXPECT_FALSE(processes.SetProcessAffinity(child.Id(), {0}));
    EXPECT_FALSE(processes.SetProcessAffinity(child.Id(), {1, 1})); // a CPU beyond the one group
    EXPECT_EQ(processes.GetProcessAffinity(child.Id()), CpuWords{1});
    EXPECT_FALSE(processes.SetProcessAffinity(0x7FFFFFF0, {1})); // no such process

    // The creation time tells this child from a later process given its id.
    const std::uint64_t created = processes.ProcessStartTime(child.Id());
    EXPECT_GT(created, 0U);
    EXPECT_EQ(processes.ProcessStartTime(child.Id()), created);
    EXPECT_LE(processes.ProcessStartTime(static_cast<std::int32_t>(::GetCurrentProcessId())), created);
    EXPECT_EQ(processes.ProcessStartTime(0x7FFFFFF0), 0U);

    // The set checks the start time of the process it opened: a later process is left alone.
    if (processes.LogicalProcessorCount() > 1) {
        std::uint64_t seen = 0;
        EXPECT_FALSE(processes.SetProcessAffinityIfStarted(child.Id(), {2}, [&seen](std::uint64_t time) {
            seen = time;
            return false;
        }));
        EXPECT_EQ(seen, created);
        EXPECT_EQ(processes.GetProcessAffinity(child.Id()), CpuWords{1});
        EXPECT_TRUE(processes.SetProcessAffinityIfStarted(child.Id(), {2}, [created](std::uint64_t time) { return time == created; }));
        EXPECT_EQ(processes.GetProcessAffinity(child.Id()), CpuWords{2});
    }
}

TEST(Win32Privileges, AnUnknownPrivilegeIsRefusedAndTheDebugPrivilegeIsTried)
{
    Win32Processes processes;
    Win32Privileges privileges;
    EXPECT_FALSE(privileges.AdjustPrivilege(processes.CurrentProcessId(), "SeNoSuchPrivilege", true));
    EXPECT_FALSE(privileges.AdjustPrivilege(0x7FFFFFF0, "SeDebugPrivilege", true));
    // Whether the account holds it depends on the account; the call itself must not fail.
    (void)privileges.AdjustPrivilege(processes.CurrentProcessId(), "SeDebugPrivilege", true);
}

TEST(Win32ProgramLocation, ACopyUnderProgramFilesOrWindowsIsInstalledWhateverTheRunsRights)
{
    const std::vector<std::string> folders{"C:\\Program Files", "", "C:\\Windows"};
    EXPECT_TRUE(IsInsideAnyFolder("C:\\Program Files\\Korvane", folders));
    EXPECT_TRUE(IsInsideAnyFolder("c:/program files/Korvane/bin/", folders));
    EXPECT_TRUE(IsInsideAnyFolder("C:\\Windows", folders));
    EXPECT_FALSE(IsInsideAnyFolder("C:\\Program Files Portable\\Korvane", folders));
    EXPECT_FALSE(IsInsideAnyFolder("D:\\Tools\\Korvane", folders));
    EXPECT_FALSE(IsInsideAnyFolder("C:\\", folders));
    EXPECT_TRUE(IsInsideAnyFolder("C:\\Tools", {"C:\\"}));
    // The tests run from the build folder: a portable copy.
    EXPECT_FALSE(Win32ProgramLocation().Installed());
}

TEST(Win32ProgramLocation, TheExecutablesFolderAndTheWindowsFolder)
{
    Win32ProgramLocation location;
    const std::string path = location.ExecutablePath();
    const std::string folder = location.ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_EQ(path[folder.size()], '\\');
    const std::string windows = location.WindowsFolder();
    ASSERT_GE(windows.size(), 3U);
    EXPECT_EQ(windows[1], ':');
    EXPECT_NE(windows.back(), '\\');
    EXPECT_TRUE(EndsWith(location.UserDataFolder(), "\\Korvane"));
}

TEST(Win32Clock, IsTheLocalTimeInSeconds)
{
    TIME_ZONE_INFORMATION zone;
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    const long bias = (zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0)) * 60L;
    const std::int64_t expected = static_cast<std::int64_t>(std::time(nullptr)) - bias;
    EXPECT_NEAR(static_cast<double>(Win32Clock().Now()), static_cast<double>(expected), 5.0);
}

TEST(Win32Counters, PathsNameTheirProcessorEvenWithoutNames)
{
    EXPECT_EQ(ProcessorOfCounterPath("\\Processor(2)\\% Processor Time"), 2);
    EXPECT_EQ(ProcessorOfCounterPath("\\(0)\\"), 0);
    EXPECT_EQ(ProcessorOfCounterPath("\\Processor(_Total)\\% Processor Time"), std::nullopt);
    EXPECT_EQ(ProcessorOfCounterPath("\\Processor()\\x"), std::nullopt);
    EXPECT_EQ(ProcessorOfCounterPath("Processor(1)"), std::nullopt);
    EXPECT_DOUBLE_EQ(BusyPercent(50, 100, 100), 75.0);
    EXPECT_DOUBLE_EQ(BusyPercent(0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(BusyPercent(500, 100, 0), 0.0); // an idle count past the total is clamped
}

// The DLLs of a module's import table, lower case.
std::vector<std::string> ImportedDlls(HMODULE module)
{
    const auto* base = reinterpret_cast<const std::uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(name);
    }
    return names;
}

// pdh.dll is no known DLL: imported, it would be looked for beside the program first, where a
// download folder may hold anyone's. It is loaded from the system folder when the counters open.
TEST(Win32Counters, PdhIsNoImportAndLoadsFromTheSystemFolderOnly)
{
    const std::vector<std::string> imported = ImportedDlls(::GetModuleHandleW(nullptr));
    EXPECT_NE(std::find(imported.begin(), imported.end(), "kernel32.dll"), imported.end());
    EXPECT_EQ(std::find(imported.begin(), imported.end(), "pdh.dll"), imported.end());

    Win32Counters counters;
    HMODULE pdh = ::GetModuleHandleW(L"pdh.dll");
    ASSERT_NE(pdh, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(pdh, loaded, MAX_PATH), 0U);
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0U);
    EXPECT_EQ(::lstrcmpiW(loaded, (std::wstring(system) + L"\\pdh.dll").c_str()), 0) << Narrow(loaded);
}

TEST(Win32Counters, TheCpuABusyChildIsPinnedToReadsBusy)
{
    Win32Processes processes;
    const int cpu = processes.LogicalProcessorCount() > 1 ? 1 : 0;
    test::Win32Child child(test::ChildCommand(KORVANE_TEST_CHILD, L"1 spin"));
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(::SetProcessAffinityMask(child.Handle(), DWORD_PTR{1} << cpu));

    Win32Counters counters;
    QueryHandle query = 0;
    ASSERT_EQ(counters.OpenQuery(1, &query), 0);
    const std::string path = "\\" + counters.LookupPerfNameByIndex(238) + "(" + std::to_string(cpu) + ")\\" +
                             counters.LookupPerfNameByIndex(6);
    const CounterHandle counter = counters.AddCounter(query, path);
    ASSERT_NE(counter, 0U) << path;
    EXPECT_EQ(counters.AddCounter(query, "\\Processor(4096)\\% Processor Time"), 0U);
    counters.CollectQueryData(query);
    double best = 0;
    for (int i = 0; i < 4 && best < 80; ++i) {
        ::Sleep(500);
        counters.CollectQueryData(query);
        int status = -1;
        best = std::max(best, counters.GetDoubleCounterValue(counter, &status));
        EXPECT_EQ(status, 0);
    }
    EXPECT_GT(best, 80.0);
    counters.CloseQuery(query);
}

} // namespace
} // namespace korvane::platform::win32
