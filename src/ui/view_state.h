#pragma once

#include <cstdint>

namespace korvane::ui {

// View state of the main window shared by both list views.
struct ViewState {
    std::int32_t ProcessScrollTop = 0;   // twips, 0 or negative
    std::int32_t FavoritesScrollTop = 0; // twips, 0 or negative
    std::int16_t WheelTarget = 0;        // 1 process list, 2 favorites, 0 nothing yet
    bool ListsReady = false;             // set at the very end of start-up
};

inline constexpr std::int32_t kRowTwips = 240;
inline constexpr int kIconPixels = 16;

} // namespace korvane::ui
