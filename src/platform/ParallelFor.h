#pragma once

#include <cstddef>
#include <functional>

// Runs work(index, worker) once for every index in [0, count) on up to
// `threads` threads, the calling thread (worker 0) among them; workers 1 ..
// threads - 1 are started for the call and joined before it returns. `work`
// must not throw. After each item the calling thread finishes, and once at the
// end, `progress` gets the number of items finished so far (on the calling
// thread only, so it may touch the user interface).
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t, unsigned)>& work,
                 const std::function<void(std::size_t)>& progress = {});

// The number of threads worth using for CPU-bound work: the processors
// available, at least 1.
unsigned HardwareThreads();
