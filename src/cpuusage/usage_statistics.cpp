#include "cpuusage/usage_statistics.h"

#include "cpuusage/usage_counters.h"
#include "cpuusage/usage_graph.h"
#include "platform/clock.h"

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace korvane::cpuusage {

namespace {
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kClockJumpSeconds = 4;
} // namespace

std::string FormatElapsed(std::int64_t start, std::int64_t end)
{
    if ((end < 0 && start > std::numeric_limits<std::int64_t>::max() + end) ||
        (end > 0 && start < std::numeric_limits<std::int64_t>::min() + end))
        return "n/a";
    const std::int64_t diff = end - start;
    std::int64_t days = diff / kSecondsPerDay;
    if (diff % kSecondsPerDay < 0)
        --days; // the largest whole number not above the difference
    if (days < std::numeric_limits<std::int32_t>::min() || days > std::numeric_limits<std::int32_t>::max())
        return "n/a";
    const std::int64_t rest = diff - days * kSecondsPerDay;
    char text[64];
    std::snprintf(text, sizeof text, "%s%02" PRId64 ":%02d:%02d:%02d", days < 0 ? "-" : "", days < 0 ? -days : days,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

std::string FormatPercent(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %%", decimals, value);
    return text;
}

UsageStatistics::UsageStatistics(UsageCounters& counters, UsageGraph& graph, UsageControls& controls,
                                 platform::Clock& clock, forms::Scheduler& scheduler)
    : m_counters(counters), m_graph(graph), m_controls(controls), m_clock(clock), m_scheduler(scheduler)
{
}

void UsageStatistics::Prepare(std::int16_t maxCpuIndex)
{
    m_maxCpuIndex = maxCpuIndex;
    for (int i = 0; i <= maxCpuIndex && i < 4; ++i) {
        CurrentUsage[static_cast<std::size_t>(i)] = 0;
        UsageSum[static_cast<std::size_t>(i)] = 0;
    }
}

void UsageStatistics::Timer3_Timer()
{
    m_counters.Collect();
    SampleCount += 1;
    double running = 0;
    for (int i = 0; i <= m_maxCpuIndex; ++i) {
        const double value = m_counters.Read(i);
        CurrentUsage[static_cast<std::size_t>(i)] = value;
        running += value;
        UsageSum[static_cast<std::size_t>(i)] += value;
    }
    TotalUsage = running / (m_maxCpuIndex + 1);
    if (UpdateTrayImage)
        UpdateTrayImage(TotalUsage);

    const std::int64_t now = m_clock.Now();
    if (m_controls.Form.State() != forms::WindowState::Minimized) {
        for (int i = 0; i <= m_maxCpuIndex; ++i) {
            const double average = UsageSum[static_cast<std::size_t>(i)] / SampleCount;
            m_controls.AvgUse[static_cast<std::size_t>(i)].SetCaption(FormatPercent(average, 2));
            m_graph.DrawMeter(i, average);
        }
        m_graph.DrawGraph(CurrentUsage);
        m_controls.CPUTTL.SetCaption(FormatPercent(TotalUsage, 1));
        // A clock set forward, or a suspended machine, is not measuring time.
        const std::int64_t jump = now - LastTickTime;
        if (jump < -kClockJumpSeconds || jump > kClockJumpSeconds)
            StartTime += jump;
        m_controls.LblElapsed.SetCaption(FormatElapsed(StartTime, now));
    }
    LastTickTime = now;
}

void UsageStatistics::Command11_Click()
{
    if (m_counters.CountersUnavailable)
        return;
    m_controls.Timer3.SetEnabled(false);
    m_graph.ShowResetPictures(m_maxCpuIndex);
    m_controls.CPUTTL.SetCaption("------");
    m_controls.LblElapsed.SetCaption("--:--:--:--");
    for (int i = 0; i <= m_maxCpuIndex; ++i) {
        UsageSum[static_cast<std::size_t>(i)] = 0;
        m_controls.AvgUse[static_cast<std::size_t>(i)].SetCaption("------");
    }
    m_scheduler.DoEvents();
    SampleCount = 0;
    StartTime = m_clock.Now();
    LastTickTime = StartTime;
    m_controls.Timer3.SetEnabled(true);
}

} // namespace korvane::cpuusage
