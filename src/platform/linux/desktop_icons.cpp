#include "platform/linux/desktop_icons.h"

#include "platform/file_system.h"
#include "platform/linux/xdg_paths.h"

namespace korvane::platform::linuxos {

namespace {

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void DesktopEntryIndex::Add(const DesktopEntry& entry)
{
    if (entry.program.front() == '/')
        m_byPath.emplace(entry.program, entry.icon);
    m_byName.emplace(FileNameOf(entry.program), entry.icon);
}

void DesktopEntryIndex::Build(FileSystem& files, const std::vector<std::string>& applicationFolders)
{
    m_built = true;
    for (const auto& folder : applicationFolders) {
        for (const auto& name : files.ListFolder(folder)) {
            if (name.size() <= 8 || name.compare(name.size() - 8, 8, ".desktop") != 0)
                continue;
            const auto content = files.ReadFile(folder + "/" + name);
            if (!content || content->size() > (1U << 20))
                continue;
            if (const auto entry = ParseDesktopEntry(*content))
                Add(*entry);
        }
    }
}

std::string DesktopEntryIndex::IconFor(const std::string& programPath) const
{
    if (const auto it = m_byPath.find(programPath); it != m_byPath.end())
        return it->second;
    if (const auto it = m_byName.find(FileNameOf(programPath)); it != m_byName.end())
        return it->second;
    return {};
}

std::vector<std::string> ApplicationFolders()
{
    std::vector<std::string> folders{DataHome() + "/applications"};
    const std::string dirs = DataDirs();
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const auto colon = dirs.find(':', start);
        const std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty() && dir.front() == '/')
            folders.push_back(dir + "/applications");
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return folders;
}

std::string DesktopIcons::IconNameOf(const std::string& programPath)
{
    if (!m_index.Built())
        m_index.Build(m_files, ApplicationFolders());
    return m_index.IconFor(programPath);
}

} // namespace korvane::platform::linuxos
