// A child process for the live tests: starts the number of threads given as its first argument
// (default 4), says "ready" on standard output, then waits until it is killed. The second argument
// changes what follows: "spin" makes every thread burn CPU instead of sleeping; "leader-exits"
// ends the first thread while the others go on; "exit" ends the process (a zombie until reaped);
// "name" takes the third argument as its command name; "await-cpus" first waits until it runs on
// exactly the CPUs of the mask given as third argument and says after how much of its own CPU
// time since it started and how much of it came before main ("set 812 640" in microseconds,
// "unset" after a second without).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pthread.h>
#ifdef __linux__
#include <sched.h>
#include <sys/prctl.h>
#endif
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int threads = argc > 1 ? std::atoi(argv[1]) : 4;
    const char* mode = argc > 2 ? argv[2] : "";
    const bool spin = std::strcmp(mode, "spin") == 0;
#ifdef __linux__
    if (std::strcmp(mode, "name") == 0 && argc > 3)
        ::prctl(PR_SET_NAME, argv[3]);
    if (std::strcmp(mode, "await-cpus") == 0 && argc > 3) {
        const unsigned long wanted = std::strtoul(argv[3], nullptr, 10);
        timespec now{};
        timespec atMain{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &atMain);
        const auto began = std::chrono::steady_clock::now();
        bool set = false;
        while (!set && std::chrono::steady_clock::now() - began < std::chrono::seconds(1)) {
            cpu_set_t cpus;
            CPU_ZERO(&cpus);
            unsigned long mask = 0;
            if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
                for (int cpu = 0; cpu < 64; ++cpu)
                    mask |= CPU_ISSET(cpu, &cpus) ? 1UL << cpu : 0;
            }
            set = mask == wanted;
        }
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        // Everything the process has run since it was started, loading included.
        const long micros = now.tv_sec * 1000000L + now.tv_nsec / 1000;
        const long mainMicros = atMain.tv_sec * 1000000L + atMain.tv_nsec / 1000;
        if (set)
            std::printf("set %ld %ld\n", micros, mainMicros);
        else
            std::printf("unset\n");
        std::fflush(stdout);
    }
#endif
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
