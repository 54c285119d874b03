#include "IniReader.h"

#include <cstddef>
#include <cwctype>
#include <mutex>
#include <sstream>
#include "../base/Failure.h"
#include "../base/MappedFile.h"
#include "ModuleResources.h"

namespace Resource {

struct SLinePosition {
    const CSection* section;
    int index;
};

namespace {

bool IsSpace(wchar_t c)
{
    return std::iswspace(c) != 0;
}

std::wstring_view TrimmedView(std::wstring_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring Trimmed(std::wstring_view text)
{
    return std::wstring(TrimmedView(text));
}

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

// Blocks of one size, carved from chunks and reused. The chunks go back to
// the heap once no block is in use (every reader of the process is gone or
// empty), so the pool holds no more than the texts being held.
template <size_t TSize>
class CBlockPool {
public:
    static CBlockPool& GetInstance()
    {
        static CBlockPool* pool = new CBlockPool;  // lives to the end: blocks may be freed at exit
        return *pool;
    }

    void* Allocate()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_pFree) {
            auto chunk = std::make_unique<SBlock[]>(kPerChunk);
            for (size_t i = 0; i < kPerChunk; ++i)
                chunk[i].next = i + 1 < kPerChunk ? &chunk[i + 1] : nullptr;
            m_chunks.push_back(std::move(chunk));
            m_pFree = m_chunks.back().get();
        }
        SBlock* block = m_pFree;
        m_pFree = block->next;
        ++m_nUsed;
        return block;
    }

    void Free(void* memory) noexcept
    {
        if (!memory)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        auto* block = static_cast<SBlock*>(memory);
        block->next = m_pFree;
        m_pFree = block;
        if (--m_nUsed == 0) {
            m_chunks.clear();
            m_pFree = nullptr;
        }
    }

private:
    union SBlock {
        SBlock* next;
        alignas(std::max_align_t) unsigned char bytes[TSize];
    };
    static constexpr size_t kPerChunk = 256;

    std::mutex m_mutex;
    std::vector<std::unique_ptr<SBlock[]>> m_chunks;
    SBlock* m_pFree = nullptr;
    size_t m_nUsed = 0;
};

template <class T>
void* PooledNew(size_t size)
{
    // A derived class of another size takes the heap.
    return size == sizeof(T) ? CBlockPool<sizeof(T)>::GetInstance().Allocate() : ::operator new(size);
}

template <class T>
void PooledDelete(void* block, size_t size) noexcept
{
    if (size == sizeof(T))
        CBlockPool<sizeof(T)>::GetInstance().Free(block);
    else
        ::operator delete(block);
}

template <class Vec>
void CheckIndex(const Vec& items, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        Base::ThrowInvalidArg();
}

}  // namespace

bool EqualNoCase(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return a == b;
    for (;; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
        if (!*a)
            return true;
    }
}

bool EqualNoCase(const std::wstring& a, const wchar_t* b)
{
    // Compares the whole string, embedded nulls included.
    if (!b)
        return false;
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (!b[i] || FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return b[i] == 0;
}

// ----------------------------------------------------------- CNameIndex

size_t CNameIndex::FoldedHash(std::wstring_view name) noexcept
{
    uint32_t hash = 2166136261u;  // FNV-1a
    for (wchar_t c : name)
        hash = (hash ^ static_cast<unsigned short>(FoldAscii(c))) * 16777619u;
    return hash;
}

bool CNameIndex::SameName(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

void CNameIndex::Add(std::wstring_view name)
{
    if ((m_nUsed + 1) * 2 > m_slots.size())
        Grow();
    m_names.push_back(name);
    const int position = static_cast<int>(m_names.size() - 1);
    const uint32_t hash = static_cast<uint32_t>(FoldedHash(name));
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        SSlot& slot = m_slots[at];
        if (slot.position < 0) {
            slot = {hash, position};
            ++m_nUsed;
            return;
        }
        if (slot.hash == hash && SameName(m_names[slot.position], name))
            return;
    }
}

int CNameIndex::Find(std::wstring_view name) const
{
    if (m_slots.empty())
        return -1;
    const uint32_t hash = static_cast<uint32_t>(FoldedHash(name));
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const SSlot& slot = m_slots[at];
        if (slot.position < 0)
            return -1;
        if (slot.hash == hash && SameName(m_names[slot.position], name))
            return slot.position;
    }
}

