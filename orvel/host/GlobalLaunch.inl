// The host services' launching of programs, documents and the file
// manager; included by Global.cpp.

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
