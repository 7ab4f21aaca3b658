#pragma once

#include "platform/processor_topology.h"

#include <string>
#include <vector>

namespace korvane::core {

// The online threads of one core, in thread order.
struct CpuCore {
    std::vector<int> threads;
};

// Cores that belong together on screen: one package, one last-level cache and one kind.
struct CpuGroup {
    std::string name; // "Package 1, performance cores, cache group 2 (36 MB)"; "CPUs" when nothing is known
    platform::CpuKind kind = platform::CpuKind::Unknown;
    std::vector<CpuCore> cores;
};

// The online CPUs grouped by package, cache group and kind, each group's cores in order of their
// first CPU, the groups in order of theirs. A CPU whose core is not known is a core of its own.
std::vector<CpuGroup> GroupCpus(const platform::CpuTopology& topology);

// Every CPU of the groups in their order.
std::vector<int> CpusInGroupOrder(const std::vector<CpuGroup>& groups);

} // namespace korvane::core
