#include "ModuleResources.h"

#include <cstdint>
#include <cstring>
#include "ResourceReader.h"

namespace Resource {

namespace {

// A real module has a few regions (one per section protection at most).
constexpr int kMaxRegions = 4096;
// Entries visited over the whole directory walk. Large system modules hold
// a few thousand; the cap keeps a forged directory whose entries all point
// at one big directory from making the walk slow.
constexpr size_t kMaxEntries = 1 << 16;
// Type, name and language: the levels the system's lookup descends.
constexpr int kLevels = 3;

bool IsReadable(DWORD protect)
{
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                PAGE_EXECUTE_WRITECOPY;
    return (protect & kReadable) && !(protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// Bytes readable from base on, within the one allocation base starts.
size_t ReadableExtent(const BYTE* base)
{
    size_t extent = 0;
    for (int region = 0; region < kMaxRegions; ++region) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(base + extent, &info, sizeof info) || info.AllocationBase != base ||
            info.State != MEM_COMMIT || !IsReadable(info.Protect))
            break;
        extent = static_cast<size_t>(static_cast<const BYTE*>(info.BaseAddress) +
                                     info.RegionSize - base);
    }
    return extent;
}

// The module's headers and directory, read only inside [view, view + extent).
class CModuleWalk {
public:
    CModuleWalk(const BYTE* view, size_t extent, bool flat)
        : m_view(view), m_nExtent(extent), m_bFlat(flat)
    {
    }

    bool Run()
    {
        IMAGE_DOS_HEADER dos;
        if (!Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0)
            return false;
        const uint64_t nt = static_cast<uint64_t>(dos.e_lfanew);
        DWORD signature;
        IMAGE_FILE_HEADER file;
        WORD magic;
        if (!Read(nt, signature) || signature != IMAGE_NT_SIGNATURE ||
            !Read(nt + sizeof signature, file) ||
            !Read(nt + sizeof signature + sizeof file, magic))
            return false;
        const uint64_t optional = nt + sizeof signature + sizeof file;
        DWORD rvaCount, headersSize;
        IMAGE_DATA_DIRECTORY resources;
        if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
            IMAGE_OPTIONAL_HEADER64 header;
            if (!Read(optional, header))
                return false;
            rvaCount = header.NumberOfRvaAndSizes;
            headersSize = header.SizeOfHeaders;
            resources = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
        } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            IMAGE_OPTIONAL_HEADER32 header;
            if (!Read(optional, header))
                return false;
            rvaCount = header.NumberOfRvaAndSizes;
            headersSize = header.SizeOfHeaders;
            resources = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
        } else {
            return false;
        }
        m_sections = optional + file.SizeOfOptionalHeader;
        m_nSectionCount = file.NumberOfSections;
        if (!Inside(m_sections, uint64_t{m_nSectionCount} * sizeof(IMAGE_SECTION_HEADER)))
            return false;
        // What the system treats as "no resources": nothing to walk.
        if (rvaCount <= IMAGE_DIRECTORY_ENTRY_RESOURCE || resources.VirtualAddress == 0 ||
            resources.Size < sizeof(IMAGE_RESOURCE_DIRECTORY))
            return true;
        // A flat module's directory may sit in the headers, found without
        // the section table, as the system finds it.
        if (m_bFlat && resources.VirtualAddress < headersSize)
            m_root = resources.VirtualAddress;
        else if (!Translate(resources.VirtualAddress, m_root))
            return false;
        return Directory(m_root, 1);
    }

private:
    bool Inside(uint64_t offset, uint64_t length) const
    {
        return offset <= m_nExtent && length <= m_nExtent - offset;
    }

    template <class T>
    bool Read(uint64_t offset, T& value) const
    {
        if (!Inside(offset, sizeof value))
            return false;
        memcpy(&value, m_view + offset, sizeof value);
        return true;
    }

    // Where the system's resource functions look for rva: the address
    // itself in an image; in a flat file, the first section whose raw data
    // covers it (32-bit sums, as the system computes them).
    bool Translate(DWORD rva, uint64_t& offset) const
    {
        if (!m_bFlat) {
            offset = rva;
            return true;
        }
        for (WORD i = 0; i < m_nSectionCount; ++i) {
            IMAGE_SECTION_HEADER section;
            if (!Read(m_sections + uint64_t{i} * sizeof section, section))
                return false;
            const DWORD start = section.VirtualAddress;
            if (start <= rva && static_cast<DWORD>(start + section.SizeOfRawData) > rva) {
                offset = uint64_t{section.PointerToRawData} + (rva - start);
                return true;
            }
        }
        return false;
    }

