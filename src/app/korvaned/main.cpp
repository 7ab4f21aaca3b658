// korvaned: the system service that gives favorites their CPUs the moment a program starts, for
// every user of the machine, and sets other users' processes with an administrator's consent.
#include "platform/linux/capabilities.h"
#include "platform/linux/korvaned_bus.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/process_connector_watch.h"
#include "platform/linux/sysfs_topology.h"
#include "service/korvaned_service.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int /*signal*/)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// Milliseconds from now to a CLOCK_MONOTONIC deadline in µs; -1 for none.
int MillisecondsUntil(std::uint64_t deadline)
{
    if (deadline == UINT64_MAX)
        return -1;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nowUs = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000U + static_cast<std::uint64_t>(now.tv_nsec) / 1000U;
    if (deadline <= nowUs)
        return 0;
    return static_cast<int>(std::min<std::uint64_t>((deadline - nowUs + 999) / 1000, 60'000));
}

std::optional<korvane::platform::linuxos::BusError> ToBus(std::optional<korvane::service::Refusal> refusal)
{
    if (!refusal)
        return std::nullopt;
    return korvane::platform::linuxos::BusError{std::move(refusal->error), std::move(refusal->message)};
}

} // namespace

int main(int argc, char** argv)
{
    using namespace korvane;
    using namespace korvane::platform::linuxos;
    std::chrono::milliseconds polkitTimeout(120'000); // a person may be typing a password
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help") {
            std::printf("Usage: korvaned [--polkit-timeout-ms=N]\n\nThe system service of Korvane: favorites the "
                        "moment a program starts, for every user, over D-Bus (%s).\n",
                        kServiceName);
            return 0;
        }
        if (argument == "--version") {
            std::printf("korvaned %s\n", KORVANE_VERSION);
            return 0;
        }
        if (argument.rfind("--polkit-timeout-ms=", 0) == 0) {
            polkitTimeout = std::chrono::milliseconds(std::max(1L, std::atol(argument.c_str() + 20)));
            continue;
        }
        std::fprintf(stderr, "korvaned: unknown argument %s\n", argument.c_str());
        return 2;
    }
    // Reading another user's program link is the only thing CAP_SYS_PTRACE is for: it is raised
    // around that one call.
    LowerCapabilities(CapabilityBit(CAP_SYS_PTRACE));

    LinuxFileSystem files;
    int highestCpu = 0;
    for (const auto& cpu : SysfsTopology(files, "").ReadTopology().cpus)
        highestCpu = std::max(highestCpu, cpu.number);
    LinuxProcesses processes;
    KorvanedBus bus(polkitTimeout);
    service::KorvanedService service(processes, bus, highestCpu);
    ProcessConnectorWatch watch;
    watch.Open();

    bus.onSetFavorites = [&service](const BusCaller& caller, const auto& favorites, bool autoSet) {
        return ToBus(service.SetFavorites({caller.busName, caller.uid}, favorites, autoSet));
    };
    bus.onSetAffinity = [&service](const BusCaller& caller, std::uint32_t processId, std::uint64_t startTime,
                                   const std::string& cpus, BusReply reply) {
        if (processId > static_cast<std::uint32_t>(INT32_MAX)) {
            reply(BusError{"InvalidArgs", "no process has the id " + std::to_string(processId)});
            return;
        }
        service.SetAffinity({caller.busName, caller.uid}, static_cast<std::int32_t>(processId), startTime, cpus,
                            caller.interactive,
                            [reply = std::move(reply)](std::optional<service::Refusal> refusal) {
                                reply(ToBus(std::move(refusal)));
                            });
    };
    bus.onApplyToEveryUser = [&service](const BusCaller& caller, bool on, BusReply reply) {
        service.ApplyToEveryUser({caller.busName, caller.uid}, on, caller.interactive,
                                 [reply = std::move(reply)](std::optional<service::Refusal> refusal) {
                                     reply(ToBus(std::move(refusal)));
                                 });
    };
    bus.onCallerGone = [&service](const std::string& busName) { service.CallerGone(busName); };
    bus.startWatch = [&watch] {
        const std::string status = watch.Status();
        return watch.IsOpen() ? std::string("on") : status.rfind("off, ", 0) == 0 ? status.substr(5) : status;
    };
    std::string why;
    if (!bus.Open(why)) {
        std::fprintf(stderr, "korvaned: %s\n", why.c_str());
        return 1;
    }
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    std::fprintf(stderr, "korvaned: serving %s; start watch: %s\n", kServiceName, bus.startWatch().c_str());

    std::vector<platform::ProgramStart> starts;
    for (;;) {
        pollfd ready[3] = {{bus.Handle(), bus.Events(), 0}, {watch.Handle(), POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        if (::poll(ready, 3, MillisecondsUntil(bus.Deadline())) < 0 && errno != EINTR)
            return 1;
        if (ready[2].revents != 0)
            return 0;
        if ((ready[1].revents & POLLIN) != 0) {
            starts.clear();
            const auto result = watch.TakeStarts(starts);
            for (const platform::ProgramStart& start : starts)
                service.ProgramStarted(start);
            if (result == platform::StartWatch::Result::Lost)
                service.StartsLost();
            if (result == platform::StartWatch::Result::Failed) {
                service.StartsLost();
                watch.Close();
                watch.Open();
            }
        }
        if (!bus.Process()) {
            std::fprintf(stderr, "korvaned: the bus connection broke\n");
            return 1;
        }
    }
}
