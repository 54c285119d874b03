#include "ResourceUpdate.h"

#include <cstring>
#include <vector>
#include "../base/MappedFile.h"
#include "IniReader.h"

namespace Resource {

namespace {

// The file's bytes through a read-only mapping; false if it cannot be
// opened or mapped (an empty file cannot be mapped either).
bool ReadMappedFile(const wchar_t* path, std::vector<BYTE>& bytes)
{
    bytes.clear();
    Base::CMappedFile file(path, 0x3FFFFFFF);
    if (!file.Ok() || file.Size() == 0)
        return false;
    bytes.assign(file.Data(), file.Data() + file.Size());
    return true;
}

#pragma pack(push, 1)
// Header of .ico / .cur files and of group resources.
struct SGroupHeader {
    WORD reserved;
    WORD type;  // 1 icon, 2 cursor
    WORD count;
};
// One image of an .ico or .cur file (for cursors planes and bit count
// hold the hot spot).
struct SFileEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    DWORD offset;
};
// One image of a group resource.
struct SGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct SCursorGroupEntry {
    WORD width;
    WORD height;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(SGroupHeader) == 6 && sizeof(SFileEntry) == 16 &&
              sizeof(SGroupEntry) == 14 && sizeof(SCursorGroupEntry) == 14);

}  // namespace

CResourceUpdate::CResourceUpdate() = default;

bool CResourceUpdate::BeginUpdate(const wchar_t* path, bool deleteExisting)
{
    if (m_hUpdate)
        EndUpdate();
    m_strPath = path ? path : L"";
    m_nPending = 0;
    m_hUpdate = path ? BeginUpdateResourceW(path, deleteExisting) : nullptr;
    if (!m_hUpdate)
        return false;
    if (deleteExisting) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        Update(0, MAKEINTRESOURCEW(kTimeStampType), MAKEINTRESOURCEW(kTimeStampId), &now,
               sizeof now);
    }
    return true;
}

bool CResourceUpdate::Update(WORD language, const wchar_t* type, const wchar_t* name,
                             const void* data, DWORD size)
{
    if (!m_hUpdate || !type || !name || !data)
        return false;
    if (m_nPending >= kBatchSize) {
        BOOL committed = EndUpdateResourceW(m_hUpdate, FALSE);
        m_hUpdate = committed ? BeginUpdateResourceW(m_strPath.c_str(), FALSE) : nullptr;
        m_nPending = 0;
        if (!m_hUpdate)
            return false;
    }
    // A size of 0 would delete the resource instead of writing it.
    if (size == 0)
        return false;
    BOOL ok = UpdateResourceW(m_hUpdate, type, name, language, const_cast<void*>(data), size);
    ++m_nPending;
    return ok != FALSE;
}

bool CResourceUpdate::EndUpdate()
{
    if (!m_hUpdate)
        return false;
    BOOL ok = EndUpdateResourceW(m_hUpdate, FALSE);
    m_hUpdate = nullptr;
    m_nPending = 0;
    return ok != FALSE;
}

void CResourceUpdate::CancelUpdate()
{
    if (m_hUpdate)
        EndUpdateResourceW(m_hUpdate, TRUE);
    m_hUpdate = nullptr;
    m_nPending = 0;
}

