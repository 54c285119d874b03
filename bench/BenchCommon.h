#pragma once
// Timing helpers shared by the benchmarks: each measurement is repeated,
// and results are printed as min and median plus a ratio against a
// baseline measured in the same run (never absolute claims).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
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

// Samples where a thread runs, by module, while it is alive: a rough
// profile that needs no symbols. Under Wine a thread inside a system call
// shows in the module that made the call into the system (win32u for GDI
// and USER, ntdll for the rest).
class CModuleProfile {
public:
    explicit CModuleProfile(DWORD threadId)
        : m_thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE,
                              threadId))
    {
        if (m_thread)
            m_sampler = CreateThread(nullptr, 0, Sample, this, 0, nullptr);
    }
    ~CModuleProfile()
    {
        Stop();
        if (m_thread)
            CloseHandle(m_thread);
    }
    void Stop()
    {
        m_stop = true;
        if (m_sampler) {
            WaitForSingleObject(m_sampler, INFINITE);
            CloseHandle(m_sampler);
            m_sampler = nullptr;
        }
    }
    CModuleProfile(const CModuleProfile&) = delete;
    CModuleProfile& operator=(const CModuleProfile&) = delete;

    // After Stop.
    void Print(const char* title) const
    {
        std::vector<std::pair<int, std::string>> order;
        int total = 0;
        for (const auto& [name, count] : m_counts) {
            order.push_back({count, name});
            total += count;
        }
        std::sort(order.rbegin(), order.rend());
        std::printf("%s: %d samples\n", title, total);
        for (const auto& [count, name] : order) {
            if (count * 100 >= total)
                std::printf("    %5.1f%%  %s\n", 100.0 * count / total, name.c_str());
        }
    }

private:
    static DWORD WINAPI Sample(void* self)
    {
        auto& profile = *static_cast<CModuleProfile*>(self);
        while (!profile.m_stop) {
            Sleep(0);
            if (SuspendThread(profile.m_thread) == static_cast<DWORD>(-1))
                break;
            CONTEXT context = {};
            context.ContextFlags = CONTEXT_CONTROL;
            const bool got = GetThreadContext(profile.m_thread, &context) != FALSE;
            ResumeThread(profile.m_thread);
            if (!got)
                continue;
#ifdef _WIN64
            const DWORD_PTR where = context.Rip;
#else
            const DWORD_PTR where = context.Eip;
#endif
            HMODULE module = nullptr;
            char name[MAX_PATH] = "(no module)";
            if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<const char*>(where), &module)) {
                char path[MAX_PATH] = {};
                GetModuleFileNameA(module, path, MAX_PATH);
                const char* base = std::strrchr(path, '\\');
                std::snprintf(name, sizeof name, "%s", base ? base + 1 : path);
            }
            ++profile.m_counts[name];
            Sleep(1);
        }
        return 0;
    }

    HANDLE m_thread;
    HANDLE m_sampler = nullptr;
    volatile bool m_stop = false;
    std::map<std::string, int> m_counts;
};

// A line the parent of a measuring child reads back: name, min, median.
inline void ReportChild(const char* name, const SResult& result)
{
    std::printf("RESULT %s %.6f %.6f\n", name, result.minMs, result.medianMs);
    std::fflush(stdout);
}

}  // namespace Bench
