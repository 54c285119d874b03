#pragma once
// Pardo's own application framework: ANSI string.
#include <windows.h>
#include "pardo/PardoExport.h"

// A counted ANSI string in the process's code page. Every member lives in
// Pardo.dll so that host and library never free each other's buffers.
class PARDO_API CString {
public:
    CString();
    CString(const char* text);
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    operator const char*() const { return m_data ? m_data : ""; }
    const char* GetString() const { return m_data ? m_data : ""; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    void Empty();
    char GetAt(int index) const;
    void SetAt(int index, char ch);

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // Lower/upper-casing by the C run-time of the current locale, aware of
    // double-byte characters of the multibyte code page.
    CString& MakeLower();
    CString& MakeUpper();

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;

    // Direct access: room for minLength characters plus the terminator.
    char* GetBuffer(int minLength);
    // Length = newLength, or up to the first terminator when -1.
    void ReleaseBuffer(int newLength = -1);

    // Loads a string from the current resource module (Pardo's, unless
    // a caller switched it); false when the resource is missing.
#pragma push_macro("LoadString")
#undef LoadString
    bool LoadString(UINT id);
    bool LoadStringA(UINT id) { return LoadString(id); }
    bool LoadStringW(UINT id) { return LoadString(id); }
#pragma pop_macro("LoadString")

    void Format(const char* format, ...);

private:
    void Assign(const char* text, int length);
    void Reserve(int capacity);

    char* m_data = nullptr;
    int m_length = 0;
    int m_capacity = 0;
};

PARDO_API CString operator+(const CString& a, const CString& b);
PARDO_API CString operator+(const CString& a, const char* b);
PARDO_API CString operator+(const char* a, const CString& b);
PARDO_API bool operator==(const CString& a, const char* b);
PARDO_API bool operator==(const CString& a, const CString& b);
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