bool CResourceUpdate::UpdateBitmapFromFile(WORD language, const wchar_t* name,
                                           const wchar_t* file)
{
    std::vector<BYTE> bytes;
    if (!ReadMappedFile(file, bytes))
        return false;
    constexpr size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    // Anything else would be stored as a bitmap no reader can use.
    if (bytes.size() <= kFileHeader + sizeof(DWORD) || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    return Update(language, RT_BITMAP, name, bytes.data() + kFileHeader,
                  static_cast<DWORD>(bytes.size() - kFileHeader));
}

bool CResourceUpdate::UpdateCustomFromFile(WORD language, const wchar_t* type,
                                           const wchar_t* name, const wchar_t* file)
{
    std::vector<BYTE> bytes;
    if (!ReadMappedFile(file, bytes))
        return false;
    return Update(language, type, name, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool CResourceUpdate::UpdateStringTableFromFile(WORD language, const wchar_t* file)
{
    CIniReader ini;
    if (!ini.LoadFromFile(file))
        return false;
    std::map<UINT, std::wstring> strings;
    for (POSITION pos = ini.GetFirstLinePosition(L"Strings"); pos;) {
        const CLine* line = ini.GetNextLine(pos);
        int id = ParseInt(line->GetLabel().c_str());
        // Identifiers outside the 16-bit range name no string-table entry.
        if (id >= 0 && id <= 0xFFFF)
            strings.emplace(static_cast<UINT>(id), line->GetContent());  // first line wins
    }
    return UpdateStringTable(language, strings);
}

bool CResourceUpdate::UpdateStringTable(WORD language,
                                        const std::map<UINT, std::wstring>& strings)
{
    bool ok = true;
    UINT openBlock = 0;  // block name; 0 = none open
    std::vector<WORD> block;
    UINT filled = 0;     // entries of the open block written so far
    auto completeAndWrite = [&] {
        for (; filled < 16; ++filled)
            block.push_back(0);
        ok = Update(language, RT_STRING, MAKEINTRESOURCEW(openBlock), block.data(),
                    static_cast<DWORD>(block.size() * sizeof(WORD))) && ok;
    };
    for (const auto& [id, text] : strings) {
        if (id > 0xFFFF || text.size() > 0xFFFF) {
            ok = false;
            continue;
        }
        UINT name = id / 16 + 1;
        if (name != openBlock) {
            if (openBlock)
                completeAndWrite();
            openBlock = name;
            block.clear();
            filled = 0;
        }
        for (; filled < id % 16; ++filled)
            block.push_back(0);
        block.push_back(static_cast<WORD>(text.size()));
        block.insert(block.end(), text.begin(), text.end());
        ++filled;
    }
    if (openBlock)
        completeAndWrite();
    return ok;
}

bool CResourceUpdate::UpdateIconFromFile(WORD language, const wchar_t* name, const wchar_t* file)
{
    std::vector<BYTE> bytes;
    return ReadMappedFile(file, bytes) &&
           UpdateIcon(language, name, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool CResourceUpdate::UpdateCursorFromFile(WORD language, const wchar_t* name,
                                           const wchar_t* file)
{
    std::vector<BYTE> bytes;
    return ReadMappedFile(file, bytes) &&
           UpdateCursor(language, name, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool CResourceUpdate::UpdateIcon(WORD language, const wchar_t* name, const BYTE* bytes,
                                 DWORD size)
{
    return UpdateGroup(language, name, bytes, size, true);
}

bool CResourceUpdate::UpdateCursor(WORD language, const wchar_t* name, const BYTE* bytes,
                                   DWORD size)
{
    return UpdateGroup(language, name, bytes, size, false);
}

bool CResourceUpdate::UpdateGroup(WORD language, const wchar_t* name, const BYTE* bytes,
                                  DWORD size, bool icon)
{
    // The whole directory is checked before anything is written, so a bad
    // file leaves no half-written group behind.
    SGroupHeader header;
    if (!bytes || size < sizeof header)
        return false;
    memcpy(&header, bytes, sizeof header);
    if (header.type != (icon ? 1 : 2) || header.count == 0 ||
        sizeof header + size_t{header.count} * sizeof(SFileEntry) > size)
        return false;
    std::vector<SFileEntry> entries(header.count);
    memcpy(entries.data(), bytes + sizeof header, entries.size() * sizeof(SFileEntry));
    for (const SFileEntry& entry : entries) {
        if (entry.bytes == 0 || entry.offset > size || entry.bytes > size - entry.offset)
            return false;
    }

    std::vector<BYTE> group(sizeof header + entries.size() * sizeof(SGroupEntry));
    SGroupHeader groupHeader = {header.reserved, static_cast<WORD>(icon ? 1 : 2), header.count};
    memcpy(group.data(), &groupHeader, sizeof groupHeader);
    BYTE* out = group.data() + sizeof groupHeader;
    bool ok = true;
    for (const SFileEntry& entry : entries) {
        const BYTE* image = bytes + entry.offset;
        if (icon) {
            WORD id = m_nNextIconId++;
            ok = Update(language, RT_ICON, MAKEINTRESOURCEW(id), image, entry.bytes) && ok;
            SGroupEntry g = {entry.width,  entry.height,   entry.colorCount, entry.reserved,
                             entry.planes, entry.bitCount, entry.bytes,      id};
            memcpy(out, &g, sizeof g);
        } else {
            WORD id = m_nNextCursorId++;
            // The cursor resource carries its hot spot in front of the image.
            std::vector<BYTE> cursor(4 + size_t{entry.bytes});
            WORD hotSpot[2] = {entry.planes, entry.bitCount};
            memcpy(cursor.data(), hotSpot, sizeof hotSpot);
            memcpy(cursor.data() + 4, image, entry.bytes);
            ok = Update(language, RT_CURSOR, MAKEINTRESOURCEW(id), cursor.data(),
                        static_cast<DWORD>(cursor.size())) && ok;
            SCursorGroupEntry g = {entry.width, static_cast<WORD>(entry.height * 2), 1, 1,
                                   entry.bytes, id};
            memcpy(out, &g, sizeof g);
        }
        out += sizeof(SGroupEntry);
    }
    ok = Update(language, icon ? RT_GROUP_ICON : RT_GROUP_CURSOR, name, group.data(),
                static_cast<DWORD>(group.size())) && ok;
    return ok;
}

}  // namespace Resource
