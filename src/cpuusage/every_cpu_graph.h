#pragma once

#include "platform/image/surface.h"

#include <vector>

namespace korvane::cpuusage {

// The colours of the usage pictures: the program's own, or (system) the system's where it asks
// for them (high contrast, a dark theme). In the system's colours the levels of a cell or a meter
// (below 75 %, to 87 %, above) differ by pattern too: solid, striped, checked.
struct UsagePalette {
    bool system = false;
    image::Color window = 0xF0F0F0;
    image::Color text = image::kBlack;
    image::Color highlight = image::kBlack;
    image::Color gray = image::kBlack;
};
// The pattern of a level: 0 solid (up to 75 %), 1 striped (to 87 %), 2 checked (above).
int LevelPattern(double value);
// Whether a pixel of a filled area with the pattern is the fill (else the background).
bool PatternPixel(int pattern, int x, int y);

// Where one CPU is drawn in a picture, in pixels.
struct CpuPlace {
    int cpu = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

// A thin bar per CPU for the current usage, in the order of the groups with a wider gap between
// groups: as many rows as keep every bar at least 2 pixels wide with a pixel between bars.
std::vector<CpuPlace> PlaceBars(const std::vector<std::vector<int>>& groups, int width, int height);
// A cell per CPU for its average, in the same order, as many to a row as makes cells about twice
// as wide as high (room for a number of three small digits).
std::vector<CpuPlace> PlaceCells(const std::vector<std::vector<int>>& groups, int width, int height);
// The CPU drawn at a point, or -1.
int CpuAt(const std::vector<CpuPlace>& places, int x, int y);

// The bars on black, lit from the bottom by each value (percent, in the order of the places).
image::Surface DrawCpuBars(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width,
                           int height);
// The same into a surface, whose memory is used again.
void DrawCpuBars(image::Surface& target, const std::vector<CpuPlace>& places, const std::vector<double>& values,
                 int width, int height, const UsagePalette& palette = {});
// The cells: filled from the left by each value in green, yellow above 75 % and red above 87 %,
// with the value as a number where it fits.
image::Surface DrawCpuCells(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width,
                            int height, image::Color background);
void DrawCpuCells(image::Surface& target, const std::vector<CpuPlace>& places, const std::vector<double>& values,
                  int width, int height, image::Color background, const UsagePalette& palette = {});
// One cell drawn again, and what its look depends on (two values of one look draw the same).
void DrawCpuCell(image::Surface& target, const CpuPlace& place, double value, const UsagePalette& palette = {});
int CellLook(double value);

} // namespace korvane::cpuusage
