#pragma once

#include "core/cpu_set.h"
#include "platform/processor_topology.h"

#include <string>
#include <vector>

namespace korvane::core {

// A group of CPUs named for people: "All CPUs", "Performance cores", "Cache group 1 (96 MB)".
struct CpuPreset {
    std::string name;
    CpuSet cpus;
};

// The presets of a machine over its online CPUs, "All CPUs" first, then "All but CPU 0", "One
// thread per core", the two kinds of core, one per cache group and one per NUMA node. A preset
// that would be empty or the same as "All CPUs" is left out, and so are groups of one kind.
std::vector<CpuPreset> CpuPresets(const platform::CpuTopology& topology);

// "96 MB", "512 KB": a cache size as people write it.
std::string CacheSizeText(std::int64_t bytes);

// The machine's CPUs, one line each under a heading (number, online, allowed, package, core,
// thread, cache group and size, NUMA node, kind; "-" where unknown, no spaces inside a value),
// then each preset with its text as the last word of its line, then what could not be read.
std::string DescribeCpus(const platform::CpuTopology& topology);

} // namespace korvane::core
