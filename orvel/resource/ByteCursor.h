#pragma once
#include <windows.h>
#include <cstring>
#include <string>

namespace Resource {

// Resource bytes come from files anyone can edit: every read goes through
// this cursor, which refuses to step past the end.
class CByteCursor {
public:
    CByteCursor(const void* data, DWORD size)
        : m_pBegin(static_cast<const BYTE*>(data)), m_nSize(data ? size : 0) {}

    size_t Offset() const { return m_nPos; }
    size_t Left() const { return m_nSize - m_nPos; }
    bool AtEnd() const { return m_nPos == m_nSize; }

    bool Skip(size_t count)
    {
        if (count > Left())
            return false;
        m_nPos += count;
        return true;
    }
    bool AlignDword()
    {
        size_t pad = (4 - (m_nPos & 3)) & 3;
        // A template may end right after its last item without padding.
        if (pad > Left()) {
            m_nPos = m_nSize;
            return true;
        }
        m_nPos += pad;
        return true;
    }
    bool Word(WORD& value) { return Bytes(&value, sizeof value); }
    bool Dword(DWORD& value) { return Bytes(&value, sizeof value); }
    bool Bytes(void* out, size_t count)
    {
        if (count > Left())
            return false;
        memcpy(out, m_pBegin + m_nPos, count);
        m_nPos += count;
        return true;
    }
    // Zero-terminated UTF-16 text; the terminator must lie inside the data.
    bool String(std::wstring* text)
    {
        if (text)
            text->clear();
        for (;;) {
            WORD c;
            if (!Word(c))
                return false;
            if (!c)
                return true;
            if (text)
                text->push_back(static_cast<wchar_t>(c));
        }
    }
    // A name that is either 0x0000 (none), 0xFFFF + ordinal, or text.
    bool StringOrOrdinal()
    {
        std::wstring text;
        WORD ordinal;
        return StringOrOrdinal(text, ordinal);
    }
    // The same, keeping what it names: the text, or the ordinal (nonzero
    // only for the ordinal form).
    bool StringOrOrdinal(std::wstring& text, WORD& ordinal)
    {
        text.clear();
        ordinal = 0;
        WORD first;
        if (!Word(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Word(ordinal);
        m_nPos -= sizeof first;
        return String(&text);
    }

private:
    const BYTE* m_pBegin;
    size_t m_nSize;
    size_t m_nPos = 0;
};

}  // namespace Resource
