// Show Every CPU: the usage tick with every CPU shown at 128 and 256 CPUs against the bare read of
// /proc/stat plus the four-CPU drawing of the same machine, and the CPU picker opening at 256 CPUs
// in the Qt front end (offscreen).
#include "frontend/qt/qt_front_end.h"
#include "frontend/qt/qt_notification_area.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/proc_stat_counters.h"
#include "support/cpu_machines.h"
#include "support/fake_form.h"
#include "support/temp_folder.h"

#include "collector.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

using namespace korvane;

// A /proc/stat of a machine of that many CPUs, in a file; each tick of the counters (tick > 0)
// gives every CPU a usage of its own, which changes from tick to tick.
std::string WriteProcStat(const test::TempFolder& folder, int cpus, long tick = 0)
{
    const std::string path = folder.Path() + "/stat-" + std::to_string(cpus);
    std::ofstream out(path);
    out << "cpu  4705 356 584 3699 23 23 0 0 0 0\n";
    for (int cpu = 0; cpu < cpus; ++cpu) {
        const long busy = tick * 50 + (tick * 7 + cpu * 13) % 50;
        out << "cpu" << cpu << " " << 4705 + busy << " 356 584 " << 3699 + tick * 100 - busy << " 23 23 0 0 0 0\n";
    }
    out << "intr 1462898 0 0\nctxt 115315\nbtime 1700000000\nprocesses 9000\nprocs_running 1\n";
    return path;
}

// The main window on the simulated machine of a shape, its usage read from a /proc/stat file.
struct Machine {
    Machine(const platform::CpuTopology& topology, const std::string& statPath)
        : f(static_cast<int>(topology.cpus.size())), counters(files, statPath)
    {
        f.machine.SetTopology(topology);
        form = std::make_unique<ui::Form1>(ui::MachineServices{
            f.machine, f.machine, f.machine, f.machine, f.files, f.dialogs, f.icons, f.location, f.scheduler, counters,
            f.tray, f.clock, f.settings, f.instance, f.autostart, f.screen, f.fileDialogs});
        form->Form_Initialize();
        form->Form_Load();
    }
    test::FakeForm f;
    platform::linuxos::LinuxFileSystem files;
    platform::linuxos::ProcStatCounters counters;
    std::unique_ptr<ui::Form1> form;
};

test::TempFolder& Folder()
{
    static test::TempFolder folder;
    return folder;
}

platform::CpuTopology Shape(int cpus)
{
    return test::ServerMachine(cpus / 128);
}

void BareRead(benchmark::State& state)
{
    const std::string path = WriteProcStat(Folder(), static_cast<int>(state.range(0)));
    platform::linuxos::LinuxFileSystem files;
    for (auto _ : state)
        benchmark::DoNotOptimize(files.ReadFile(path));
}

// The usage panel shown, the usage of each CPU changing from tick to tick (the new /proc/stat is
// written while the clock is stopped).
void Tick(benchmark::State& state, bool everyCpu)
{
    const int cpus = static_cast<int>(state.range(0));
    Machine machine(Shape(cpus), WriteProcStat(Folder(), cpus));
    machine.form->Controls().AllCpus.SetValue(everyCpu ? 1 : 0);
    machine.form->Controls().Command13.UserClick();
    long tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteProcStat(Folder(), cpus, ++tick);
        state.ResumeTiming();
        machine.form->Usage().Timer3_Timer();
    }
}

void FourCpuTick(benchmark::State& state)
{
    Tick(state, false);
}

void EveryCpuTick(benchmark::State& state)
{
    Tick(state, true);
}

void OpenPicker(benchmark::State& state)
{
    Machine machine(test::ServerMachine256(), WriteProcStat(Folder(), 256));
    machine.form->Controls().AllCpus.SetValue(1);
    qtfront::QtNotificationArea tray;
    qtfront::QtFrontEnd view(*machine.form, machine.f.screen, tray);
    QApplication::processEvents();
    for (auto _ : state) {
        machine.form->Controls().CmdCpus.UserClick();
        QApplication::processEvents(); // shown and painted
        state.PauseTiming();
        machine.form->EveryCpu().Picker()->Cancel.UserClick();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("bare_proc_stat_read", BareRead)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("tick_four_cpus", FourCpuTick)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("tick_every_cpu", EveryCpuTick)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("open_cpu_picker_256", OpenPicker)->Iterations(20)->Unit(benchmark::kMillisecond);
    bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto& t = collector.times;
    for (const char* cpus : {"128", "256"}) {
        const std::string n = cpus;
        const double read = t["bare_proc_stat_read/" + n];
        const double four = t["tick_four_cpus/" + n];
        // The four-CPU tick reads and parses /proc/stat itself: its drawing is what it takes beyond the bare read.
        const double baseline = read + std::max(four - read, 0.0);
        std::printf("\nusage tick, every CPU shown, %s CPUs: %.1f us = %.2fx (bare read %.1f us + the rest of the "
                    "four-CPU tick, parsing and drawing, %.1f us) (goal under 1.5x)\n",
                    cpus, t["tick_every_cpu/" + n], t["tick_every_cpu/" + n] / baseline, read, four - read);
    }
    std::printf("opening the CPU picker at 256 CPUs (Qt offscreen): %.1f ms (goal under 100 ms)\n",
                t["open_cpu_picker_256/iterations:20"]);
    return 0;
}
