// CGlobalImpl: registry values, the log file and launching programs.
// Included by Global.cpp, which instantiates the template.

// -------------------------------------------------------------- registry

namespace {

// Closes a key of the hive when it goes out of scope.
class CHiveKey {
public:
    explicit CHiveKey(Selvage::IZqHive* hive) : m_hive(hive) {}
    ~CHiveKey()
    {
        if (m_key)
            m_hive->CloseKey(m_key);
    }
    CHiveKey(const CHiveKey&) = delete;
    CHiveKey& operator=(const CHiveKey&) = delete;
    HKEY* operator&() { return &m_key; }
    operator HKEY() const { return m_key; }

private:
    Selvage::IZqHive* m_hive;
    HKEY m_key = nullptr;
};

constexpr REGSAM kWriteAccess = KEY_WRITE;

}  // namespace

template <class TBase>
LONG CGlobalImpl<TBase>::RegReadString(HKEY root, const wchar_t* key, const wchar_t* name,
                                       wchar_t* buffer, DWORD* size)
{
    if (!key || !*key || !size || (buffer && *size == 0))
        return ERROR_INVALID_PARAMETER;
    const DWORD capacity = buffer ? *size : 0;
    if (buffer)
        buffer[0] = 0;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey opened(hive);
    LONG result = hive->OpenKey(root, key, kReadAccess, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = REG_NONE;
    // A capacity beyond what a byte count holds is cut, never wrapped.
    DWORD bytes = capacity > MAXDWORD / sizeof(wchar_t) ? MAXDWORD - 1 : capacity * sizeof(wchar_t);
    result = hive->QueryValue(opened, name, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return result;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || (bytes & 1)) {
        if (buffer)
            buffer[0] = 0;
        return ERROR_INVALID_DATA;
    }
    *size = bytes / sizeof(wchar_t);
    if (result == ERROR_SUCCESS && buffer) {
        if (*size == 0 || *size > capacity || buffer[*size - 1] != 0) {
            buffer[0] = 0;
            return ERROR_INVALID_DATA;
        }
    }
    return result;
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegReadDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                      DWORD* value)
{
    if (!key || !*key || !value)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey opened(hive);
    LONG result = hive->OpenKey(root, key, kReadAccess, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    result = hive->QueryValue(opened, name, &type, reinterpret_cast<BYTE*>(&data), &bytes);
    if (result == ERROR_MORE_DATA)
        return ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_DWORD || bytes != sizeof(data))
        return ERROR_INVALID_DATA;
    *value = data;
    return ERROR_SUCCESS;
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegWriteDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                       DWORD value)
{
    if (!key || !*key)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey created(hive);
    LONG result = hive->CreateKey(root, key, kWriteAccess, &created);
    if (result != ERROR_SUCCESS)
        return result;
    return hive->SetValue(created, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegWriteString(HKEY root, const wchar_t* key, const wchar_t* name,
                                        const wchar_t* value)
{
    if (!key || !*key || !value)
        return ERROR_INVALID_PARAMETER;
    size_t length = wcslen(value);
    if (length >= MAXDWORD / sizeof(wchar_t) - 1)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey created(hive);
    LONG result = hive->CreateKey(root, key, kWriteAccess, &created);
    if (result != ERROR_SUCCESS)
        return result;
    return hive->SetValue(created, name, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>((length + 1) * sizeof(wchar_t)));
}

template <class TBase>
DWORD CGlobalImpl<TBase>::DateValue(const SYSTEMTIME& date)
{
    return date.wYear * 10000u + date.wMonth * 100u + date.wDay;
}

template <class TBase>
LONG CGlobalImpl<TBase>::SetLastScanDate()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RegWriteDword(HKEY_LOCAL_MACHINE, GetRegKeyPath(kLastScanKey).c_str(), kLastScanValue,
                         DateValue(now));
}

template <class TBase>
DWORD CGlobalImpl<TBase>::GetLastScanDate()
{
    DWORD value = 0;
    if (RegReadDword(HKEY_LOCAL_MACHINE, GetRegKeyPath(kLastScanKey).c_str(), kLastScanValue,
                     &value) != ERROR_SUCCESS)
        return 0;
    return value;
}

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
    std::wstring app = FileNameOf(m_appPath.empty() ? ModuleFileName(nullptr) : m_appPath);
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
    if (!m_logEnabled || !message)
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
        std::string app = Narrow((m_appPath.empty() ? ModuleFileName(nullptr) : m_appPath).c_str(),
                                 m_codePage);
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
    if (!m_logEnabled || !message)
        return;
    try {
        std::string text = Narrow(message, m_codePage);
        std::string more = Narrow(detail, m_codePage);
        if (!more.empty())
            text += ' ' + more;
        WriteLog(text.c_str(), apiCode, modCode);
    } catch (...) {
    }
}

// ------------------------------------------------------------- launching

template <class TBase>
bool CGlobalImpl<TBase>::ShellExecuteOk(const wchar_t* verb, const wchar_t* file,
                                        const wchar_t* parameters, const wchar_t* directory,
                                        int showCommand)
{
    if (!file || !*file)
        return false;
    HINSTANCE result = ShellExecuteW(nullptr, verb, file, parameters, directory, showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

template <class TBase>
bool CGlobalImpl<TBase>::RunProgram(const wchar_t* path, const wchar_t* arguments,
                                    const wchar_t* workDir, int showCommand)
{
    if (!path || !*path || wcschr(path, L'"'))
        return false;
    try {
        std::wstring commandLine = L"\"" + std::wstring(path) + L"\" ";
        if (arguments)
            commandLine += arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
        PROCESS_INFORMATION process = {};
        const wchar_t* directory = workDir && *workDir ? workDir : nullptr;
        if (CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           directory, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return true;
        }
        return ShellExecuteOk(L"open", path, arguments, directory, showCommand);
    } catch (...) {
        return false;
    }
}

template <class TBase>
bool CGlobalImpl<TBase>::ShellOpen(const wchar_t* path)
{
    return ShellExecuteOk(nullptr, path, nullptr, nullptr, SW_SHOW);
}

template <class TBase>
bool CGlobalImpl<TBase>::OpenDocument(const wchar_t* path)
{
    return ShellExecuteOk(L"open", path, nullptr, nullptr, SW_SHOW);
}

template <class TBase>
bool CGlobalImpl<TBase>::ShowInFileManager(const wchar_t* path)
{
    // A quote in the path would end the /select argument early.
    if (!path || !*path || wcschr(path, L'"'))
        return false;
    try {
        std::wstring parameters = L" /select,\"" + std::wstring(path) + L"\"";
        return ShellExecuteOk(L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOW);
    } catch (...) {
        return false;
    }
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::QuoteArgument(const std::wstring& text)
{
    // The command-line parsing rules of the C runtime and CommandLineToArgvW:
    // backslashes are literal unless they precede a quote.
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            result.append(backslashes * 2 + 1, L'\\');
            result += L'"';
        } else {
            result.append(backslashes, L'\\');
            result += c;
        }
        backslashes = 0;
    }
    result.append(backslashes * 2, L'\\');
    result += L'"';
    return result;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::EscapeUrlPart(const std::wstring& text)
{
    std::string utf8 = Narrow(text.c_str(), CP_UTF8);
    static const char hex[] = "0123456789ABCDEF";
    std::wstring result;
    for (unsigned char c : utf8) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            result += static_cast<wchar_t>(c);
        } else {
            result += L'%';
            result += static_cast<wchar_t>(hex[c >> 4]);
            result += static_cast<wchar_t>(hex[c & 15]);
        }
    }
    return result;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::ThreatQueryUrl(const std::wstring& threatName)
{
    return std::wstring(kThreatDatabase) + L"virusdbsearch.asp?virusword=" +
           EscapeUrlPart(threatName);
}

template <class TBase>
bool CGlobalImpl<TBase>::ShowThreatInfo(const wchar_t* threatName)
{
    try {
        std::wstring name = threatName ? threatName : L"";
        std::wstring parvane = GetModuleDir() + L"Parvane.exe";
        if (!GetModuleDir().empty() && IsFile(parvane))
            return ShellExecuteOk(L"open", parvane.c_str(), QuoteArgument(name).c_str(), nullptr,
                                  SW_SHOW);
        return ShellExecuteOk(L"open", ThreatQueryUrl(name).c_str(), nullptr, nullptr, SW_SHOW);
    } catch (...) {
        return false;
    }
}
