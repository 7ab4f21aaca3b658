#pragma once

#include "cpuusage/every_cpu_graph.h"
#include "cpuusage/usage_controls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvane::platform { class Clock; }

namespace korvane::cpuusage {

class UsageCounters;
class UsageGraph;

// Days (at least two digits, signed) and the time of day, "dd:hh:nn:ss"; "n/a" when the day
// count does not fit in 32 bits. Times are whole seconds.
std::string FormatElapsed(std::int64_t start, std::int64_t end);
// A percentage with the given decimals and " %": "7.25 %", "100.0 %".
std::string FormatPercent(double value, int decimals);

// One sample of the monitored CPUs (0 to cpuCount - 1), in percent.
struct UsageSample {
    int cpuCount = 0;
    std::array<double, 4> current{};
    std::array<double, 4> average{}; // since the last reset
    double total = 0;                // the mean of the current values
    std::int64_t time = 0;           // the clock's seconds when it was taken
    // With every CPU shown: each one's values in the order of the groups (the total is then
    // their mean).
    std::vector<double> everyCurrent;
    std::vector<double> everyAverage;
};

// Twice a second: samples every monitored CPU, keeps the averages since the last reset, the
// total (the mean of the CPUs) and the elapsed measuring time, and hands them to the displays.
class UsageStatistics {
public:
    UsageStatistics(UsageCounters& counters, UsageGraph& graph, UsageControls& controls, platform::Clock& clock,
                    forms::Scheduler& scheduler);

    // Clears the statistics of the monitored CPUs (at start-up).
    void Prepare(std::int16_t maxCpuIndex);
    void Timer3_Timer();
    // Reads the counters once and adds the reading to the averages.
    UsageSample TakeSample();
    // The averages' captions and meters, the graph, the total and the elapsed time.
    void ShowSample(const UsageSample& sample);
    // "Reset": starts the averages and the elapsed time afresh.
    void Command11_Click();

    // Measures and shows every CPU of the list (in the order of the groups), or only the four
    // again for an empty list; the averages of every CPU start afresh.
    void ShowEveryCpu(std::vector<int> cpus);
    // The pointer over a bar or a cell: its CPU's values become the picture's tooltip.
    void PointAt(forms::PictureBox& picture, const std::vector<CpuPlace>& places, int x, int y);

    std::array<double, 4> CurrentUsage{};
    std::array<double, 4> UsageSum{};
    double SampleCount = 0;
    std::int64_t StartTime = 0;
    std::int64_t LastTickTime = 0;
    double TotalUsage = 0; // of the last tick

    // The tray image update of every tick, given the total.
    std::function<void(double)> UpdateTrayImage;

private:
    UsageCounters& m_counters;
    UsageGraph& m_graph;
    UsageControls& m_controls;
    platform::Clock& m_clock;
    forms::Scheduler& m_scheduler;
    std::int16_t m_maxCpuIndex = 0;
    std::vector<int> m_everyCpu;
    std::vector<double> m_everyCurrent;
    std::vector<double> m_everySum;
    double m_everySamples = 0;
};

} // namespace korvane::cpuusage
