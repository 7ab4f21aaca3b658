#include "platform/linux/linux_processes.h"

#include "platform/linux/linux_processor_info.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>
#include <memory>
#include <fstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::platform::linuxos {
namespace {

std::uint32_t AllCpus()
{
    const int count = LinuxProcessorInfo().LogicalProcessorCount();
    return count >= 32 ? 0xFFFFFFFFU : (1U << count) - 1U;
}

TEST(LinuxProcesses, EnumerationFollowsTheByteCountContract)
{
    LinuxProcesses processes;
    std::vector<std::int32_t> ids(65536);
    std::int32_t bytes = 0;
    ASSERT_TRUE(processes.EnumProcesses(ids.data(), static_cast<std::int32_t>(ids.size() * 4), &bytes));
    ASSERT_GT(bytes, 0);
    ASSERT_EQ(bytes % 4, 0);
    ids.resize(static_cast<std::size_t>(bytes / 4));
    EXPECT_NE(std::find(ids.begin(), ids.end(), ::getpid()), ids.end());

    std::int32_t small[1] = {0};
    ASSERT_TRUE(processes.EnumProcesses(small, 4, &bytes));
    EXPECT_EQ(bytes, 4); // a full buffer: there may be more
    EXPECT_GT(small[0], 0);
    ASSERT_TRUE(processes.EnumProcesses(small, 3, &bytes));
    EXPECT_EQ(bytes, 0);
}

std::vector<std::int32_t> Listed(LinuxProcesses& processes)
{
    std::vector<std::int32_t> ids(65536);
    std::int32_t bytes = 0;
    EXPECT_TRUE(processes.EnumProcesses(ids.data(), static_cast<std::int32_t>(ids.size() * 4), &bytes));
    ids.resize(static_cast<std::size_t>(bytes / 4));
    return ids;
}

bool Has(const std::vector<std::int32_t>& ids, std::int32_t id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(LinuxProcesses, ListingsThatSkipTheScanStillSeeEveryStartAndEnd)
{
    EXPECT_EQ(ParseTaskCount("0.13 0.34 0.57 1/112 10752\n"), 112U);
    for (const char* bad : {"", "0.1 0.2 0.3 1/ 5", "0.1 0.2 0.3 1/112", "0.1 0.2 0.3 12 x"})
        EXPECT_EQ(ParseTaskCount(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseStartCount("cpu  1 2 3\nintr 5 6\nctxt 9\nbtime 1\nprocesses 123456\nprocs_running 2\n"), 123456U);
    EXPECT_EQ(ParseStartCount("ctxt 9\nprocesses 77"), 77U);
    for (const char* bad : {"", "processes 5\n", "ctxt 1\nprocesses x\n", "ctxt 1\nprocesses_x 5\n"})
        EXPECT_EQ(ParseStartCount(bad), std::nullopt) << bad;

    LinuxProcesses processes;
    // Other programs start and end all the while: a start half done when the counts are read
    // must not make a later end look like nothing happened.
    std::atomic<bool> stop{false};
    std::thread churn([&stop] {
        while (!stop) {
            test::ChildProcess other(KORVANE_TEST_CHILD, 1, "exit");
        }
    });
    for (int round = 0; round < 100; ++round) {
        auto child = std::make_unique<test::ChildProcess>(KORVANE_TEST_CHILD, 1);
        const std::int32_t pid = child->Pid();
        EXPECT_TRUE(Has(Listed(processes), pid));
        EXPECT_TRUE(Has(Listed(processes), pid));
        child.reset(); // killed and reaped
        EXPECT_FALSE(Has(Listed(processes), pid));
    }
    stop = true;
    churn.join();
}

TEST(LinuxProcesses, PathsComeFromTheExeLinkAndAreEmptyWhenItCannotBeRead)
{
    test::TempFolder proc;
    std::filesystem::create_directories(proc / "2");  // a kernel thread: no program link
    std::filesystem::create_directories(proc / "77");
    std::filesystem::create_symlink("/usr/bin/gone (deleted)", proc / "77/exe");
    std::filesystem::create_directories(proc / "self");
    std::filesystem::create_directories(proc / "x12");
    LinuxProcesses captured(proc.Path());
    EXPECT_EQ(captured.GetProcessPath(2), "");
    EXPECT_EQ(captured.GetProcessPath(77), "/usr/bin/gone");
    EXPECT_EQ(captured.GetProcessPath(5), "");
    EXPECT_EQ(captured.GetProcessPath(0), "");

    std::int32_t ids[8] = {};
    std::int32_t bytes = 0;
    ASSERT_TRUE(captured.EnumProcesses(ids, sizeof ids, &bytes));
    std::vector<std::int32_t> listed(ids, ids + bytes / 4);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::int32_t>{2, 77}));

    LinuxProcesses live;
    EXPECT_EQ(live.GetProcessPath(::getpid()), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(ParseProcessIds({"1", "0", "01a", "99999999999", "42", ".", ""}),
              (std::vector<std::int32_t>{1, 42}));
}

TEST(LinuxProcesses, SettingAMaskMovesEveryThreadOfTheProcess)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 6);
    ASSERT_GT(child.Pid(), 0);
    LinuxProcesses processes;
    ASSERT_EQ(test::ThreadMasksOf(child.Pid()).size(), 6U);

    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {1}));
    for (const auto mask : test::ThreadMasksOf(child.Pid()))
        EXPECT_EQ(mask, 1U);
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{1});

    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {0xFU & AllCpus()}));
    for (const auto mask : test::ThreadMasksOf(child.Pid()))
        EXPECT_EQ(mask, 0xFU & AllCpus());
}

