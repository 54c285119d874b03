#include "Tamberkit.h"
#include <cstdlib>
#include <cstring>

namespace {

// Payloads are read in pieces of this size, so a length larger than the
// data left ends the read before anything large is allocated.
constexpr UINT kChunk = 64 * 1024;
// Nothing in a block is larger than this.
constexpr UINT kMaxPiece = 256u * 1024 * 1024;
constexpr WORD kFormat = 1;

void ReadExact(Tamberkit::IReader& in, void* buffer, UINT count)
{
    if (in.Read(buffer, count) != count)
        in.Fail(true);
}

template <class T>
T ReadValue(Tamberkit::IReader& in)
{
    T value;
    ReadExact(in, &value, sizeof value);
    return value;
}

void ExpectTag(Tamberkit::IReader& in, const char* tag)
{
    char got[4];
    ReadExact(in, got, 4);
    if (memcmp(got, tag, 4) != 0)
        in.Fail(false);
}

// length bytes, read piecewise; the caller frees the result with free().
BYTE* ReadPiece(Tamberkit::IReader& in, UINT length)
{
    if (length > kMaxPiece)
        in.Fail(false);
    BYTE* data = static_cast<BYTE*>(malloc(length ? (length < kChunk ? length : kChunk) : 1));
    if (!data)
        in.Fail(false);
    UINT done = 0;
    while (done < length) {
        UINT n = length - done < kChunk ? length - done : kChunk;
        BYTE* grown = static_cast<BYTE*>(realloc(data, done + n));
        if (!grown) {
            free(data);
            in.Fail(false);
        }
        data = grown;
        if (in.Read(data + done, n) != n) {
            free(data);
            in.Fail(true);
        }
        done += n;
    }
    return data;
}

// Reads from a payload held in memory.
class CMemoryReader final : public Tamberkit::IReader {
public:
    CMemoryReader(const BYTE* data, UINT size) : m_data(data), m_size(size) {}
    UINT Read(void* buffer, UINT count) override
    {
        UINT n = count < m_size - m_pos ? count : m_size - m_pos;
        memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return n;
    }
    [[noreturn]] void Fail(bool) override { throw Failure(); }
    UINT Left() const { return m_size - m_pos; }
    struct Failure {};

private:
    const BYTE* m_data;
    UINT m_size;
    UINT m_pos = 0;
};

}  // namespace

// ---------------------------------------------------------------- objects

ISerializeObject::~ISerializeObject() = default;

CJpeg::CJpeg() = default;
CJpeg::~CJpeg() = default;

bool CJpeg::LoadObject(Tamberkit::IReader& in, UINT length)
{
    if (length < 4)
        return false;
    UINT size = ReadValue<UINT>(in);
    if (size != length - 4)
        return false;
    BYTE* data = ReadPiece(in, size);
    bool ok = SetEncodedData(data, size) && IsValidFormat();
    free(data);
    return ok;
}

void CJpeg::StoreObject(Tamberkit::IWriter& out) const
{
    UINT size = GetEncodedSize();
    out.Write(&size, sizeof size);
    if (size)
        out.Write(GetEncodedData(), size);
}

// ------------------------------------------------------------- dictionary

Dictionnary::Dictionnary() = default;

Dictionnary::~Dictionnary()
{
    RemoveAll();
}

void Dictionnary::RemoveAll()
{
    for (int i = 0; i < m_nCount; ++i)
        free(m_pNames[i]);
    free(m_pNames);
    m_pNames = nullptr;
    m_nCount = m_nCapacity = 0;
}

const char* Dictionnary::GetName(int index) const
{
    return index >= 0 && index < m_nCount ? m_pNames[index] : nullptr;
}

int Dictionnary::Find(const char* name) const
{
    if (!name)
        return -1;
    for (int i = 0; i < m_nCount; ++i)
        if (strcmp(m_pNames[i], name) == 0)
            return i;
    return -1;
}

