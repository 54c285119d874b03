#include "Tamberkit.h"
#include <zlib.h>
#include <cstdlib>
#include <cstring>

namespace {

class CBytes {
public:
    ~CBytes() { free(m_data); }
    void Add(const void* data, size_t count)
    {
        if (m_failed || !count)
            return;
        if (m_size + count > m_capacity) {
            size_t capacity = (m_size + count) * 2;
            BYTE* grown = static_cast<BYTE*>(realloc(m_data, capacity));
            if (!grown) {
                m_failed = true;
                return;
            }
            m_data = grown;
            m_capacity = capacity;
        }
        memcpy(m_data + m_size, data, count);
        m_size += count;
    }
    template <class T>
    void Value(T value) { Add(&value, sizeof value); }
    // The archive string encoding, shortest prefix; UTF-16 when wide.
    void String(const char* text, bool wide)
    {
        if (!text)
            text = "";
        if (!wide) {
            Length(static_cast<UINT>(strlen(text)));
            Add(text, strlen(text));
            return;
        }
        int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) - 1;
        if (count < 0)
            count = 0;
        wchar_t* buffer = static_cast<wchar_t*>(malloc((count + 1) * sizeof(wchar_t)));
        if (!buffer) {
            m_failed = true;
            return;
        }
        MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, count + 1);
        Value<BYTE>(0xFF);
        Value<WORD>(0xFFFE);
        Length(static_cast<UINT>(count));
        Add(buffer, count * sizeof(wchar_t));
        free(buffer);
    }
    BYTE* Detach(UINT* size)
    {
        if (m_failed || m_size > 0xFFFFFFFFu)
            return nullptr;
        BYTE* data = m_data;
        m_data = nullptr;
        *size = static_cast<UINT>(m_size);
        return data;
    }

private:
    void Length(UINT length)
    {
        if (length < 0xFF) {
            Value<BYTE>(static_cast<BYTE>(length));
        } else if (length < 0xFFFE) {
            Value<BYTE>(0xFF);
            Value<WORD>(static_cast<WORD>(length));
        } else {
            Value<BYTE>(0xFF);
            Value<WORD>(0xFFFF);
            Value<DWORD>(length);
        }
    }

    BYTE* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_failed = false;
};

}  // namespace

namespace Tamberkit {

BYTE* MakeDesignFile(const DesignHeader& header, const BYTE* body, UINT bodySize, UINT* size)
{
    *size = 0;
    CBytes file;
    file.Value<short>(header.version);
    if (header.version > 1000)
        file.Value<int>(header.compressed ? 1 : 0);
    if (header.templateName)
        file.String(header.templateName, header.wideStrings);
    if (header.version < 1000)
        return file.Detach(size);
    file.String(header.title, header.wideStrings);
    file.String(header.author, header.wideStrings);
    if (header.version > 1001)
        file.Value<UINT>(header.storedLength != ~0u ? header.storedLength : bodySize);
    // A version-1000 file is never compressed: its reader skips the flag.
    if (header.compressed && header.version > 1000) {
        uLongf packedSize = compressBound(bodySize);
        BYTE* packed = static_cast<BYTE*>(malloc(packedSize));
        if (!packed || compress2(packed, &packedSize, body, bodySize, Z_BEST_COMPRESSION) != Z_OK) {
            free(packed);
            return nullptr;
        }
        file.Add(packed, packedSize);
        free(packed);
    } else {
        file.Add(body, bodySize);
    }
    return file.Detach(size);
}

bool WriteDesignFile(const char* path, const DesignHeader& header, const Block& block)
{
    UINT bodySize = 0;
    BYTE* body = StoreBlock(block, &bodySize);
    if (!body)
        return false;
    UINT size = 0;
    BYTE* bytes = MakeDesignFile(header, body, bodySize, &size);
    FreeBytes(body);
    if (!bytes)
        return false;
    bool ok = false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
        CloseHandle(file);
    }
    FreeBytes(bytes);
    return ok;
}

}  // namespace Tamberkit
