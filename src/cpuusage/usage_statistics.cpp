#include "cpuusage/usage_statistics.h"

#include "cpuusage/usage_counters.h"
#include "cpuusage/usage_graph.h"
#include "platform/clock.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

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

UsageSample UsageStatistics::TakeSample()
{
    m_counters.Collect();
    SampleCount += 1;
    UsageSample sample;
    sample.cpuCount = m_maxCpuIndex + 1;
    double running = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(sample.cpuCount); ++i) {
        const double value = m_counters.Read(static_cast<int>(i));
        CurrentUsage[i] = value;
        running += value;
        UsageSum[i] += value;
        sample.current[i] = value;
        sample.average[i] = UsageSum[i] / SampleCount;
    }
    sample.total = running / sample.cpuCount;
    if (!m_everyCpu.empty()) {
        m_everySamples += 1;
        running = 0;
        for (std::size_t i = 0; i < m_everyCpu.size(); ++i) {
            const double value = m_counters.ReadEvery(i);
            m_everyCurrent[i] = value;
            m_everySum[i] += value;
            running += value;
            sample.everyCurrent.push_back(value);
            sample.everyAverage.push_back(m_everySum[i] / m_everySamples);
        }
        sample.total = running / static_cast<double>(m_everyCpu.size());
    }
    sample.time = m_clock.Now();
    TotalUsage = sample.total;
    return sample;
}

void UsageStatistics::ShowSample(const UsageSample& sample)
{
    if (!m_everyCpu.empty())
        m_graph.DrawEveryCpu(sample.everyCurrent, sample.everyAverage);
    for (int i = 0; i < sample.cpuCount && m_everyCpu.empty(); ++i) {
        const double average = sample.average[static_cast<std::size_t>(i)];
        m_controls.AvgUse[static_cast<std::size_t>(i)].SetCaption(FormatPercent(average, 2));
        m_graph.DrawMeter(i, average);
    }
    if (m_everyCpu.empty())
        m_graph.DrawGraph(sample.current);
    m_controls.CPUTTL.SetCaption(FormatPercent(sample.total, 1));
    // The graphs have no text of their own: a screen reader says their values.
    std::string values;
    const auto add = [&values](int cpu, double value) {
        values += (values.empty() ? "CPU " : ", CPU ") + std::to_string(cpu) + " " +
                  std::to_string(static_cast<int>(std::lround(value))) + " %";
    };
    if (m_everyCpu.empty()) {
        for (int i = 0; i < sample.cpuCount && i < 4; ++i)
            add(i, sample.current[static_cast<std::size_t>(i)]);
    } else {
        for (std::size_t i = 0; i < sample.everyCurrent.size() && i < m_everyCpu.size(); ++i)
            add(m_everyCpu[i], sample.everyCurrent[i]);
    }
    const std::string description = "Now: " + values + "; total " + FormatPercent(sample.total, 1);
    (m_everyCpu.empty() ? m_controls.VertGraph0 : m_controls.PicCpuBars).SetAccessibleDescription(description);
    m_controls.LblElapsed.SetCaption(FormatElapsed(StartTime, sample.time));
}

void UsageStatistics::Timer3_Timer()
{
    const UsageSample sample = TakeSample();
    if (UpdateTrayImage)
        UpdateTrayImage(sample.total);
    if (m_controls.Form.State() != forms::WindowState::Minimized) {
        // A clock set forward, or a suspended machine, is not measuring time.
        const std::int64_t jump = sample.time - LastTickTime;
        if (jump < -kClockJumpSeconds || jump > kClockJumpSeconds)
            StartTime += jump;
        ShowSample(sample);
    }
    LastTickTime = sample.time;
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
    std::fill(m_everySum.begin(), m_everySum.end(), 0.0);
    m_everySamples = 0;
    if (!m_everyCpu.empty())
        m_graph.DrawEveryCpu({}, {});
    m_scheduler.DoEvents();
    SampleCount = 0;
    StartTime = m_clock.Now();
    LastTickTime = StartTime;
    m_controls.Timer3.SetEnabled(true);
}

void UsageStatistics::ShowEveryCpu(std::vector<int> cpus)
{
    m_everyCpu = std::move(cpus);
    m_everyCurrent.assign(m_everyCpu.size(), 0.0);
    m_everySum.assign(m_everyCpu.size(), 0.0);
    m_everySamples = 0;
    if (!m_everyCpu.empty())
        m_counters.AddEveryCpu(m_everyCpu);
}

void UsageStatistics::PointAt(forms::PictureBox& picture, const std::vector<CpuPlace>& places, int x, int y)
{
    const int cpu = CpuAt(places, x, y);
    const auto it = std::find(m_everyCpu.begin(), m_everyCpu.end(), cpu);
    if (it == m_everyCpu.end()) {
        picture.SetToolTipText("");
        return;
    }
    const auto i = static_cast<std::size_t>(it - m_everyCpu.begin());
    const double average = m_everySamples > 0 ? m_everySum[i] / m_everySamples : 0.0;
    picture.SetToolTipText("CPU " + std::to_string(cpu) + ": " + FormatPercent(m_everyCurrent[i], 1) + " now, " +
                           FormatPercent(average, 2) + " on average");
}

} // namespace korvane::cpuusage
