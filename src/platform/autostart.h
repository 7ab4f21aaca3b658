#pragma once

#include <string>

namespace korvane::platform {

// Starting the program when the user logs in. Failures are silent.
class Autostart {
public:
    virtual ~Autostart() = default;
    // True when the entry named valueName exists.
    virtual bool IsAutostartSet(const std::string& valueName) = 0;
    // Creates or refreshes the entry valueName that starts executablePath, or removes it.
    virtual void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) = 0;
};

} // namespace korvane::platform
