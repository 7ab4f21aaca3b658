#pragma once

#include "platform/processor_topology.h"
#include "platform/win32/processor_groups.h"

#include <cstdint>
#include <vector>

namespace korvane::platform::win32 {

// The groups' active processors in a GetLogicalProcessorInformationEx buffer; none without a
// group entry.
GroupNumbering ParseGroupNumbering(const std::vector<std::uint8_t>& buffer);
// This machine's groups (never none).
GroupNumbering MachineGroups();

// The topology in the buffer GetLogicalProcessorInformationEx(RelationAll) fills: the active CPUs,
// numbered across processor groups as GroupNumbering does. Cores with a higher efficiency class are the
// performance cores when the classes differ.
CpuTopology ParseProcessorInformation(const std::vector<std::uint8_t>& buffer);

// The topology of this machine; every active CPU is allowed unless this program's job limits them.
class Win32Topology : public ProcessorTopology {
public:
    CpuTopology ReadTopology() override;
};

} // namespace korvane::platform::win32
