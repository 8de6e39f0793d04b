// The resident set of this process, for benchmarks that must not grow.
#pragma once

#include <unistd.h>

#include <cstdio>

namespace talvio::bench {

// In kB; 0 when /proc cannot tell.
inline long ResidentKb() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* file = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(file);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace talvio::bench
