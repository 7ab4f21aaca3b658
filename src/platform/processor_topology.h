#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::platform {

enum class CpuKind { Unknown, Performance, Efficiency };

// One logical CPU as the machine describes it; -1 (or Unknown) where that is not known.
struct LogicalCpu {
    int number = 0;
    bool online = true;
    // The program may set it: the CPUs its cgroup (or job) allows, never the affinity the program
    // itself was started with.
    bool allowed = true;
    // Kept away from the scheduler's balancing (isolcpus): offered, never part of "All CPUs".
    bool isolated = false;
    int package = -1;
    // Cores are numbered across the machine (a core is the set of CPUs that are its threads).
    int core = -1;
    // The CPU's place among the threads of its core, 0 first.
    int thread = -1;
    // The highest-level data or unified cache: groups numbered 0, 1, ... in the order of their
    // first CPU, with the size (0 when not known).
    int cacheGroup = -1;
    std::int64_t cacheBytes = 0;
    int node = -1;
    CpuKind kind = CpuKind::Unknown;
};

struct CpuTopology {
    // Every CPU the machine may have, ascending by number.
    std::vector<LogicalCpu> cpus;
    // What could not be read, in words ("cache groups", "NUMA nodes", "kinds").
    std::vector<std::string> unknown;
};

// The logical CPUs of the machine and how they are grouped.
class ProcessorTopology {
public:
    virtual ~ProcessorTopology() = default;
    // Reads the topology now; a machine without some of the sources has fewer facts, never none.
    virtual CpuTopology ReadTopology() = 0;
    // Cheap to read, and different whenever CPUs went on- or offline; empty where not told.
    virtual std::string OnlineCpuList() { return {}; }
};

} // namespace korvane::platform