void CNameIndex::Grow()
{
    std::vector<SSlot> slots(m_slots.empty() ? 16 : m_slots.size() * 2, SSlot{0, -1});
    const size_t mask = slots.size() - 1;
    for (const SSlot& slot : m_slots) {
        if (slot.position < 0)
            continue;
        size_t at = slot.hash & mask;
        while (slots[at].position >= 0)
            at = (at + 1) & mask;
        slots[at] = slot;
    }
    m_slots.swap(slots);
}

void CNameIndex::Clear()
{
    m_names.clear();
    m_slots.clear();
    m_nUsed = 0;
}

// ---------------------------------------------------------------- CLine

CLine::CLine(const std::wstring& text, wchar_t separator)
{
    const std::wstring_view all(text);
    size_t at = all.find(separator);
    if (at == std::wstring_view::npos) {
        m_strLabel = Trimmed(all);
    } else {
        m_strLabel = Trimmed(all.substr(0, at));
        m_strContent = Trimmed(all.substr(at + 1));
    }
}

CLine::CLine(const wchar_t* text, wchar_t separator)
    : CLine(std::wstring(text ? text : L""), separator)
{
}

CLine::CLine(const wchar_t* label, const wchar_t* content)
    : m_strLabel(label ? label : L""), m_strContent(content ? content : L"")
{
}

CLine::CLine(std::wstring label, std::wstring content)
    : m_strLabel(std::move(label)), m_strContent(std::move(content))
{
}

void* CLine::operator new(size_t size)
{
    return PooledNew<CLine>(size);
}

void CLine::operator delete(void* block, size_t size) noexcept
{
    PooledDelete<CLine>(block, size);
}

// ------------------------------------------------------------- CSection

void* CSection::operator new(size_t size)
{
    return PooledNew<CSection>(size);
}

void CSection::operator delete(void* block, size_t size) noexcept
{
    PooledDelete<CSection>(block, size);
}

CSection::CSection(const wchar_t* name) : m_strName(name ? name : L"") {}

CSection::CSection(const std::wstring& name) : m_strName(name) {}

CSection::CSection(std::wstring_view name) : m_strName(name) {}

CSection::~CSection()
{
    for (CLine* line : m_lines)
        delete line;
}

void CSection::AppendLine(CLine* line)
{
    if (!line)
        Base::ThrowInvalidArg();
    try {
        // Most sections are short: one allocation for their first lines.
        if (m_lines.empty())
            m_lines.reserve(4);
        m_lines.push_back(line);
        if (m_lines.size() == kIndexedLines) {
            for (const CLine* each : m_lines)
                m_labels.Add(each->GetLabel());
        } else if (m_lines.size() > kIndexedLines) {
            m_labels.Add(line->GetLabel());
        }
    } catch (const std::bad_alloc&) {
        // Back to the section as it was: without the line, and with an index
        // only if it was complete before.
        if (!m_lines.empty() && m_lines.back() == line)
            m_lines.pop_back();
        if (m_lines.size() < kIndexedLines)
            m_labels.Clear();
        delete line;
        Base::ThrowOutOfMemory();
    }
}

int CSection::GetLineCount() const
{
    return static_cast<int>(m_lines.size());
}

CLine* CSection::GetLine(int index) const
{
    CheckIndex(m_lines, index);
    return m_lines[index];
}

CLine* CSection::FindLine(const wchar_t* label) const
{
    if (!label)
        return nullptr;
    if (m_lines.size() >= kIndexedLines) {
        int at = m_labels.Find(label);
        return at < 0 ? nullptr : m_lines[at];
    }
    const std::wstring_view wanted(label);
    for (CLine* line : m_lines) {
        if (CNameIndex::SameName(line->GetLabel(), wanted))
            return line;
    }
    return nullptr;
}

CLine* CSection::FindLine(const wchar_t* label, int index) const
{
    if (!label)
        return nullptr;
    if (index >= 0) {
        std::wstring numbered = label + std::to_wstring(index);
        if (CLine* line = FindLine(numbered.c_str()))
            return line;
    }
    return FindLine(label);
}

// ----------------------------------------------------------- CIniReader

CIniReader::CIniReader() = default;

CIniReader::~CIniReader()
{
    Clear();
}

void CIniReader::Clear()
{
    for (CSection* section : m_sections)
        delete section;
    m_sections.clear();
    m_names.Clear();
    // The current section is left as it is: a later load that starts with
    // key lines hands them to whatever it still points at. Since the
    // sections are gone, forget it rather than keep a dangling pointer.
    m_pCurrent = nullptr;
}

bool CIniReader::LoadFromFile(const wchar_t* path)
{
    Base::CMappedFile file(path);
    return file.Ok() && LoadFromMemory(file.Data(), file.Size());
}

