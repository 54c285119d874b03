#pragma once
// Timing helpers shared by the benchmarks: each measurement is repeated,
// and results are printed as min and median plus a ratio against a
// baseline measured in the same run (never absolute claims).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace Bench {

struct SResult {
    double minMs;
    double medianMs;
};

inline SResult Measure(int repeats, const std::function<void()>& work)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

inline void Report(const char* name, const SResult& result, const SResult& baseline)
{
    std::printf("  %-40s min %9.3f ms  median %9.3f ms  baseline/this: min x%.1f, median x%.1f\n",
                name, result.minMs, result.medianMs, baseline.minMs / result.minMs,
                baseline.medianMs / result.medianMs);
}

inline void ReportBaseline(const char* name, const SResult& result)
{
    std::printf("  %-40s min %9.3f ms  median %9.3f ms  (baseline)\n", name, result.minMs,
                result.medianMs);
}

}  // namespace Bench
