#include "platform/fake/fake_screen.h"

namespace korvane::platform::fake {

bool FakeScreen::WorkArea(PixelRect* area)
{
    if (!workAreaReadable)
        return false;
    *area = workArea;
    return true;
}

} // namespace korvane::platform::fake
