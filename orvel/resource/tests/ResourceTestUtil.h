#pragma once
// Hand-made resource bytes for the reader and writer tests.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace ResourceTest {

template <class T>
void Append(std::vector<uint8_t>& bytes, const T& value)
{
    auto p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

inline void AppendText(std::vector<uint8_t>& bytes, const std::wstring& text)
{
    for (wchar_t c : text)
        Append(bytes, static_cast<WORD>(c));
    Append(bytes, WORD{0});
}

// The two colours of the test bitmaps: the top-left pixel is kMark, every
// other pixel kFill; both survive 16-bit 5-6-5 storage exactly.
constexpr COLORREF kFill = RGB(0, 0, 255);
constexpr COLORREF kMark = RGB(255, 0, 0);

// A packed bitmap (no file header), 4 x 2 pixels, bottom-up.
// headerSize 12 makes a core header; colorsUsed applies to info headers.
inline std::vector<uint8_t> MakeDib(DWORD headerSize, WORD bits, DWORD colorsUsed = 0,
                                    DWORD compression = BI_RGB)
{
    const int width = 4, height = 2;
    std::vector<uint8_t> bytes;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core = {sizeof core, width, height, 1, bits};
        Append(bytes, core);
    } else {
        BITMAPINFOHEADER info = {};
        info.biSize = headerSize;
        info.biWidth = width;
        info.biHeight = height;
        info.biPlanes = 1;
        info.biBitCount = bits;
        info.biCompression = compression;
        info.biClrUsed = colorsUsed;
        Append(bytes, info);
        bytes.resize(headerSize, 0);
        if (compression == BI_BITFIELDS) {
            DWORD masks[3] = {bits == 16 ? 0xF800u : 0xFF0000u, bits == 16 ? 0x07E0u : 0xFF00u,
                              bits == 16 ? 0x001Fu : 0xFFu};
            if (headerSize == sizeof(BITMAPINFOHEADER))
                for (DWORD m : masks)
                    Append(bytes, m);
            else
                memcpy(bytes.data() + sizeof(BITMAPINFOHEADER), masks, sizeof masks);
        }
    }
    // Colour table: entry 0 fill, entry 1 mark, the rest grey.
    DWORD entries = bits <= 8 ? (colorsUsed ? colorsUsed : 1u << bits) : colorsUsed;
    for (DWORD i = 0; i < entries; ++i) {
        COLORREF c = i == 0 ? kFill : i == 1 ? kMark : RGB(128, 128, 128);
        bytes.push_back(GetBValue(c));
        bytes.push_back(GetGValue(c));
        bytes.push_back(GetRValue(c));
        if (headerSize != sizeof(BITMAPCOREHEADER))
            bytes.push_back(0);
    }
    const size_t line = ((width * bits + 31) & ~31) / 8;
    for (int row = 0; row < height; ++row) {  // bottom-up: last row is the top
        std::vector<uint8_t> data(line, 0);
        for (int x = 0; x < width; ++x) {
            bool mark = row == height - 1 && x == 0;
            COLORREF c = mark ? kMark : kFill;
            switch (bits) {
            case 1: case 4: case 8:
                if (mark)
                    data[x * bits / 8] |= static_cast<uint8_t>(1 << (8 - bits - (x * bits) % 8));
                break;
            case 16: {
                WORD v = compression == BI_BITFIELDS
                             ? static_cast<WORD>((GetRValue(c) >> 3) << 11 | (GetGValue(c) >> 2) << 5 |
                                                 GetBValue(c) >> 3)
                             : static_cast<WORD>((GetRValue(c) >> 3) << 10 | (GetGValue(c) >> 3) << 5 |
                                                 GetBValue(c) >> 3);
                memcpy(&data[x * 2], &v, 2);
                break;
            }
            default:
                data[x * bits / 8] = GetBValue(c);
                data[x * bits / 8 + 1] = GetGValue(c);
                data[x * bits / 8 + 2] = GetRValue(c);
                break;
            }
        }
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

// "&File" pop-up holding "Open" (101), a separator and a greyed "Close" (102).
inline std::vector<uint8_t> MakeMenuTemplate()
{
    std::vector<uint8_t> bytes;
    Append(bytes, WORD{0});  // version
    Append(bytes, WORD{0});  // header size
    Append(bytes, static_cast<WORD>(MF_POPUP | MF_END));
    AppendText(bytes, L"&File");
    Append(bytes, WORD{0});
    Append(bytes, WORD{101});
    AppendText(bytes, L"Open");
    Append(bytes, WORD{0});
    Append(bytes, WORD{0});
    AppendText(bytes, L"");
    Append(bytes, static_cast<WORD>(MF_GRAYED | MF_END));
    Append(bytes, WORD{102});
    AppendText(bytes, L"Close");
    return bytes;
}

// A captioned pop-up dialog with one "OK" push button (id 1000).
inline std::vector<uint8_t> MakeDialogTemplate()
{
    std::vector<uint8_t> bytes;
    Append(bytes, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_SETFONT));
    Append(bytes, DWORD{0});      // extended style
    Append(bytes, WORD{1});       // items
    Append(bytes, WORD{0});       // x, y, cx, cy
    Append(bytes, WORD{0});
    Append(bytes, WORD{120});
    Append(bytes, WORD{60});
    Append(bytes, WORD{0});       // no menu
    Append(bytes, WORD{0});       // default class
    AppendText(bytes, L"Test");
    Append(bytes, WORD{8});       // point size
    AppendText(bytes, L"Tahoma");
    bytes.resize((bytes.size() + 3) & ~size_t{3}, 0);
    Append(bytes, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON));
    Append(bytes, DWORD{0});
    Append(bytes, WORD{10});
    Append(bytes, WORD{10});
    Append(bytes, WORD{50});
    Append(bytes, WORD{14});
    Append(bytes, WORD{1000});
    Append(bytes, WORD{0xFFFF});  // button class
    Append(bytes, WORD{0x0080});
    AppendText(bytes, L"OK");
    Append(bytes, WORD{0});       // no creation data
    return bytes;
}

