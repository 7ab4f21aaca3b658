#include "platform/fake/fake_autostart.h"

namespace korvane::platform::fake {

void FakeAutostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    if (enable)
        entries[valueName] = executablePath;
    else
        entries.erase(valueName);
}

} // namespace korvane::platform::fake
