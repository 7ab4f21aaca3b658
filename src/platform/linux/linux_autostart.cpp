#include "platform/linux/linux_autostart.h"

#include "platform/file_system.h"

#include <sstream>

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
    std::istringstream lines(content);
    std::string line;
    bool inMainGroup = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        auto trim = [](std::string text) {
            const auto first = text.find_first_not_of(" \t");
            const auto last = text.find_last_not_of(" \t");
            return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        };
        const std::string key = trim(line.substr(0, equals));
        const std::string value = trim(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return true;
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
