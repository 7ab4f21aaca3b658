#pragma once

#include "cpuusage/usage_controls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

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
};

} // namespace korvane::cpuusage