TEST(LinuxProcesses, SetsTheKernelRefusesOrWouldChangeAndEndedProcessesFailAndChangeNothing)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 2);
    LinuxProcesses processes;
    const std::uint32_t missing = ~AllCpus() & 0xFU;
    const CpuWords before = processes.GetProcessAffinity(child.Pid());
    if (missing != 0) {
        EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {missing}));
        EXPECT_EQ(processes.LastRefusedCpus(), CpuWords{missing});
        EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
        // The kernel would take CPU 0 and drop the others: a change that is not what was asked.
        EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {missing | 1U}));
        EXPECT_EQ(processes.LastRefusedCpus(), CpuWords{missing});
        EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
    }
    // A CPU far above the machine's, in a set larger than 64 CPUs: refused, nothing changed.
    EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {0, 0, 1}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
    const std::int32_t pid = child.Pid();
    child.Kill();
    EXPECT_FALSE(processes.SetProcessAffinity(pid, {1}));
    EXPECT_TRUE(processes.GetProcessAffinity(pid).empty());
    EXPECT_EQ(processes.GetProcessPath(pid), "");
    EXPECT_FALSE(processes.SetProcessAffinity(0, {1}));
}

TEST(LinuxProcesses, AProcessWhoseFirstThreadEndedIsNamedAndSetThroughItsLiveThreads)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 3, "leader-exits");
    ASSERT_GT(child.Pid(), 0);
    for (int i = 0; i < 500 && child.ThreadState(child.Pid()) != 'Z'; ++i)
        ::usleep(2000);
    ASSERT_EQ(child.ThreadState(child.Pid()), 'Z');

    LinuxProcesses processes;
    EXPECT_EQ(processes.GetProcessPath(child.Pid()), std::filesystem::canonical(KORVANE_TEST_CHILD).string());
    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {1}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{1});
    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {0xFU & AllCpus()}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{0xFU & AllCpus()});
}

TEST(LinuxProcesses, AnEndedProcessNotYetReapedIsNotListedAndCannotBeSet)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 2, "exit");
    ASSERT_GT(child.Pid(), 0);
    // Until the second thread is gone too, the process is still ending.
    for (int i = 0; i < 500 && (child.ThreadState(child.Pid()) != 'Z' || test::ThreadMasksOf(child.Pid()).size() != 1);
         ++i)
        ::usleep(2000);
    ASSERT_EQ(child.ThreadState(child.Pid()), 'Z'); // a zombie until Kill() reaps it

    LinuxProcesses processes;
    EXPECT_EQ(processes.GetProcessPath(child.Pid()), "");
    EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {1}));
    EXPECT_EQ(ParseTaskState("12 (a) b) Z 1 2"), 'Z');
    EXPECT_EQ(ParseTaskState("12 (no state"), '?');
}

