// Stands in for a program the services start (Parvane.exe, a tool): writes
// its working directory and arguments, one per line in UTF-16, to the file
// named by the environment variable ORVEL_PROBE_OUT.
#include <windows.h>
#include <shellapi.h>
#include <string>

int wmain()
{
    wchar_t out[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"ORVEL_PROBE_OUT", out, MAX_PATH);
    if (!n || n >= MAX_PATH)
        return 1;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring text = std::wstring(cwd) + L"\n";
    for (int i = 1; argv && i < argc; ++i)
        text += std::wstring(argv[i]) + L"\n";
    LocalFree(argv);
    // Written under another name first, so a reader never sees half a file.
    std::wstring partial = std::wstring(out) + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), out, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
