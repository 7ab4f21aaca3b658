#pragma once

#include <cstdint>

namespace korvane::platform {

// At most one instance of the program runs for a user.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when another instance already runs; otherwise this one becomes the running instance.
    virtual bool AnotherInstanceRunning() = 0;
    // Asks the running instance (its window handle as saved in the settings) to show its window.
    virtual void ShowRunningInstance(std::int64_t window) = 0;
    // How many requests to show the window arrived since the last call (the running instance).
    virtual int TakeShowRequests() = 0;
    // The handle under which this instance's window is known to the others.
    virtual std::int64_t WindowHandle() = 0;
};

} // namespace korvane::platform
