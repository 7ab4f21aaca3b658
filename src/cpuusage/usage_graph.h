#pragma once

#include "cpuusage/every_cpu_graph.h"
#include "cpuusage/usage_controls.h"
#include "platform/image/surface.h"

#include <array>
#include <cstdint>
#include <vector>

namespace korvane::cpuusage {

inline constexpr image::Color kWindowBackground = 0xF0F0F0;

// 69 x 61 column graphs: every segment lit, and every segment unlit.
image::Surface DrawLitGraph(const UsagePalette& palette = {});
image::Surface DrawUnlitGraph(const UsagePalette& palette = {});
// 53 x 10 bar surfaces with the 51 x 8 picture at the top left and the window's background colour
// around it: the blank groove, the full bar.
image::Surface DrawBlankMeter(image::Color background = kWindowBackground, const UsagePalette& palette = {});
image::Surface DrawFullBars(image::Color background = kWindowBackground, const UsagePalette& palette = {});

// The usage panel's drawings: a lit column per CPU for the current usage, a bar per CPU for the
// average, both copied out of the fixed source pictures.
class UsageGraph {
public:
    // The pictures of every CPU are made at the screen's pixels (twipsPerPixel), so that they fill
    // their boxes at any scale.
    UsageGraph(UsageControls& controls, image::Color windowBackground, int twipsPerPixel = 15);

    void InitialState(std::int16_t maxCpuIndex);
    void DrawMeter(int cpu, double average);
    void DrawGraph(const std::array<double, 4>& currentUsage);
    void ShowResetPictures(std::int16_t maxCpuIndex);
    // The colours change (the system asked for its own, or no longer does): every picture is
    // made again in them and the panel's background is the window's colour.
    void SetPalette(const UsagePalette& palette, image::Color windowBackground);
    const UsagePalette& Palette() const { return m_palette; }

    // Every CPU, grouped (an empty list: the four meters only).
    void SetEveryCpuGroups(const std::vector<std::vector<int>>& groups);
    // The bars and cells of every CPU, values in the order of the groups.
    void DrawEveryCpu(const std::vector<double>& current, const std::vector<double>& average);
    const std::vector<CpuPlace>& BarPlaces() const { return m_barPlaces; }
    const std::vector<CpuPlace>& CellPlaces() const { return m_cellPlaces; }

private:
    int Pixels(std::int32_t twips) const;

    UsageControls& m_controls;
    image::Surface m_lit;
    image::Surface m_unlit;
    image::Surface m_blank;
    image::Surface m_bars;
    image::Color m_background;
    UsagePalette m_palette;
    int m_tpp;
    std::vector<CpuPlace> m_barPlaces;
    std::vector<CpuPlace> m_cellPlaces;
    std::vector<int> m_cellLooks; // the look of each cell as drawn
};

} // namespace korvane::cpuusage
