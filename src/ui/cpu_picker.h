#pragma once

#include "core/cpu_groups.h"
#include "core/cpu_presets.h"
#include "core/cpu_set.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "platform/screen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvane::ui {

// What the CPU picker is made from: the machine's groups and presets, and the CPUs this program
// may not use with the reason.
struct CpuPickerMachine {
    std::vector<core::CpuGroup> groups;
    std::vector<core::CpuPreset> presets;
    core::CpuSet allowed;
    platform::CpuTopology topology;
    // A caption's size in pixels at the layout's scale; 7 a character and 13 high when not set.
    std::function<platform::TextExtent(const std::string&)> measureText;
};

// The CPU picker: a toggle per online CPU laid out by group (package, cache group, kind) and
// core, the two threads of a core side by side; the presets above; the chosen set's text and
// count as the toggles change; "Apply" and "Cancel". The grid scrolls inside its viewport when
// the machine has more CPUs than the screen has room for. It closes on "Apply", "Cancel" or the
// loss of activation.
class CpuPicker {
public:
    // maxHeight: the most the window may take, in twips (the work area's height).
    CpuPicker(const CpuPickerMachine& machine, const core::CpuSet& initial, std::int32_t maxHeight);
    // A picker still shown is closed first, so that its window goes.
    ~CpuPicker() { Close(); }
    CpuPicker(const CpuPicker&) = delete;
    CpuPicker& operator=(const CpuPicker&) = delete;

    core::CpuSet Chosen() const;
    // The toggle of a CPU, or nullptr for a CPU that has none (offline, or not on the machine).
    forms::CheckBox* ToggleOf(int cpu);
    bool Closed() const { return m_closed; }
    // The wheel over the picker: three rows a notch.
    void MouseWheel(std::int32_t rotation);
    void Close();

    forms::Window Form{"Choose CPUs"};
    std::vector<std::unique_ptr<forms::Button>> Presets;
    forms::Label ChosenText;
    // The viewport clips the grid, which holds the group captions and the toggles and moves up
    // as the scroll bar goes down.
    forms::PictureBox Viewport;
    forms::PictureBox Grid;
    forms::ScrollBar Scroll;
    std::vector<std::unique_ptr<forms::Label>> GroupCaptions;
    std::vector<std::unique_ptr<forms::CheckBox>> Toggles;
    forms::Button Apply{"Apply"};
    forms::Button Cancel{"Cancel"};

    // "Apply": the chosen set's text.
    std::function<void(const std::string&)> OnApply;

private:
    void Layout(const CpuPickerMachine& machine, std::int32_t maxHeight);
    void ShowChosen();
    void ChoosePreset(const core::CpuSet& cpus);

    std::vector<int> m_cpus; // the toggles' CPUs, in the toggles' order
    core::CpuSet m_allowed;
    bool m_closed = false;
};

// What a screen reader calls a CPU's toggle: "CPU 5, performance core 2, thread 2".
std::string CpuToggleName(const platform::LogicalCpu& cpu);
// The tooltip of a CPU's toggle: what it is, or why it cannot be chosen.
std::string CpuToggleTip(const platform::LogicalCpu& cpu);

} // namespace korvane::ui
