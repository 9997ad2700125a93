// What the benchmarks share: where the running program lies and the clocks
// they read.
#ifndef TONQUIL_BENCH_SUPPORT_H
#define TONQUIL_BENCH_SUPPORT_H

#include <windows.h>

#include <string>

// The running program's folder, with its trailing backslash.
std::wstring BenchFolder();

// Wall-clock time between two QueryPerformanceCounter readings.
double Seconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to);

// Wall-clock time since an unspecified start: only differences mean anything.
double NowSeconds();

// The CPU time, kernel and user, the whole process has used so far.
double ProcessCpuSeconds();

#endif
