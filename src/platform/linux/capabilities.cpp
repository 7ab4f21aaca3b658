#include "platform/linux/capabilities.h"

#include <charconv>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

namespace {

struct RawSets {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
};

std::uint64_t Joined(std::uint32_t low, std::uint32_t high) { return (std::uint64_t{high} << 32) | low; }

bool Get(RawSets& sets) { return ::syscall(SYS_capget, &sets.header, sets.data) == 0; }

bool SetEffective(RawSets sets, std::uint64_t effective)
{
    sets.data[0].effective = static_cast<std::uint32_t>(effective);
    sets.data[1].effective = static_cast<std::uint32_t>(effective >> 32);
    return ::syscall(SYS_capset, &sets.header, sets.data) == 0;
}

std::optional<std::uint64_t> HexField(std::string_view text, std::string_view key)
{
    const std::string line = std::string(key) + ":";
    std::size_t at = text.starts_with(line) ? 0 : text.find("\n" + line);
    if (at == std::string_view::npos)
        return std::nullopt;
    at += (text[at] == '\n' ? 1 : 0) + line.size();
    while (at < text.size() && (text[at] == '\t' || text[at] == ' '))
        ++at;
    std::uint64_t value = 0;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(begin, end, value, 16);
    if (error != std::errc{} || next == begin || (next != end && *next != '\n'))
        return std::nullopt;
    return value;
}

} // namespace

std::string ReadProcText(const char* path)
{
    std::string text;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

std::optional<CapabilitySets> ParseCapabilitySets(std::string_view statusText)
{
    const auto inheritable = HexField(statusText, "CapInh");
    const auto permitted = HexField(statusText, "CapPrm");
    const auto effective = HexField(statusText, "CapEff");
    const auto ambient = HexField(statusText, "CapAmb");
    if (!inheritable || !permitted || !effective || !ambient)
        return std::nullopt;
    return CapabilitySets{*inheritable, *permitted, *effective, *ambient};
}

std::optional<CapabilitySets> ReadOwnCapabilities()
{
    if (auto sets = ParseCapabilitySets(ReadProcText("/proc/thread-self/status")))
        return sets;
    // Without procfs: capget, and the ambient set bit by bit.
    RawSets raw;
    if (!Get(raw))
        return std::nullopt;
    CapabilitySets sets{Joined(raw.data[0].inheritable, raw.data[1].inheritable),
                        Joined(raw.data[0].permitted, raw.data[1].permitted),
                        Joined(raw.data[0].effective, raw.data[1].effective), 0};
    for (int capability = 0; capability < 64; ++capability) {
        if (::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_IS_SET, capability, 0, 0) == 1)
            sets.ambient |= CapabilityBit(capability);
    }
    return sets;
}

std::uint64_t WindowCapabilities()
{
    return CapabilityBit(CAP_SYS_NICE) | CapabilityBit(CAP_SYS_PTRACE) | CapabilityBit(CAP_NET_ADMIN);
}

std::string ConfineCapabilities()
{
    uid_t realUid = 0, effectiveUid = 0, savedUid = 0;
    gid_t realGid = 0, effectiveGid = 0, savedGid = 0;
    ::getresuid(&realUid, &effectiveUid, &savedUid);
    ::getresgid(&realGid, &effectiveGid, &savedGid);
    if (realUid == 0 && effectiveUid == 0) {
        LowerCapabilities(WindowCapabilities());
        return {};
    }
    const std::optional<CapabilitySets> held = ReadOwnCapabilities();
    const bool borrowedIds = effectiveUid != realUid || savedUid != realUid || effectiveGid != realGid ||
                             savedGid != realGid;
    if (!borrowedIds && held && !held->Any())
        return {};
    // Group first: changing the user id away from root would take the right to change the group.
    bool dropped = ::setresgid(realGid, realGid, realGid) == 0 && ::setresuid(realUid, realUid, realUid) == 0;
    dropped = ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) == 0 && dropped;
    RawSets none;
    dropped = ::syscall(SYS_capset, &none.header, none.data) == 0 && dropped;
    const std::optional<CapabilitySets> left = ReadOwnCapabilities();
    if (!dropped || !left || left->Any()) {
        // Never go on holding what could not be given up.
        static constexpr char kFailed[] = "korvane: the capabilities given to this program could not be dropped; "
                                          "it does not start\n";
        [[maybe_unused]] const ssize_t n = ::write(2, kFailed, sizeof kFailed - 1);
        ::_exit(1);
    }
    return "korvane: this program was started with capabilities or another user's rights; it gave them up and "
           "runs as a plain user process (other users' processes are the korvaned service's work)";
}

bool LowerCapabilities(std::uint64_t capabilities)
{
    RawSets raw;
    return Get(raw) && SetEffective(raw, Joined(raw.data[0].effective, raw.data[1].effective) & ~capabilities);
}

CapabilitiesRaised::CapabilitiesRaised(std::uint64_t wanted)
{
    if (wanted == 0)
        return;
    RawSets raw;
    if (!Get(raw))
        return;
    const std::uint64_t permitted = Joined(raw.data[0].permitted, raw.data[1].permitted);
    const std::uint64_t effective = Joined(raw.data[0].effective, raw.data[1].effective);
    const std::uint64_t raise = wanted & permitted & ~effective;
    if (raise != 0 && SetEffective(raw, effective | raise))
        m_raised = raise;
}

CapabilitiesRaised::~CapabilitiesRaised()
{
    if (m_raised == 0)
        return;
    RawSets raw;
    if (Get(raw))
        SetEffective(raw, Joined(raw.data[0].effective, raw.data[1].effective) & ~m_raised);
}

} // namespace korvane::platform::linuxos
