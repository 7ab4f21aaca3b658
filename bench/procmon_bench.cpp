// Process monitor speed on this machine's real processes, then with 5,000 more: the watch tick,
// the table rebuild and the list redraw against a floor of the bare system calls, and the time
// from a favorite's start to its affinity being set.
#include "core/list_row.h"
#include "platform/fake/fake_icon_source.h"
#include "support/child_process.h"
#include "support/live_form.h"

#include "collector.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <map>
#include <memory>
#include <sched.h>
#include <unistd.h>

namespace {

using namespace korvane;

// Every program has an icon, so the first redraw fills the cache and later ones read it.
class AnyIcon : public platform::IconSource {
public:
    std::optional<image::Icon> ExtractSmallIcon(const std::string&) override
    {
        return platform::fake::FakeIconSource::SolidIcon(image::Rgb(20, 120, 220));
    }
};

// The window on this machine, with an icon for every program.
struct Machine {
    explicit Machine(forms::Scheduler& scheduler) : live(scheduler, &icons) {}
    AnyIcon icons;
    test::LiveForm live;
    ui::Form1& form = live.form;
    platform::linuxos::LinuxFileSystem& files = live.files;
    test::TempFolder& folder = live.folder;
};

std::vector<int> ListProc()
{
    std::vector<int> ids;
    DIR* dir = ::opendir("/proc");
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] >= '0' && entry->d_name[0] <= '9')
            ids.push_back(std::atoi(entry->d_name));
    }
    ::closedir(dir);
    return ids;
}

void FloorListProc(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ListProc());
}

// The least a listing of the process ids can cost: getdents64 into one buffer, the numeric
// entries counted, nothing kept.
void FloorGetdents(benchmark::State& state)
{
    std::vector<char> buffer(64 * 1024);
    const int fd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        ::lseek(fd, 0, SEEK_SET);
        int count = 0;
        long n = 0;
        while ((n = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size())) > 0) {
            for (long at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + at);
                at += entry->d_reclen;
                count += entry->d_name[0] >= '1' && entry->d_name[0] <= '9' ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    ::close(fd);
}

void FloorFull(benchmark::State& state)
{
    cpu_set_t set;
    char target[PATH_MAX];
    for (auto _ : state) {
        for (const int id : ListProc()) {
            const std::string link = "/proc/" + std::to_string(id) + "/exe";
            benchmark::DoNotOptimize(::readlink(link.c_str(), target, sizeof target));
            benchmark::DoNotOptimize(::sched_getaffinity(id, sizeof set, &set));
        }
    }
}

int g_processCount[2] = {0, 0};

void Timer1Tick(benchmark::State& state)
{
    forms::VirtualScheduler scheduler;
    Machine machine(scheduler);
    machine.form.Form_Load();
    for (auto _ : state)
        machine.form.Monitor().Timer1_Timer();
    state.counters["processes"] = machine.form.Table().CountProcessIds();
}

void RefreshTable(benchmark::State& state)
{
    forms::VirtualScheduler scheduler;
    Machine machine(scheduler);
    machine.form.Form_Load();
    for (auto _ : state)
        machine.form.Table().RefreshProcessTable();
    state.counters["rows"] = machine.form.Controls().List1.ListCount();
}

void RefreshList(benchmark::State& state)
{
    forms::VirtualScheduler scheduler;
    Machine machine(scheduler);
    machine.form.Form_Load();
    machine.form.ProcessView().RefreshProcessList(); // fills the icon cache
    for (auto _ : state)
        machine.form.ProcessView().RefreshProcessList();
}


void RunAll(const std::string& suffix, bench::Collector& collector)
{
    benchmark::ClearRegisteredBenchmarks();
    benchmark::RegisterBenchmark(("floor_list_proc/" + suffix).c_str(), FloorListProc)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("floor_getdents/" + suffix).c_str(), FloorGetdents)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("floor_full/" + suffix).c_str(), FloorFull)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Timer1_Timer/" + suffix).c_str(), Timer1Tick)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("RefreshProcessTable/" + suffix).c_str(), RefreshTable)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("RefreshProcessList/" + suffix).c_str(), RefreshList)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks(&collector);
}

