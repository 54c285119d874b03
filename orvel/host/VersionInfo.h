#pragma once
// The version-information object: the product version text and the items
// of the host's "Tools" and "Help" menus, read from the configuration
// module lang\VerInfoXXXX.cfg (or lang\VerInfo.cfg).
//
// A configuration module is resource-only, like a language module:
//   string 1001                       the product version text
//   "INIFILES" "VERINFO.INI"          UTF-16 INI text with the menu items:
//     [Tool1] [Tool2] ... [Help1] ...   numbered from 1, up to the first gap
//     type=url|exe                      other types are not menu items
//     label=..., prompt=...             menu text and status-bar prompt
//     url=...                           (url) the address to open
//     name=..., param=...               (exe) the program, relative to the
//                                       library's folder unless absolute,
//                                       and its arguments
// Resources are looked up in the current language, then in the neutral one.
#include <windows.h>
#include <string>
#include <vector>
#include "../base/Export.h"

class IGlobal;

// Reference counted: a new object starts with one reference, which its
// creator hands on.
class IVersionMenuItem {
public:
    enum Kind { kUrl = 0, kExe = 1 };

    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual int GetKind() const = 0;
    virtual std::wstring GetLabel() const = 0;
    virtual std::wstring GetPrompt() const = 0;
    // Opens the address or starts the program; true on success.
    virtual bool Execute() = 0;

protected:
    ~IVersionMenuItem() = default;
};

class IVersionMenuItemEnum {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // S_OK and a referenced item, or S_FALSE and null at the end.
    virtual HRESULT Next(IVersionMenuItem** item) = 0;
    virtual void Reset() = 0;
    virtual int GetCount() const = 0;

protected:
    ~IVersionMenuItemEnum() = default;
};

class IVersionInfo {
public:
    enum MenuKind { kToolMenu = 0, kHelpMenu = 1 };

    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual std::wstring GetVersionText() const = 0;
    // E_INVALIDARG for an unknown kind or a null result.
    virtual HRESULT EnumMenuItems(int kind, IVersionMenuItemEnum** items) = 0;

protected:
    ~IVersionInfo() = default;
};

namespace _CVersionInfoObjImpl {

struct SMenuItemData {
    int kind = IVersionMenuItem::kUrl;
    std::wstring label;
    std::wstring prompt;
    std::wstring target;     // address or program path
    std::wstring arguments;  // exe only
};

class ORVEL_API CMenuItemBase : public IVersionMenuItem {
public:
    CMenuItemBase(IGlobal* global, const SMenuItemData& data);
    virtual ~CMenuItemBase();
    ULONG AddRef() override;
    ULONG Release() override;
    int GetKind() const override { return m_data.kind; }
    std::wstring GetLabel() const override { return m_data.label; }
    std::wstring GetPrompt() const override { return m_data.prompt; }

protected:
    IGlobal* m_pGlobal;
    SMenuItemData m_data;

private:
    LONG m_nRefs = 1;
};

class ORVEL_API CMenuItemUrl : public CMenuItemBase {
public:
    using CMenuItemBase::CMenuItemBase;
    bool Execute() override;
};

class ORVEL_API CMenuItemTool : public CMenuItemBase {
public:
    using CMenuItemBase::CMenuItemBase;
    bool Execute() override;
};

class ORVEL_API CMenuItemEnum : public IVersionMenuItemEnum {
public:
    // Takes the references of items.
    explicit CMenuItemEnum(std::vector<IVersionMenuItem*> items);
    virtual ~CMenuItemEnum();
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Next(IVersionMenuItem** item) override;
    void Reset() override { m_nNext = 0; }
    int GetCount() const override { return static_cast<int>(m_items.size()); }

private:
    std::vector<IVersionMenuItem*> m_items;
    size_t m_nNext = 0;
    LONG m_nRefs = 1;
};

}  // namespace _CVersionInfoObjImpl

class ORVEL_API CVersionInfoObj : public IVersionInfo {
public:
    static constexpr UINT kVersionStringId = 1001;

    // Reads langDir\VerInfoXXXX.cfg for language, else langDir\VerInfo.cfg.
    // E_FAIL when neither opens; the new object in *result otherwise.
    // global runs the "exe" items and resolves their relative paths.
    static HRESULT Create(IGlobal* global, const std::wstring& langDir, LANGID language,
                          IVersionInfo** result);

    ULONG AddRef() override;
    ULONG Release() override;
    std::wstring GetVersionText() const override { return m_strVersion; }
    HRESULT EnumMenuItems(int kind, IVersionMenuItemEnum** items) override;

protected:
    explicit CVersionInfoObj(IGlobal* global);
    virtual ~CVersionInfoObj();

private:
    IGlobal* m_pGlobal;
    std::wstring m_strVersion;
    std::vector<_CVersionInfoObjImpl::SMenuItemData> m_menus[2];
    LONG m_nRefs = 1;
};
