#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform { class ProcessorInfo; }

namespace korvane::core {

// Bit n set: the process may run on CPU n. Only CPUs 0 to 3 are offered; 0 = not readable.
using CpuMask = std::uint32_t;

inline constexpr int kCpuBoxCount = 4;
// One flag per offered CPU, CPU 0 first.
using CpuFlags = std::array<bool, kCpuBoxCount>;

// The sixteen texts, index = mask: "?", "0", "1", "01", ..., "0123".
const std::array<std::string, 16>& AffinityTexts();

// The single-bit values set in a mask, lowest first; bit 31 last when the mask is negative.
std::vector<std::int32_t> SplitMaskBits(std::int32_t mask);

// Text of a mask: the canonical text of its CPUs (see CpuSetText), so a mask with bits above CPU 3
// is a CPU list ("0-7") that never equals a digit text.
std::string AffinityTextOfMask(CpuMask mask);

// Mask of a text, digit by digit in any order; a non-digit counts as CPU 0 and the digits 4 to 9
// are ignored. The empty text gives 0.
CpuMask MaskOfAffinityText(std::string_view text);

// Digits of the set flags in ascending order; empty when none is set.
std::string AffinityTextOfFlags(const CpuFlags& flags);
// Flag n is set when CPU n is in the text's set: the digit n occurs in a digit text, a CPU list
// names CPU n ("10-13" sets none).
CpuFlags FlagsOfAffinityText(std::string_view text);

// Processor count minus one, at most 3.
std::int16_t DetectMaxCpuIndex(platform::ProcessorInfo& processors);

} // namespace korvane::core