    bool Name(uint64_t offset) const
    {
        WORD length;
        return Read(offset, length) && Inside(offset + sizeof length, uint64_t{length} * 2);
    }

    bool Data(uint64_t offset) const
    {
        IMAGE_RESOURCE_DATA_ENTRY entry;
        uint64_t bytes;
        return Read(offset, entry) && Translate(entry.OffsetToData, bytes) &&
               Inside(bytes, entry.Size);
    }

    bool Directory(uint64_t offset, int level)
    {
        IMAGE_RESOURCE_DIRECTORY directory;
        if (!Read(offset, directory))
            return false;
        const size_t named = directory.NumberOfNamedEntries;
        const size_t count = named + directory.NumberOfIdEntries;
        m_nVisited += count;
        if (m_nVisited > kMaxEntries)
            return false;
        const uint64_t entries = offset + sizeof directory;
        if (!Inside(entries, uint64_t{count} * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY)))
            return false;
        for (size_t i = 0; i < count; ++i) {
            IMAGE_RESOURCE_DIRECTORY_ENTRY entry;
            Read(entries + i * sizeof entry, entry);
            // The lookup searches names among the first entries and numbers
            // among the rest; an entry in the wrong part is damage.
            const bool isName = (entry.Name & IMAGE_RESOURCE_NAME_IS_STRING) != 0;
            if (isName != (i < named))
                return false;
            if (isName && !Name(m_root + (entry.Name & ~IMAGE_RESOURCE_NAME_IS_STRING)))
                return false;
            const DWORD target = entry.OffsetToData;
            const bool isDirectory = (target & IMAGE_RESOURCE_DATA_IS_DIRECTORY) != 0;
            const uint64_t child = m_root + (target & ~IMAGE_RESOURCE_DATA_IS_DIRECTORY);
            if (level < kLevels ? !isDirectory || !Directory(child, level + 1)
                                : isDirectory || !Data(child))
                return false;
        }
        return true;
    }

    const BYTE* m_view;
    uint64_t m_nExtent;
    bool m_bFlat;
    uint64_t m_sections = 0;
    WORD m_nSectionCount = 0;
    uint64_t m_root = 0;
    size_t m_nVisited = 0;
};

}  // namespace

bool CModuleResources::Check(HMODULE module, uint64_t fileSize)
{
    Reset();
    if (!module)
        module = GetModuleHandleW(nullptr);
    // The low bits of a handle tell how the module is mapped: bit 0 a data
    // file (the file's bytes as they are), otherwise an image.
    const auto bits = reinterpret_cast<ULONG_PTR>(module);
    const bool flat = (bits & 1) != 0;
    const BYTE* view = reinterpret_cast<const BYTE*>(bits & ~ULONG_PTR{3});
    if (!view)
        return false;
    size_t extent = ReadableExtent(view);
    if (flat && fileSize < extent)
        extent = static_cast<size_t>(fileSize);
    if (!CModuleWalk(view, extent, flat).Run())
        return false;
    m_hModule = module;
    m_view = view;
    m_nExtent = extent;
    return true;
}

bool CModuleResources::Contains(const void* data, size_t size) const
{
    const BYTE* p = static_cast<const BYTE*>(data);
    if (p < m_view)
        return false;
    const size_t offset = static_cast<size_t>(p - m_view);
    return offset <= m_nExtent && size <= m_nExtent - offset;
}

const void* CModuleResources::Find(const wchar_t* type, const wchar_t* name, WORD language,
                                   DWORD* size) const
{
    if (!m_hModule || !type || !name)
        return nullptr;
    // The whole directory was checked, so the lookup only follows checked
    // entries; what it returns is checked again before anything reads it.
    HRSRC found = FindResourceExW(m_hModule, type, name, language);
    if (!found || !Contains(found, sizeof(IMAGE_RESOURCE_DATA_ENTRY)))
        return nullptr;
    DWORD bytes = SizeofResource(m_hModule, found);
    HGLOBAL loaded = LoadResource(m_hModule, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !Contains(data, bytes))
        return nullptr;
    if (size)
        *size = bytes;
    return data;
}

HANDLE CModuleResources::LoadBitmapImage(HMODULE module, const wchar_t* name, UINT flags)
{
    if (!name)
        return nullptr;
    flags &= ~static_cast<UINT>(LR_LOADFROMFILE);
    if (module) {
        // LoadImageW finds the bitmap as FindResourceW does: neutral language.
        DWORD size = 0;
        const void* data = CModuleResources(module).Find(
            RT_BITMAP, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size);
        if (!data || !CResourceReader::IsSoundPackedBitmap(data, size))
            return nullptr;
    }
    return LoadImageW(module, name, IMAGE_BITMAP, 0, 0, flags);
}

}  // namespace Resource
