#pragma once

#include "platform/processor_topology.h"

#include <cstdint>
#include <vector>

namespace korvane::platform::win32 {

// The topology in the buffer GetLogicalProcessorInformationEx(RelationAll) fills. CPUs are
// numbered across processor groups: a group's offset (the maximum CPU counts of the groups before
// it) plus the CPU's index in the group. Cores with a higher efficiency class are the
// performance cores when the classes differ.
CpuTopology ParseProcessorInformation(const std::vector<std::uint8_t>& buffer);

// The topology of this machine; CPUs are allowed when this program's affinity names them.
class Win32Topology : public ProcessorTopology {
public:
    CpuTopology ReadTopology() override;
};

} // namespace korvane::platform::win32
