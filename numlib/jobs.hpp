// jobs: independent jobs shared out over threads, every result the one-thread result.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Runs job(k) for k = 0 .. n-1, in order of k, on up to threads threads (the caller's among
// them; fewer where no more can be had), and returns when all have ended. Each job must
// write only what is its own, so that the result does not depend on the threads. When a job
// throws, no job is started after it; every thread is joined, then the exception of the
// lowest k that threw is thrown again on the caller's thread.
template <class Job> void run_jobs(std::size_t n, int threads, Job job) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex m;
    std::size_t first = n;
    std::exception_ptr error;
    auto work = [&] {
        for (std::size_t k; !failed && (k = next.fetch_add(1)) < n;) {
            try {
                job(k);
            } catch (...) {
                std::lock_guard<std::mutex> lock(m);
                if (k < first) {
                    first = k;
                    error = std::current_exception();
                }
                failed = true;
            }
        }
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
    if (error)
        std::rethrow_exception(error);
}
