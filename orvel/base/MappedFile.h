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
        m_file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size;
        if (m_file == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_file, &size) || size.QuadPart < 0 ||
            static_cast<ULONGLONG>(size.QuadPart) > maxSize || static_cast<ULONGLONG>(size.QuadPart) > SIZE_MAX)
            return;
        if (size.QuadPart == 0) {
            m_ok = true;
            return;
        }
        m_mapping = ::CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        m_view = m_mapping ? ::MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        m_size = static_cast<size_t>(size.QuadPart);
        m_ok = m_view != nullptr;
    }
    ~CMappedFile()
    {
        if (m_view)
            ::UnmapViewOfFile(m_view);
        if (m_mapping)
            ::CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_file);
    }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // Opened, and mapped unless empty.
    bool Ok() const { return m_ok; }
    const BYTE* Data() const { return static_cast<const BYTE*>(m_view); }
    size_t Size() const { return m_ok ? m_size : 0; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const void* m_view = nullptr;
    size_t m_size = 0;
    bool m_ok = false;
};

}  // namespace Base
