#include "StyleManager.h"

#include <atomic>
#include <cwchar>
#include <new>
#include "../base/Failure.h"
#include "../glyph/Glyph.h"
#include "../host/Global.h"

namespace Style {

namespace {

CStyleManager* g_manager = nullptr;
std::atomic<CStyleManager::GlyphStyleHandler> g_glyphHandler{nullptr};
std::atomic<int> g_dpiOverride{0};

template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text)
{
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = 0;
}

std::wstring Lower(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    size_t n = wcslen(suffix);
    return text.size() > n && Resource::EqualNoCase(text.substr(text.size() - n), suffix);
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ScreenDpi()
{
    if (int dpi = g_dpiOverride.load())
        return dpi;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

// ------------------------------------------------------------- singleton

CStyleManager& CStyleManager::GetInstance()
{
    if (!g_manager) {
        CStyleManager* manager = new (std::nothrow) CStyleManager;
        if (!manager)
            Base::ThrowOutOfMemory();
        g_manager = manager;
        g_manager->LoadState();
    }
    return *g_manager;
}

void CStyleManager::ReleaseInstance()
{
    delete g_manager;
    g_manager = nullptr;
}

CStyle& CStyleManager::GetStyleInstance()
{
    return GetInstance().GetCurrentStyle();
}

CStyleManager::CStyleManager() = default;

CStyleManager::~CStyleManager()
{
    EmptyStyleList();
}

void CStyleManager::SetGlyphStyleHandler(GlyphStyleHandler handler)
{
    g_glyphHandler.store(handler);
}

void CStyleManager::OverrideScreenDpi(int dpi)
{
    g_dpiOverride.store(dpi > 0 ? dpi : 0);
}

// ----------------------------------------------------------------- state

void CStyleManager::LoadState()
{
    IGlobal& global = COrvelGlobal::GetInstance();
    wchar_t name[260] = {};
    DWORD size = ARRAYSIZE(name);
    std::wstring key = global.GetRegKeyPath(kStateKey);
    if (global.RegReadString(HKEY_LOCAL_MACHINE, key.c_str(), kStateValue, name, &size) !=
            ERROR_SUCCESS ||
        !name[0])
        m_strCurrentName = kDefaultStyleName;
    else
        m_strCurrentName = name;
}

void CStyleManager::SaveState(const wchar_t* name)
{
    if (!name || !*name)
        return;
    IGlobal& global = COrvelGlobal::GetInstance();
    std::wstring key = global.GetRegKeyPath(kStateKey);
    // A failed write still switches the name for this session.
    global.RegWriteString(HKEY_LOCAL_MACHINE, key.c_str(), kStateValue, name);
    m_strCurrentName = name;
}

int CStyleManager::SelectStyle(const wchar_t* name)
{
    if (!name || Resource::EqualNoCase(m_strCurrentName, name))
        return 0;
    SaveState(name);
    m_strCurrentName = name;
    LoadCurrentStyle();
    ResetAllGlyphPainter();
    RedrawAllGlyph();
    return 1;
}

void CStyleManager::SetCurrentLang(WORD language)
{
    m_nLanguage = language;
    if (m_pStyle.SetLangID(language) && m_bLoaded)
        LoadCurrentStyle();
}

// ----------------------------------------------------------------- loading

CStyle& CStyleManager::GetCurrentStyle()
{
    if (!m_bLoaded)
        LoadCurrentStyle();
    return m_pStyle;
}

bool CStyleManager::LoadCurrentStyle()
{
    m_bLoaded = false;
    m_bListBuilt = false;
    EmptyStyleList();
    BuildStyleInfo();
    std::wstring path = GetStylePathFile(m_strCurrentName.c_str());
    if (path.empty())
        return false;
    if (!m_pStyle.Load(path.c_str())) {
        // A broken ".big" companion must not cost the pack itself.
        const std::wstring big = L".big";
        if (!EndsWithNoCase(path, big.c_str()))
            return false;
        path.resize(path.size() - big.size());
        if (!m_pStyle.Load(path.c_str()))
            return false;
    }
    m_bLoaded = true;
    m_strCurrentName = m_pStyle.GetName();
    return true;
}

void CStyleManager::EmptyStyleList()
{
    for (SZqStyle& style : m_styles) {
        if (style.demoPicture)
            DeleteObject(style.demoPicture);
        if (style.smallPicture)
            DeleteObject(style.smallPicture);
    }
    m_styles.clear();
}

void CStyleManager::BuildStyleInfo()
{
    if (m_bListBuilt)
        return;
    m_bListBuilt = true;

    std::wstring dir = COrvelGlobal::GetInstance().GetStyleDir();
    if (dir.empty())
        return;
    if (dir.back() != L'\\' && dir.back() != L'/')
        dir += L'\\';

    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir + L"*.spk").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    CStyle probe;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // Short names let "*.spk" match longer extensions too.
        std::wstring fileName = found.cFileName;
        if (!EndsWithNoCase(fileName, L".spk"))
            continue;
        std::wstring path = dir + fileName;
        if (!probe.Load(path.c_str()))
            continue;
        probe.SetLangID(m_nLanguage);
        std::wstring name = Lower(probe.GetName());
        if (name.empty())
            continue;
        SZqStyle record = {};
        CopyField(record.name, name);
        if (FindStyleName(record.name) >= 0)
            continue;
        CopyField(record.showName, probe.GetShowName());
        if (path.size() >= ARRAYSIZE(record.path))
            continue;  // a cut path would name another file
        CopyField(record.path, path);
        record.smallPicture = probe.ReadBitmap(L"Pic_small.bmp");
        record.demoPicture = probe.ReadBitmap(L"Pic_demo.bmp");
        try {
            m_styles.push_back(record);
        } catch (...) {
            if (record.smallPicture)
                DeleteObject(record.smallPicture);
            if (record.demoPicture)
                DeleteObject(record.demoPicture);
            FindClose(find);
            throw;
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

std::wstring CStyleManager::GetStylePathFile(const wchar_t* name) const
{
    if (!name || !*name)
        return {};
    int index = FindStyleName(name);
    if (index < 0) {
        if (m_styles.empty())
            return {};
        index = 0;
    }
    std::wstring path = m_styles[index].path;
    if (ScreenDpi() >= kBigPackDpi && IsFile(path + L".big"))
        path += L".big";
    return path;
}

// ----------------------------------------------------------------- list

const SZqStyle* CStyleManager::GetStyleAt(int index) const
{
    if (index < 0 || index >= GetStyleCount())
        return nullptr;
    return &m_styles[index];
}

int CStyleManager::FindStyle(const wchar_t* name) const
{
    if (!name || !*name)
        return -1;
    return FindStyleName(name);
}

int CStyleManager::FindStyleName(const wchar_t* name) const
{
    if (!name)
        return -1;
    // Stored names are lower case; lowering the query too keeps letters
    // outside ASCII matching as well.
    std::wstring lower = Lower(name);
    for (size_t i = 0; i < m_styles.size(); ++i) {
        if (Resource::EqualNoCase(m_styles[i].name, lower.c_str()))
            return static_cast<int>(i);
    }
    return -1;
}

bool CStyleManager::BuildStyleMenu(HMENU, UINT)
{
    return true;
}

// ---------------------------------------------------------------- glyphs

void CStyleManager::ResetAllGlyphPainter()
{
    GlyphStyleHandler handler = g_glyphHandler.load();
    if (!handler)
        return;
    Glyph::CGlyphManager::GetInstance().ForEachGlyph([handler](Glyph::CGlyph* glyph) {
        handler(glyph);
    });
}

void CStyleManager::RedrawAllGlyph()
{
    Glyph::CGlyphManager::GetInstance().ForEachGlyph([](Glyph::CGlyph* glyph) {
        glyph->Invalidate();
    });
}

}  // namespace Style

extern "C" BOOL NotifyStyleChanged()
{
    try {
        Style::CStyleManager& manager = Style::CStyleManager::GetInstance();
        manager.LoadState();
        return manager.LoadCurrentStyle() ? TRUE : FALSE;
    } catch (...) {
        COrvelGlobal::GetInstance().WriteLog("NotifyStyleChanged failed", 0, 0);
        return FALSE;
    }
}
