#include "platform/fake/fake_dialogs.h"

namespace korvane::platform::fake {

int FakeDialogs::MessageBox(const std::string& text, int style, const std::string& title)
{
    m_shown.push_back({text, style, title});
    if (WhileOpen)
        WhileOpen();
    if ((style & 0xF) != kMbYesNo)
        return kAnswerOk;
    if (m_answers.empty())
        return kAnswerYes;
    const int answer = m_answers.front();
    m_answers.erase(m_answers.begin());
    return answer;
}

} // namespace korvane::platform::fake
