// memory: zero-filled arrays of doubles and their pages made resident ahead of use.
#pragma once

#include <cstddef>
#include <thread>

// Zero-filled array of n doubles (at least one), nullptr when memory is short; release
// with free_doubles.
double* alloc_doubles(std::size_t n);
void free_doubles(double* p);
// Makes the pages of two fresh arrays of n doubles from alloc_doubles resident, 2 MiB of
// each in turn from the start, on a helper thread, so that the kernel's zeroing of fresh
// pages runs beside the caller's first writes; what the arrays hold is not changed, and the
// caller may write them meanwhile. Starts one thread, and only when threads > 1: join the
// thread returned; it is not joinable (nothing was started) for one thread, small arrays,
// where the platform cannot, or when no thread can be had. Does not throw.
std::thread prefault_pair(double* a, double* b, std::size_t n, int threads);
