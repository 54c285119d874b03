#pragma once
// A file read through a read-only mapping: the file, the mapping and the
// view live and go together. An empty file opens with no view (it cannot be
// mapped, but is a valid empty file).
#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace Base {

class CMappedFile {
public:
    // maxSize: files larger than this are refused.
    explicit CMappedFile(const wchar_t* path, ULONGLONG maxSize = SIZE_MAX)
    {
        if (!path)
            return;
        m_hFile = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size;
        if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &size) || size.QuadPart < 0 ||
            static_cast<ULONGLONG>(size.QuadPart) > maxSize || static_cast<ULONGLONG>(size.QuadPart) > SIZE_MAX)
            return;
        if (size.QuadPart == 0) {
            m_bOk = true;
            return;
        }
        m_hMapping = ::CreateFileMappingW(m_hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
        m_view = m_hMapping ? ::MapViewOfFile(m_hMapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        m_nSize = static_cast<size_t>(size.QuadPart);
        m_bOk = m_view != nullptr;
    }
    ~CMappedFile()
    {
        if (m_view)
            ::UnmapViewOfFile(m_view);
        if (m_hMapping)
            ::CloseHandle(m_hMapping);
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
    }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // Opened, and mapped unless empty.
    bool Ok() const { return m_bOk; }
    const BYTE* Data() const { return static_cast<const BYTE*>(m_view); }
    size_t Size() const { return m_bOk ? m_nSize : 0; }

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    HANDLE m_hMapping = nullptr;
    const void* m_view = nullptr;
    size_t m_nSize = 0;
    bool m_bOk = false;
};

}  // namespace Base
