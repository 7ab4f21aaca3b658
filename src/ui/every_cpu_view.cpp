#include "ui/every_cpu_view.h"

#include "core/affinity.h"
#include "platform/processor_topology.h"
#include "platform/screen.h"

#include <algorithm>
#include <cmath>

namespace korvane::ui {

EveryCpuView::EveryCpuView(MainControls& controls, procmon::ProcessSelection& selection,
                           cpuusage::UsageStatistics& usage, cpuusage::UsageGraph& graph, platform::Screen& screen,
                           WindowLayout& layout)
    : m_controls(controls), m_selection(selection), m_usage(usage), m_graph(graph), m_screen(screen), m_layout(layout)
{
}

void EveryCpuView::DetectCpus(platform::ProcessorTopology& topology)
{
    m_topology = &topology;
    ReadCpus();
}

void EveryCpuView::CheckOnlineCpus()
{
    if (m_topology == nullptr || m_topology->OnlineCpuList() == m_onlineCpus)
        return;
    ReadCpus();
    if (Shown() && !m_offered)
        Show(false);
    else if (Shown())
        ShowUsage(true);
}

void EveryCpuView::AllCpus_Click()
{
    const bool everyCpu = m_controls.AllCpus.Value() == 1;
    if (everyCpu && m_topology != nullptr)
        ReadCpus();
    Show(everyCpu);
}

void EveryCpuView::ReadCpus()
{
    // The online list first: a change while the topology is read shows at the next check.
    m_onlineCpus = m_topology->OnlineCpuList();
    m_machine.topology = m_topology->ReadTopology();
    m_machine.groups = core::GroupCpus(m_machine.topology);
    m_machine.presets = core::CpuPresets(m_machine.topology);
    m_machine.allowed = core::CpuSet();
    core::CpuSet online;
    int highest = 0;
    for (const platform::LogicalCpu& cpu : m_machine.topology.cpus) {
        highest = std::max(highest, cpu.number);
        if (!cpu.online)
            continue;
        online.Add(cpu.number);
        if (cpu.allowed)
            m_machine.allowed.Add(cpu.number);
    }
    m_offered = online.Count() > core::kCpuBoxCount;
    m_controls.AllCpus.SetEnabled(m_offered);
    const core::CpuSet& offered = m_machine.allowed.Empty() ? online : m_machine.allowed;
    m_controls.CpuSetField.SetMachine(highest, core::CpuSetText(offered));
}

void EveryCpuView::Show(bool everyCpu)
{
    everyCpu = everyCpu && m_offered;
    if (everyCpu == Shown())
        return;
    MainControls& c = m_controls;
    procmon::CpuSetField& field = c.CpuSetField;
    // The choice not applied yet moves across; otherwise both already show the selected row.
    if (m_selection.BoxesChangedByUser) {
        if (everyCpu)
            field.Show(procmon::AffinityTextOfCheckBoxes(c.CpuBoxes()));
        else
            procmon::ShowAffinityInCheckBoxes(field.Chosen(), c.CpuBoxes());
    }
    for (auto& box : c.Check11)
        box.SetVisible(!everyCpu);
    c.CmdCpus.SetVisible(everyCpu);
    field.SetActive(everyCpu);
    ShowUsage(everyCpu);
}

void EveryCpuView::ShowUsage(bool everyCpu)
{
    MainControls& c = m_controls;
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &c.VertGraph0, &c.Meter[0], &c.Meter[1], &c.Meter[2], &c.Meter[3], &c.AvgUse[0], &c.AvgUse[1],
             &c.AvgUse[2], &c.AvgUse[3], &c.LblCore0, &c.LblCore0A, &c.LblCore1, &c.LblCore1A, &c.LblCore2,
             &c.LblCore2A, &c.LblCore3, &c.LblCore3A})
        control->SetVisible(!everyCpu);
    c.Label1.SetCaption(everyCpu ? "Current, and averages below" : kUsageHeader);
    // Taller, for a cell per CPU with room for its number on machines of up to 128 CPUs.
    c.cpuOptions.SetHeight(everyCpu ? kEveryCpuPanelHeight : kUsagePanelHeight);
    c.PicCpuAverages.SetHeight(c.cpuOptions.Height() - c.PicCpuAverages.Top() - 2 * 15);
    c.PicCpuBars.SetVisible(everyCpu);
    c.PicCpuAverages.SetVisible(everyCpu);
    std::vector<std::vector<int>> groups;
    if (everyCpu) {
        for (const core::CpuGroup& group : m_machine.groups)
            groups.push_back(core::CpusInGroupOrder({group}));
    }
    m_usage.ShowEveryCpu(everyCpu ? core::CpusInGroupOrder(m_machine.groups) : std::vector<int>{});
    m_graph.SetEveryCpuGroups(groups);
}

void EveryCpuView::CmdCpus_Click()
{
    const auto typed = core::ParseTypedCpuSet(m_controls.TxtCpus.Text(), m_controls.CpuSetField.HighestCpu());
    OpenPicker(typed.set.value_or(core::CpuSet()), [this](const std::string& text) {
        m_controls.CpuSetField.Show(text);
        m_selection.BoxesChangedByUser = true;
    });
}

void EveryCpuView::TxtCpus_Enter()
{
    if (!m_controls.CpuSetField.Chosen().empty() && m_controls.Command5.Enabled() && ApplyTyped)
        ApplyTyped();
}

void EveryCpuView::OpenFavoritesPicker(const std::string& affinity, std::function<void(const std::string&)> apply)
{
    OpenPicker(core::CpuSetOfText(affinity).value_or(core::CpuSet()), std::move(apply));
}

void EveryCpuView::OpenPicker(const core::CpuSet& initial, std::function<void(const std::string&)> apply)
{
    if (m_topology != nullptr)
        ReadCpus();
    const platform::PixelRect area = m_layout.CurrentWorkArea();
    const double size = std::max(m_screen.SizeTwipsPerPixel(), 1.0);
    const double place = std::max(m_screen.PlaceTwipsPerPixel(), 1.0);
    const auto twips = [](std::int32_t pixels, double tpp) { return static_cast<std::int32_t>(std::lround(pixels * tpp)); };
    m_machine.measureText = [this](const std::string& text) { return m_screen.MeasureText(text); };
    m_picker = std::make_unique<CpuPicker>(m_machine, initial, twips(area.bottom - area.top, size));
    CpuPicker& picker = *m_picker;
    picker.OnApply = std::move(apply);
    // Centred on the main window, inside the work area; placed before a front end draws it.
    const forms::Window& main = m_controls.Form;
    const std::int32_t width = picker.Form.Width();
    const std::int32_t height = picker.Form.Height();
    // A place is in the desktop's scale, a size in the window's: the far edges are the place's
    // pixels plus the size's.
    const std::int32_t widthPixels = static_cast<std::int32_t>(std::lround(width / size));
    const std::int32_t heightPixels = static_cast<std::int32_t>(std::lround(height / size));
    const std::int32_t left = std::clamp(main.Left() + (main.Width() - width) / 2, twips(area.left, place),
                                         std::max(twips(area.right - widthPixels, place), twips(area.left, place)));
    const std::int32_t top = std::clamp(main.Top() + (main.Height() - height) / 2, twips(area.top, place),
                                        std::max(twips(area.bottom - heightPixels, place), twips(area.top, place)));
    picker.Form.Move(left, top, width, height);
    if (OnPickerCreated)
        OnPickerCreated(picker);
    picker.Form.SetVisible(true);
}

} // namespace korvane::ui
