#include "Archive.h"
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr int kMinBuffer = 128;
// A string is read in pieces of this size, so a length prefix larger than
// the data left raises end-of-file before anything large is allocated.
constexpr UINT kStringChunk = 64 * 1024;
}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* buffer)
    : m_pFile(file), m_nMode(mode)
{
    if (bufferSize < kMinBuffer)
        bufferSize = kMinBuffer;
    m_nBufSize = static_cast<UINT>(bufferSize);
    m_bUserBuf = buffer != nullptr;
    m_lpBufStart = static_cast<BYTE*>(buffer ? buffer : malloc(m_nBufSize));
    if (!m_lpBufStart)
        throw std::bad_alloc();
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive()
{
    if (m_pFile && IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Flush();
        } catch (...) {
            Pardo::ReportCurrentException("archive flush on destruction");
        }
    }
    if (!m_bUserBuf)
        free(m_lpBufStart);
}

bool CArchive::FillBuffer()
{
    // Keep unread bytes, then top up from the file.
    size_t left = m_lpBufMax - m_lpBufCur;
    if (left && m_lpBufCur != m_lpBufStart)
        memmove(m_lpBufStart, m_lpBufCur, left);
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + left;
    UINT room = m_nBufSize - static_cast<UINT>(left);
    UINT got = room ? m_pFile->Read(m_lpBufMax, room) : 0;
    m_lpBufMax += got;
    return got != 0;
}

UINT CArchive::Read(void* buffer, UINT count)
{
    if (!IsLoading())
        Pardo::ThrowArchiveException(CArchiveException::writeOnly, m_pFile ? m_pFile->GetFilePath().GetString() : nullptr);
    BYTE* out = static_cast<BYTE*>(buffer);
    UINT total = 0;
    while (total < count) {
        if (m_lpBufCur == m_lpBufMax && !FillBuffer())
            break;
        UINT n = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (n > count - total)
            n = count - total;
        memcpy(out + total, m_lpBufCur, n);
        m_lpBufCur += n;
        total += n;
    }
    return total;
}

void CArchive::ReadExact(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        Pardo::ThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
}

void CArchive::Write(const void* buffer, UINT count)
{
    if (IsLoading())
        Pardo::ThrowArchiveException(CArchiveException::readOnly, m_pFile->GetFilePath());
    const BYTE* in = static_cast<const BYTE*>(buffer);
    while (count) {
        if (m_lpBufCur == m_lpBufMax)
            Flush();
        UINT n = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (n > count)
            n = count;
        memcpy(m_lpBufCur, in, n);
        m_lpBufCur += n;
        in += n;
        count -= n;
    }
}

void CArchive::Flush()
{
    if (IsStoring() && m_pFile && m_lpBufCur != m_lpBufStart) {
        UINT n = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
        m_lpBufCur = m_lpBufStart;
        m_pFile->Write(m_lpBufStart, n);
    }
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    if (IsStoring())
        Flush();
    else if (m_lpBufCur != m_lpBufMax)
        // Leave the file where the reader stopped, not where the buffer did.
        m_pFile->Seek(-(m_lpBufMax - m_lpBufCur), CFile::current);
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
}

#define PARDO_ARCHIVE_READ(Type)                  \
    CArchive& CArchive::operator>>(Type& value)   \
    {                                             \
        ReadExact(&value, sizeof value);          \
        return *this;                             \
    }
PARDO_ARCHIVE_READ(BYTE)
PARDO_ARCHIVE_READ(char)
PARDO_ARCHIVE_READ(WORD)
PARDO_ARCHIVE_READ(short)
PARDO_ARCHIVE_READ(DWORD)
PARDO_ARCHIVE_READ(LONG)
PARDO_ARCHIVE_READ(int)
PARDO_ARCHIVE_READ(UINT)
PARDO_ARCHIVE_READ(LONGLONG)
PARDO_ARCHIVE_READ(ULONGLONG)
PARDO_ARCHIVE_READ(float)
PARDO_ARCHIVE_READ(double)
#undef PARDO_ARCHIVE_READ

UINT CArchive::ReadStringLength(int& charSize)
{
    charSize = 1;
    BYTE byteLength;
    *this >> byteLength;
    if (byteLength < 0xFF)
        return byteLength;
    WORD wordLength;
    *this >> wordLength;
    if (wordLength == 0xFFFE) {
        charSize = 2;
        *this >> byteLength;
        if (byteLength < 0xFF)
            return byteLength;
        *this >> wordLength;
    }
    if (wordLength < 0xFFFF)
        return wordLength;
    DWORD dwordLength;
    *this >> dwordLength;
    return dwordLength;
}

CArchive& CArchive::operator>>(CString& value)
{
    int charSize = 1;
    UINT length = ReadStringLength(charSize);
    if (charSize == 1) {
        CString text;
        UINT done = 0;
        while (done < length) {
            UINT n = length - done < kStringChunk ? length - done : kStringChunk;
            char* buffer = text.GetBuffer(static_cast<int>(done + n));
            ReadExact(buffer + done, n);
            done += n;
            text.ReleaseBuffer(static_cast<int>(done));
        }
        value = static_cast<CString&&>(text);
        return *this;
    }

    // UTF-16 text, converted to the ANSI code page.
    wchar_t* wide = nullptr;
    UINT done = 0;
    try {
        while (done < length) {
            UINT n = length - done < kStringChunk ? length - done : kStringChunk;
            wchar_t* grown = static_cast<wchar_t*>(realloc(wide, (static_cast<size_t>(done) + n) * sizeof(wchar_t)));
            if (!grown)
                throw std::bad_alloc();
            wide = grown;
            ReadExact(wide + done, n * sizeof(wchar_t));
            done += n;
        }
        CString text;
        if (length) {
            int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
            char* buffer = text.GetBuffer(bytes);
            WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), buffer, bytes, nullptr, nullptr);
            text.ReleaseBuffer(bytes);
        }
        free(wide);
        value = static_cast<CString&&>(text);
    } catch (...) {
        free(wide);
        throw;
    }
    return *this;
}

CArchive& CArchive::operator<<(BYTE value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(WORD value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(short value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(DWORD value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(LONG value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(int value) { Write(&value, sizeof value); return *this; }
CArchive& CArchive::operator<<(double value) { Write(&value, sizeof value); return *this; }

CArchive& CArchive::operator<<(const CString& value)
{
    UINT length = static_cast<UINT>(value.GetLength());
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
    }
    Write(value.GetString(), length);
    return *this;
}
