#include "procmon/cpu_check_boxes.h"

namespace korvane::procmon {

std::string AffinityTextOfCheckBoxes(const CpuCheckBoxes& boxes)
{
    core::CpuFlags ticked{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        ticked[i] = boxes[i]->Value() == 1;
    return core::AffinityTextOfFlags(ticked);
}

std::string AffinityTextOfEnabledBoxes(const CpuCheckBoxes& boxes)
{
    core::CpuFlags enabled{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        enabled[i] = boxes[i]->Enabled();
    return core::AffinityTextOfFlags(enabled);
}

void ShowAffinityInCheckBoxes(std::string_view text, const CpuCheckBoxes& boxes)
{
    // Every box is cleared before any is ticked: each change runs the box's Click handler.
    for (auto* box : boxes)
        box->SetValue(0);
    const core::CpuFlags ticked = core::FlagsOfAffinityText(text);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (ticked[i])
            boxes[i]->SetValue(1);
    }
}

} // namespace korvane::procmon
