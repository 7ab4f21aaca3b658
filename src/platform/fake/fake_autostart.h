#pragma once

#include "platform/autostart.h"

#include <map>
#include <string>

namespace korvane::platform::fake {

class FakeAutostart : public Autostart {
public:
    bool IsAutostartSet(const std::string& valueName) override { return entries.count(valueName) != 0; }
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
    std::map<std::string, std::string> entries; // name -> program path
};

} // namespace korvane::platform::fake
