#pragma once

#include "platform/dialogs.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane::platform::fake {

// Message boxes that tests answer in advance and read back.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        std::string text;
        int style;
        std::string title;
    };
    int MessageBox(const std::string& text, int style, const std::string& title) override;
    // The next yes/no question gets this answer (kAnswerYes or kAnswerNo); default yes.
    void AnswerNext(int answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& Messages() const { return m_shown; }
    void ClearMessages() { m_shown.clear(); }
    // Runs while a message box is open (a box is modal, but timers still tick).
    std::function<void()> WhileOpen;

private:
    std::vector<int> m_answers;
    std::vector<Shown> m_shown;
};

} // namespace korvane::platform::fake
