#pragma once

#include "platform/dialogs.h"
#include "platform/file_dialogs.h"

#include <QStringList>
#include <vector>

namespace korvane::qtfront {

// A message-box style as the dialog shows it.
struct MessageBoxLook {
    enum class Icon { None, Error, Question, Warning, Information } icon = Icon::None;
    std::vector<int> answers; // the buttons in order, as answers (kAnswerOk, kAnswerYes, ...)
    int defaultAnswer = platform::kAnswerOk;
    bool foreground = false;
};
MessageBoxLook MapMessageBoxStyle(int style);

class QtDialogs : public platform::Dialogs {
public:
    int MessageBox(const std::string& text, int style, const std::string& title) override;
};

// The dialog's filters from the NUL-separated text: "Description (pattern pattern)".
QStringList ParseDialogFilter(const std::string& filter);

class QtFileDialogs : public platform::FileDialogs {
public:
    std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title, const std::string& filter,
                                                             bool allowMultiSelect) override;
};

} // namespace korvane::qtfront
