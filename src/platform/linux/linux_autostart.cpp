#include "platform/linux/linux_autostart.h"

#include "platform/file_system.h"
#include "platform/linux/desktop_entries.h"


namespace korvane::platform::linuxos {

std::string DesktopExecQuote(const std::string& path)
{
    // Inside the quotes ", `, $ and \ take a backslash; then the value's own escaping doubles every
    // backslash, and a literal % is written %%.
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}

bool AutostartEntryEnabled(const std::string& content)
{
    const auto keys = DesktopEntryKeys(content);
    const auto hidden = keys.find("Hidden");
    const auto enabled = keys.find("X-GNOME-Autostart-enabled");
    return !(hidden != keys.end() && hidden->second == "true") &&
           !(enabled != keys.end() && enabled->second == "false");
}

std::string LinuxAutostart::EntryPath(const std::string& valueName) const
{
    return m_configHome + "/autostart/" + valueName + ".desktop";
}

bool LinuxAutostart::IsAutostartSet(const std::string& valueName)
{
    const auto content = m_files.ReadFile(EntryPath(valueName));
    return content && AutostartEntryEnabled(*content);
}

void LinuxAutostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    if (!enable) {
        if (IsAutostartSet(valueName))
            m_files.RemoveFile(EntryPath(valueName));
        return;
    }
    if (executablePath.find_first_of("\r\n") != std::string::npos)
        return;
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Korvane\n"
                              "Comment=CPU affinity of running programs\n"
                              "Exec=" + DesktopExecQuote(executablePath) + "\n"
                              "Icon=korvane\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    m_files.CreateFolder(m_configHome + "/autostart");
    m_files.WriteFileAtomic(EntryPath(valueName), entry);
}

} // namespace korvane::platform::linuxos
