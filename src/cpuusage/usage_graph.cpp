#include "cpuusage/usage_graph.h"

#include <algorithm>
#include <cmath>

namespace korvane::cpuusage {

namespace {

using image::Rgb;
using image::Surface;

constexpr int kGraphWidth = 69;
constexpr int kGraphHeight = 61;
constexpr int kColumnX[4] = {0, 18, 35, 52};

image::Color Mix(image::Color from, image::Color to, double t)
{
    auto channel = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return Rgb(channel(image::RedOf(from), image::RedOf(to)), channel(image::GreenOf(from), image::GreenOf(to)),
               channel(image::BlueOf(from), image::BlueOf(to)));
}

Surface PaintGraph(image::Color capTop, image::Color capBottom, image::Color segment, const UsagePalette& palette)
{
    if (palette.system) {
        capTop = segment;
        capBottom = segment;
    }
    Surface s(kGraphWidth, kGraphHeight, palette.system ? palette.window : image::kBlack);
    auto fillColumns = [&](int row, image::Color color) {
        for (int c = 0; c < 4; ++c)
            s.FillRect(1 + c * 17, row, 16, 1, color);
    };
    for (int row = 1; row <= 11; ++row)
        fillColumns(row, Mix(capTop, capBottom, (row - 1) / 10.0));
    const int greys[3][2] = {{3, 189}, {6, 123}, {9, 66}};
    for (const auto& grey : greys)
        s.FillRect(0, grey[0], kGraphWidth, 1, palette.system ? palette.gray : Rgb(grey[1], grey[1], grey[1]));
    for (int row = 13; row + 1 <= 59; row += 3) {
        fillColumns(row, segment);
        fillColumns(row + 1, segment);
    }
    return s;
}

// The groove shape in one colour: a darker rim, lighter towards the top.
Surface DrawBar(image::Color base, image::Color rim, image::Color top, image::Color background)
{
    Surface s(53, 10, background);
    s.FillRect(0, 0, 51, 8, rim);
    s.FillRect(1, 1, 49, 6, base);
    s.FillRect(1, 1, 49, 2, top);
    return s;
}

Surface ColourBar(image::Color base, image::Color background)
{
    return DrawBar(base, Mix(base, image::kBlack, 0.25), Mix(base, image::kWhite, 0.35), background);
}

} // namespace

Surface DrawLitGraph(const UsagePalette& palette)
{
    return PaintGraph(Rgb(239, 255, 239), Rgb(16, 255, 16), palette.system ? palette.highlight : Rgb(0, 255, 0),
                      palette);
}

Surface DrawUnlitGraph(const UsagePalette& palette)
{
    return PaintGraph(Rgb(239, 247, 239), Rgb(16, 140, 16), palette.system ? palette.gray : Rgb(0, 132, 0), palette);
}

Surface DrawBlankMeter(image::Color background, const UsagePalette& palette)
{
    if (palette.system)
        return DrawBar(palette.window, palette.text, palette.window, background);
    return DrawBar(Rgb(231, 231, 231), Rgb(206, 206, 206), image::kWhite, background);
}

Surface DrawFullBars(image::Color background, const UsagePalette& palette)
{
    if (palette.system) {
        // One highlight colour: the last two parts striped and checked, as the cells' levels.
        Surface bars = DrawBar(palette.highlight, palette.text, palette.highlight, background);
        for (int x = 39; x < 51; ++x) {
            for (int y = 1; y < 7; ++y) {
                if (!PatternPixel(x < 45 ? 1 : 2, x, y))
                    bars.FillRect(x, y, 1, 1, palette.window);
            }
        }
        return bars;
    }
    Surface green = ColourBar(Rgb(90, 231, 90), background);
    const Surface yellow = ColourBar(Rgb(231, 198, 90), background);
    const Surface red = ColourBar(Rgb(231, 90, 90), background);
    green.BlockCopy(39, 0, 6, 8, yellow, 39, 0);
    green.BlockCopy(45, 0, 6, 8, red, 45, 0);
    return green;
}

UsageGraph::UsageGraph(UsageControls& controls, image::Color windowBackground, int twipsPerPixel)
    : m_controls(controls), m_lit(DrawLitGraph()), m_unlit(DrawUnlitGraph()), m_blank(DrawBlankMeter(windowBackground)),
      m_bars(DrawFullBars(windowBackground)), m_background(windowBackground), m_tpp(std::max(twipsPerPixel, 1))
{
}

void UsageGraph::SetPalette(const UsagePalette& palette, image::Color windowBackground)
{
    m_palette = palette;
    m_background = windowBackground;
    m_lit = DrawLitGraph(palette);
    m_unlit = DrawUnlitGraph(palette);
    m_blank = DrawBlankMeter(windowBackground, palette);
    m_bars = DrawFullBars(windowBackground, palette);
    m_controls.PicCpuBars.SetBackColor(m_background);
    m_controls.PicCpuAverages.SetBackColor(m_background);
    m_cellLooks.clear(); // every cell drawn again at the next values
}

void UsageGraph::InitialState(std::int16_t maxCpuIndex)
{
    for (int i = 0; i <= maxCpuIndex && i < 4; ++i) {
        m_controls.AvgUse[static_cast<std::size_t>(i)].SetEnabled(true);
        m_controls.Meter[static_cast<std::size_t>(i)].SetEnabled(true);
    }
    if (maxCpuIndex > 1) {
        m_controls.LblCore2.SetEnabled(true);
        m_controls.LblCore2A.SetEnabled(true);
    }
    if (maxCpuIndex == 3) {
        m_controls.LblCore3.SetEnabled(true);
        m_controls.LblCore3A.SetEnabled(true);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        m_controls.Meter[i].SetPicture(m_blank);
        m_controls.AvgUse[i].SetCaption("0");
    }
}

void UsageGraph::DrawMeter(int cpu, double average)
{
    Surface meter = m_blank;
    const int width = static_cast<int>(std::nearbyint(average / 1.886));
    meter.BlockCopy(0, 0, width, 10, m_bars, 0, 0);
    m_controls.Meter[static_cast<std::size_t>(cpu)].SetPicture(std::move(meter));
}

void UsageGraph::DrawGraph(const std::array<double, 4>& currentUsage)
{
    Surface graph = m_lit;
    for (std::size_t k = 0; k < 4; ++k) {
        const int h = static_cast<int>(std::nearbyint(kGraphHeight - currentUsage[k] / 1.639));
        graph.BlockCopy(kColumnX[k], 0, 17, h, m_unlit, kColumnX[k], 0);
    }
    m_controls.VertGraph0.SetPicture(std::move(graph));
}

void UsageGraph::ShowResetPictures(std::int16_t maxCpuIndex)
{
    m_controls.VertGraph0.SetPicture(m_lit);
    for (int i = 0; i <= maxCpuIndex && i < 4; ++i)
        m_controls.Meter[static_cast<std::size_t>(i)].SetPicture(m_bars);
}

int UsageGraph::Pixels(std::int32_t twips) const
{
    return twips / m_tpp;
}

void UsageGraph::SetEveryCpuGroups(const std::vector<std::vector<int>>& groups)
{
    forms::PictureBox& bars = m_controls.PicCpuBars;
    forms::PictureBox& cells = m_controls.PicCpuAverages;
    // Beyond the picture (a box a pixel wider than it), the panel's own colour.
    bars.SetBackColor(m_background);
    cells.SetBackColor(m_background);
    m_barPlaces = PlaceBars(groups, Pixels(bars.Width()), Pixels(bars.Height()));
    m_cellPlaces = PlaceCells(groups, Pixels(cells.Width()), Pixels(cells.Height()));
    m_cellLooks.clear();
    DrawEveryCpu({}, {});
}

void UsageGraph::DrawEveryCpu(const std::vector<double>& current, const std::vector<double>& average)
{
    forms::PictureBox& bars = m_controls.PicCpuBars;
    forms::PictureBox& cells = m_controls.PicCpuAverages;
    // Drawn again in the memory of the last pictures.
    image::Surface barPicture = bars.TakePicture();
    DrawCpuBars(barPicture, m_barPlaces, current, Pixels(bars.Width()), Pixels(bars.Height()), m_palette);
    bars.SetPicture(std::move(barPicture));
    // The averages change slowly: only the cells whose look changed are drawn again, and an
    // unchanged picture is not shown again.
    const int width = Pixels(cells.Width());
    const int height = Pixels(cells.Height());
    auto valueAt = [&average](std::size_t i) { return i < average.size() ? average[i] : 0.0; };
    const bool whole = cells.Picture().Width() != width || cells.Picture().Height() != height ||
                       m_cellLooks.size() != m_cellPlaces.size();
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < m_cellPlaces.size() && !whole; ++i) {
        if (CellLook(valueAt(i)) != m_cellLooks[i])
            changed.push_back(i);
    }
    if (!whole && changed.empty())
        return;
    image::Surface cellPicture = cells.TakePicture();
    if (whole) {
        DrawCpuCells(cellPicture, m_cellPlaces, average, width, height, m_background, m_palette);
        m_cellLooks.assign(m_cellPlaces.size(), 0);
        for (std::size_t i = 0; i < m_cellPlaces.size(); ++i)
            m_cellLooks[i] = CellLook(valueAt(i));
    }
    for (const std::size_t i : changed) {
        m_cellLooks[i] = CellLook(valueAt(i));
        DrawCpuCell(cellPicture, m_cellPlaces[i], valueAt(i), m_palette);
    }
    cells.SetPicture(std::move(cellPicture));
}

} // namespace korvane::cpuusage
