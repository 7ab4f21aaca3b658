// Usage monitor speed: one minimized usage tick (collect, two CPUs, tray picture, icon, modify)
// against the floor of reading and parsing /proc/stat once; recolouring and one graph redraw.
#include "platform/linux/linux_file_system.h"
#include "platform/linux/proc_stat_counters.h"
#include "support/live_form.h"

#include "collector.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

using namespace korvane;

// The tray as the shell takes it: each call hands over the record.
class ShellTray : public platform::NotificationArea {
public:
    bool Add(const platform::TrayIconData& data) override { return Keep(data); }
    bool Modify(const platform::TrayIconData& data) override { return Keep(data); }
    bool Delete(const platform::TrayIconData&) override { return true; }

private:
    bool Keep(const platform::TrayIconData& data)
    {
        m_shown = data;
        return true;
    }
    platform::TrayIconData m_shown;
};

struct Machine {
    Machine() : live(scheduler, nullptr, &tray) { live.form.Form_Load(); }
    forms::VirtualScheduler scheduler;
    ShellTray tray;
    test::LiveForm live;
    ui::Form1& form = live.form;
};

void FloorProcStat(benchmark::State& state)
{
    platform::linuxos::LinuxFileSystem files;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::linuxos::ParseProcStat(*files.ReadFile("/proc/stat")));
}

void MinimizedTick(benchmark::State& state)
{
    Machine machine;
    machine.form.Controls().Form.SetState(forms::WindowState::Minimized);
    machine.form.Controls().TrayAsNum.SetValue(state.range(0));
    for (auto _ : state)
        machine.form.Usage().Timer3_Timer();
}

void ShownTick(benchmark::State& state)
{
    Machine machine;
    for (auto _ : state)
        machine.form.Usage().Timer3_Timer();
}

void Recolour(benchmark::State& state)
{
    Machine machine;
    int index = 0;
    for (auto _ : state)
        machine.form.TrayPicture().ColurPik_Click(index++ % 8);
}

void GraphRedraw(benchmark::State& state)
{
    Machine machine;
    cpuusage::UsageControls controls = machine.form.Controls().ForUsageMonitor();
    cpuusage::UsageGraph graph(controls, cpuusage::kWindowBackground);
    const std::array<double, 4> usage{12.5, 87.0, 50.0, 3.0};
    for (auto _ : state)
        graph.DrawGraph(usage);
}


} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("floor_read_parse_proc_stat", FloorProcStat)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Timer3_Timer_minimized", MinimizedTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Timer3_Timer_shown", ShownTick)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ColurPik_Click", Recolour)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("graph_redraw", GraphRedraw)->Unit(benchmark::kMicrosecond);
    bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto& t = collector.times;
    const double floor = t["floor_read_parse_proc_stat"];
    std::printf("\nminimized tick, graph mode:  %.2fx the floor (limit 3x)\n", t["Timer3_Timer_minimized/0"] / floor);
    std::printf("minimized tick, number mode: %.2fx the floor (limit 3x)\n", t["Timer3_Timer_minimized/1"] / floor);
    std::printf("recolouring: %.1f us, one graph redraw: %.1f us\n", t["ColurPik_Click"], t["graph_redraw"]);
    return 0;
}
