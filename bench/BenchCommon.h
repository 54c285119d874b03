#pragma once
// Timing helpers shared by the benchmarks: each measurement is repeated,
// and results are printed as min and median plus a ratio against a
// baseline measured in the same run (never absolute claims).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
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

// Switches Wine's visual style on for the processes that load the theme
// library after it (the values a theme selection writes) and puts the
// previous values back on destruction. Benchmarks run in a prefix of their
// own all the same (make bench does).
class CThemeRegistry {
public:
    CThemeRegistry()
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                            &m_key, nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        for (const auto& value : kValues) {
            SSaved saved{value[0], false, {}};
            wchar_t buffer[MAX_PATH] = {};
            DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
            if (RegQueryValueExW(m_key, value[0], nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ) {
                saved.existed = true;
                saved.data = buffer;
            }
            m_saved.push_back(saved);
            Set(value[0], value[1]);
        }
    }
    ~CThemeRegistry()
    {
        if (!m_key)
            return;
        for (const SSaved& saved : m_saved) {
            if (saved.existed)
                Set(saved.name.c_str(), saved.data.c_str());
            else
                RegDeleteValueW(m_key, saved.name.c_str());
        }
        RegCloseKey(m_key);
    }
    CThemeRegistry(const CThemeRegistry&) = delete;
    CThemeRegistry& operator=(const CThemeRegistry&) = delete;

private:
    static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    static constexpr const wchar_t* kValues[][2] = {
        {L"ThemeActive", L"1"},
        {L"DllName", L"C:\\windows\\resources\\themes\\light\\light.msstyles"},
        {L"ColorName", L"Blue"},
        {L"SizeName", L"NormalSize"},
    };
    struct SSaved {
        std::wstring name;
        bool existed;
        std::wstring data;
    };
    void Set(const wchar_t* name, const wchar_t* data)
    {
        RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
    }

    HKEY m_key = nullptr;
    std::vector<SSaved> m_saved;
};

// Dispatches every message waiting for the thread.
inline void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The window's frame, client area and every child invalidated and painted
// now, then whatever the painting posted.
inline void FullRepaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    GdiFlush();
}

// Bytes in use in every heap of the process (the C runtime's included).
inline size_t HeapBytesInUse()
{
    std::vector<HANDLE> heaps(256);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    heaps.resize(std::min<DWORD>(count, static_cast<DWORD>(heaps.size())));
    size_t total = 0;
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
    }
    return total;
}

// A line the parent of a measuring child reads back: name, min, median.
inline void ReportChild(const char* name, const SResult& result)
{
    std::printf("RESULT %s %.6f %.6f\n", name, result.minMs, result.medianMs);
    std::fflush(stdout);
}

}  // namespace Bench
