#pragma once

#include <functional>
#include <string>

namespace korvane::platform {

// Decides whether a program on the bus may do an action beyond its own user's processes (polkit
// on Linux). No answer, an error or a timeout is a refusal, never a grant.
class Authority {
public:
    virtual ~Authority() = default;
    // Asks for the caller (its unique bus name); done runs once, later or at once, with the answer.
    // interactive: the caller lets the system ask its user (a password prompt).
    virtual void CheckAuthorization(const std::string& busName, const std::string& action, bool interactive,
                                    std::function<void(bool granted)> done) = 0;
};

} // namespace korvane::platform
