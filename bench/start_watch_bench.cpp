// The start watch beside the polling watch on this machine: how soon a favorite has its CPUs
// after it starts, and what each costs Korvane while programs start all the time or while 2,000
// processes sit idle. Needs the right to listen (root) for the watch figures.
#include "core/list_row.h"
#include "platform/linux/process_connector_watch.h"
#include "support/child_process.h"
#include "support/live_form.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <ctime>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the calling thread (the one running Korvane), in milliseconds.
double ThreadCpuMillis()
{
    // The thread's exact run time (getrusage's is spread over ticks and misleads over short spans).
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

pid_t Spawn(const std::string& program, std::vector<std::string> arguments)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t pid)
{
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

bool OnCpu0Only(pid_t pid)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    return ::sched_getaffinity(pid, sizeof set, &set) == 0 && CPU_COUNT(&set) == 1 && CPU_ISSET(0, &set);
}

// Programs started in the background, none of them a favorite, at a steady rate.
class Churn {
public:
    explicit Churn(int perSecond)
        : m_thread([this, perSecond] {
              const auto step = std::chrono::microseconds(1'000'000 / perSecond);
              auto next = Clock::now();
              while (!m_stop) {
                  const pid_t pid = Spawn("/bin/true", {"true"});
                  if (pid > 0)
                      ::waitpid(pid, nullptr, 0);
                  ++m_started;
                  next += step;
                  std::this_thread::sleep_until(next);
              }
          })
    {
    }
    Churn(const Churn&) = delete;
    Churn& operator=(const Churn&) = delete;
    ~Churn()
    {
        m_stop = true;
        m_thread.join();
    }
    int Started() const { return m_started; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_started{0};
    std::thread m_thread;
};

// Korvane on this machine with "Auto Set Affinity" on and one favorite, "Favbench" on CPU 0,
// driven by an event loop like the window's: the timers, and the watch's socket when it listens.
struct Korvane {
    explicit Korvane(bool listen)
    {
        favorite = (std::filesystem::path(live.folder.Path()) / "favbench").string();
        std::filesystem::copy_file(KORVANE_BENCH_CHILD, favorite);
        live.files.WriteFileAtomic(live.folder / "MyFav.Affinity", core::ListRow::NameFieldOf("Favbench") + "0\r\n");
        if (listen && watch.Open())
            live.form.UseStartWatch(watch);
        live.Load();
        live.form.Controls().Check1.UserClick();
    }
    bool Listening() const { return watch.IsOpen(); }

    // Waits on the timers and the watch until done() or the limit.
    bool RunUntil(const std::function<bool()>& done, Clock::duration limit)
    {
        const auto end = Clock::now() + limit;
        while (!done()) {
            const auto now = Clock::now();
            if (now >= end)
                return false;
            const auto wake = std::min(end, scheduler.NextDue());
            const int timeout = wake <= now ? 0
                                            : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wake - now).count());
            pollfd ready{watch.Handle(), POLLIN, 0};
            if (::poll(&ready, watch.Handle() >= 0 ? 1 : 0, timeout) > 0)
                live.form.StartWatch_Ready();
            scheduler.DoEvents();
        }
        return true;
    }

    forms::SteadyScheduler scheduler;
    test::LiveForm live{scheduler};
    platform::linuxos::ProcessConnectorWatch watch;
    std::string favorite;
};

struct Percentiles {
    double median;
    double p99;
};

Percentiles Of(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values[static_cast<std::size_t>(0.99 * static_cast<double>(values.size() - 1))]};
}

// Start to CPUs set, through the watch: each start told, read and set on the one loop, with
// other programs starting in the background.
Percentiles WatchLatency(int starts)
{
    Korvane korvane(true);
    const Churn churn(50);
    std::vector<double> millis;
    for (int i = 0; i < starts; ++i) {
        const auto before = korvane.live.form.Starts()->StartsSet();
        const auto start = Clock::now();
        const pid_t pid = Spawn(korvane.favorite, {korvane.favorite, "1"});
        const bool set = korvane.RunUntil([&] { return korvane.live.form.Starts()->StartsSet() > before; },
                                          std::chrono::seconds(2));
        millis.push_back(set && OnCpu0Only(pid) ? Millis(Clock::now() - start) : 2000.0);
        End(pid);
    }
    return Of(millis);
}

// Start to CPUs set through the polling watch (Timer1, then Timer2's rebuild and "Set Now").
Percentiles PollingLatency(int starts)
{
    Korvane korvane(false);
    const Churn churn(50);
    std::vector<double> millis;
    for (int i = 0; i < starts; ++i) {
        const auto start = Clock::now();
        const pid_t pid = Spawn(korvane.favorite, {korvane.favorite, "1"});
        const bool set = korvane.RunUntil([&] { return OnCpu0Only(pid); }, std::chrono::seconds(3));
        millis.push_back(set ? Millis(Clock::now() - start) : 3000.0);
        End(pid);
        korvane.RunUntil([] { return false; }, std::chrono::milliseconds(400)); // the count settles
    }
    return Of(millis);
}

