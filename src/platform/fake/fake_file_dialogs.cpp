#include "platform/fake/fake_file_dialogs.h"

namespace korvane::platform::fake {

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
