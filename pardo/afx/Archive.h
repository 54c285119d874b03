#pragma once
// Pardo's own application framework: buffered binary archive over a file.
#include "pardo/afx/Files.h"

// Little-endian binary stream. Strings use the archive string encoding: a
// one-byte length; 0xFF announces a two-byte length; a two-byte 0xFFFE
// marks UTF-16 text and the length prefix starts again; a two-byte 0xFFFF
// announces a four-byte length. Reading fewer bytes than a value needs
// raises CArchiveException::endOfFile.
class PARDO_API CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return (m_nMode & load) != 0; }
    bool IsStoring() const { return !IsLoading(); }
    CFile* GetFile() const { return m_pFile; }

    // Reads up to count bytes; returns how many there were (no exception at
    // the end of the file).
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // Writes out buffered bytes of a storing archive.
    void Flush();
    // Flushes (storing) and detaches from the file, which stays open.
    void Close();
    void Abort();

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(char& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(short& value);
    CArchive& operator>>(DWORD& value);
    CArchive& operator>>(LONG& value);
    CArchive& operator>>(int& value);
    CArchive& operator>>(UINT& value);
    CArchive& operator>>(LONGLONG& value);
    CArchive& operator>>(ULONGLONG& value);
    CArchive& operator>>(float& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(CString& value);

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(short value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(LONG value);
    CArchive& operator<<(int value);
    CArchive& operator<<(double value);
    // Written as one-byte characters with the shortest length prefix.
    CArchive& operator<<(const CString& value);

    // Reads the length prefix of an archive string; charSize receives 1 or 2.
    UINT ReadStringLength(int& charSize);

    // The document the archive belongs to; null unless the owner sets it.
    void* m_pDocument = nullptr;

private:
    void ReadExact(void* buffer, UINT count);
    bool FillBuffer();

    CFile* m_pFile;
    UINT m_nMode;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    UINT m_nBufSize;
    bool m_bUserBuf;
};
