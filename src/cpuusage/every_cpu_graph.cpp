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

// The digits at (x, y), each pixel of the font a square of scale pixels.
void DrawNumber(Surface& s, int x, int y, const std::string& digits, image::Color color, int scale)
{
    for (const char c : digits) {
        const auto& rows = kDigitRows[c - '0'];
        for (int row = 0; row < 5; ++row) {
            for (int bit = 0; bit < 3; ++bit) {
                if ((rows[row] >> (2 - bit) & 1) == 0)
                    continue;
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx)
                        s.SetPixel(x + bit * scale + dx, y + row * scale + dy, color);
                }
            }
        }
        x += 4 * scale;
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
        const double room = width - groupStarts * kGroupGap;
        const double pitch = std::max(room / std::max(perRow, 1), 1.0);
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
    Surface s;
    DrawCpuBars(s, places, values, width, height);
    return s;
}

int LevelPattern(double value)
{
    return value > 87 ? 2 : value > 75 ? 1 : 0;
}

bool PatternPixel(int pattern, int x, int y)
{
    return pattern == 0 || (pattern == 1 ? x % 3 != 2 : (x + y) % 2 == 0);
}

void DrawCpuBars(Surface& s, const std::vector<CpuPlace>& places, const std::vector<double>& values, int width,
                 int height, const UsagePalette& palette)
{
    s.Reset(width, height, palette.system ? palette.window : image::kBlack);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const CpuPlace& p = places[i];
        const int lit = static_cast<int>(std::lround(p.height * Percent(values, i) / 100.0));
        s.FillRect(p.x, p.y, p.width, p.height - lit, palette.system ? palette.gray : Rgb(0, 96, 0));
        s.FillRect(p.x, p.y + p.height - lit, p.width, lit, palette.system ? palette.highlight : Rgb(0, 255, 0));
    }
}

Surface DrawCpuCells(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width, int height,
                     image::Color background)
{
    Surface s;
    DrawCpuCells(s, places, values, width, height, background);
    return s;
}

void DrawCpuCells(Surface& s, const std::vector<CpuPlace>& places, const std::vector<double>& values, int width,
                  int height, image::Color background, const UsagePalette& palette)
{
    s.Reset(width, height, background);
    for (std::size_t i = 0; i < places.size(); ++i)
        DrawCpuCell(s, places[i], Percent(values, i), palette);
}

int CellLook(double value)
{
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 100.0) * 10));
}

void DrawCpuCell(Surface& s, const CpuPlace& p, double value, const UsagePalette& palette)
{
    value = std::clamp(value, 0.0, 100.0);
    const image::Color rim = palette.system ? palette.text : Rgb(206, 206, 206);
    const image::Color fill = palette.system ? palette.highlight
                              : value > 87   ? Rgb(231, 90, 90)
                              : value > 75   ? Rgb(231, 198, 90)
                                             : Rgb(90, 231, 90);
    const image::Color empty = palette.system ? palette.window : Rgb(238, 238, 238);
    // The rim, then the inside: filled from the left, the rest light.
    s.FillRect(p.x, p.y, p.width, 1, rim);
    s.FillRect(p.x, p.y + p.height - 1, p.width, 1, rim);
    s.FillRect(p.x, p.y + 1, 1, p.height - 2, rim);
    s.FillRect(p.x + p.width - 1, p.y + 1, 1, p.height - 2, rim);
    const int filled = static_cast<int>(std::lround((p.width - 2) * value / 100.0));
    s.FillRect(p.x + 1 + filled, p.y + 1, p.width - 2 - filled, p.height - 2, empty);
    if (!palette.system) {
        s.FillRect(p.x + 1, p.y + 1, filled, p.height - 2, fill);
    } else {
        // The system's one highlight colour: the level is its pattern.
        const int pattern = LevelPattern(value);
        for (int y = p.y + 1; y < p.y + p.height - 1; ++y) {
            for (int x = p.x + 1; x < p.x + 1 + filled; ++x)
                s.FillRect(x, y, 1, 1, PatternPixel(pattern, x - p.x, y - p.y) ? fill : empty);
        }
    }
    const std::string number = std::to_string(static_cast<int>(std::lround(value)));
    // The number as large as the cell holds it: twice the font's size, or its own, or none.
    for (int scale = 2; scale >= 1; --scale) {
        const int textWidth = (static_cast<int>(number.size()) * 4 - 1) * scale;
        if (p.width - 2 >= textWidth + 2 * scale && p.height - 2 >= 5 * scale + 2 * (scale - 1)) {
            const int x = p.x + (p.width - textWidth) / 2;
            const int y = p.y + (p.height - 5 * scale) / 2;
            // In the system's colours the number stands on the window's colour, readable on any fill.
            if (palette.system)
                s.FillRect(x - 1, y - 1, textWidth + 2, 5 * scale + 2, empty);
            DrawNumber(s, x, y, number, palette.system ? palette.text : Rgb(0, 0, 0), scale);
            break;
        }
    }
}

} // namespace korvane::cpuusage