// Share of one core Korvane's thread takes over the time.
double CpuShare(bool listen, int startsPerSecond, std::chrono::seconds duration)
{
    Korvane korvane(listen);
    korvane.RunUntil([] { return false; }, std::chrono::seconds(1)); // loaded and settled
    std::unique_ptr<Churn> churn;
    if (startsPerSecond > 0)
        churn = std::make_unique<Churn>(startsPerSecond);
    const double cpuBefore = ThreadCpuMillis();
    const auto start = Clock::now();
    korvane.RunUntil([] { return false; }, duration);
    return (ThreadCpuMillis() - cpuBefore) / Millis(Clock::now() - start) * 100.0;
}

} // namespace

// Arguments choose the parts: "latency", "churn", "idle" (all when none is given).
int main(int argc, char** argv)
{
    // Options for the other benchmarks ("--benchmark_min_time=...") are not parts.
    std::vector<std::string> parts;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0)
            parts.emplace_back(argv[i]);
    }
    const auto wanted = [&](const char* part) {
        return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
    };
    {
        platform::linuxos::ProcessConnectorWatch probe;
        probe.Open();
        std::printf("start watch: %s\n", probe.Status().c_str());
        if (!probe.IsOpen()) {
            std::printf("run as root for the start watch figures\n");
            return 0;
        }
    }
    constexpr int kWatchStarts = 1000;
    constexpr int kPollingStarts = 30;
    if (wanted("latency")) {
    const Percentiles watch = WatchLatency(kWatchStarts);
    const Percentiles polling = PollingLatency(kPollingStarts);
    std::printf("\nfavorite start -> CPUs set, 50 other starts a second in the background\n");
    std::printf("  start watch,   %4d starts: median %7.2f ms, p99 %7.2f ms  (goal: p99 under 5 ms: %s)\n", kWatchStarts,
                watch.median, watch.p99, watch.p99 < 5.0 ? "met" : "NOT met");
    std::printf("  polling watch, %4d starts: median %7.2f ms, p99 %7.2f ms\n", kPollingStarts, polling.median,
                polling.p99);
    std::printf("  polling p99 / watch p99: %.0fx  (goal: 100x or more: %s)\n", polling.p99 / watch.p99,
                polling.p99 / watch.p99 >= 100.0 ? "met" : "NOT met");
    }

    const auto span = std::chrono::seconds(10);
    if (wanted("churn")) {
    const double pollingBusy = CpuShare(false, 20, span);
    const double watchBusy = CpuShare(true, 20, span);
    std::printf("\nKorvane's CPU while 20 programs start a second, %lld s each\n", static_cast<long long>(span.count()));
    std::printf("  polling only: %.3f %% of a core\n", pollingBusy);
    std::printf("  with watch:   %.3f %% of a core  (goal: at most 1.2x polling: %.2fx, %s)\n", watchBusy,
                watchBusy / pollingBusy, watchBusy <= 1.2 * pollingBusy ? "met" : "NOT met");
    std::printf("  the watch's own cost: %.0f us of CPU per program start\n",
                (watchBusy - pollingBusy) / 100.0 * 1e6 / 20.0);
    }
    if (!wanted("idle"))
        return 0;

    const double ownPolling = CpuShare(false, 0, span);
    std::printf("\nKorvane's CPU with this machine's own processes and none starting: %.3f %% of a core\n", ownPolling);
    // Processes that sleep all the time: none wakes the machine while Korvane is measured.
    std::vector<pid_t> idle;
    for (int i = 0; i < 2000; ++i)
        idle.push_back(Spawn("/bin/sleep", {"sleep", "100000"}));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    {
        Korvane korvane(false);
        const double before = ThreadCpuMillis();
        for (int i = 0; i < 100; ++i)
            korvane.live.form.Monitor().Timer1_Timer();
        std::printf("\nTimer1_Timer with 2,000 more processes, none starting: %.3f ms of CPU a tick\n",
                    (ThreadCpuMillis() - before) / 100);
    }
    const double idlePolling = CpuShare(false, 0, span);
    const double idleWatch = CpuShare(true, 0, span);
    std::printf("\nKorvane's CPU with 2,000 more processes and none starting, %lld s each\n",
                static_cast<long long>(span.count()));
    std::printf("  polling only: %.3f %% of a core  (goal: under 0.3 %%: %s)\n", idlePolling,
                idlePolling < 0.3 ? "met" : "NOT met");
    std::printf("  with watch:   %.3f %% of a core\n", idleWatch);
    for (const pid_t pid : idle)
        End(pid);
    return 0;
}
