#pragma once

#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace korvane::test {

// A real child process running the test child program, killed when this object goes.
class ChildProcess {
public:
    // program: path of the test child (or a copy of it under another name); mode: its second
    // argument ("spin", "leader-exits", "exit").
    ChildProcess(const std::string& program, int threads, const std::string& mode = {})
        : ChildProcess(program, Arguments(program, threads, mode))
    {
    }
    // The program started with the arguments given (the first is its argv[0]).
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        std::vector<char*> argv;
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0)
            m_pid = pid;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        // Wait for "ready": every thread exists by then.
        char buffer[16];
        while (m_pid > 0 && ::read(pipeFds[0], buffer, sizeof buffer) < 0) {
        }
        ::close(pipeFds[0]);
    }
    static std::vector<std::string> Arguments(const std::string& program, int threads, const std::string& mode)
    {
        std::vector<std::string> arguments{program, std::to_string(threads)};
        if (!mode.empty())
            arguments.push_back(mode);
        return arguments;
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    std::int32_t Pid() const { return m_pid; }
    // The state letter of a thread of the child from /proc ('R', 'S', 'Z', ...); '?' when gone.
    char ThreadState(std::int32_t thread) const
    {
        std::ifstream stat("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(thread) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        const auto paren = text.rfind(')');
        return paren != std::string::npos && paren + 2 < text.size() ? text[paren + 2] : '?';
    }
    void Kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

private:
    std::int32_t m_pid = 0;
};

// The "Cpus_allowed" mask (CPUs 0..31) of every thread of a process, read from /proc.
inline std::vector<std::uint32_t> ThreadMasksOf(std::int32_t pid)
{
    std::vector<std::uint32_t> masks;
    const std::string task = "/proc/" + std::to_string(pid) + "/task";
    std::set<std::string> threads;
    if (auto* dir = ::opendir(task.c_str())) {
        while (auto* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                threads.insert(entry->d_name);
        }
        ::closedir(dir);
    }
    for (const auto& thread : threads) {
        std::ifstream status(task + "/" + thread + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Cpus_allowed:", 0) != 0)
                continue;
            std::string hex = line.substr(line.find(':') + 1);
            std::string digits;
            for (char c : hex) {
                if (std::isxdigit(static_cast<unsigned char>(c)))
                    digits += c;
            }
            const std::string low = digits.size() > 8 ? digits.substr(digits.size() - 8) : digits;
            masks.push_back(static_cast<std::uint32_t>(std::stoul(low, nullptr, 16)));
        }
    }
    return masks;
}

} // namespace korvane::test
