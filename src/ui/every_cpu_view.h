#pragma once

#include "cpuusage/usage_graph.h"
#include "cpuusage/usage_statistics.h"
#include "procmon/process_controls.h"
#include "ui/cpu_picker.h"
#include "ui/main_controls.h"
#include "ui/window_layout.h"

#include <functional>
#include <memory>
#include <string>

namespace korvane::platform {
class ProcessorTopology;
class Screen;
} // namespace korvane::platform

namespace korvane::ui {

// "Show Every CPU": on a machine with more than four CPUs, the four boxes give way to the CPU-set
// field and its picker, the usage panel shows every CPU and the tray total covers them all.
class EveryCpuView {
public:
    EveryCpuView(MainControls& controls, procmon::ProcessSelection& selection, cpuusage::UsageStatistics& usage,
                 cpuusage::UsageGraph& graph, platform::Screen& screen, WindowLayout& layout);

    // Reads the machine's CPUs: the option is offered when it has more than four online. They
    // are read again when the option is ticked, when a picker opens, and when CheckOnlineCpus
    // finds that CPUs went on- or offline.
    void DetectCpus(platform::ProcessorTopology& topology);
    // With the usage tick: reads the CPUs again when the online ones changed.
    void CheckOnlineCpus();
    bool Offered() const { return m_offered; }
    // Shows the window with or without every CPU, keeping the selection and what the user chose
    // and did not apply yet (as far as the four boxes can show it).
    void Show(bool everyCpu);
    bool Shown() const { return m_controls.CpuSetField.Active(); }

    void AllCpus_Click();
    // "Pick CPUs...": the picker for the set field.
    void CmdCpus_Click();
    // Enter in the field: applies a set that can be.
    void TxtCpus_Enter();
    // The picker for the selected favorites, showing the affinity of the one under the caret;
    // apply gives them the set.
    void OpenFavoritesPicker(const std::string& affinity, std::function<void(const std::string&)> apply);

    // The open picker, or nullptr.
    CpuPicker* Picker() { return m_picker && !m_picker->Closed() ? m_picker.get() : nullptr; }
    void ClosePicker() { m_picker.reset(); }

    // A new picker was created (before it is shown): the front end draws it.
    std::function<void(CpuPicker&)> OnPickerCreated;
    // What Enter in the field does with a set that can be applied ("Apply").
    std::function<void()> ApplyTyped;

private:
    void ReadCpus();
    void OpenPicker(const core::CpuSet& initial, std::function<void(const std::string&)> apply);
    void ShowUsage(bool everyCpu);

    MainControls& m_controls;
    procmon::ProcessSelection& m_selection;
    cpuusage::UsageStatistics& m_usage;
    cpuusage::UsageGraph& m_graph;
    platform::Screen& m_screen;
    WindowLayout& m_layout;
    platform::ProcessorTopology* m_topology = nullptr;
    std::string m_onlineCpus;
    CpuPickerMachine m_machine;
    std::unique_ptr<CpuPicker> m_picker;
    bool m_offered = false;
};

} // namespace korvane::ui
