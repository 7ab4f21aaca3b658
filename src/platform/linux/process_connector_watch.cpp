#include "platform/linux/process_connector_watch.h"

#include "platform/linux/capabilities.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/cn_proc.h>
#include <linux/connector.h>
#include <linux/filter.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <ctime>
#include <unistd.h>

namespace korvane::platform::linuxos {

namespace {

// Byte offsets inside one datagram: netlink header, connector header, then the event.
constexpr std::size_t kMessageAt = NLMSG_HDRLEN;
constexpr std::size_t kEventAt = kMessageAt + sizeof(cn_msg);
constexpr std::size_t kEventSize = sizeof(proc_event);
constexpr int kMostStartsPerRead = 512;

// Lets only exec events through to the socket, so that forks, exits and the rest never wake
// the program. A socket filter reads words in network order: compare with htonl.
bool AttachExecFilter(int socket)
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<std::uint32_t>(kEventAt + offsetof(proc_event, what))),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, htonl(proc_event::PROC_EVENT_EXEC), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFFFFFFU),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
    return ::setsockopt(socket, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) == 0;
}

bool SendListen(int socket)
{
    struct utsname name {};
    const bool filtered = ::uname(&name) == 0 && KernelFiltersProcessEvents(name.release);
    // The operation, and on kernels that read it, the one kind of event wanted.
    const std::uint32_t request[2] = {PROC_CN_MCAST_LISTEN, proc_event::PROC_EVENT_EXEC};
    const std::size_t dataSize = filtered ? sizeof request : sizeof request[0];

    alignas(nlmsghdr) char message[NLMSG_SPACE(sizeof(cn_msg) + sizeof request)] = {};
    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(NLMSG_LENGTH(sizeof(cn_msg) + dataSize));
    header.nlmsg_type = NLMSG_DONE;
    header.nlmsg_pid = static_cast<std::uint32_t>(::getpid());
    cn_msg connector{};
    connector.id.idx = CN_IDX_PROC;
    connector.id.val = CN_VAL_PROC;
    connector.len = static_cast<std::uint16_t>(dataSize);
    std::memcpy(message, &header, sizeof header);
    std::memcpy(message + kMessageAt, &connector, sizeof connector);
    std::memcpy(message + kEventAt, request, dataSize);
    return ::send(socket, message, header.nlmsg_len, 0) == static_cast<ssize_t>(header.nlmsg_len);
}

} // namespace

bool KernelFiltersProcessEvents(std::string_view release)
{
    int major = 0;
    int minor = 0;
    const char* end = release.data() + release.size();
    auto [afterMajor, majorError] = std::from_chars(release.data(), end, major);
    if (majorError != std::errc{} || afterMajor == end || *afterMajor != '.')
        return false;
    if (std::from_chars(afterMajor + 1, end, minor).ec != std::errc{})
        return false;
    return major > 6 || (major == 6 && minor >= 6);
}

bool InChildProcessNamespace(std::string_view statusText)
{
    const auto at = statusText.find("\nNSpid:");
    if (at == std::string_view::npos)
        return false;
    std::string_view line = statusText.substr(at + 7);
    line = line.substr(0, line.find('\n'));
    // One id per namespace from the machine's down: a second id means a namespace below it.
    int ids = 0;
    bool inId = false;
    for (const char c : line) {
        const bool digit = c >= '0' && c <= '9';
        if (digit && !inId)
            ++ids;
        inId = digit;
    }
    return ids > 1;
}

bool ProcessConnectorWatch::Fail(std::string status)
{
    Close();
    m_status = "off, " + std::move(status);
    return false;
}

