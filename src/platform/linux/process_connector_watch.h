#pragma once

#include "platform/start_watch.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform::linuxos {

// Program starts from the kernel's process connector: a netlink socket subscribed to exec events
// only. Listening needs CAP_NET_ADMIN (root, or the capability in the permitted set, raised for
// the subscription) and the machine's own process namespace.
class ProcessConnectorWatch : public StartWatch {
public:
    ProcessConnectorWatch() = default;
    ProcessConnectorWatch(const ProcessConnectorWatch&) = delete;
    ProcessConnectorWatch& operator=(const ProcessConnectorWatch&) = delete;
    ~ProcessConnectorWatch() override { Close(); }

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_socket >= 0; }
    std::string Status() const override { return m_status; }
    // Reads at most a few hundred starts per call, so that a storm of them cannot hold the
    // window up; the handle stays readable while more wait.
    // Each start with the event's time in clock ticks after boot, as /proc/PID/stat counts.
    Result TakeStarts(std::vector<ProgramStart>& starts) override;
    int Handle() const override { return m_socket; }

private:
    bool Fail(std::string status);

    int m_socket = -1;
    std::string m_status = "off: not opened";
    std::vector<char> m_buffer;
};

// Whether the kernel release ("6.6.0-1-amd64") filters process events by type for a listener
// (6.6 and later); older kernels ignore a subscription that asks for it.
bool KernelFiltersProcessEvents(std::string_view release);

// Whether /proc/self/status text shows a process namespace below the machine's (an "NSpid:" line
// with more than one id), where the kernel tells no program starts.
bool InChildProcessNamespace(std::string_view statusText);

} // namespace korvane::platform::linuxos
