#pragma once

#include "platform/autostart.h"

#include <string>

namespace korvane::platform { class FileSystem; }

namespace korvane::platform::linuxos {

// The Exec value that runs a program path: quoted and escaped as desktop entries require.
std::string DesktopExecQuote(const std::string& path);

// False when the entry's [Desktop Entry] group switches it off, as desktops do when the user turns
// an autostart program off: Hidden=true or X-GNOME-Autostart-enabled=false.
bool AutostartEntryEnabled(const std::string& content);

// XDG autostart: "<config>/autostart/<name>.desktop".
class LinuxAutostart : public Autostart {
public:
    LinuxAutostart(FileSystem& files, std::string configHome) : m_files(files), m_configHome(std::move(configHome)) {}

    // True when the entry exists and is not switched off.
    bool IsAutostartSet(const std::string& valueName) override;
    // Removing leaves an entry that is switched off alone: it is the desktop's record of the
    // user's choice, and it still overrides a system-wide entry of the same name.
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
    std::string EntryPath(const std::string& valueName) const;

private:
    FileSystem& m_files;
    std::string m_configHome;
};

} // namespace korvane::platform::linuxos
