#pragma once

#include "platform/autostart.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane::platform::win32 {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager's Startup tab and Settings keep their switch for each Run entry: a first
// byte that is even means on.
inline constexpr const char* kStartupApprovedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The Task Scheduler definition of a task that starts the program with the user's highest
// rights when that user logs on (and never ends it, also on battery).
std::string LogonTaskXml(const std::string& user, const std::string& executablePath);

// Runs the system's schtasks.exe with the arguments; its exit code, or -1 when it did not run.
using TaskCommand = std::function<int(const std::vector<std::string>& arguments)>;

// The log-on start. A plain run has a value under the per-user Run key, holding the quoted
// program path. The Run key starts a program without administrator's rights, so a run that has
// them (elevated) registers a log-on task that runs with the highest privileges instead, and
// removes it when switched off.
class Win32Autostart : public Autostart {
public:
    // This run's elevation from its token, and the real schtasks.exe.
    Win32Autostart();
    Win32Autostart(bool elevated, TaskCommand schtasks);

    // The Run value (not switched off in Task Manager), or the task.
    bool IsAutostartSet(const std::string& valueName) override;
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;

private:
    bool m_elevated;
    TaskCommand m_schtasks;
};

} // namespace korvane::platform::win32
