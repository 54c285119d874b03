// The host services' log file; included by Global.cpp.

// ------------------------------------------------------------------- log

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetLogFilePath()
{
    std::wstring dir = WithBackslash(QueryInstallDir(L"Data\\"));
    if (dir.empty()) {
        wchar_t windows[MAX_PATH];
        UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
        if (!n || n >= MAX_PATH)
            return {};
        dir = WithBackslash(windows);
    }
    std::wstring app = FileNameOf(m_strAppPath.empty() ? ModuleFileName(nullptr) : m_strAppPath);
    if (app.empty())
        return {};
    return dir + L"ZQLog\\" + app + L".log";
}

template <class TBase>
void CGlobalImpl<TBase>::AppendLogLine(HANDLE file, const char* format, ...)
{
    char line[kLogLineBytes];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    // A line that does not fit its buffer is left out whole.
    if (n < 0 || static_cast<size_t>(n) >= sizeof(line))
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
}

template <class TBase>
void CGlobalImpl<TBase>::WriteLog(const char* message, DWORD apiCode, int modCode)
{
    if (!m_bLogEnabled || !message)
        return;
    try {
        std::wstring path = GetLogFilePath();
        if (path.empty())
            return;
        std::wstring folder = DirectoryOf(path);
        // The log folder, and the data folder above it, when missing.
        CreateDirectoryW(DirectoryOf(folder.substr(0, folder.size() - 1)).c_str(), nullptr);
        CreateDirectoryW(folder.c_str(), nullptr);

        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER size = {};
        if (GetFileSizeEx(file, &size) && size.QuadPart > kLogRotateSize) {
            CloseHandle(file);
            DeleteFileW(path.c_str());
            // Truncates in case another reader kept the old file from going.
            file = CreateFileW(path.c_str(), FILE_APPEND_DATA, share, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return;
        }

        SYSTEMTIME now;
        GetLocalTime(&now);
        char time[32];
        snprintf(time, sizeof(time), "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth,
                 now.wDay, now.wHour, now.wMinute, now.wSecond);

        AppendLogLine(file, "%s %s \r\n", time, message);
        if (apiCode != 0) {
            char* text = nullptr;
            DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, apiCode, 0, reinterpret_cast<char*>(&text), 0,
                                     nullptr);
            while (n > 0 && text && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' '))
                text[--n] = 0;
            if (n > 0 && text)
                AppendLogLine(file, "%s APICode : 0x%08x %s \r\n", time,
                              static_cast<unsigned>(apiCode), text);
            else
                AppendLogLine(file, "%s APICode : 0x%08x \r\n", time,
                              static_cast<unsigned>(apiCode));
            if (text)
                LocalFree(text);
        }
        if (modCode != 0)
            AppendLogLine(file, "%s modCode : %d \r\n", time, modCode);
        std::string app = Narrow((m_strAppPath.empty() ? ModuleFileName(nullptr) : m_strAppPath).c_str(),
                                 m_nCodePage);
        AppendLogLine(file, "%s %s \r\n\r\n", time, app.c_str());
        CloseHandle(file);
    } catch (...) {
        // Logging never fails its caller.
    }
}

template <class TBase>
void CGlobalImpl<TBase>::WriteLogW(const wchar_t* message, const wchar_t* detail, DWORD apiCode,
                                   int modCode)
{
    if (!m_bLogEnabled || !message)
        return;
    try {
        std::string text = Narrow(message, m_nCodePage);
        std::string more = Narrow(detail, m_nCodePage);
        if (!more.empty())
            text += ' ' + more;
        WriteLog(text.c_str(), apiCode, modCode);
    } catch (...) {
    }
}