TEST(LinuxProcesses, StartTimesAndWineProgramsAreReadFromTheirProcTexts)
{
    std::string stat = "42 (we(ird) na)me) S";
    for (int field = 4; field <= 21; ++field)
        stat += " " + std::to_string(field);
    EXPECT_EQ(ParseStartTime(stat + " 987654 1 2"), 987654U);
    EXPECT_EQ(ParseStartTime(stat + "\n"), std::nullopt);
    EXPECT_EQ(ParseStartTime("42 (x) S 1 2"), std::nullopt);
    EXPECT_EQ(ParseStartTime(stat + " 98x 1"), std::nullopt);
    EXPECT_EQ(ParseStartTime("no parenthesis"), std::nullopt);

    using namespace std::string_literals;
    const struct {
        std::string commandLine;
        std::string path;
    } cases[] = {
        {"C:\\windows\\system32\\cmd.exe\0/c\0ping\0\0\0"s, "C:/windows/system32/cmd.exe"},
        {"/usr/lib/wine/wine64\0C:\\Games\\Nappy.exe\0-windowed\0"s, "C:/Games/Nappy.exe"},
        {"wine\0/home/u/Games/Game.exe\0"s, "/home/u/Games/Game.exe"},
        {"start.exe\0/exec\0"s, "/usr/lib/wine/start.exe"},
        {"wine64-preloader\0wine64\0"s, ""},
        {"C:\\Games\\\0"s, ""},
        {""s, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WineProgramPath(c.commandLine, "/usr/lib/wine"), c.path) << c.commandLine;
    for (const char* loader : {"wine", "wine64", "wine-preloader", "wine64-preloader"})
        EXPECT_TRUE(IsWineLoaderName(loader));
    for (const char* other : {"winecfg", "Wine64", "wineserver", "wine64.exe"})
        EXPECT_FALSE(IsWineLoaderName(other));
}

TEST(LinuxProcesses, AStartTimeTellsAProcessFromALaterOneAndIsZeroOnceItEnded)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 1);
    LinuxProcesses processes;
    const std::uint64_t started = processes.ProcessStartTime(child.Pid());
    EXPECT_GT(started, 0U);
    EXPECT_EQ(processes.ProcessStartTime(child.Pid()), started);
    EXPECT_GE(started, processes.ProcessStartTime(::getpid()));
    const std::int32_t pid = child.Pid();
    child.Kill();
    EXPECT_EQ(processes.ProcessStartTime(pid), 0U);
}

TEST(LinuxProcesses, ProgramsRunByTheWineLoaderAreNamedByTheWindowsProgram)
{
    test::TempFolder folder;
    for (const char* loader : {"wine64", "wine-preloader"})
        std::filesystem::copy_file(KORVANE_TEST_CHILD, folder / loader);
    LinuxProcesses processes;
    // As "wine64 C:\Games\Nappy.exe" starts, and as Wine shows a program it runs.
    const std::string wine64 = folder / "wine64";
    test::ChildProcess started(wine64, {wine64, "C:\\Games\\Nappy.exe"});
    EXPECT_EQ(processes.GetProcessPath(started.Pid()), "C:/Games/Nappy.exe");
    const std::string preloader = folder / "wine-preloader";
    test::ChildProcess running(preloader, {"C:\\Program Files\\Tool\\Tool.exe", "1"});
    EXPECT_EQ(processes.GetProcessPath(running.Pid()), "C:/Program Files/Tool/Tool.exe");
    // Without a program on its command line the loader keeps its own name.
    test::ChildProcess bare(wine64, {wine64});
    EXPECT_EQ(processes.GetProcessPath(bare.Pid()), std::filesystem::canonical(wine64).string());
}

TEST(LinuxProcesses, AProgramRunFromAMemoryFileIsNamedByItsCommandName)
{
    std::ifstream file(KORVANE_TEST_CHILD, std::ios::binary);
    const std::string program((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(program.empty());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int memory = ::memfd_create("sealed-91173221a7ea", MFD_CLOEXEC);
        for (std::size_t at = 0; memory >= 0 && at < program.size();) {
            const ssize_t n = ::write(memory, program.data() + at, program.size() - at);
            if (n <= 0)
                ::_exit(1);
            at += static_cast<std::size_t>(n);
        }
        ::dup2(ready[1], STDOUT_FILENO);
        char* argv[] = {const_cast<char*>("worker"), const_cast<char*>("1"), const_cast<char*>("name"),
                        const_cast<char*>("worker-7"), nullptr};
        ::fexecve(memory, argv, environ);
        ::_exit(1);
    }
    ::close(ready[1]);
    char buffer[16];
    const ssize_t said = ::read(ready[0], buffer, sizeof buffer);
    ::close(ready[0]);
    LinuxProcesses processes;
    const std::string path = processes.GetProcessPath(pid);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_GT(said, 0);
    EXPECT_EQ(path, "/worker-7");
}

} // namespace
} // namespace korvane::platform::linuxos