int Dictionnary::Add(const char* name)
{
    int found = Find(name);
    if (found >= 0)
        return found;
    size_t length = name ? strlen(name) : 0;
    if (length == 0 || length > 255 || m_nCount >= 0xFFFF)
        return -1;
    if (m_nCount == m_nCapacity) {
        int capacity = m_nCapacity ? m_nCapacity * 2 : 8;
        char** grown = static_cast<char**>(realloc(m_pNames, capacity * sizeof(char*)));
        if (!grown)
            return -1;
        m_pNames = grown;
        m_nCapacity = capacity;
    }
    char* copy = static_cast<char*>(malloc(length + 1));
    if (!copy)
        return -1;
    memcpy(copy, name, length + 1);
    m_pNames[m_nCount] = copy;
    return m_nCount++;
}

void Dictionnary::Load(Tamberkit::IReader& in)
{
    RemoveAll();
    ExpectTag(in, "TKDI");
    WORD count = ReadValue<WORD>(in);
    for (WORD i = 0; i < count; ++i) {
        BYTE length = ReadValue<BYTE>(in);
        char name[256];
        ReadExact(in, name, length);
        name[length] = 0;
        // Options refer to names by index, so a name must be unique.
        if (length == 0 || Find(name) >= 0)
            in.Fail(false);
        if (Add(name) < 0)
            in.Fail(false);
    }
}

void Dictionnary::Store(Tamberkit::IWriter& out) const
{
    out.Write("TKDI", 4);
    WORD count = static_cast<WORD>(m_nCount);
    out.Write(&count, sizeof count);
    for (int i = 0; i < m_nCount; ++i) {
        BYTE length = static_cast<BYTE>(strlen(m_pNames[i]));
        out.Write(&length, 1);
        out.Write(m_pNames[i], length);
    }
}

// ------------------------------------------------------------------ block

Block::Block() = default;

Block::~Block()
{
    FreeData();
}

void Block::FreeData()
{
    for (int i = 0; i < m_nOptions; ++i)
        free(m_pOptions[i].payload);
    free(m_pOptions);
    m_pOptions = nullptr;
    m_nOptions = 0;
    free(m_pFixed);
    m_pFixed = nullptr;
    m_nFixed = 0;
    m_dictionary.RemoveAll();
}

bool Block::AddOption(WORD nameIndex, BYTE* payload, UINT length)
{
    Option* grown = static_cast<Option*>(realloc(m_pOptions, (m_nOptions + 1) * sizeof(Option)));
    if (!grown)
        return false;
    m_pOptions = grown;
    m_pOptions[m_nOptions++] = {nameIndex, payload, length};
    return true;
}

void Block::ReadFixedData(Tamberkit::IReader& in)
{
    // Whatever an earlier read left goes, but not the dictionary, which
    // was read just before.
    for (int i = 0; i < m_nOptions; ++i)
        free(m_pOptions[i].payload);
    m_nOptions = 0;
    free(m_pFixed);
    m_pFixed = nullptr;
    m_nFixed = 0;

    ExpectTag(in, "TKFX");
    if (ReadValue<WORD>(in) != kFormat)
        in.Fail(false);
    UINT length = ReadValue<UINT>(in);
    m_pFixed = ReadPiece(in, length);
    m_nFixed = length;
    WORD count = ReadValue<WORD>(in);
    for (WORD i = 0; i < count; ++i) {
        WORD nameIndex = ReadValue<WORD>(in);
        if (nameIndex >= m_dictionary.GetCount())
            in.Fail(false);
        UINT size = ReadValue<UINT>(in);
        BYTE* payload = ReadPiece(in, size);
        if (!AddOption(nameIndex, payload, size)) {
            free(payload);
            in.Fail(false);
        }
    }
}

int Block::GetBlockOption(const char* name, ISerializeObject*& object)
{
    if (!object)
        return 0;
    int index = m_dictionary.Find(name);
    for (int i = 0; index >= 0 && i < m_nOptions; ++i) {
        if (m_pOptions[i].nameIndex != index)
            continue;
        CMemoryReader reader(m_pOptions[i].payload, m_pOptions[i].length);
        try {
            BYTE classLength = ReadValue<BYTE>(reader);
            char className[256];
            ReadExact(reader, className, classLength);
            className[classLength] = 0;
            WORD schema = ReadValue<WORD>(reader);
            if (strcmp(className, object->GetSerializeClassName()) == 0 && schema == object->GetSchema() &&
                object->LoadObject(reader, reader.Left()))
                return 1;
        } catch (const CMemoryReader::Failure&) {
        }
        if (!m_bSilent)
            OutputDebugStringA("Tamberkit: damaged block option\n");
        break;
    }
    delete object;
    object = nullptr;
    return 0;
}

