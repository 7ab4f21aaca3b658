#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform::linuxos {

// Capability numbers as bits of one 64-bit set (bit n is capability n).
constexpr std::uint64_t CapabilityBit(int capability) { return std::uint64_t{1} << capability; }

// The four capability sets of a thread, as /proc/PID/status shows them.
struct CapabilitySets {
    std::uint64_t inheritable = 0;
    std::uint64_t permitted = 0;
    std::uint64_t effective = 0;
    std::uint64_t ambient = 0;

    bool Any() const { return (inheritable | permitted | effective | ambient) != 0; }
};

// The whole text of a small procfs file (which reports no size); empty when it cannot be read.
std::string ReadProcText(const char* path);

// The CapInh, CapPrm, CapEff and CapAmb lines of a status text; nullopt when one is missing or
// not hexadecimal.
std::optional<CapabilitySets> ParseCapabilitySets(std::string_view statusText);

// The calling thread's sets; nullopt when they cannot be read.
std::optional<CapabilitySets> ReadOwnCapabilities();

// The capabilities the window raises around the calls that need them: CAP_SYS_NICE (another
// user's affinity), CAP_SYS_PTRACE (another user's /proc/PID/exe), CAP_NET_ADMIN (the process
// connector).
std::uint64_t WindowCapabilities();

// Run first in main, before any thread or Qt object exists, so that every later thread inherits
// the result. A process that is not root gives up every capability (and ids borrowed from a
// set-id file) for good: the window loads code its user chooses (Qt plugins), and capabilities
// given to the file would go to that code. Root keeps its capabilities but lowers the window's
// own from the effective set, to be raised only around the calls that need them. Returns the
// line to say once on stderr, or empty when there was nothing to give up.
std::string ConfineCapabilities();

// Takes capabilities out of the calling thread's effective set (they stay permitted, to be raised
// around a call with CapabilitiesRaised). False when the system refused.
bool LowerCapabilities(std::uint64_t capabilities);

// The wanted capabilities that are permitted but not effective, in the effective set of the
// calling thread while it lives; the effective set is put back after. Wanting none costs no
// system call.
class CapabilitiesRaised {
public:
    explicit CapabilitiesRaised(std::uint64_t wanted);
    CapabilitiesRaised(const CapabilitiesRaised&) = delete;
    CapabilitiesRaised& operator=(const CapabilitiesRaised&) = delete;
    ~CapabilitiesRaised();

private:
    std::uint64_t m_raised = 0;
};

} // namespace korvane::platform::linuxos
