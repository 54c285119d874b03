#include "VersionInfo.h"

#include <cwchar>
#include <shellapi.h>
#include <new>
#include "../resource/IniReader.h"
#include "../resource/ResourceReader.h"
#include "Global.h"

using namespace _CVersionInfoObjImpl;

namespace {

const wchar_t kIniType[] = L"INIFILES";
const wchar_t kIniName[] = L"VERINFO.INI";

bool IsAbsolute(const std::wstring& path)
{
    return (path.size() >= 2 && path[1] == L':') ||
           (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

// The configuration's text: in the reader's language, else neutral.
bool LoadConfig(Resource::CResourceReader& reader, Resource::CIniReader& ini)
{
    if (ini.LoadFromResource(reader, kIniType, kIniName))
        return true;
    WORD language = reader.GetLangID();
    reader.SetLangID(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    bool loaded = ini.LoadFromResource(reader, kIniType, kIniName);
    reader.SetLangID(language);
    return loaded;
}

std::wstring ReadVersion(const Resource::CResourceReader& reader)
{
    std::wstring text;
    if (reader.ReadString(CVersionInfoObj::kVersionStringId, text))
        return text;
    return reader.ReadStringWithLang(CVersionInfoObj::kVersionStringId,
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

std::vector<SMenuItemData> ReadMenu(const Resource::CIniReader& ini, const wchar_t* prefix)
{
    std::vector<SMenuItemData> items;
    for (int counter = 1;; ++counter) {
        wchar_t section[32];
        swprintf(section, ARRAYSIZE(section), L"%ls%d", prefix, counter);
        if (!ini.FindSection(section))
            break;
        std::wstring type = ini.GetString(section, L"type");
        SMenuItemData item;
        if (Resource::EqualNoCase(type, L"url")) {
            item.kind = IVersionMenuItem::kUrl;
            item.target = ini.GetString(section, L"url");
        } else if (Resource::EqualNoCase(type, L"exe")) {
            item.kind = IVersionMenuItem::kExe;
            item.target = ini.GetString(section, L"name");
            item.arguments = ini.GetString(section, L"param");
        } else {
            continue;
        }
        item.label = ini.GetString(section, L"label");
        item.prompt = ini.GetString(section, L"prompt");
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

// ------------------------------------------------------------ menu items

CMenuItemBase::CMenuItemBase(IGlobal* global, const SMenuItemData& data)
    : m_pGlobal(global), m_data(data)
{
}

CMenuItemBase::~CMenuItemBase() = default;

ULONG CMenuItemBase::AddRef()
{
    return InterlockedIncrement(&m_nRefs);
}

ULONG CMenuItemBase::Release()
{
    LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return refs;
}

bool CMenuItemUrl::Execute()
{
    if (m_data.target.empty())
        return false;
    if (m_pGlobal)
        return m_pGlobal->ShellOpen(m_data.target.c_str());
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, m_data.target.c_str(), nullptr,
                                                   nullptr, SW_SHOW)) > 32;
}

bool CMenuItemTool::Execute()
{
    if (m_data.target.empty() || !m_pGlobal)
        return false;
    try {
        std::wstring program = m_data.target;
        if (!IsAbsolute(program))
            program = m_pGlobal->GetModuleDir() + program;
        size_t slash = program.find_last_of(L"\\/");
        std::wstring folder = slash == std::wstring::npos ? std::wstring() : program.substr(0, slash);
        return m_pGlobal->RunProgram(program.c_str(), m_data.arguments.c_str(), folder.c_str(),
                                    SW_SHOW);
    } catch (...) {
        return false;
    }
}

CMenuItemEnum::CMenuItemEnum(std::vector<IVersionMenuItem*> items) : m_items(std::move(items)) {}

CMenuItemEnum::~CMenuItemEnum()
{
    for (IVersionMenuItem* item : m_items)
        item->Release();
}

ULONG CMenuItemEnum::AddRef()
{
    return InterlockedIncrement(&m_nRefs);
}

ULONG CMenuItemEnum::Release()
{
    LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CMenuItemEnum::Next(IVersionMenuItem** item)
{
    if (!item)
        return E_POINTER;
    if (m_nNext >= m_items.size()) {
        *item = nullptr;
        return S_FALSE;
    }
    *item = m_items[m_nNext++];
    (*item)->AddRef();
    return S_OK;
}

// ---------------------------------------------------------- the object

CVersionInfoObj::CVersionInfoObj(IGlobal* global) : m_pGlobal(global) {}

CVersionInfoObj::~CVersionInfoObj() = default;

HRESULT CVersionInfoObj::Create(IGlobal* global, const std::wstring& langDir, LANGID language,
                                IVersionInfo** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (langDir.empty())
        return E_FAIL;
    try {
        Resource::CResourceReader reader;
        reader.SetLangID(language);
        wchar_t name[32];
        swprintf(name, ARRAYSIZE(name), L"VerInfo%04x.cfg", static_cast<unsigned>(language));
        if (!reader.Open((langDir + name).c_str()) &&
            !reader.Open((langDir + L"VerInfo.cfg").c_str()))
            return E_FAIL;

        CVersionInfoObj* info = new CVersionInfoObj(global);
        info->m_strVersion = ReadVersion(reader);
        Resource::CIniReader ini;
        if (LoadConfig(reader, ini)) {
            info->m_menus[kToolMenu] = ReadMenu(ini, L"Tool");
            info->m_menus[kHelpMenu] = ReadMenu(ini, L"Help");
        }
        *result = info;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

ULONG CVersionInfoObj::AddRef()
{
    return InterlockedIncrement(&m_nRefs);
}

ULONG CVersionInfoObj::Release()
{
    LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CVersionInfoObj::EnumMenuItems(int kind, IVersionMenuItemEnum** items)
{
    if (!items || (kind != kToolMenu && kind != kHelpMenu)) {
        if (items)
            *items = nullptr;
        return E_INVALIDARG;
    }
    *items = nullptr;
    std::vector<IVersionMenuItem*> made;
    try {
        made.reserve(m_menus[kind].size());
        for (const SMenuItemData& data : m_menus[kind]) {
            if (data.kind == IVersionMenuItem::kExe)
                made.push_back(new CMenuItemTool(m_pGlobal, data));
            else
                made.push_back(new CMenuItemUrl(m_pGlobal, data));
        }
        *items = new CMenuItemEnum(std::move(made));
        return S_OK;
    } catch (...) {
        for (IVersionMenuItem* item : made)
            item->Release();
        return E_OUTOFMEMORY;
    }
}
