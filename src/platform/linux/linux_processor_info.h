#pragma once

#include "platform/processor_info.h"

namespace korvane::platform::linuxos {

class LinuxProcessorInfo : public ProcessorInfo {
public:
    int LogicalProcessorCount() override;
};

} // namespace korvane::platform::linuxos
