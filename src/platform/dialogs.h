#pragma once

#include <string>

namespace korvane::platform {

// Message-box styles and answers, as the program combines them.
inline constexpr int kMbOk = 0;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbIconError = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconWarning = 48;
inline constexpr int kMbIconInformation = 64;
inline constexpr int kMbDefaultButton2 = 256;
inline constexpr int kMbSetForeground = 65536;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button the user chose.
    virtual int MessageBox(const std::string& text, int style, const std::string& title) = 0;
};

} // namespace korvane::platform