// A string-table block from its 16 entries.
inline std::vector<uint8_t> MakeStringBlock(const std::vector<std::wstring>& entries)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < 16; ++i) {
        std::wstring text = i < entries.size() ? entries[i] : L"";
        Append(bytes, static_cast<WORD>(text.size()));
        for (wchar_t c : text)
            Append(bytes, static_cast<WORD>(c));
    }
    return bytes;
}

inline COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

// The fields of a sound module file that the system's resource lookup
// follows, found by walking it: PE headers, section table, and every
// directory, entry, name and data entry of the resource tree. Tests damage
// them to see the reader refuse the module.
class CModuleFields {
public:
    struct SField {
        size_t offset;
        int width;  // 2 or 4 bytes
    };

    explicit CModuleFields(const std::vector<uint8_t>& file) : m_file(file)
    {
        const size_t nt = Get<LONG>(offsetof(IMAGE_DOS_HEADER, e_lfanew));
        Add(offsetof(IMAGE_DOS_HEADER, e_lfanew), 4);
        const size_t header = nt + 4;
        Add(header + offsetof(IMAGE_FILE_HEADER, NumberOfSections), 2);
        Add(header + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader), 2);
        const size_t optional = header + sizeof(IMAGE_FILE_HEADER);
        using Optional = IMAGE_OPTIONAL_HEADER64;
        Add(optional + offsetof(Optional, SizeOfHeaders), 4);
        Add(optional + offsetof(Optional, NumberOfRvaAndSizes), 4);
        const size_t directory =
            optional + offsetof(Optional, DataDirectory) + IMAGE_DIRECTORY_ENTRY_RESOURCE * 8;
        Add(directory, 4);
        Add(directory + 4, 4);
        m_sections =
            optional + Get<WORD>(header + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader));
        m_nSectionCount = Get<WORD>(header + offsetof(IMAGE_FILE_HEADER, NumberOfSections));
        for (size_t i = 0; i < m_nSectionCount; ++i) {
            const size_t section = m_sections + i * sizeof(IMAGE_SECTION_HEADER);
            Add(section + offsetof(IMAGE_SECTION_HEADER, VirtualAddress), 4);
            Add(section + offsetof(IMAGE_SECTION_HEADER, SizeOfRawData), 4);
            Add(section + offsetof(IMAGE_SECTION_HEADER, PointerToRawData), 4);
        }
        m_root = Offset(Get<DWORD>(directory));
        m_treeEnd = m_root;
        Walk(m_root, 1, L"");
    }

    const std::vector<SField>& Fields() const { return m_fields; }
    // [start, end) of the directory tree with its names and data entries.
    size_t TreeStart() const { return m_root; }
    size_t TreeEnd() const { return m_treeEnd; }
    // File offset of the data entry of the resource whose type is named
    // type (or numbered, as "#6"), 0 when there is none.
    size_t DataEntryOf(const std::wstring& type) const
    {
        for (const auto& [entryType, offset] : m_dataEntries)
            if (entryType == type)
                return offset;
        return 0;
    }
    // File offset of the bytes of that resource, 0 when there is none.
    size_t DataOf(const std::wstring& type) const
    {
        const size_t entry = DataEntryOf(type);
        return entry ? Offset(Get<DWORD>(entry)) : 0;
    }
    // File offset of the root directory's entry list.
    size_t RootEntries() const { return m_root + sizeof(IMAGE_RESOURCE_DIRECTORY); }

    template <class T>
    T Get(size_t offset) const
    {
        T value{};
        if (offset + sizeof value <= m_file.size())
            memcpy(&value, m_file.data() + offset, sizeof value);
        return value;
    }

