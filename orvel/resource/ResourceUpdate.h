#pragma once
// Writing resources into a module file through the system's resource
// update: string tables, bitmaps, icons, cursors, custom data and the pack's
// time stamp. The tool side of style packs.
#include <windows.h>
#include <map>
#include <string>
#include "../base/Export.h"

namespace Resource {

class ORVEL_API CResourceUpdate {
public:
    // Custom type and identifier of the pack's build time stamp.
    static constexpr WORD kTimeStampType = 256;
    static constexpr WORD kTimeStampId = 1;
    // Updates are committed in batches of this many resources.
    static constexpr DWORD kBatchSize = 32;

    CResourceUpdate();
    // Copies share the open update handle; no destructor ends it, so one
    // copy can finish what another began. Abandon with CancelUpdate.

    // With deleteExisting every resource of the file is dropped at commit
    // and the time stamp (current UTC time) is written at once.
    bool BeginUpdate(const wchar_t* path, bool deleteExisting);
    // False when no update is open or the system refuses the resource.
    bool Update(WORD language, const wchar_t* type, const wchar_t* name, const void* data,
                DWORD size);
    // A bitmap file (.bmp) stored without its 14-byte file header.
    bool UpdateBitmapFromFile(WORD language, const wchar_t* name, const wchar_t* file);
    bool UpdateCustomFromFile(WORD language, const wchar_t* type, const wchar_t* name,
                              const wchar_t* file);
    // The [Strings] section of a UTF-16 INI file: label = identifier.
    bool UpdateStringTableFromFile(WORD language, const wchar_t* file);
    // Writes the string-table blocks holding these strings (identifiers up
    // to 0xFFFF); the other entries of those blocks are empty.
    bool UpdateStringTable(WORD language, const std::map<UINT, std::wstring>& strings);
    bool UpdateIconFromFile(WORD language, const wchar_t* name, const wchar_t* file);
    bool UpdateCursorFromFile(WORD language, const wchar_t* name, const wchar_t* file);
    // Commits the open update, if any.
    bool EndUpdate();
    // Drops the open update, if any, leaving the file as it was at the last
    // commit.
    void CancelUpdate();

    const std::wstring& GetPath() const { return m_strPath; }
    DWORD GetPendingCount() const { return m_nPending; }

protected:
    // bytes: a whole .ico or .cur file. Images go under the next free
    // identifiers, then the group under name.
    bool UpdateIcon(WORD language, const wchar_t* name, const BYTE* bytes, DWORD size);
    bool UpdateCursor(WORD language, const wchar_t* name, const BYTE* bytes, DWORD size);

private:
    bool UpdateGroup(WORD language, const wchar_t* name, const BYTE* bytes, DWORD size,
                     bool icon);

    std::wstring m_strPath;
    DWORD m_nPending = 0;
    HANDLE m_hUpdate = nullptr;
    WORD m_nNextIconId = 1;
    WORD m_nNextCursorId = 1;
};

}  // namespace Resource
