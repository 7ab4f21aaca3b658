#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::platform {

// A process that started a program, as the platform told it.
struct ProgramStart {
    std::int32_t processId = 0;
    // The latest start time (as Processes::ProcessStartTime gives it) the process that started
    // the program can have: one under the same id that started later is a later process, which
    // took the id after this one ended. 0 when the platform does not tell.
    std::uint64_t startedBy = 0;
};

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
    // Appends the processes that started a program since the last read, in order.
    virtual Result TakeStarts(std::vector<ProgramStart>& starts) = 0;
    // What becomes readable when starts wait (a file descriptor on Linux); -1 when closed.
    virtual int Handle() const = 0;
};

} // namespace korvane::platform