private:
    void Add(size_t offset, int width) { m_fields.push_back({offset, width}); }
    void Cover(size_t end) { m_treeEnd = end > m_treeEnd ? end : m_treeEnd; }

    size_t Offset(DWORD rva) const
    {
        for (size_t i = 0; i < m_nSectionCount; ++i) {
            auto section = Get<IMAGE_SECTION_HEADER>(m_sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.SizeOfRawData)
                return section.PointerToRawData + (rva - section.VirtualAddress);
        }
        return 0;
    }

    std::wstring NameAt(size_t offset) const
    {
        std::wstring name;
        for (WORD i = 0, n = Get<WORD>(offset); i < n; ++i)
            name.push_back(static_cast<wchar_t>(Get<WORD>(offset + 2 + 2 * i)));
        return name;
    }

    void Walk(size_t directory, int level, const std::wstring& type)
    {
        auto header = Get<IMAGE_RESOURCE_DIRECTORY>(directory);
        Add(directory + offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfNamedEntries), 2);
        Add(directory + offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfIdEntries), 2);
        const size_t count = size_t{header.NumberOfNamedEntries} + header.NumberOfIdEntries;
        Cover(directory + sizeof header + count * 8);
        for (size_t i = 0; i < count; ++i) {
            const size_t at = directory + sizeof header + i * 8;
            auto entry = Get<IMAGE_RESOURCE_DIRECTORY_ENTRY>(at);
            Add(at, 4);
            Add(at + 4, 4);
            std::wstring name = L"#" + std::to_wstring(entry.Id);
            if (entry.NameIsString) {
                Add(m_root + entry.NameOffset, 2);
                name = NameAt(m_root + entry.NameOffset);
                Cover(m_root + entry.NameOffset + 2 + 2 * name.size());
            }
            const size_t child = m_root + entry.OffsetToDirectory;
            if (entry.DataIsDirectory && level < 3) {
                Walk(child, level + 1, level == 1 ? name : type);
            } else {
                Add(child + offsetof(IMAGE_RESOURCE_DATA_ENTRY, OffsetToData), 4);
                Add(child + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size), 4);
                Cover(child + sizeof(IMAGE_RESOURCE_DATA_ENTRY));
                m_dataEntries.emplace_back(type, child);
            }
        }
    }

    const std::vector<uint8_t>& m_file;
    std::vector<SField> m_fields;
    std::vector<std::pair<std::wstring, size_t>> m_dataEntries;
    size_t m_sections = 0;
    size_t m_nSectionCount = 0;
    size_t m_root = 0;
    size_t m_treeEnd = 0;
};

}  // namespace ResourceTest