bool CIniReader::LoadFromMemory(const void* data, size_t byteCount)
{
    // What a wide string stream over a copy of the text gives, line by line,
    // read straight from the copy.
    const size_t units = byteCount / 2;
    if (!units)
        return true;
    if (!data)
        return false;
    std::wstring text(units, L'\0');
    memcpy(text.data(), data, units * sizeof(wchar_t));
    std::wstring_view rest(text);
    bool first = true;
    while (!rest.empty()) {
        const size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (first) {
            first = false;
            if (!line.empty() && (line[0] == 0xFEFF || line[0] == 0xFFFE))
                line.remove_prefix(1);
        }
        ParseText(line);
    }
    return true;
}

bool CIniReader::LoadFromResource(HMODULE module, const wchar_t* type, const wchar_t* name)
{
    DWORD size = 0;
    const void* bytes = CModuleResources(module).Find(
        type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), &size);
    return bytes && LoadFromMemory(bytes, size);
}

bool CIniReader::LoadFromStream(std::wistream& stream)
{
    std::wstring line;
    bool first = true;
    while (std::getline(stream, line, L'\n')) {
        if (first) {
            first = false;
            if (!line.empty() && (line[0] == 0xFEFF || line[0] == 0xFFFE))
                line.erase(0, 1);
        }
        ParseTextLine(line);
        line.clear();
    }
    return true;
}

void CIniReader::ParseTextLine(std::wstring& text)
{
    size_t comment = text.find(L';', 1);
    if (comment != std::wstring::npos)
        text.resize(comment);
    ParseText(text);
}

void CIniReader::ParseText(std::wstring_view text)
{
    size_t comment = text.find(L';', 1);
    if (comment != std::wstring_view::npos)
        text = text.substr(0, comment);
    text = TrimmedView(text);
    if (text.empty() || text[0] == L';')
        return;
    if (text[0] == L'[')
        AddSection(text);
    else
        AddLine(text);
}

void CIniReader::ParseSection(const std::wstring& text)
{
    AddSection(text);
}

void CIniReader::AddSection(std::wstring_view text)
{
    // The last character is taken for "]" without looking at it.
    auto section = std::make_unique<CSection>(text.size() >= 2 ? text.substr(1, text.size() - 2)
                                                                : std::wstring_view());
    m_sections.push_back(section.get());
    try {
        m_names.Add(section->GetName());
    } catch (...) {
        m_sections.pop_back();
        throw;
    }
    m_pCurrent = section.release();
}

void CIniReader::ParseLine(const std::wstring& text)
{
    AddLine(text);
}

void CIniReader::AddLine(std::wstring_view text)
{
    if (!m_pCurrent)
        return;
    // As CLine (text, "=") splits it, without a copy of the whole line.
    const size_t at = text.find(L'=');
    CLine* line = at == std::wstring_view::npos
                      ? new CLine(Trimmed(text), std::wstring())
                      : new CLine(Trimmed(text.substr(0, at)), Trimmed(text.substr(at + 1)));
    m_pCurrent->AppendLine(line);
}

int CIniReader::GetSectionCount() const
{
    return static_cast<int>(m_sections.size());
}

CSection* CIniReader::GetSection(int index) const
{
    CheckIndex(m_sections, index);
    return m_sections[index];
}

CSection* CIniReader::FindSection(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    int at = m_names.Find(name);
    return at < 0 ? nullptr : m_sections[at];
}

const CLine* CIniReader::FindFirstLine(const wchar_t* section, const wchar_t* label) const
{
    const CSection* found = FindSection(section);
    return found ? found->FindLine(label) : nullptr;
}

std::wstring CIniReader::GetString(const wchar_t* section, const wchar_t* label) const
{
    const CLine* line = FindFirstLine(section, label);
    return line ? line->GetContent() : std::wstring();
}

int CIniReader::GetInt(const wchar_t* section, const wchar_t* label) const
{
    const CLine* line = FindFirstLine(section, label);
    return line ? ParseInt(line->GetContent().c_str()) : 0;
}

POSITION CIniReader::GetFirstLinePosition(const wchar_t* section) const
{
    const CSection* found = FindSection(section);
    if (!found || found->GetLineCount() == 0)
        return nullptr;
    return new SLinePosition{found, 0};
}

const CLine* CIniReader::GetNextLine(POSITION& position) const
{
    if (!position)
        Base::ThrowFail();
    const CLine* line = position->section->GetLine(position->index);
    if (++position->index >= position->section->GetLineCount()) {
        delete position;
        position = nullptr;
    }
    return line;
}

}  // namespace Resource