bool ProcessConnectorWatch::Open()
{
    Close();
    if (InChildProcessNamespace(ReadProcText("/proc/self/status")))
        return Fail("Korvane runs in a process namespace of its own (a container), where the kernel tells no "
                    "program starts");
    m_socket = ::socket(PF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_CONNECTOR);
    if (m_socket < 0)
        return Fail(std::string("the kernel's process connector cannot be opened (") + std::strerror(errno) + ")");
    const CapabilitiesRaised raised(CapabilityBit(CAP_NET_ADMIN));
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = CN_IDX_PROC;
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EPERM || errno == EACCES)
            return Fail("hearing of program starts needs root; the process list is watched instead");
        return Fail(std::string("the kernel's process connector refused Korvane (") + std::strerror(errno) + ")");
    }
    if (!AttachExecFilter(m_socket))
        return Fail(std::string("the exec filter could not be attached (") + std::strerror(errno) + ")");
    // Room for a burst of starts while the window is busy; the kernel caps it at rmem_max.
    const int bufferSize = 1 << 20;
    if (::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUFFORCE, &bufferSize, sizeof bufferSize) != 0)
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &bufferSize, sizeof bufferSize);
    if (!SendListen(m_socket))
        return Fail(std::string("the subscription to program starts failed (") + std::strerror(errno) + ")");
    m_buffer.resize(8192);
    m_status = "on, favorites get their CPUs the moment a program starts";
    return true;
}

void ProcessConnectorWatch::Close()
{
    if (m_socket < 0)
        return;
    ::close(m_socket);
    m_socket = -1;
    m_status = "off, closed";
}

StartWatch::Result ProcessConnectorWatch::TakeStarts(std::vector<ProgramStart>& starts)
{
    if (m_socket < 0)
        return Result::Failed;
    // The events carry CLOCK_MONOTONIC; start times count from boot, suspended time included.
    timespec monotonic{};
    timespec boot{};
    ::clock_gettime(CLOCK_MONOTONIC, &monotonic);
    ::clock_gettime(CLOCK_BOOTTIME, &boot);
    const std::int64_t bootAhead = (boot.tv_sec - monotonic.tv_sec) * 1'000'000'000LL + (boot.tv_nsec - monotonic.tv_nsec);
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    const std::uint64_t nsPerTick = ticksPerSecond > 0 ? 1'000'000'000ULL / static_cast<std::uint64_t>(ticksPerSecond) : 0;
    bool lost = false;
    for (int read = 0; read < kMostStartsPerRead; ++read) {
        sockaddr_nl from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n = ::recvfrom(m_socket, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == ENOBUFS) {
                lost = true; // the queue overran; the socket goes on with what follows
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            Fail(std::string("the process connector failed (") + std::strerror(errno) + ")");
            return Result::Failed;
        }
        if (from.nl_pid != 0)
            continue; // only the kernel tells of starts
        std::size_t left = static_cast<std::size_t>(n);
        for (auto* header = reinterpret_cast<nlmsghdr*>(m_buffer.data()); NLMSG_OK(header, left);
             header = NLMSG_NEXT(header, left)) {
            if (header->nlmsg_len < NLMSG_LENGTH(sizeof(cn_msg) + kEventSize))
                continue;
            const char* bytes = reinterpret_cast<const char*>(header);
            cn_msg connector{};
            proc_event event{};
            std::memcpy(&connector, bytes + kMessageAt, sizeof connector);
            std::memcpy(&event, bytes + kEventAt, kEventSize);
            if (connector.id.idx != CN_IDX_PROC || connector.id.val != CN_VAL_PROC || event.what != proc_event::PROC_EVENT_EXEC)
                continue;
            std::uint64_t startedBy = 0;
            if (nsPerTick > 0 && event.timestamp_ns > 0)
                startedBy = static_cast<std::uint64_t>(static_cast<std::int64_t>(event.timestamp_ns) + std::max<std::int64_t>(bootAhead, 0)) / nsPerTick;
            starts.push_back({event.event_data.exec.process_tgid, startedBy});
        }
    }
    return lost ? Result::Lost : Result::Read;
}

} // namespace korvane::platform::linuxos
