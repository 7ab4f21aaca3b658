#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::platform {

// Tells the moment any process starts a program (executes a new program file), where the
// platform lets this user listen. Reading never blocks: a front end waits on Handle().
class StartWatch {
public:
    enum class Result {
        Read,   // every start since the last read was taken (perhaps none)
        Lost,   // the platform dropped starts (its queue overran); the watch goes on
        Failed, // the watch broke and is closed; Open may bring it back
    };

    virtual ~StartWatch() = default;
    // Starts listening; false, with the reason in Status, where it may not (or cannot) listen.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // One line for a person: that the watch is on, or why it is off.
    virtual std::string Status() const = 0;
    // Appends the ids of the processes that started a program since the last read, in order.
    virtual Result TakeStarts(std::vector<std::int32_t>& processIds) = 0;
    // What becomes readable when starts wait (a file descriptor on Linux); -1 when closed.
    virtual int Handle() const = 0;
};

} // namespace korvane::platform
