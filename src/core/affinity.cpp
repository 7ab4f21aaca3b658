#include "core/affinity.h"

#include "core/cpu_set.h"
#include "platform/processor_info.h"

#include <algorithm>

namespace korvane::core {

namespace {

const std::vector<std::int32_t>& CpuBitValues()
{
    static const std::vector<std::int32_t> values = SplitMaskBits(15);
    return values;
}

} // namespace

const std::array<std::string, 16>& AffinityTexts()
{
    static const std::array<std::string, 16> texts = {
        "?", "0", "1", "01", "2", "02", "12", "012", "3", "03", "13", "013", "23", "023", "123", "0123",
    };
    return texts;
}

std::vector<std::int32_t> SplitMaskBits(std::int32_t mask)
{
    std::vector<std::int32_t> bits;
    for (int bit = 0; bit <= 30; ++bit) {
        const std::int32_t value = std::int32_t{1} << bit;
        if ((mask & value) != 0)
            bits.push_back(value);
    }
    if (mask < 0)
        bits.push_back(INT32_MIN);
    return bits;
}

std::string AffinityTextOfMask(CpuMask mask)
{
    return CpuSetText(CpuSet::FromMask(mask));
}

CpuMask MaskOfAffinityText(std::string_view text)
{
    const auto& bitValues = CpuBitValues();
    CpuMask mask = 0;
    for (char c : text) {
        const int digit = (c >= '0' && c <= '9') ? c - '0' : 0;
        if (digit < static_cast<int>(bitValues.size()))
            mask |= static_cast<CpuMask>(bitValues[static_cast<std::size_t>(digit)]);
    }
    return mask;
}

std::string AffinityTextOfFlags(const CpuFlags& flags)
{
    std::string text;
    for (int i = 0; i < kCpuBoxCount; ++i) {
        if (flags[static_cast<std::size_t>(i)])
            text.push_back(static_cast<char>('0' + i));
    }
    return text;
}

CpuFlags FlagsOfAffinityText(std::string_view text)
{
    CpuFlags flags{};
    if (IsCpuListText(text)) {
        const std::optional<CpuSet> set = CpuSetOfText(text);
        for (int i = 0; i < kCpuBoxCount; ++i)
            flags[static_cast<std::size_t>(i)] = set && set->Contains(i);
        return flags;
    }
    for (int i = 0; i < kCpuBoxCount; ++i)
        flags[static_cast<std::size_t>(i)] = text.find(static_cast<char>('0' + i)) != std::string_view::npos;
    return flags;
}

std::int16_t DetectMaxCpuIndex(platform::ProcessorInfo& processors)
{
    const int count = processors.LogicalProcessorCount();
    return static_cast<std::int16_t>(std::clamp(count - 1, 0, 3));
}

} // namespace korvane::core
