#pragma once

#include "platform/processor_topology.h"

#include <functional>

namespace korvane::test {

// Machines of the shapes people have, for the fake machine's topology.
inline platform::CpuTopology MakeTopology(int count, const std::function<void(platform::LogicalCpu&)>& describe)
{
    platform::CpuTopology topology;
    for (int n = 0; n < count; ++n) {
        platform::LogicalCpu cpu;
        cpu.number = n;
        cpu.package = 0;
        cpu.core = n;
        cpu.thread = 0;
        cpu.node = 0;
        describe(cpu);
        topology.cpus.push_back(cpu);
    }
    return topology;
}

// count CPUs, a core each, one cache of 16 MB.
inline platform::CpuTopology PlainMachine(int count)
{
    return MakeTopology(count, [](platform::LogicalCpu& cpu) {
        cpu.cacheGroup = 0;
        cpu.cacheBytes = 16 << 20;
    });
}

// Performance cores with two threads (a core's threads side by side) and then efficiency cores,
// one cache of 30 MB: 8 + 8 make 24 CPUs, 4 + 8 make 16.
inline platform::CpuTopology HybridMachine(int performanceCores, int efficiencyCores)
{
    const int threads = 2 * performanceCores;
    return MakeTopology(threads + efficiencyCores, [threads, performanceCores](platform::LogicalCpu& cpu) {
        const int n = cpu.number;
        cpu.core = n < threads ? n / 2 : n - performanceCores;
        cpu.thread = n < threads ? n % 2 : 0;
        cpu.kind = n < threads ? platform::CpuKind::Performance : platform::CpuKind::Efficiency;
        cpu.cacheGroup = 0;
        cpu.cacheBytes = 30 << 20;
    });
}

inline platform::CpuTopology HybridMachine24()
{
    return HybridMachine(8, 8);
}

// 16 cores with two threads on two cache dies (96 MB and 32 MB); the second threads are CPUs 16-31.
inline platform::CpuTopology TwoDieMachine32()
{
    return MakeTopology(32, [](platform::LogicalCpu& cpu) {
        const int core = cpu.number % 16;
        cpu.core = core;
        cpu.thread = cpu.number / 16;
        cpu.cacheGroup = core / 8;
        cpu.cacheBytes = core < 8 ? std::int64_t{96} << 20 : std::int64_t{32} << 20;
    });
}

// Packages of 64 cores with two threads, 8 cores to a 32 MB cache; the second threads are the
// upper half of the CPUs (128-255 on two packages).
inline platform::CpuTopology ServerMachine(int packages)
{
    const int cores = 64 * packages;
    return MakeTopology(2 * cores, [cores](platform::LogicalCpu& cpu) {
        const int core = cpu.number % cores;
        cpu.package = core / 64;
        cpu.node = cpu.package;
        cpu.core = core % 64;
        cpu.thread = cpu.number / cores;
        cpu.cacheGroup = core / 8;
        cpu.cacheBytes = std::int64_t{32} << 20;
    });
}

inline platform::CpuTopology ServerMachine256()
{
    return ServerMachine(2);
}

} // namespace korvane::test
