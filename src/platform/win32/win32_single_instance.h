#pragma once

#include "platform/single_instance.h"

#include <atomic>
#include <string>

namespace korvane::platform::win32 {

// One instance per user session: a named mutex in the session's namespace, held for the run. A
// second instance asks the first to show its window by posting it a registered message; the
// first instance's window counts it with NoteShowRequest.
class Win32SingleInstance : public SingleInstance {
public:
    explicit Win32SingleInstance(std::string name = "Korvane");
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;
    ~Win32SingleInstance() override;

    bool AnotherInstanceRunning() override;
    // Lets the window's process come to the foreground, then posts it the show message.
    void ShowRunningInstance(std::int64_t window) override;
    int TakeShowRequests() override;
    // The main window's handle once the front end has made it; 0 before.
    std::int64_t WindowHandle() override { return m_window; }

    void SetWindowHandle(std::int64_t window) { m_window = window; }
    // The window received the show message.
    void NoteShowRequest() { ++m_showRequests; }
    // The registered message a second instance posts to the first one's window.
    static unsigned ShowRequestMessage();

private:
    std::string m_name;
    void* m_mutex = nullptr;
    std::int64_t m_window = 0;
    std::atomic<int> m_showRequests{0};
};

} // namespace korvane::platform::win32
