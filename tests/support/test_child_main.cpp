// A child process for the live tests: starts the number of threads given as its first argument
// (default 4), says "ready" on standard output, then waits until it is killed. The second argument
// changes what follows: "spin" makes every thread burn CPU instead of sleeping; "leader-exits"
// ends the first thread while the others go on; "exit" ends the process (a zombie until reaped).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int threads = argc > 1 ? std::atoi(argv[1]) : 4;
    const char* mode = argc > 2 ? argv[2] : "";
    const bool spin = std::strcmp(mode, "spin") == 0;
    static std::atomic<unsigned long> work{0}; // outlives the first thread in "leader-exits"
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        pool.emplace_back([&] {
            for (;;) {
                if (spin)
                    work.fetch_add(1, std::memory_order_relaxed);
                else
                    std::this_thread::sleep_for(std::chrono::seconds(1));
            }
        });
    }
    std::printf("ready\n");
    std::fflush(stdout);
    if (std::strcmp(mode, "exit") == 0)
        std::_Exit(0);
    if (std::strcmp(mode, "leader-exits") == 0) {
        for (auto& thread : pool)
            thread.detach();
        ::pthread_exit(nullptr);
    }
    for (;;) {
        if (spin)
            work.fetch_add(1, std::memory_order_relaxed);
        else
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}
