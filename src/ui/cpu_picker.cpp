#include "ui/cpu_picker.h"

#include <algorithm>
#include <map>

namespace korvane::ui {

namespace {

// The layout in pixels of the model's scale (15 twips).
constexpr int kTwips = 15;
constexpr int kMargin = 8;
constexpr int kRowHeight = 20;
constexpr int kCaptionHeight = 18;
constexpr int kGroupGap = 6;
constexpr int kToggleWidth = 46;
constexpr int kCoreGap = 18;
constexpr int kButtonHeight = 23;
constexpr int kScrollWidth = 17;
constexpr int kThreadsPerRow = 16;
constexpr int kMinimumWidth = 420;

void Place(forms::Control& control, int x, int y, int width, int height)
{
    control.Move(x * kTwips, y * kTwips, width * kTwips, height * kTwips);
}

std::string KindOf(platform::CpuKind kind)
{
    return kind == platform::CpuKind::Performance  ? ", performance core"
           : kind == platform::CpuKind::Efficiency ? ", efficiency core"
                                                   : "";
}

} // namespace

std::string CpuToggleName(const platform::LogicalCpu& cpu)
{
    std::string name = "CPU " + std::to_string(cpu.number);
    if (cpu.core >= 0) {
        name += cpu.kind == platform::CpuKind::Performance  ? ", performance core "
                : cpu.kind == platform::CpuKind::Efficiency ? ", efficiency core "
                                                             : ", core ";
        name += std::to_string(cpu.core);
        if (cpu.thread >= 0)
            name += ", thread " + std::to_string(cpu.thread + 1);
    }
    if (!cpu.allowed)
        name += ", not allowed";
    return name;
}

std::string CpuToggleTip(const platform::LogicalCpu& cpu)
{
    const std::string name = "CPU " + std::to_string(cpu.number);
    if (!cpu.allowed)
        return name + " is not allowed to Korvane here (its cgroup's cpuset leaves it out)";
    std::string tip = name;
    if (cpu.core >= 0)
        tip += ": core " + std::to_string(cpu.core) + (cpu.thread >= 0 ? ", thread " + std::to_string(cpu.thread) : "");
    tip += KindOf(cpu.kind);
    if (cpu.cacheGroup >= 0)
        tip += ", cache group " + std::to_string(cpu.cacheGroup + 1);
    if (cpu.isolated)
        tip += ", isolated (left out of All CPUs)";
    return tip;
}

CpuPicker::CpuPicker(const CpuPickerMachine& machine, const core::CpuSet& initial, std::int32_t maxHeight)
    : m_allowed(machine.allowed)
{
    Form.SetVisible(false);
    Form.SetAccessibleName("Choose CPUs");
    Layout(machine, maxHeight);
    for (std::size_t i = 0; i < Toggles.size(); ++i) {
        forms::CheckBox& toggle = *Toggles[i];
        if (toggle.Enabled() && initial.Contains(m_cpus[i]))
            toggle.SetValue(1);
        toggle.OnClick = [this] { ShowChosen(); };
    }
    for (std::size_t i = 0; i < Presets.size(); ++i) {
        const core::CpuSet cpus = machine.presets[i].cpus;
        Presets[i]->OnClick = [this, cpus] { ChoosePreset(cpus); };
    }
    Scroll.OnChange = [this] { Grid.SetTop(-Scroll.Value()); };
    Scroll.OnScroll = Scroll.OnChange;
    Apply.OnClick = [this] {
        if (m_closed || Chosen().Empty())
            return;
        const std::string text = core::CpuSetText(Chosen());
        Close();
        if (OnApply)
            OnApply(text);
    };
    Cancel.OnClick = [this] { Close(); };
    Form.OnDeactivate = [this] { Close(); };
    ShowChosen();
}

namespace {

// How a group's cores stand in rows: about 16 threads to a row, every core as wide as the
// group's widest.
struct GroupColumns {
    int columns;
    int coreWidth;
};

GroupColumns ColumnsOf(const core::CpuGroup& group)
{
    std::size_t threads = 1;
    for (const core::CpuCore& core : group.cores)
        threads = std::max(threads, core.threads.size());
    const std::size_t columns = std::min(group.cores.size(), std::max<std::size_t>(kThreadsPerRow / threads, 1));
    return {static_cast<int>(std::max<std::size_t>(columns, 1)), static_cast<int>(threads) * kToggleWidth + kCoreGap};
}

} // namespace

void CpuPicker::Layout(const CpuPickerMachine& machine, std::int32_t maxHeight)
{
    int gridWidth = 0;
    for (const core::CpuGroup& group : machine.groups) {
        const GroupColumns shape = ColumnsOf(group);
        gridWidth = std::max(gridWidth, shape.columns * shape.coreWidth);
    }
    const int inner = std::max(gridWidth + kScrollWidth, kMinimumWidth);
    // Each CPU's description, by number.
    std::map<int, const platform::LogicalCpu*> described;
    for (const platform::LogicalCpu& cpu : machine.topology.cpus)
        described[cpu.number] = &cpu;

    // The presets, as many to a row as fit, each as wide and high as its caption in the
    // system's font (which the user's text size enlarges).
    const auto measure = [&machine](const std::string& text) {
        return machine.measureText ? machine.measureText(text)
                                   : platform::TextExtent{static_cast<std::int32_t>(7 * text.size()), 13};
    };
    const int buttonHeight = std::max(kButtonHeight, measure("Ag").height + 10);
    const int captionHeight = std::max(kCaptionHeight, measure("Ag").height + 5);
    int x = 0;
    int y = kMargin;
    for (const core::CpuPreset& preset : machine.presets) {
        const int width = std::min(16 + measure(preset.name).width, inner);
        if (x > 0 && x + width > inner) {
            x = 0;
            y += buttonHeight + 4;
        }
        auto button = std::make_unique<forms::Button>(preset.name);
        Place(*button, kMargin + x, y, width, buttonHeight);
        button->SetToolTipText(core::CpuSetText(preset.cpus));
        Presets.push_back(std::move(button));
        x += width + 4;
    }
    if (!Presets.empty())
        y += buttonHeight + 6;
    Place(ChosenText, kMargin, y, inner, captionHeight);
    y += captionHeight + 4;

    // The grid: each group's caption, then its cores, columns to a row.
    int gridHeight = 0;
    for (const core::CpuGroup& group : machine.groups) {
        auto caption = std::make_unique<forms::Label>(group.name);
        Place(*caption, 0, gridHeight, gridWidth, captionHeight);
        GroupCaptions.push_back(std::move(caption));
        gridHeight += captionHeight;
        const GroupColumns shape = ColumnsOf(group);
        for (std::size_t c = 0; c < group.cores.size(); ++c) {
            const int column = static_cast<int>(c) % shape.columns;
            const int row = static_cast<int>(c) / shape.columns;
            const core::CpuCore& core = group.cores[c];
            for (std::size_t t = 0; t < core.threads.size(); ++t) {
                const int cpu = core.threads[t];
                auto toggle = std::make_unique<forms::CheckBox>(std::to_string(cpu));
                Place(*toggle, column * shape.coreWidth + static_cast<int>(t) * kToggleWidth,
                      gridHeight + row * kRowHeight, kToggleWidth, kRowHeight);
                platform::LogicalCpu unknown;
                unknown.number = cpu;
                const auto found = described.find(cpu);
                toggle->SetToolTipText(CpuToggleTip(found != described.end() ? *found->second : unknown));
                toggle->SetAccessibleName(CpuToggleName(found != described.end() ? *found->second : unknown));
                toggle->SetEnabled(m_allowed.Contains(cpu));
                Toggles.push_back(std::move(toggle));
                m_cpus.push_back(cpu);
            }
        }
        const int rows = (static_cast<int>(group.cores.size()) + shape.columns - 1) / shape.columns;
        gridHeight += rows * kRowHeight + kGroupGap;
    }
    // The window grows to hold the grid, up to the room the screen has, and scrolls beyond it.
    const int below = kMargin + buttonHeight + kMargin;
    const int frame = 40;
    const int room = std::max(maxHeight / kTwips - frame - y - below, 4 * kRowHeight);
    const int viewHeight = std::min(gridHeight, room);
    Place(Viewport, kMargin, y, inner - kScrollWidth, viewHeight);
    Place(Grid, 0, 0, gridWidth, gridHeight);
    Place(Scroll, kMargin + inner - kScrollWidth, y, kScrollWidth, viewHeight);
    const int overflow = std::max(gridHeight - viewHeight, 0);
    Scroll.SetVisible(overflow > 0);
    Scroll.SetMax(overflow * kTwips);
    Scroll.SetLargeChange(viewHeight * kTwips);
    Scroll.SetSmallChange(kRowHeight * kTwips);
    y += viewHeight + kMargin;
    const int commandWidth = std::max(80, 16 + std::max(measure(Apply.Caption()).width, measure(Cancel.Caption()).width));
    Place(Cancel, kMargin + inner - commandWidth, y, commandWidth, buttonHeight);
    Place(Apply, kMargin + inner - 2 * commandWidth - 6, y, commandWidth, buttonHeight);
    Place(Form, 0, 0, inner + 2 * kMargin, y + buttonHeight + kMargin);
}

core::CpuSet CpuPicker::Chosen() const
{
    core::CpuSet set;
    for (std::size_t i = 0; i < Toggles.size(); ++i) {
        if (Toggles[i]->Ticked())
            set.Add(m_cpus[i]);
    }
    return set;
}

forms::CheckBox* CpuPicker::ToggleOf(int cpu)
{
    const auto it = std::find(m_cpus.begin(), m_cpus.end(), cpu);
    return it == m_cpus.end() ? nullptr : Toggles[static_cast<std::size_t>(it - m_cpus.begin())].get();
}

void CpuPicker::ShowChosen()
{
    const core::CpuSet set = Chosen();
    const int count = set.Count();
    ChosenText.SetCaption(count == 0 ? "No CPU chosen"
                                     : "Chosen: " + core::CpuSetText(set) + " (" + std::to_string(count) +
                                           (count == 1 ? " CPU)" : " CPUs)"));
    Apply.SetEnabled(count > 0);
}

void CpuPicker::ChoosePreset(const core::CpuSet& cpus)
{
    // Only the CPUs this program may use: a set naming any other is refused whole.
    const core::CpuSet usable = cpus & m_allowed;
    for (std::size_t i = 0; i < Toggles.size(); ++i) {
        // Each change would show the chosen set again: the toggles change quietly, then it is shown once.
        auto handler = std::move(Toggles[i]->OnClick);
        Toggles[i]->SetValue(usable.Contains(m_cpus[i]) ? 1 : 0);
        Toggles[i]->OnClick = std::move(handler);
    }
    ShowChosen();
}

void CpuPicker::MouseWheel(std::int32_t rotation)
{
    if (!Scroll.Visible() || rotation == 0)
        return;
    const std::int32_t step = 3 * Scroll.SmallChange() * (rotation > 0 ? -1 : 1);
    Scroll.SetValue(std::clamp(Scroll.Value() + step, 0, Scroll.Max()));
}

void CpuPicker::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    Form.SetVisible(false);
}

} // namespace korvane::ui
