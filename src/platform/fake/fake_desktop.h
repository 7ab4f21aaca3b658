#pragma once

#include "platform/autostart.h"
#include "platform/file_dialogs.h"
#include "platform/screen.h"
#include "platform/single_instance.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane::platform::fake {

// A 1920 x 1080 screen at 96 dots per inch with a 40-pixel panel at the bottom.
class FakeScreen : public Screen {
public:
    bool WorkArea(PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override { return width; }
    std::int32_t ScreenHeightPixels() override { return height; }
    std::int32_t TwipsPerPixelX() override { return twipsPerPixel; }
    std::int32_t TwipsPerPixelY() override { return twipsPerPixel; }
    std::uint32_t WindowBackgroundColor() override { return windowBackground; }

    std::int32_t width = 1920;
    std::int32_t height = 1080;
    std::int32_t twipsPerPixel = 15;
    std::uint32_t windowBackground = 0xF0F0F0;
    PixelRect workArea{0, 0, 1920, 1040};
    bool workAreaReadable = true;
};

class FakeAutostart : public Autostart {
public:
    bool IsAutostartSet(const std::string& valueName) override { return entries.count(valueName) != 0; }
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
    std::map<std::string, std::string> entries; // name -> program path
};

// What the instances of the program share on one machine.
struct InstanceRegistry {
    bool running = false;
    int showRequests = 0;
    std::vector<std::int64_t> shownWindows;
};

class FakeSingleInstance : public SingleInstance {
public:
    FakeSingleInstance(std::shared_ptr<InstanceRegistry> registry, std::int64_t handle)
        : m_registry(std::move(registry)), m_handle(handle)
    {
    }
    bool AnotherInstanceRunning() override;
    void ShowRunningInstance(std::int64_t window) override;
    int TakeShowRequests() override;
    std::int64_t WindowHandle() override { return m_handle; }
    // The running instance ended.
    void Release();

private:
    std::shared_ptr<InstanceRegistry> m_registry;
    std::int64_t m_handle;
    bool m_owner = false;
};

// The open-file dialog, answered in advance.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title, const std::string& filter,
                                                             bool allowMultiSelect) override;
    void AnswerNext(std::optional<std::vector<std::string>> paths) { m_answer = std::move(paths); }
    std::string lastTitle;
    std::string lastFilter;
    bool lastMultiSelect = false;

private:
    std::optional<std::vector<std::string>> m_answer;
};

} // namespace korvane::platform::fake
