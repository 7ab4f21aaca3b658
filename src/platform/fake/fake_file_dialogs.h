#pragma once

#include "platform/file_dialogs.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane::platform::fake {

// The open-file dialog, answered in advance.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title, const std::string& filter,
                                                             bool allowMultiSelect) override;
    bool ProgramFilterFirst() const override { return programFilterFirst; }
    void AnswerNext(std::optional<std::vector<std::string>> paths) { m_answer = std::move(paths); }
    bool programFilterFirst = false;
    std::string lastTitle;
    std::string lastFilter;
    bool lastMultiSelect = false;

private:
    std::optional<std::vector<std::string>> m_answer;
};

} // namespace korvane::platform::fake
