#pragma once
// Benchmarks whose cases need processes of their own (the visual style is
// chosen when the theme library loads): the program runs itself with
// "--child <case>" for each case and reads back what the child reports.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include "bench/BenchCommon.h"

namespace Bench {

// The child's case when this process is one; -1 otherwise.
inline int ChildCase(int argc, char** argv)
{
    return argc >= 3 && std::string(argv[1]) == "--child" ? std::atoi(argv[2]) : -1;
}

struct SChildReport {
    bool ok = false;
    std::map<std::string, SResult> results;  // from ReportChild
    std::string notes;                       // every other line
};

inline SChildReport RunChild(int childCase)
{
    SChildReport report;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --child " + std::to_wstring(childCase);
    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0))
        return report;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process) != FALSE;
    CloseHandle(write);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        report.ok = code == 0;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read);
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        std::string line = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? output.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        char name[128] = {};
        SResult result = {};
        if (std::sscanf(line.c_str(), "RESULT %127s %lf %lf", name, &result.minMs, &result.medianMs) == 3)
            report.results[name] = result;
        else if (!line.empty())
            report.notes += "  " + line + "\n";
    }
    return report;
}

// "name  min x.xx ms  median x.xx ms", then "ratio to <base>: x (min) x (median)".
inline void Ratio(const char* name, const SResult& ours, const SResult& base)
{
    if (base.minMs <= 0 || ours.minMs <= 0) {
        std::printf("  %-52s (not measured)\n", name);
        return;
    }
    std::printf("  %-52s x%.2f (min)  x%.2f (median)\n", name, ours.minMs / base.minMs,
                ours.medianMs / base.medianMs);
}

inline void Line(const char* name, const SResult& ms)
{
    std::printf("  %-52s min %8.3f ms  median %8.3f ms\n", name, ms.minMs, ms.medianMs);
}

}  // namespace Bench
