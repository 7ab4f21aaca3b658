#include "platform/linux/process_connector_watch.h"

#include "platform/linux/linux_processes.h"

#include "support/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::platform::linuxos {
namespace {

TEST(ProcessConnectorWatch, KernelReleasesAndNamespacesAreReadFromTheirTexts)
{
    EXPECT_TRUE(KernelFiltersProcessEvents("6.6.0-1-amd64"));
    EXPECT_TRUE(KernelFiltersProcessEvents("6.18.44-fc"));
    EXPECT_TRUE(KernelFiltersProcessEvents("7.0"));
    EXPECT_FALSE(KernelFiltersProcessEvents("6.1.0-26-amd64"));
    EXPECT_FALSE(KernelFiltersProcessEvents("5.19.2"));
    EXPECT_FALSE(KernelFiltersProcessEvents("6"));
    EXPECT_FALSE(KernelFiltersProcessEvents(""));

    EXPECT_FALSE(InChildProcessNamespace("Name:\tbash\nNSpid:\t4242\nNSpgid:\t4242\n"));
    EXPECT_TRUE(InChildProcessNamespace("Name:\tbash\nNSpid:\t4242\t17\nNSpgid:\t4242\t17\n"));
    EXPECT_FALSE(InChildProcessNamespace("Name:\told kernel\nPid:\t4242\n"));
}

TEST(ProcessConnectorWatch, WithoutTheRightToListenItStaysClosedAndSaysWhy)
{
    if (::geteuid() != 0) {
        ProcessConnectorWatch watch;
        if (watch.Open())
            GTEST_SKIP() << "this test program may listen: " << watch.Status();
        EXPECT_EQ(watch.Handle(), -1);
        EXPECT_EQ(watch.Status().rfind("off, ", 0), 0U) << watch.Status();
        return;
    }
    {
        ProcessConnectorWatch root;
        if (!root.Open())
            GTEST_SKIP() << "not even root may listen here: " << root.Status();
    }
    // As root: a child that gives root up tries, and reports by its exit status.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(9);
        ProcessConnectorWatch watch;
        const bool opened = watch.Open();
        const bool says = watch.Status().find("needs root") != std::string::npos;
        ::_exit(opened ? 1 : watch.Handle() != -1 ? 2 : says ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ProcessConnectorWatch, TellsTheStartOfAProgramAndNotTheThreadsItStarts)
{
    ProcessConnectorWatch watch;
    if (!watch.Open())
        GTEST_SKIP() << watch.Status();
    EXPECT_GE(watch.Handle(), 0);
    EXPECT_EQ(watch.Status().rfind("on, ", 0), 0U);
    test::ChildProcess child(KORVANE_TEST_CHILD, 4);
    std::vector<ProgramStart> started;
    const auto ofChild = [&child](const ProgramStart& start) { return start.processId == child.Pid(); };
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::find_if(started.begin(), started.end(), ofChild) == started.end() &&
           std::chrono::steady_clock::now() < limit) {
        pollfd ready{watch.Handle(), POLLIN, 0};
        if (::poll(&ready, 1, 100) > 0) {
            EXPECT_NE(watch.TakeStarts(started), StartWatch::Result::Failed);
        }
    }
    const auto start = std::find_if(started.begin(), started.end(), ofChild);
    ASSERT_NE(start, started.end());
    // Threads are no program starts: none of the child's other threads was told.
    const auto threads = test::ThreadMasksOf(child.Pid()).size();
    EXPECT_EQ(threads, 4U);
    EXPECT_EQ(std::count_if(started.begin(), started.end(), ofChild), 1);
    // The start is told with its time on the clock of the process's own start time: not before
    // the process began, and within the moment it takes to execute a program.
    const std::uint64_t startTime = LinuxProcesses().ProcessStartTime(child.Pid());
    EXPECT_GE(start->startedBy, startTime);
    EXPECT_LE(start->startedBy, startTime + 100);

    watch.Close();
    EXPECT_EQ(watch.Handle(), -1);
    EXPECT_EQ(watch.TakeStarts(started), StartWatch::Result::Failed);
}

} // namespace
} // namespace korvane::platform::linuxos
