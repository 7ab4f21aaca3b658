#pragma once

#include "platform/single_instance.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace korvane::platform::fake {

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

} // namespace korvane::platform::fake
