#include "platform/linux/capabilities.h"

#include "platform/linux/linux_processes.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <linux/capability.h>
#include <signal.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::platform::linuxos {
namespace {

TEST(Capabilities, TheFourSetsAreReadFromAStatusText)
{
    const auto sets = ParseCapabilitySets("Name:\tkorvane\nCapInh:\t0000000000000000\nCapPrm:\t0000000000881000\n"
                                          "CapEff:\t0000000000001000\nCapBnd:\t000001ffffffffff\nCapAmb:\t0000000000000000\n");
    ASSERT_TRUE(sets.has_value());
    EXPECT_EQ(sets->permitted, WindowCapabilities());
    EXPECT_EQ(sets->effective, CapabilityBit(CAP_NET_ADMIN));
    EXPECT_TRUE(sets->Any());
    EXPECT_FALSE(ParseCapabilitySets("CapInh:\t0\nCapPrm:\t0\nCapEff:\t0\nCapAmb:\t0\n")->Any());
    // A missing or damaged set is no answer, never "none held".
    EXPECT_FALSE(ParseCapabilitySets("CapInh:\t0\nCapPrm:\t0\nCapEff:\t0\n").has_value());
    EXPECT_FALSE(ParseCapabilitySets("CapInh:\t0\nCapPrm:\tzz\nCapEff:\t0\nCapAmb:\t0\n").has_value());
}

// Root's window: the capabilities it needs stay out of the effective set, so that whatever Qt
// runs does not hold them, and are raised only around the call that needs each.
TEST(Capabilities, RootRaisesItsOwnOnlyAroundTheCallThatNeedsThem)
{
    if (::geteuid() != 0 || ::getuid() != 0)
        GTEST_SKIP() << "needs root";
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        if (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0)
            ::pause();
        ::_exit(9);
    }
    // Wait, with a limit, until the other process is the other user's.
    for (int tries = 0; tries < 2000; ++tries) {
        std::ifstream status("/proc/" + std::to_string(other) + "/status");
        const std::string text(std::istreambuf_iterator<char>(status), {});
        if (text.find("\nUid:\t65534\t") != std::string::npos)
            break;
        ::usleep(1000);
    }
    const pid_t window = ::fork();
    ASSERT_GE(window, 0);
    if (window == 0) {
        // Exit status: the first check that failed.
        if (!ConfineCapabilities().empty())
            ::_exit(1);
        const auto confined = ReadOwnCapabilities();
        if (!confined || (confined->effective & WindowCapabilities()) != 0 ||
            (confined->permitted & WindowCapabilities()) != WindowCapabilities())
            ::_exit(2);
        LinuxProcesses processes;
        if (processes.GetProcessPath(other).empty())
            ::_exit(3);
        if (!processes.SetProcessAffinity(other, CpuWords{1}))
            ::_exit(4);
        const auto after = ReadOwnCapabilities();
        if (!after || after->effective != confined->effective)
            ::_exit(5);
        {
            const CapabilitiesRaised raised(CapabilityBit(CAP_SYS_NICE));
            const auto during = ReadOwnCapabilities();
            if (!during || (during->effective & WindowCapabilities()) != CapabilityBit(CAP_SYS_NICE))
                ::_exit(6);
        }
        const auto restored = ReadOwnCapabilities();
        ::_exit(restored && restored->effective == confined->effective ? 0 : 7);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(window, &status, 0), window);
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace korvane::platform::linuxos
