// A child process for the live tests: starts the number of threads given as its first argument
// (default 4), says "ready" on standard output, then waits until it is killed. With "spin" as
// second argument every thread burns CPU instead of sleeping.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int threads = argc > 1 ? std::atoi(argv[1]) : 4;
    const bool spin = argc > 2 && std::strcmp(argv[2], "spin") == 0;
    std::atomic<unsigned long> work{0};
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
    for (;;) {
        if (spin)
            work.fetch_add(1, std::memory_order_relaxed);
        else
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}
