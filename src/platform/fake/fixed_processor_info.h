#pragma once

#include "platform/processor_info.h"

namespace korvane::platform::fake {

class FixedProcessorInfo : public ProcessorInfo {
public:
    explicit FixedProcessorInfo(int count) : m_count(count) {}
    int LogicalProcessorCount() override { return m_count; }
    void SetCount(int count) { m_count = count; }

private:
    int m_count;
};

} // namespace korvane::platform::fake
