#pragma once

#include "platform/image/surface.h"

#include <vector>

namespace korvane::cpuusage {

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
                 int width, int height);
// The cells: filled from the left by each value in green, yellow above 75 % and red above 87 %,
// with the value as a number where it fits.
image::Surface DrawCpuCells(const std::vector<CpuPlace>& places, const std::vector<double>& values, int width,
                            int height, image::Color background);
void DrawCpuCells(image::Surface& target, const std::vector<CpuPlace>& places, const std::vector<double>& values,
                  int width, int height, image::Color background);
// One cell drawn again, and what its look depends on (two values of one look draw the same).
void DrawCpuCell(image::Surface& target, const CpuPlace& place, double value);
int CellLook(double value);

} // namespace korvane::cpuusage
