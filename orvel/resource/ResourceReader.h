#pragma once
// Reading the resources of a style-pack module (a resource-only library
// loaded as a data file): raw bytes, strings, bitmaps, cursors, icons,
// menus and dialogs, looked up in one chosen language.
#include <windows.h>
#include <string>
#include "../base/Export.h"
#include "ModuleResources.h"

namespace Resource {

class ORVEL_API CResourceReader {
public:
    CResourceReader();
    ~CResourceReader();
    CResourceReader(const CResourceReader&) = delete;
    CResourceReader& operator=(const CResourceReader&) = delete;

    // Loads the module as a data file (none of its code runs). The module
    // held before is freed in any case. A module whose resource directory
    // or resources reach outside the file is refused (and logged).
    bool Open(const wchar_t* path);
    // Takes ownership of module; frees the one held before. A module that
    // fails the same check is held but reads nothing (and is logged).
    void Attach(HINSTANCE module);
    // Gives up the module without freeing it.
    HINSTANCE Detch();
    operator HINSTANCE() const { return m_hModule; }

    WORD GetLangID() const { return m_nLanguage; }
    // True if the language changed.
    bool SetLangID(WORD language);

    // The resource's bytes inside the held module (valid while it is held),
    // or null. type and name are strings or MAKEINTRESOURCE identifiers.
    const void* ReadCustomData(const wchar_t* type, const wchar_t* name,
                               DWORD* size = nullptr) const;

    bool ReadString(UINT id, std::wstring& text) const;
    std::wstring ReadStringWithLang(UINT id, WORD language) const;

    // A screen-compatible bitmap, owned by the caller; null if the resource
    // is missing or malformed.
    HBITMAP ReadBitmap(const wchar_t* name) const;
    // 0 and 0 ask for the system's default size. The caller owns the handle
    // (DestroyCursor / DestroyIcon).
    HCURSOR ReadCursor(const wchar_t* name, int width = 0, int height = 0) const;
    HICON ReadIcon(const wchar_t* name, int width = 0, int height = 0) const;
    // Standard menu templates only; the caller owns the menu.
    HMENU ReadMenu(const wchar_t* name) const;
    // Creates a modeless dialog from the template; null if the template is
    // missing or malformed.
    HWND CreateDialogParamW(const wchar_t* name, HWND parent, DLGPROC proc,
                            LPARAM param) const;

    // Header helpers on a packed device-independent bitmap. They read only
    // the header itself (core or info header, by its size field).
    static DWORD GetBitmapHeaderSize(const BITMAPINFOHEADER* header);
    static DWORD GetBitmapLineWidthInBytes(int width, int bitCount);
    static bool GetBitmapDimensions(const BITMAPINFOHEADER* header, int& width, int& height);
    static DWORD GetBitmapOffsetBits(const BITMAPINFOHEADER* header);

    // Checked parsers over resource bytes of a known size; none reads
    // outside [data, data + size).
    // True when header, colour table and pixel bits all lie within size.
    static bool IsSoundPackedBitmap(const void* data, DWORD size);
    static HBITMAP CreateBitmapFromPacked(const void* data, DWORD size);
    static HMENU CreateMenuFromTemplate(const void* data, DWORD size);
    // Entry index (0..15) of a string-table block.
    static bool ReadStringFromBlock(const void* data, DWORD size, UINT index,
                                    std::wstring& text);
    // True when a dialog template (standard or extended) with all its items
    // lies within size.
    static bool IsSoundDialogTemplate(const void* data, DWORD size);
    // Group directory of icons or cursors: header and entries within size.
    static bool IsSoundGroupDirectory(const void* data, DWORD size);
    // One image of an icon or cursor (PNG, or a bitmap whose rows and mask
    // rows lie within size), without a cursor's hot spot.
    static bool IsSoundIconImage(const void* data, DWORD size);
    // A whole bitmap file: file header, then a packed bitmap whose bits lie
    // at the file header's offset, within size.
    static bool IsSoundBitmapFile(const void* data, DWORD size);

protected:
    void FreeLibrary();
    HANDLE ReadGroupImage(const wchar_t* name, bool icon, int width, int height) const;

private:
    HINSTANCE m_hModule = nullptr;
    CModuleResources m_resources;
    WORD m_nLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
};

}  // namespace Resource
