#include "platform/linux/linux_single_instance.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

namespace {

bool FillAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

std::string RuntimeFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/')
        return runtime;
    const std::string folder = "/tmp/korvane-" + std::to_string(::getuid());
    // Whatever mkdir says, PrivateFolderProblem decides whether the folder may be used.
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

std::string PrivateFolderProblem(const std::string& folder, std::uint32_t userId)
{
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0)
        return "the folder " + folder + " for Korvane's lock cannot be used (" + std::strerror(errno) + ")";
    const std::string remedy = "; remove it, or set XDG_RUNTIME_DIR to a folder of yours with mode 0700";
    if (S_ISLNK(status.st_mode) || !S_ISDIR(status.st_mode))
        return "the place " + folder + " for Korvane's lock is not a folder but a link or a file" + remedy;
    if (status.st_uid != userId)
        return "the folder " + folder + " for Korvane's lock belongs to another user" + remedy;
    if ((status.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return "the folder " + folder + " for Korvane's lock has mode " + mode + ", not 0700" + remedy;
    }
    return {};
}

LinuxSingleInstance::LinuxSingleInstance(std::string folder)
    : m_lockPath(folder + "/korvane.lock"), m_socketPath(folder + "/korvane.sock")
{
}

LinuxSingleInstance::~LinuxSingleInstance()
{
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(m_socketPath.c_str());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool LinuxSingleInstance::AnotherInstanceRunning()
{
    if (m_lockFd >= 0)
        return false;
    const int fd = ::open(m_lockPath.c_str(), O_CREAT | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false; // no lock to be had: run rather than refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return errno == EWOULDBLOCK;
    }
    m_lockFd = fd;

    sockaddr_un address{};
    if (!FillAddress(m_socketPath, &address))
        return false;
    ::unlink(m_socketPath.c_str()); // left behind by a run that ended abnormally
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd >= 0 &&
        (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listenFd, 8) != 0)) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
    return false;
}

void LinuxSingleInstance::ShowRunningInstance(std::int64_t /*window*/)
{
    sockaddr_un address{};
    if (!FillAddress(m_socketPath, &address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "show\n";
        [[maybe_unused]] const ssize_t n = ::write(fd, request, sizeof request - 1);
    }
    ::close(fd);
}

int LinuxSingleInstance::TakeShowRequests()
{
    if (m_listenFd < 0)
        return 0;
    int requests = 0;
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            break;
        // Only this user's own programs may ask for the window.
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid())
            ++requests;
        ::close(fd);
    }
    return requests;
}

std::int64_t LinuxSingleInstance::WindowHandle()
{
    return static_cast<std::int64_t>(::getpid());
}

} // namespace korvane::platform::linuxos
