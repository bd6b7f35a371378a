// Processor time of the calling thread. Benchmarks report it beside the wall
// time: on a machine shared with other work the wall time mostly measures
// waiting for a core.
#pragma once

#include <time.h>

namespace orva::bench {

// CPU seconds this thread has used.
inline double ThreadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace orva::bench