bool Block::SetFixedData(const BYTE* data, UINT size)
{
    BYTE* copy = static_cast<BYTE*>(malloc(size ? size : 1));
    if (!copy)
        return false;
    if (size)
        memcpy(copy, data, size);
    free(m_pFixed);
    m_pFixed = copy;
    m_nFixed = size;
    return true;
}

namespace {
// Collects what an object writes.
class CGrowingWriter final : public Tamberkit::IWriter {
public:
    ~CGrowingWriter() { free(m_data); }
    void Write(const void* buffer, UINT count) override
    {
        if (m_failed || !count)
            return;
        if (m_size + count > m_capacity) {
            UINT capacity = (m_size + count) * 2;
            BYTE* grown = static_cast<BYTE*>(realloc(m_data, capacity));
            if (!grown) {
                m_failed = true;
                return;
            }
            m_data = grown;
            m_capacity = capacity;
        }
        memcpy(m_data + m_size, buffer, count);
        m_size += count;
    }
    BYTE* Detach(UINT* size)
    {
        BYTE* data = m_failed ? nullptr : m_data;
        if (!m_failed)
            m_data = nullptr;
        *size = m_size;
        return data;
    }
    bool m_failed = false;

private:
    BYTE* m_data = nullptr;
    UINT m_size = 0;
    UINT m_capacity = 0;
};
}  // namespace

bool Block::SetBlockOption(const char* name, const ISerializeObject& object)
{
    int index = m_dictionary.Add(name);
    if (index < 0)
        return false;
    CGrowingWriter writer;
    const char* className = object.GetSerializeClassName();
    BYTE classLength = static_cast<BYTE>(strlen(className));
    WORD schema = object.GetSchema();
    writer.Write(&classLength, 1);
    writer.Write(className, classLength);
    writer.Write(&schema, sizeof schema);
    object.StoreObject(writer);
    UINT size = 0;
    BYTE* payload = writer.Detach(&size);
    if (!payload)
        return false;
    for (int i = 0; i < m_nOptions; ++i) {
        if (m_pOptions[i].nameIndex == index) {
            free(m_pOptions[i].payload);
            m_pOptions[i].payload = payload;
            m_pOptions[i].length = size;
            return true;
        }
    }
    if (!AddOption(static_cast<WORD>(index), payload, size)) {
        free(payload);
        return false;
    }
    return true;
}

void Block::Store(Tamberkit::IWriter& out) const
{
    m_dictionary.Store(out);
    out.Write("TKFX", 4);
    WORD format = kFormat;
    out.Write(&format, sizeof format);
    out.Write(&m_nFixed, sizeof m_nFixed);
    if (m_nFixed)
        out.Write(m_pFixed, m_nFixed);
    WORD count = static_cast<WORD>(m_nOptions);
    out.Write(&count, sizeof count);
    for (int i = 0; i < m_nOptions; ++i) {
        out.Write(&m_pOptions[i].nameIndex, sizeof(WORD));
        out.Write(&m_pOptions[i].length, sizeof(UINT));
        out.Write(m_pOptions[i].payload, m_pOptions[i].length);
    }
}

namespace Tamberkit {

BYTE* StoreBlock(const Block& block, UINT* size)
{
    CGrowingWriter writer;
    block.Store(writer);
    return writer.Detach(size);
}

void FreeBytes(BYTE* bytes)
{
    free(bytes);
}

bool MakePreviewBlock(Block& block, const BYTE* jpeg, UINT jpegSize)
{
    static const char kDesign[] = "design: three rooms, one door";
    block.GetDictionnary()->Add("title");
    block.GetDictionnary()->Add("layers");
    CJpeg preview;
    return block.SetFixedData(reinterpret_cast<const BYTE*>(kDesign), sizeof kDesign) &&
           preview.SetEncodedData(jpeg, jpegSize) && block.SetBlockOption("preview", preview);
}

}  // namespace Tamberkit
