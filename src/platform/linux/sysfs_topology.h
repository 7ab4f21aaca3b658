#pragma once

#include "platform/processor_topology.h"

#include <string>
#include <vector>

namespace korvane::platform {
class FileSystem;
}

namespace korvane::platform::linuxos {

// The CPUs of a sysfs list ("0-3,8-11,16"), ascending; empty when the text is not one.
std::vector<int> ParseSysfsCpuList(const std::string& text);

// The topology from sysfs (/sys/devices/system/cpu, /sys/devices/system/node, the hybrid cores'
// /sys/devices/cpu_core|cpu_atom/cpus) and the program's own allowed CPUs (/proc/self/status).
// Every path is read below root ("" for this machine), so that tests read captured trees.
class SysfsTopology : public ProcessorTopology {
public:
    SysfsTopology(FileSystem& files, std::string root) : m_files(files), m_root(std::move(root)) {}
    CpuTopology ReadTopology() override;

private:
    std::string Read(const std::string& path);
    std::vector<int> ReadList(const std::string& path);
    void ReadKinds(CpuTopology& topology);

    FileSystem& m_files;
    std::string m_root;
};

} // namespace korvane::platform::linuxos