void FavoriteLatency()
{
    constexpr int kStarts = 50;
    forms::SteadyScheduler scheduler;
    Machine machine(scheduler);
    machine.files.WriteFileAtomic(machine.folder / "MyFav.Affinity", core::ListRow::NameFieldOf("Korvane_bench_child") + "0\r\n");
    machine.form.Form_Load();
    machine.form.Controls().Check1.UserClick();
    std::vector<double> millis;
    for (int i = 0; i < kStarts; ++i) {
        const auto start = std::chrono::steady_clock::now();
        test::ChildProcess child(KORVANE_BENCH_CHILD, 2);
        cpu_set_t set;
        const bool done = scheduler.RunUntil(
            [&] {
                CPU_ZERO(&set);
                return ::sched_getaffinity(child.Pid(), sizeof set, &set) == 0 && CPU_COUNT(&set) == 1 &&
                       CPU_ISSET(0, &set);
            },
            std::chrono::seconds{5});
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        millis.push_back(done ? took.count() : 5000.0);
        child.Kill();
        scheduler.RunUntil([] { return false; }, std::chrono::milliseconds{400}); // the count settles
    }
    std::sort(millis.begin(), millis.end());
    const double median = millis[millis.size() / 2];
    const double p99 = millis[static_cast<std::size_t>(0.99 * static_cast<double>(millis.size() - 1))];
    std::printf("\nfavorite start -> affinity set, %d starts: median %.0f ms, 99th percentile %.0f ms (%s 1000 ms)\n",
                kStarts, median, p99, p99 < 1000.0 ? "under" : "NOT under");
}

} // namespace

// Processes started for the second round, besides the machine's own.
constexpr int kExtra = 5000;

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::Collector collector;
    g_processCount[0] = static_cast<int>(ListProc().size());
    RunAll("own", collector);
    {
        std::vector<std::unique_ptr<test::ChildProcess>> extra;
        for (int i = 0; i < kExtra; ++i)
            extra.push_back(std::make_unique<test::ChildProcess>(KORVANE_BENCH_CHILD, 1));
        g_processCount[1] = static_cast<int>(ListProc().size());
        RunAll("more", collector);
    }

    auto& t = collector.times;
    std::printf("\n%-32s %10s %10s   (processes: %d and %d)\n", "figure", "own", "+5000", g_processCount[0],
                g_processCount[1]);
    auto ratio = [&](const char* label, const std::string& a, const std::string& b, double limit) {
        const double own = t[a + "/own"] / t[b + "/own"];
        const double big = t[a + "/more"] / t[b + "/more"];
        std::printf("%-32s %9.2fx %9.2fx  (limit %.1fx)\n", label, own, big, limit);
    };
    ratio("Timer1_Timer / list /proc", "Timer1_Timer", "floor_list_proc", 1.2);
    ratio("Timer1_Timer / getdents64", "Timer1_Timer", "floor_getdents", 1.2);
    ratio("RefreshProcessTable / floor", "RefreshProcessTable", "floor_full", 1.5);
    ratio("RefreshProcessList / table", "RefreshProcessList", "RefreshProcessTable", 2.0);
    const double ownCount = g_processCount[0];
    const double bigCount = g_processCount[1];
    const double tableGrowth = (t["RefreshProcessTable/more"] / bigCount) / (t["RefreshProcessTable/own"] / ownCount);
    const double floorGrowth = (t["floor_full/more"] / bigCount) / (t["floor_full/own"] / ownCount);
    std::printf("%-32s %9.2fus %9.2fus  growth %.2fx (floor's own growth %.2fx; limit 1.3x)\n",
                "RefreshProcessTable per process", t["RefreshProcessTable/own"] / ownCount,
                t["RefreshProcessTable/more"] / bigCount, tableGrowth, floorGrowth);
    FavoriteLatency();
    return 0;
}
