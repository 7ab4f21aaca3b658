#pragma once

// A stand-in for code a user could make Korvane load as a Qt plugin: when loaded it appends
// the route it came by and the process's capability sets and user id to $KORVANE_PROBE_OUT.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

inline void ReportCapabilities(const char* route)
{
    const char* out = std::getenv("KORVANE_PROBE_OUT");
    if (out == nullptr)
        return;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    std::FILE* report = std::fopen(out, "a");
    if (status == nullptr || report == nullptr)
        std::abort();
    std::fprintf(report, "%s uid=%u", route, static_cast<unsigned>(::getuid()));
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "Cap", 3) == 0 && std::strncmp(line, "CapBnd", 6) != 0) {
            line[std::strcspn(line, "\n")] = '\0';
            std::fprintf(report, " %s", line);
        }
    }
    std::fprintf(report, "\n");
    std::fclose(report);
    std::fclose(status);
}
