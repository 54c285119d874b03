#pragma once
// The resources of one loaded module, checked against the memory the module
// really occupies before anything trusts them. The system's resource
// functions follow the PE headers, the section table and the resource
// directory without bounds checks, so a damaged file would make them (and
// every parser after them) read outside the module's mapped view.
#include <windows.h>
#include <cstdint>
#include "../base/Export.h"

namespace Resource {

class ORVEL_API CModuleResources {
public:
    CModuleResources() = default;
    // Checks module at once (see Check).
    explicit CModuleResources(HMODULE module) { Check(module); }

    // Walks the headers, the section table and the whole resource directory
    // (directories, entries, names, data entries and the bytes each data
    // entry points at) against the module's mapped view. True and the module
    // remembered when all of it lies inside; a module without resources is
    // sound (it just holds none). Handles of modules loaded as data files
    // (flat file layout) and as images are both understood. fileSize, when
    // known, is the size of the file a data-file module was loaded from: the
    // view rounds it up to a page of zeros, which a cut file does not hold.
    bool Check(HMODULE module, uint64_t fileSize = UINT64_MAX);
    void Reset() { *this = CModuleResources(); }
    bool IsSound() const { return m_hModule != nullptr; }
    HMODULE GetModule() const { return m_hModule; }

    // The bytes of the resource the system finds for type, name and
    // language (FindResourceExW's rules), or null when the module is not
    // sound, the resource is missing, or its bytes are not inside the view.
    const void* Find(const wchar_t* type, const wchar_t* name, WORD language,
                     DWORD* size = nullptr) const;

    // A bitmap resource through LoadImageW (flags as LoadImageW takes them),
    // after its directory entry, header, colour table and bits were checked.
    // A null module asks the system for its own bitmaps, as LoadImageW does.
    static HANDLE LoadBitmapImage(HMODULE module, const wchar_t* name, UINT flags);

private:
    bool Contains(const void* data, size_t size) const;

    HMODULE m_hModule = nullptr;
    const BYTE* m_view = nullptr;
    size_t m_nExtent = 0;
};

}  // namespace Resource
