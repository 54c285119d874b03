#include "Files.h"
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void ThrowLastError(const CString& fileName)
{
    DWORD error = GetLastError();
    Pardo::ThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(error)),
                              static_cast<LONG>(error), fileName);
}

}  // namespace

CFile::CFile() = default;

CFile::CFile(const char* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        Pardo::ThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
}

bool CFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        Close();
    m_strFileName = fileName;

    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE file = CreateFileA(fileName ? fileName : "", access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error) {
            DWORD code = GetLastError();
            error->m_cause = CFileException::OsErrorToException(static_cast<LONG>(code));
            error->m_lOsError = static_cast<LONG>(code);
            error->m_strFileName = fileName;
        }
        return false;
    }
    m_hFile = file;
    return true;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr))
        ThrowLastError(m_strFileName);
    return read;
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        ThrowLastError(m_strFileName);
    if (written != count)
        Pardo::ThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    DWORD method = from == begin ? FILE_BEGIN : from == current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(m_hFile, distance, &position, method))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero, position;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::Close()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    HANDLE file = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file))
        ThrowLastError(m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

CMemFile::CMemFile(UINT growBytes) : m_nGrowBytes(growBytes)
{
}

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) : m_nGrowBytes(growBytes)
{
    Attach(buffer, size, growBytes);
}

CMemFile::~CMemFile()
{
    Close();
}

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes)
{
    Close();
    m_lpBuffer = buffer;
    m_nBufferSize = size;
    m_nFileSize = growBytes ? 0 : size;
    m_nGrowBytes = growBytes;
    m_nPosition = 0;
    m_bAutoDelete = false;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = true;
    return buffer;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_nPosition >= m_nFileSize || count == 0)
        return 0;
    size_t available = m_nFileSize - m_nPosition;
    size_t n = count < available ? count : available;
    memcpy(buffer, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    size_t end = m_nPosition + count;
    if (end > m_nBufferSize)
        Grow(end);
    memcpy(m_lpBuffer + m_nPosition, buffer, count);
    m_nPosition = end;
    if (end > m_nFileSize)
        m_nFileSize = end;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_nPosition)
                                                        : static_cast<LONGLONG>(m_nFileSize);
    LONGLONG target = base + offset;
    if (target < 0)
        Pardo::ThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
    if (static_cast<ULONGLONG>(target) > m_nBufferSize)
        Grow(static_cast<size_t>(target));
    m_nPosition = static_cast<size_t>(target);
    return m_nPosition;
}

void CMemFile::Close()
{
    if (m_bAutoDelete)
        free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = true;
}

void CMemFile::Grow(size_t needed)
{
    if (m_nGrowBytes == 0)
        Pardo::ThrowFileException(CFileException::diskFull, -1, m_strFileName);
    size_t size = m_nBufferSize;
    while (size < needed)
        size += m_nGrowBytes;
    if (m_bAutoDelete) {
        BYTE* grown = static_cast<BYTE*>(realloc(m_lpBuffer, size));
        if (!grown)
            throw std::bad_alloc();
        m_lpBuffer = grown;
    } else {
        // An attached block belongs to the caller: copy, never realloc it.
        BYTE* grown = static_cast<BYTE*>(malloc(size));
        if (!grown)
            throw std::bad_alloc();
        if (m_lpBuffer)
            memcpy(grown, m_lpBuffer, m_nFileSize);
        m_lpBuffer = grown;
        m_bAutoDelete = true;
    }
    m_nBufferSize = size;
}
