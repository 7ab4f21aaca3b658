#pragma once

#include "platform/autostart.h"

#include <string>

namespace korvane::platform { class FileSystem; }

namespace korvane::platform::linuxos {

// The Exec value that runs a program path: quoted and escaped as desktop entries require.
std::string DesktopExecQuote(const std::string& path);

// XDG autostart: "<config>/autostart/<name>.desktop".
class LinuxAutostart : public Autostart {
public:
    LinuxAutostart(FileSystem& files, std::string configHome) : m_files(files), m_configHome(std::move(configHome)) {}

    bool IsAutostartSet(const std::string& valueName) override;
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
    std::string EntryPath(const std::string& valueName) const;

private:
    FileSystem& m_files;
    std::string m_configHome;
};

} // namespace korvane::platform::linuxos
