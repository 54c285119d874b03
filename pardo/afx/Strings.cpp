#include "Strings.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mbstring.h>
#include <new>
#include "pardo/afx/Module.h"

#undef LoadString

CString::CString() = default;

CString::CString(const char* text)
{
    if (text)
        Assign(text, static_cast<int>(strlen(text)));
}

CString::CString(const char* text, int length)
{
    if (text && length > 0)
        Assign(text, length);
}

CString::CString(char ch, int repeat)
{
    if (repeat > 0) {
        Reserve(repeat);
        memset(m_data, ch, repeat);
        m_length = repeat;
        m_data[repeat] = '\0';
    }
}

CString::CString(const CString& other)
{
    if (other.m_length)
        Assign(other.m_data, other.m_length);
}

CString::CString(CString&& other) noexcept
    : m_data(other.m_data), m_length(other.m_length), m_capacity(other.m_capacity)
{
    other.m_data = nullptr;
    other.m_length = other.m_capacity = 0;
}

CString::~CString()
{
    free(m_data);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_data, other.m_length);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        free(m_data);
        m_data = other.m_data;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_data = nullptr;
        other.m_length = other.m_capacity = 0;
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    if (!text) {
        Empty();
        return *this;
    }
    // The text may point into this string's own buffer.
    CString copy(text);
    return *this = static_cast<CString&&>(copy);
}

CString& CString::operator+=(const CString& other)
{
    if (other.m_length) {
        CString copy(other);  // other may be *this
        Reserve(m_length + copy.m_length);
        memcpy(m_data + m_length, copy.m_data, copy.m_length);
        m_length += copy.m_length;
        m_data[m_length] = '\0';
    }
    return *this;
}

CString& CString::operator+=(const char* text)
{
    return *this += CString(text);
}

CString& CString::operator+=(char ch)
{
    Reserve(m_length + 1);
    m_data[m_length++] = ch;
    m_data[m_length] = '\0';
    return *this;
}

void CString::Empty()
{
    m_length = 0;
    if (m_data)
        m_data[0] = '\0';
}

char CString::GetAt(int index) const
{
    return index >= 0 && index < m_length ? m_data[index] : '\0';
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < m_length)
        m_data[index] = ch;
}

int CString::Compare(const char* text) const
{
    return strcmp(GetString(), text ? text : "");
}

int CString::CompareNoCase(const char* text) const
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(GetString()),
                    reinterpret_cast<const unsigned char*>(text ? text : ""));
}

CString& CString::MakeLower()
{
    if (m_length)
        _mbslwr(reinterpret_cast<unsigned char*>(m_data));
    return *this;
}

CString& CString::MakeUpper()
{
    if (m_length)
        _mbsupr(reinterpret_cast<unsigned char*>(m_data));
    return *this;
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(GetString(), count < m_length ? count : m_length);
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count > m_length)
        count = m_length;
    return CString(GetString() + m_length - count, count);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= m_length)
        return CString();
    int rest = m_length - first;
    if (count < 0 || count > rest)
        count = rest;
    return CString(GetString() + first, count);
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= m_length)
        return -1;
    const void* hit = memchr(m_data + start, ch, m_length - start);
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_data) : -1;
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > m_length)
        return -1;
    const char* hit = strstr(GetString() + start, sub);
    return hit ? static_cast<int>(hit - GetString()) : -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_length - 1; i >= 0; --i)
        if (m_data[i] == ch)
            return i;
    return -1;
}

char* CString::GetBuffer(int minLength)
{
    Reserve(minLength > m_length ? minLength : m_length);
    return m_data;
}

void CString::ReleaseBuffer(int newLength)
{
    if (!m_data)
        return;
    if (newLength < 0 || newLength > m_capacity)
        newLength = static_cast<int>(strnlen(m_data, m_capacity));
    m_length = newLength;
    m_data[m_length] = '\0';
}

bool CString::LoadString(UINT id)
{
    // LoadStringA with a null buffer size cannot report the length, so read
    // the UTF-16 entry and convert it.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(Pardo::GetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) {
        Empty();
        return false;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    char* buffer = GetBuffer(bytes);
    WideCharToMultiByte(CP_ACP, 0, text, length, buffer, bytes, nullptr, nullptr);
    ReleaseBuffer(bytes);
    return true;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        Empty();
        return;
    }
    CString result;
    result.Reserve(length);
    vsnprintf(result.m_data, length + 1, format, args);
    va_end(args);
    result.m_length = length;
    *this = static_cast<CString&&>(result);
}

void CString::Assign(const char* text, int length)
{
    if (length <= 0 || !text) {
        Empty();
        return;
    }
    Reserve(length);
    memmove(m_data, text, length);
    m_length = length;
    m_data[length] = '\0';
}

void CString::Reserve(int capacity)
{
    if (capacity <= m_capacity && m_data)
        return;
    int grown = m_capacity + m_capacity / 2;
    if (grown < capacity)
        grown = capacity;
    char* data = static_cast<char*>(realloc(m_data, static_cast<size_t>(grown) + 1));
    if (!data)
        throw std::bad_alloc();
    if (!m_data)
        data[0] = '\0';
    m_data = data;
    m_capacity = grown;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, const char* b)
{
    return a.Compare(b) == 0;
}

bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && memcmp(a.GetString(), b.GetString(), a.GetLength()) == 0;
}
