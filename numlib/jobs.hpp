// jobs: independent jobs shared out over threads, every result the one-thread result.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Runs job(k) for k = 0 .. n-1, in order of k, on up to threads threads (the caller's among
// them; fewer where no more can be had), and returns when all have ended. Each job must
// write only what is its own, so that the result does not depend on the threads.
template <class Job> void run_jobs(std::size_t n, int threads, Job job) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k; (k = next.fetch_add(1)) < n;)
            job(k);
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads && static_cast<std::size_t>(i) < n; ++i) {
        try {
            pool.emplace_back(work);
        } catch (...) {
            break; // the threads there are take the jobs
        }
    }
    work();
    for (auto& t : pool)
        t.join();
}
