#include "cpuusage/every_cpu_graph.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace korvane::cpuusage {

namespace {

using image::Rgb;
using image::Surface;

constexpr int kGroupGap = 2;

// Digits of 3 x 5 pixels, a row of three bits each, top first.
constexpr int kDigitRows[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                   {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
                                   {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

void DrawNumber(Surface& s, int x, int y, const std::string& digits, image::Color color)
{
    for (const char c : digits) {
        const auto& rows = kDigitRows[c - '0'];
        for (int row = 0; row < 5; ++row) {
            for (int bit = 0; bit < 3; ++bit) {
                if ((rows[row] >> (2 - bit) & 1) != 0)
                    s.SetPixel(x + bit, y + row, color);
            }
        }
        x += 4;
    }
}

int Total(const std::vector<std::vector<int>>& groups)
{
    int count = 0;
    for (const auto& group : groups)
        count += static_cast<int>(group.size());
    return count;
}

double Percent(const std::vector<double>& values, std::size_t i)
{
    return i < values.size() ? std::clamp(values[i], 0.0, 100.0) : 0.0;
}

} // namespace

std::vector<CpuPlace> PlaceBars(const std::vector<std::vector<int>>& groups, int width, int height)
{
    const int count = Total(groups);
    std::vector<CpuPlace> places;
    if (count == 0 || width <= 0 || height <= 0)
        return places;
    const int gaps = static_cast<int>(groups.size()) - 1;
    int rows = 1;
    while ((count + rows - 1) / rows * 3 + gaps * kGroupGap > width && rows * 8 < height)
        ++rows;
    const int perRow = (count + rows - 1) / rows;
    const int rowHeight = std::max((height - (rows - 1) * kGroupGap) / rows, 1);
    // Each row's CPUs, and where a group starts inside it.
    std::vector<std::pair<int, bool>> sequence;
    for (const auto& group : groups) {
        for (std::size_t i = 0; i < group.size(); ++i)
            sequence.emplace_back(group[i], i == 0);
    }
    for (int row = 0; row < rows; ++row) {
        const int first = row * perRow;
        const int last = std::min(first + perRow, count);
        int groupStarts = 0;
        for (int i = first + 1; i < last; ++i)
            groupStarts += sequence[static_cast<std::size_t>(i)].second ? 1 : 0;
        // Bars spread over the whole width: a fractional pitch, each bar a pixel short of it.
        const double pitch = std::max((width - groupStarts * kGroupGap) / static_cast<double>(std::max(perRow, 1)), 1.0);
        const int barWidth = std::max(static_cast<int>(pitch) - 1, 1);
        int gapsSoFar = 0;
        for (int i = first; i < last; ++i) {
            if (i > first && sequence[static_cast<std::size_t>(i)].second)
                ++gapsSoFar;
            const int x = static_cast<int>((i - first) * pitch) + gapsSoFar * kGroupGap;
            places.push_back(CpuPlace{sequence[static_cast<std::size_t>(i)].first, x, row * (rowHeight + kGroupGap),
                                      barWidth, rowHeight});
        }
    }
    return places;
}

std::vector<CpuPlace> PlaceCells(const std::vector<std::vector<int>>& groups, int width, int height)
{
    const int count = Total(groups);
    std::vector<CpuPlace> places;
    if (count == 0 || width <= 0 || height <= 0)
        return places;
    int bestColumns = 1;
    int bestSize = -1;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const int size = std::min(width / columns, 2 * (height / rows));
        if (size > bestSize) {
            bestSize = size;
            bestColumns = columns;
        }
    }
    const int rows = (count + bestColumns - 1) / bestColumns;
    const int cellWidth = std::max(width / bestColumns, 1);
    const int cellHeight = std::max(height / rows, 1);
    int i = 0;
    for (const auto& group : groups) {
        for (const int cpu : group) {
            places.push_back(CpuPlace{cpu, i % bestColumns * cellWidth, i / bestColumns * cellHeight,
                                      std::max(cellWidth - 1, 1), std::max(cellHeight - 1, 1)});
            ++i;
        }
    }
    return places;
}

int CpuAt(const std::vector<CpuPlace>& places, int x, int y)
{
    for (const CpuPlace& place : places) {
        // The gap after a bar or cell counts as part of it.
        if (x >= place.x && x <= place.x + place.width && y >= place.y && y <= place.y + place.height)
            return place.cpu;
    }
    return -1;
}

Surface DrawCpuBars(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width, int height)
{
    Surface s(width, height, image::kBlack);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const CpuPlace& p = places[i];
        const int lit = static_cast<int>(std::lround(p.height * Percent(values, i) / 100.0));
        s.FillRect(p.x, p.y, p.width, p.height - lit, Rgb(0, 96, 0));
        s.FillRect(p.x, p.y + p.height - lit, p.width, lit, Rgb(0, 255, 0));
    }
    return s;
}

Surface DrawCpuCells(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width, int height,
                     image::Color background)
{
    Surface s(width, height, background);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const CpuPlace& p = places[i];
        const double value = Percent(values, i);
        const image::Color fill = value > 87 ? Rgb(231, 90, 90) : value > 75 ? Rgb(231, 198, 90) : Rgb(90, 231, 90);
        s.FillRect(p.x, p.y, p.width, p.height, Rgb(206, 206, 206));
        s.FillRect(p.x + 1, p.y + 1, p.width - 2, p.height - 2, Rgb(238, 238, 238));
        s.FillRect(p.x + 1, p.y + 1, static_cast<int>(std::lround((p.width - 2) * value / 100.0)), p.height - 2, fill);
        const std::string number = std::to_string(static_cast<int>(std::lround(value)));
        const int textWidth = static_cast<int>(number.size()) * 4 - 1;
        if (p.width - 2 >= textWidth + 2 && p.height - 2 >= 5)
            DrawNumber(s, p.x + (p.width - textWidth) / 2, p.y + (p.height - 5) / 2, number, Rgb(0, 0, 0));
    }
    return s;
}

} // namespace korvane::cpuusage
