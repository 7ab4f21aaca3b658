#pragma once

#include "platform/processor_topology.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform {
class FileSystem;
}

namespace korvane::platform::linuxos {

// The CPUs of a sysfs list ("0-3,8-11,16"), ascending; empty when the text is not one.
std::vector<int> ParseSysfsCpuList(const std::string& text);

// The topology from sysfs (/sys/devices/system/cpu, /sys/devices/system/node, the hybrid PMUs'
// /sys/devices/cpu_*/cpus) and the CPUs the program's cgroup allows (/proc/self/cgroup and its
// cpuset under /sys/fs/cgroup).
// Every path is read below root ("" for this machine), so that tests read captured trees.
class SysfsTopology : public ProcessorTopology {
public:
    SysfsTopology(FileSystem& files, std::string root) : m_files(files), m_root(std::move(root)) {}
    CpuTopology ReadTopology() override;
    std::string OnlineCpuList() override;

private:
    // The CPUs the cgroup lets the program use; online when no cgroup tells.
    std::vector<int> ReadAllowed(const std::vector<int>& online);
    // The CPUs sharing the CPU's highest-level data or unified cache, and its size in bytes.
    std::pair<std::vector<int>, std::int64_t> ReadLastCache(const std::string& cpuFolder);
    std::string Read(const std::string& path);
    std::vector<int> ReadList(const std::string& path);
    void ReadKinds(CpuTopology& topology);

    FileSystem& m_files;
    std::string m_root;
};

} // namespace korvane::platform::linuxos
