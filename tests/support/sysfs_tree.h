#pragma once

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace korvane::test {

// A machine's CPUs written as the sysfs files the kernel shows, in a temporary tree, for the
// machines of the vendors' published topologies that no test machine has.
struct SysfsCpu {
    int package;
    int core;
    std::string siblings;   // thread_siblings_list
    std::string llcShared;  // cache/index3/shared_cpu_list; empty: no such file
    std::string llcSize;    // cache/index3/size
};

class SysfsTree {
public:
    void Write(const std::string& path, const std::string& content)
    {
        const std::filesystem::path file = std::filesystem::path(m_folder.Path()) / path.substr(1);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << content << "\n";
    }
    // CPUs 0 to count - 1 as described, the online ones (all when empty), and what the program's
    // cgroup allows (its cpuset.cpus.effective under cgroup v2; all online when empty).
    void Cpus(int count, const std::function<SysfsCpu(int)>& describe, const std::string& online,
              const std::string& allowed)
    {
        const std::string all = "0-" + std::to_string(count - 1);
        Write("/sys/devices/system/cpu/possible", all);
        Write("/sys/devices/system/cpu/online", online.empty() ? all : online);
        Write("/proc/self/cgroup", "0::/user.slice/korvane.scope\n");
        Write("/sys/fs/cgroup/user.slice/korvane.scope/cpuset.cpus.effective", allowed.empty() ? online.empty() ? all : online : allowed);
        for (int n = 0; n < count; ++n) {
            const SysfsCpu cpu = describe(n);
            const std::string folder = "/sys/devices/system/cpu/cpu" + std::to_string(n);
            Write(folder + "/topology/physical_package_id", std::to_string(cpu.package));
            Write(folder + "/topology/core_id", std::to_string(cpu.core));
            Write(folder + "/topology/thread_siblings_list", cpu.siblings);
            if (!cpu.llcShared.empty()) {
                Write(folder + "/cache/index3/shared_cpu_list", cpu.llcShared);
                Write(folder + "/cache/index3/size", cpu.llcSize);
                Write(folder + "/cache/index3/level", "3");
                Write(folder + "/cache/index3/type", "Unified");
            }
        }
    }
    void Node(int node, const std::string& cpus)
    {
        Write("/sys/devices/system/node/node" + std::to_string(node) + "/cpulist", cpus);
    }
    const std::string& Root() const { return m_folder.Path(); }

private:
    TempFolder m_folder;
};

} // namespace korvane::test
