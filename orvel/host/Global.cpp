#include "Global.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <shellapi.h>
#include "../base/Module.h"
#include "../resource/IniReader.h"
#include "../resource/ResourceReader.h"
#include "../style/StyleManager.h"
#include "VersionInfo.h"
#include "siblings/ruzuvived/RUZuvived.h"
#include "siblings/selvage/Selvage.h"

static_assert(RUZuvived::kLastOrdinal - RUZuvived::kFirstOrdinal + 1 == 18);

namespace {

std::wstring ModuleFileName(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

std::wstring DirectoryOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path;
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Narrow(const wchar_t* text, UINT codePage)
{
    if (!text || !*text)
        return {};
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string result(n, '\0');
    WideCharToMultiByte(codePage, 0, text, -1, result.data(), n, nullptr, nullptr);
    result.resize(n - 1);
    return result;
}

const wchar_t kRegistryRoot[] = L"Software\\Tessaly\\";
const wchar_t kThreatDatabase[] = L"https://www.tessaly.example/";
const wchar_t kLastScanKey[] = L"scan";
const wchar_t kLastScanValue[] = L"lastScanDate";

}  // namespace

// ------------------------------------------------------------------ setup

template <class TBase>
CGlobalImpl<TBase>::CGlobalImpl()
{
    m_nCodePage = GetACP();
}

template <class TBase>
CGlobalImpl<TBase>::~CGlobalImpl()
{
    if (m_pVersionInfo)
        m_pVersionInfo->Release();
    if (HINSTANCE module = m_langModule.exchange(nullptr))
        FreeLibrary(module);
    // The sibling modules stay loaded: other objects may still use them.
}

template <class TBase>
void CGlobalImpl<TBase>::SetPaths(const std::wstring& modulePath, const std::wstring& appPath)
{
    m_strRegRoot = kRegistryRoot;
    m_strModulePath = modulePath;
    m_strAppPath = appPath;
}

template <class TBase>
bool CGlobalImpl<TBase>::Initialize(HMODULE module)
{
    try {
        SetPaths(ModuleFileName(module), ModuleFileName(nullptr));
        m_strInstallDir = QueryInstallDir(nullptr);

        if (!m_strModulePath.empty() && SameTextNoCase(m_strModulePath, m_strAppPath)) {
            if (HMODULE theme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
                using PFN = void(WINAPI*)(DWORD);
                if (auto set = reinterpret_cast<PFN>(
                        reinterpret_cast<void*>(GetProcAddress(theme, "SetThemeAppProperties"))))
                    set(0);
                FreeLibrary(theme);
            }
        }

        if (m_bUseLangModules && m_strLangPattern.empty())
            m_strLangPattern = PatternFromModulePath(m_strModulePath);
        SetLangID(0);

        m_strStyleDir = QueryComponentDir(L"Orvel", L"Style\\");
        if (m_strStyleDir.empty())
            m_strStyleDir = GetModuleDir() + L"Style\\";

        if (!Style::CStyleManager::GetInstance().LoadCurrentStyle())
            return false;

        IVersionInfo* info = nullptr;
        CVersionInfoObj::Create(this, GetLangDir(), m_nLangId, &info);
        if (m_pVersionInfo)
            m_pVersionInfo->Release();
        m_pVersionInfo = info;
        return true;
    } catch (...) {
        WriteLog("Initialize failed", 0, 0);
        return false;
    }
}

// -------------------------------------------------------------- siblings

template <class TBase>
FARPROC CGlobalImpl<TBase>::GetInstallEntry(WORD ordinal)
{
    if (ordinal < RUZuvived::kFirstOrdinal || ordinal > RUZuvived::kLastOrdinal)
        return nullptr;
    if (!m_bInstallTried) {
        m_bInstallTried = true;
        std::wstring dir = m_strSiblingDir.empty() ? DirectoryOf(ModuleFileName(Base::GetLibraryModule()))
                                                : WithBackslash(m_strSiblingDir);
        if (!dir.empty())
            m_hInstallModule = LoadLibraryExW((dir + L"RUZuvived.dll").c_str(), nullptr,
                                             LOAD_WITH_ALTERED_SEARCH_PATH);
        if (m_hInstallModule) {
            for (WORD i = RUZuvived::kFirstOrdinal; i <= RUZuvived::kLastOrdinal; ++i)
                m_installEntries[i - RUZuvived::kFirstOrdinal] =
                    GetProcAddress(m_hInstallModule, MAKEINTRESOURCEA(i));
        }
    }
    return m_installEntries[ordinal - RUZuvived::kFirstOrdinal];
}

template <class TBase>
Selvage::IZqHive* CGlobalImpl<TBase>::GetHive()
{
    if (!m_bHiveTried) {
        m_bHiveTried = true;
        std::wstring dir = m_strSiblingDir.empty() ? DirectoryOf(ModuleFileName(Base::GetLibraryModule()))
                                                : WithBackslash(m_strSiblingDir);
        if (!dir.empty())
            m_hHiveModule = LoadLibraryExW((dir + L"Selvage.dll").c_str(), nullptr,
                                          LOAD_WITH_ALTERED_SEARCH_PATH);
        if (m_hHiveModule) {
            auto get = reinterpret_cast<Selvage::PFN_GetHivePtr>(reinterpret_cast<void*>(
                GetProcAddress(m_hHiveModule, Selvage::kGetHivePtrName)));
            m_pHive = get ? get() : nullptr;
        }
    }
    return m_pHive;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::QueryInstallDir(const wchar_t* relative)
{
    auto get = reinterpret_cast<RUZuvived::PFN_GetInstallDir>(
        reinterpret_cast<void*>(GetInstallEntry(RUZuvived::kOrdinalGetInstallDir)));
    if (!get)
        return {};
    std::wstring buffer(32768, L'\0');
    DWORD n = get(relative, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size())
        return {};
    buffer.resize(wcsnlen(buffer.c_str(), n));
    return buffer;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::QueryComponentDir(const wchar_t* component,
                                                   const wchar_t* subFolder)
{
    auto get = reinterpret_cast<RUZuvived::PFN_GetComponentDir>(
        reinterpret_cast<void*>(GetInstallEntry(RUZuvived::kOrdinalGetComponentDir)));
    if (!get)
        return {};
    wchar_t buffer[RUZuvived::kPathChars] = {};
    get(component, subFolder, buffer);
    buffer[RUZuvived::kPathChars - 1] = 0;
    return buffer;
}

// ----------------------------------------------------------------- paths

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetRegKeyPath(const wchar_t* relativeKey)
{
    if (!relativeKey || !*relativeKey) {
        std::wstring root = m_strRegRoot.empty() ? std::wstring(kRegistryRoot) : m_strRegRoot;
        root.pop_back();
        return root;
    }
    return (m_strRegRoot.empty() ? std::wstring(kRegistryRoot) : m_strRegRoot) + relativeKey;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetInstallDir()
{
    return m_strInstallDir;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetModuleDir()
{
    return DirectoryOf(m_strModulePath);
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetAppDir()
{
    return DirectoryOf(m_strAppPath);
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetModulePath()
{
    return m_strModulePath;
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetLangDir()
{
    std::wstring dir = GetModuleDir();
    return dir.empty() ? dir : dir + L"lang\\";
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::GetPathTitle(const wchar_t* path)
{
    if (!path)
        return {};
    std::wstring name = FileNameOf(path);
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

template <class TBase>
UINT CGlobalImpl<TBase>::GetCodePage()
{
    return m_nCodePage;
}

template <class TBase>
LANGID CGlobalImpl<TBase>::GetLangID()
{
    return m_nLangId;
}

template <class TBase>
DWORD CGlobalImpl<TBase>::Reserved()
{
    return 0;
}

// -------------------------------------------------------------- language

template <class TBase>
std::wstring CGlobalImpl<TBase>::PatternFromModulePath(const std::wstring& modulePath)
{
    std::wstring title = FileNameOf(modulePath);
    size_t dot = title.rfind(L'.');
    if (dot != std::wstring::npos)
        title.resize(dot);
    size_t underscore = title.find(L'_');
    if (underscore != std::wstring::npos && underscore >= 2)
        title.resize(underscore);
    return title + L"%04x.lng";
}

template <class TBase>
std::wstring CGlobalImpl<TBase>::FormatLangPattern(const std::wstring& pattern, LANGID language)
{
    // The pattern may come from a file name, so a stray '%' in it must not
    // be taken for a conversion.
    std::wstring result = pattern;
    size_t field = result.find(L"%04x");
    if (field != std::wstring::npos) {
        wchar_t hex[8];
        swprintf(hex, ARRAYSIZE(hex), L"%04x", static_cast<unsigned>(language));
        result.replace(field, 4, hex);
    }
    return result;
}

template <class TBase>
HINSTANCE CGlobalImpl<TBase>::LoadLangModule(LANGID language)
{
    std::wstring dir = GetLangDir();
    if (dir.empty() || m_strLangPattern.empty())
        return nullptr;
    std::wstring path = dir + FormatLangPattern(m_strLangPattern, language);
    if (GetVersion() & 0x80000000) {
        // Systems outside the NT family load only short names reliably.
        wchar_t shortPath[MAX_PATH];
        DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        if (n && n < MAX_PATH)
            path = shortPath;
    }
    // Resources only: none of the module's code is mapped to run.
    return LoadLibraryExW(path.c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE | LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <class TBase>
void CGlobalImpl<TBase>::ApplyLanguage(LANGID language)
{
    m_nLangId = language;
    m_nCharSet = Resource::CharSetForLanguage(language);
    Resource::SetUiCharSet(m_nCharSet);
    DWORD codePage = 0;
    if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT),
                       LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<wchar_t*>(&codePage), sizeof(codePage) / sizeof(wchar_t)) &&
        codePage != 0) {
        m_nCodePage = codePage;
        char locale[16];
        snprintf(locale, sizeof(locale), ".%u", static_cast<unsigned>(codePage));
        setlocale(LC_CTYPE, locale);
    }
}

template <class TBase>
bool CGlobalImpl<TBase>::SetLangID(LANGID language)
{
    if (language == 0)
        language = GetUserDefaultUILanguage();
    if (!m_bUseLangModules) {
        ApplyLanguage(language);
        return true;
    }
    HINSTANCE module = LoadLangModule(language);
    if (!module) {
        for (LANGID fallback : kFallbackLanguages) {
            if (fallback == language)
                continue;
            if ((module = LoadLangModule(fallback)) != nullptr) {
                language = fallback;
                break;
            }
        }
    }
    if (!module) {
        // The previous module stays in use.
        ApplyLanguage(2052);
        return false;
    }
    ApplyLanguage(language);
    if (HINSTANCE previous = m_langModule.exchange(module))
        FreeLibrary(previous);
    return true;
}

#include "GlobalRegistry.inl"
#include "GlobalLog.inl"
#include "GlobalLaunch.inl"

template <class TBase>
std::wstring CGlobalImpl<TBase>::LoadLangString(UINT id)
{
    HINSTANCE module = m_langModule.load();
    if (!module || id > 0xFFFF)
        return {};
    const wchar_t* block = MAKEINTRESOURCEW(id / 16 + 1);
    const Resource::CModuleResources resources(module);
    DWORD size = 0;
    const void* data = resources.Find(RT_STRING, block, m_nLangId, &size);
    if (!data)
        data = resources.Find(RT_STRING, block, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size);
    std::wstring text;
    if (data)
        Resource::CResourceReader::ReadStringFromBlock(data, size, id % 16, text);
    return text;
}

template class CGlobalImpl<IGlobal>;

// ------------------------------------------------------------ COrvelGlobal

namespace {
COrvelGlobal* g_global = nullptr;
std::atomic<IGuiConsume*> g_guiConsume{nullptr};
std::atomic<Glyph::IGlyphVessel*> g_guiVessel{nullptr};
}  // namespace

COrvelGlobal::COrvelGlobal()
{
    m_strLangPattern = L"Orvel%04x.lng";
}

COrvelGlobal::~COrvelGlobal() = default;

COrvelGlobal& COrvelGlobal::GetInstance()
{
    // Made in DllMain; a caller linking the library statically gets it here.
    if (!g_global)
        CreateInstance();
    return *g_global;
}

void COrvelGlobal::CreateInstance()
{
    if (!g_global)
        g_global = new COrvelGlobal;
}

void COrvelGlobal::DestroyInstance()
{
    delete g_global;
    g_global = nullptr;
}

IGuiConsume* COrvelGlobal::GetGuiConsume()
{
    return g_guiConsume.load();
}

Glyph::IGlyphVessel* COrvelGlobal::GetGuiVessel()
{
    return g_guiVessel.load();
}

extern "C" {

BOOL SetLanguageID(WORD language)
{
    try {
        COrvelGlobal& global = COrvelGlobal::GetInstance();
        BOOL used = global.SetLangID(language) ? TRUE : FALSE;
        Style::CStyleManager::GetInstance().SetCurrentLang(global.GetLangID());
        return used;
    } catch (...) {
        COrvelGlobal::GetInstance().WriteLog("SetLanguageID failed", 0, 0);
        return FALSE;
    }
}

IVersionInfo* GetVersionInfo()
{
    return COrvelGlobal::GetInstance().GetVersionInfo();
}

IVersionInfo* GetVersionInfoEx()
{
    try {
        COrvelGlobal& global = COrvelGlobal::GetInstance();
        IVersionInfo* info = nullptr;
        CVersionInfoObj::Create(&global, global.GetLangDir(), global.GetLangID(), &info);
        return info;
    } catch (...) {
        COrvelGlobal::GetInstance().WriteLog("GetVersionInfoEx failed", 0, 0);
        return nullptr;
    }
}

int SetGuiConsume(IGuiConsume* host)
{
    Glyph::IGlyphVessel* vessel = nullptr;
    if (host) {
        try {
            vessel = host->GetGlyphVessel();
        } catch (...) {
            vessel = nullptr;
        }
    }
    // A vessel outliving its host object would dangle, so it is replaced
    // (or cleared) together with the host.
    g_guiConsume.store(host);
    g_guiVessel.store(vessel);
    return 1;
}

}  // extern "C"
