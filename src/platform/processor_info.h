#pragma once

namespace korvane::platform {

class ProcessorInfo {
public:
    virtual ~ProcessorInfo() = default;
    // Number of logical processors online, at least 1.
    virtual int LogicalProcessorCount() = 0;
};

} // namespace korvane::platform
