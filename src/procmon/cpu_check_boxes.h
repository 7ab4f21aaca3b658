#pragma once

#include "core/affinity.h"
#include "platform/forms/simple_controls.h"

#include <array>
#include <string>
#include <string_view>

namespace korvane::procmon {

// The four "CPU n" check boxes of a window, CPU 0 first.
using CpuCheckBoxes = std::array<forms::CheckBox*, core::kCpuBoxCount>;

// Digits of the ticked boxes in ascending order; empty when none is ticked.
std::string AffinityTextOfCheckBoxes(const CpuCheckBoxes& boxes);
// Digits of the enabled boxes in ascending order.
std::string AffinityTextOfEnabledBoxes(const CpuCheckBoxes& boxes);
// Clears the four boxes, then ticks box n for every digit n that occurs in the text.
void ShowAffinityInCheckBoxes(std::string_view text, const CpuCheckBoxes& boxes);

} // namespace korvane::procmon
