#include "platform/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t, unsigned)>& work,
                 const std::function<void(std::size_t)>& progress)
{
    if (count == 0) {
        if (progress) progress(0);
        return;
    }
    std::atomic<std::size_t> next{0}, finished{0};
    auto run = [&](unsigned worker, bool reports) {
        for (std::size_t k = next.fetch_add(1); k < count; k = next.fetch_add(1)) {
            work(k, worker);
            const std::size_t done = finished.fetch_add(1) + 1;
            if (reports && progress) progress(done);
        }
    };
    const unsigned helpers = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count)) - 1;
    std::vector<std::thread> pool;
    pool.reserve(helpers);
    for (unsigned w = 1; w <= helpers; ++w) pool.emplace_back(run, w, false);
    run(0, true);
    for (std::thread& t : pool) t.join();
    if (progress) progress(count);
}

unsigned HardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }
