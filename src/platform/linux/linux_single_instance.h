#pragma once

#include "platform/single_instance.h"

#include <cstdint>
#include <string>

namespace korvane::platform::linuxos {

// The folder for the lock and the socket: $XDG_RUNTIME_DIR, else a private folder in /tmp
// (made when missing).
std::string RuntimeFolder();

// Why the folder may not hold the lock, for a person; empty when it is a real folder (not a
// link) of this user with mode 0700, which no other user can plant a file or socket in.
std::string PrivateFolderProblem(const std::string& folder, std::uint32_t userId);

// A lock file held for the run; the running instance listens on a per-user local socket and a
// second instance connects to it to have the window shown.
class LinuxSingleInstance : public SingleInstance {
public:
    explicit LinuxSingleInstance(std::string folder);
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;
    ~LinuxSingleInstance() override;

    bool AnotherInstanceRunning() override;
    void ShowRunningInstance(std::int64_t window) override;
    int TakeShowRequests() override;
    std::int64_t WindowHandle() override;

private:
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
};

} // namespace korvane::platform::linuxos
