// jobs: independent jobs shared out over threads, every result the one-thread result.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

// Runs job(k) for k = 0 .. n-1, in order of k, on up to threads threads (the caller's among
// them; fewer where no more can be had), and returns when all have ended. Each job must
// write only what is its own, and all of it, so that the result does not depend on the
// threads and a job may run again. When a job throws, no job is started after it; every
// thread is joined. Memory that ran short with other threads running (their stacks, their
// work) may be there for one: the jobs not done then run again on the caller's thread alone,
// in order. Else the exception of the lowest k that threw is thrown again on the caller's
// thread. Allocates n bytes (may throw std::bad_alloc before any job).
template <class Job> void run_jobs(std::size_t n, int threads, Job job) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex m;
    std::size_t first = n;
    std::exception_ptr error;
    std::vector<char> done(threads > 1 ? n : 0, 0);
    auto work = [&] {
        for (std::size_t k; !failed && (k = next.fetch_add(1)) < n;) {
            try {
                job(k);
                if (!done.empty())
                    done[k] = 1;
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
    if (!error)
        return;
    bool short_of_memory = false;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        short_of_memory = !pool.empty();
    } catch (...) {
    }
    if (!short_of_memory)
        std::rethrow_exception(error);
    for (std::size_t k = 0; k < n; ++k)
        if (!done[k])
            job(k);
}
