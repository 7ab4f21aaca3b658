#pragma once

#include <windows.h>

namespace korvane::platform::win32 {

// The format of a 32-bit device-independent bitmap stored from the top row down, 0x00RRGGBB pixels.
inline BITMAPINFO TopDownBitmapInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace korvane::platform::win32
