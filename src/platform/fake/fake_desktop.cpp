#include "platform/fake/fake_desktop.h"

namespace korvane::platform::fake {

bool FakeScreen::WorkArea(PixelRect* area)
{
    if (!workAreaReadable)
        return false;
    *area = workArea;
    return true;
}

void FakeAutostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    if (enable)
        entries[valueName] = executablePath;
    else
        entries.erase(valueName);
}

bool FakeSingleInstance::AnotherInstanceRunning()
{
    if (m_owner)
        return false;
    if (m_registry->running)
        return true;
    m_registry->running = true;
    m_owner = true;
    return false;
}

void FakeSingleInstance::ShowRunningInstance(std::int64_t window)
{
    m_registry->shownWindows.push_back(window);
    if (m_registry->running)
        ++m_registry->showRequests;
}

int FakeSingleInstance::TakeShowRequests()
{
    if (!m_owner)
        return 0;
    const int requests = m_registry->showRequests;
    m_registry->showRequests = 0;
    return requests;
}

void FakeSingleInstance::Release()
{
    if (m_owner)
        m_registry->running = false;
    m_owner = false;
}

std::optional<std::vector<std::string>> FakeFileDialogs::GetOpenFileNames(const std::string& title,
                                                                          const std::string& filter,
                                                                          bool allowMultiSelect)
{
    lastTitle = title;
    lastFilter = filter;
    lastMultiSelect = allowMultiSelect;
    auto answer = std::move(m_answer);
    m_answer.reset();
    return answer;
}

} // namespace korvane::platform::fake
