#include "ResourceReader.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include "../host/Global.h"
#include "ByteCursor.h"
#include "IniReader.h"

namespace Resource {

namespace {

// What a packed bitmap's header says about its layout, read within bounds.
struct SDibLayout {
    DWORD headerSize = 0;
    bool core = false;
    LONG width = 0;
    LONG height = 0;  // signed: negative is top-down
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD sizeImage = 0;
    DWORD colorsUsed = 0;
};

bool ReadDibLayout(const void* data, DWORD size, SDibLayout& layout)
{
    CByteCursor cursor(data, size);
    if (!cursor.Dword(layout.headerSize) || layout.headerSize > size)
        return false;
    if (layout.headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        memcpy(&core, data, sizeof core);
        layout.core = true;
        layout.width = core.bcWidth;
        layout.height = core.bcHeight;
        layout.planes = core.bcPlanes;
        layout.bitCount = core.bcBitCount;
        return true;
    }
    switch (layout.headerSize) {
    case sizeof(BITMAPINFOHEADER):
    case 52:  // info header with RGB masks
    case 56:  // info header with RGBA masks
    case sizeof(BITMAPV4HEADER):
    case sizeof(BITMAPV5HEADER):
        break;
    default:
        return false;
    }
    BITMAPINFOHEADER info;
    memcpy(&info, data, sizeof info);
    layout.width = info.biWidth;
    layout.height = info.biHeight;
    layout.planes = info.biPlanes;
    layout.bitCount = info.biBitCount;
    layout.compression = info.biCompression;
    layout.sizeImage = info.biSizeImage;
    layout.colorsUsed = info.biClrUsed;
    return true;
}

uint64_t OffsetBits(const SDibLayout& layout)
{
    uint64_t offset = layout.headerSize;
    if (!offset)
        return 0;
    if (layout.core) {
        if (layout.bitCount < 9)
            offset += (uint64_t{1} << layout.bitCount) * 3;
        return offset;
    }
    if (layout.colorsUsed)
        offset += uint64_t{layout.colorsUsed} * 4;
    else if (layout.bitCount < 9)
        offset += (uint64_t{1} << layout.bitCount) * 4;
    if (layout.headerSize == sizeof(BITMAPINFOHEADER) && layout.compression == BI_BITFIELDS)
        offset += 12;
    return offset;
}

uint64_t LineBytes(uint64_t width, uint64_t bitCount)
{
    return ((width * bitCount + 31) & ~uint64_t{31}) / 8;
}

// Bitmaps of a pack are small; this keeps a forged header from asking GDI
// for gigabytes (compressed bitmaps need not hold their pixels).
constexpr LONG kMaxSide = 32767;
constexpr uint64_t kMaxPixels = 16u * 1024 * 1024;

// Checks everything GDI will read: header, masks, colour table and pixel
// bits. Returns the colour-table start and bit offset through the layout.
bool CheckDib(const void* data, DWORD size, SDibLayout& layout, uint64_t& bitsOffset,
              uint64_t& bitsSize)
{
    if (!ReadDibLayout(data, size, layout))
        return false;
    LONG height = layout.height;
    if (layout.width <= 0 || layout.width > kMaxSide || height == 0 || height < -kMaxSide ||
        height > kMaxSide || layout.planes != 1)
        return false;
    uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    if (uint64_t(layout.width) * rows > kMaxPixels)
        return false;
    switch (layout.bitCount) {
    case 1: case 4: case 8: case 24:
        break;
    case 16: case 32:
        if (layout.core)
            return false;
        break;
    default:
        return false;
    }
    if (layout.bitCount <= 8 && layout.colorsUsed > (1u << layout.bitCount))
        return false;
    bitsOffset = OffsetBits(layout);
    switch (layout.compression) {
    case BI_RGB:
        bitsSize = LineBytes(layout.width, layout.bitCount) * rows;
        break;
    case BI_BITFIELDS:
        if (layout.bitCount != 16 && layout.bitCount != 32)
            return false;
        bitsSize = LineBytes(layout.width, layout.bitCount) * rows;
        break;
    case BI_RLE8:
    case BI_RLE4:
        // GDI bounds the run decoding by the stated image size.
        if (layout.bitCount != (layout.compression == BI_RLE8 ? 8 : 4) || height < 0 ||
            layout.sizeImage == 0)
            return false;
        bitsSize = layout.sizeImage;
        break;
    default:
        return false;
    }
    return bitsOffset + bitsSize <= size;
}

// A private copy of header, masks and colour table for GDI, so it never
// reads a header or table straight from the resource.
struct SBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

void BuildInfo(const BYTE* data, const SDibLayout& layout, SBitmapInfo& info)
{
    memset(&info, 0, sizeof info);
    BITMAPINFOHEADER& h = info.header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = layout.width;
    h.biHeight = layout.height;
    h.biPlanes = 1;
    h.biBitCount = layout.bitCount;
    h.biCompression = layout.compression;
    h.biSizeImage = layout.compression == BI_RLE8 || layout.compression == BI_RLE4
                        ? layout.sizeImage
                        : 0;
    if (layout.core) {
        if (layout.bitCount <= 8) {
            DWORD count = 1u << layout.bitCount;
            const BYTE* table = data + layout.headerSize;
            for (DWORD i = 0; i < count; ++i) {
                info.colors[i].rgbBlue = table[i * 3];
                info.colors[i].rgbGreen = table[i * 3 + 1];
                info.colors[i].rgbRed = table[i * 3 + 2];
            }
            h.biClrUsed = count;
        }
        return;
    }
    if (layout.compression == BI_BITFIELDS) {
        // The masks follow the 40-byte part in every header version.
        memcpy(info.colors, data + sizeof(BITMAPINFOHEADER), 3 * sizeof(DWORD));
        return;
    }
    if (layout.bitCount <= 8) {
        DWORD count = layout.colorsUsed ? layout.colorsUsed : 1u << layout.bitCount;
        memcpy(info.colors, data + layout.headerSize, count * sizeof(RGBQUAD));
        h.biClrUsed = count;
    }
}

}  // namespace

// Rows of an icon or cursor image: a bitmap whose header height covers the
// colour rows and the AND-mask rows. PNG images are checked by the system.
bool CResourceReader::IsSoundIconImage(const void* data, DWORD size)
{
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof kPng && memcmp(data, kPng, sizeof kPng) == 0)
        return true;
    SDibLayout layout;
    if (!ReadDibLayout(data, size, layout) || layout.core || layout.compression != BI_RGB ||
        layout.width <= 0 || layout.width > 256 || layout.height <= 0 ||
        layout.height > 512 || layout.planes != 1)
        return false;
    switch (layout.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    if (layout.bitCount <= 8 && layout.colorsUsed > (1u << layout.bitCount))
        return false;
    uint64_t rows = static_cast<uint64_t>(layout.height) / 2;
    uint64_t needed = OffsetBits(layout) + LineBytes(layout.width, layout.bitCount) * rows +
                      LineBytes(layout.width, 1) * rows;
    return needed <= size;
}

namespace {

bool ParseMenuLevel(CByteCursor& cursor, HMENU menu, int depth)
{
    // Flags an item of a standard template may carry on to the menu; bitmap
    // and owner-draw items would turn resource bytes into handles or data.
    constexpr UINT kItemFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK |
                                MF_MENUBREAK | MF_HELP | MF_SEPARATOR;
    if (depth > 16)
        return false;
    for (;;) {
        WORD flags;
        if (!cursor.Word(flags))
            return false;
        std::wstring text;
        if (flags & MF_POPUP) {
            if (!cursor.String(&text))
                return false;
            HMENU sub = CreatePopupMenu();
            if (!sub)
                return false;
            if (!ParseMenuLevel(cursor, sub, depth + 1) ||
                !AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                             text.c_str())) {
                DestroyMenu(sub);
                return false;
            }
        } else {
            WORD id;
            if (!cursor.Word(id) || !cursor.String(&text))
                return false;
            BOOL ok = id == 0 ? AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)
                              : AppendMenuW(menu, MF_STRING | (flags & kItemFlags), id,
                                            text.c_str());
            if (!ok)
                return false;
        }
        if (flags & MF_END)
            return true;
    }
}

}  // namespace

CResourceReader::CResourceReader() = default;

CResourceReader::~CResourceReader()
{
    FreeLibrary();
}

void CResourceReader::FreeLibrary()
{
    m_resources.Reset();
    if (m_hModule) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

namespace {

uint64_t FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return UINT64_MAX;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

void LogRefusedModule(const wchar_t* what, DWORD error)
{
    COrvelGlobal::GetInstance().WriteLogW(L"Resource module refused:", what, error, 0);
}

}  // namespace

bool CResourceReader::Open(const wchar_t* path)
{
    FreeLibrary();
    if (!path)
        return false;
    m_hModule = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m_hModule) {
        // A file that is there but does not load is damaged; one that is
        // missing is just missing.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            LogRefusedModule(path, error);
    } else if (!m_resources.Check(m_hModule, FileSize(path))) {
        LogRefusedModule(path, ERROR_FILE_CORRUPT);
        FreeLibrary();
    }
    return m_hModule != nullptr;
}

void CResourceReader::Attach(HINSTANCE module)
{
    if (module == m_hModule)
        return;
    FreeLibrary();
    m_hModule = module;
    if (m_hModule && !m_resources.Check(m_hModule)) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(m_hModule, path, MAX_PATH);
        LogRefusedModule(path, ERROR_FILE_CORRUPT);
    }
}

HINSTANCE CResourceReader::Detch()
{
    m_resources.Reset();
    HINSTANCE module = m_hModule;
    m_hModule = nullptr;
    return module;
}

bool CResourceReader::SetLangID(WORD language)
{
    bool changed = language != m_nLanguage;
    m_nLanguage = language;
    return changed;
}

const void* CResourceReader::ReadCustomData(const wchar_t* type, const wchar_t* name,
                                            DWORD* size) const
{
    return m_resources.Find(type, name, m_nLanguage, size);
}

bool CResourceReader::ReadStringFromBlock(const void* data, DWORD size, UINT index,
                                          std::wstring& text)
{
    if (index > 15)
        return false;
    CByteCursor cursor(data, size);
    for (UINT i = 0;; ++i) {
        WORD length;
        if (!cursor.Word(length))
            return false;
        if (i == index) {
            if (length == 0 || size_t{length} * 2 > cursor.Left())
                return false;
            std::wstring result(length, L'\0');
            cursor.Bytes(result.data(), size_t{length} * 2);
            text = std::move(result);
            return true;
        }
        if (!cursor.Skip(size_t{length} * 2))
            return false;
    }
}

bool CResourceReader::ReadString(UINT id, std::wstring& text) const
{
    if (id > 0xFFFF)
        return false;
    DWORD size = 0;
    const void* block = m_resources.Find(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), m_nLanguage,
                                         &size);
    return block && ReadStringFromBlock(block, size, id % 16, text);
}

std::wstring CResourceReader::ReadStringWithLang(UINT id, WORD language) const
{
    std::wstring text;
    if (id > 0xFFFF)
        return text;
    DWORD size = 0;
    const void* block =
        m_resources.Find(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language, &size);
    if (!block || !ReadStringFromBlock(block, size, id % 16, text))
        text.clear();
    return text;
}

// ------------------------------------------------------------- bitmaps

DWORD CResourceReader::GetBitmapHeaderSize(const BITMAPINFOHEADER* header)
{
    return header ? header->biSize : 0;
}

DWORD CResourceReader::GetBitmapLineWidthInBytes(int width, int bitCount)
{
    if (width <= 0 || bitCount <= 0)
        return 0;
    uint64_t bytes = LineBytes(static_cast<uint64_t>(width), static_cast<uint64_t>(bitCount));
    return bytes > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes);
}

bool CResourceReader::GetBitmapDimensions(const BITMAPINFOHEADER* header, int& width,
                                          int& height)
{
    if (!header || header->biSize == 0)
        return false;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        auto core = reinterpret_cast<const BITMAPCOREHEADER*>(header);
        width = core->bcWidth;
        height = core->bcHeight;
        return true;
    }
    width = header->biWidth;
    height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    return true;
}

DWORD CResourceReader::GetBitmapOffsetBits(const BITMAPINFOHEADER* header)
{
    if (!header || header->biSize == 0)
        return 0;
    SDibLayout layout;
    layout.headerSize = header->biSize;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        layout.core = true;
        layout.bitCount = reinterpret_cast<const BITMAPCOREHEADER*>(header)->bcBitCount;
    } else {
        layout.bitCount = header->biBitCount;
        layout.compression = header->biCompression;
        layout.colorsUsed = header->biClrUsed;
    }
    uint64_t offset = OffsetBits(layout);
    return offset > MAXDWORD ? MAXDWORD : static_cast<DWORD>(offset);
}

bool CResourceReader::IsSoundPackedBitmap(const void* data, DWORD size)
{
    SDibLayout layout;
    uint64_t offset, bytes;
    return CheckDib(data, size, layout, offset, bytes);
}

bool CResourceReader::IsSoundBitmapFile(const void* data, DWORD size)
{
    BITMAPFILEHEADER file;
    if (!data || size < sizeof file)
        return false;
    memcpy(&file, data, sizeof file);
    const BYTE* packed = static_cast<const BYTE*>(data) + sizeof file;
    const DWORD packedSize = size - sizeof file;
    SDibLayout layout;
    uint64_t offset, bytes;
    // The bits are read where the file header says, not after the table.
    return file.bfType == 0x4D42 && CheckDib(packed, packedSize, layout, offset, bytes) &&
           file.bfOffBits >= sizeof file + layout.headerSize &&
           uint64_t{file.bfOffBits} + bytes <= size;
}

HBITMAP CResourceReader::CreateBitmapFromPacked(const void* data, DWORD size)
{
    SDibLayout layout;
    uint64_t offset, bytes;
    if (!CheckDib(data, size, layout, offset, bytes))
        return nullptr;
    auto info = std::make_unique<SBitmapInfo>();
    BuildInfo(static_cast<const BYTE*>(data), layout, *info);
    const BYTE* bits = static_cast<const BYTE*>(data) + offset;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    HBITMAP bitmap = CreateDIBitmap(screen, &info->header, CBM_INIT, bits,
                                    reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HBITMAP CResourceReader::ReadBitmap(const wchar_t* name) const
{
    DWORD size = 0;
    const void* data = ReadCustomData(RT_BITMAP, name, &size);
    return data ? CreateBitmapFromPacked(data, size) : nullptr;
}

// ------------------------------------------------------- icons, cursors

bool CResourceReader::IsSoundGroupDirectory(const void* data, DWORD size)
{
    CByteCursor cursor(data, size);
    WORD reserved, type, count;
    if (!cursor.Word(reserved) || !cursor.Word(type) || !cursor.Word(count))
        return false;
    return count > 0 && size_t{count} * 14 <= cursor.Left();
}

HANDLE CResourceReader::ReadGroupImage(const wchar_t* name, bool icon, int width,
                                       int height) const
{
    DWORD groupSize = 0;
    const void* group = ReadCustomData(icon ? RT_GROUP_ICON : RT_GROUP_CURSOR, name, &groupSize);
    if (!group || !IsSoundGroupDirectory(group, groupSize))
        return nullptr;
    UINT flags = LR_DEFAULTCOLOR | (width == 0 && height == 0 ? LR_DEFAULTSIZE : 0);
    int id = LookupIconIdFromDirectoryEx(static_cast<BYTE*>(const_cast<void*>(group)), icon,
                                         width, height, flags);
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    DWORD size = 0;
    const BYTE* image = static_cast<const BYTE*>(
        ReadCustomData(icon ? RT_ICON : RT_CURSOR, MAKEINTRESOURCEW(id), &size));
    if (!image)
        return nullptr;
    // A cursor image starts with its 4-byte hot spot.
    DWORD skip = icon ? 0 : 4;
    if (size < skip || !IsSoundIconImage(image + skip, size - skip))
        return nullptr;
    // Icons are not created shared: a shared handle made from a data-file
    // module cannot be destroyed, so every read would leak one.
    return CreateIconFromResourceEx(const_cast<BYTE*>(image), size, icon, 0x00030000, width,
                                    height, flags);
}

HCURSOR CResourceReader::ReadCursor(const wchar_t* name, int width, int height) const
{
    return static_cast<HCURSOR>(ReadGroupImage(name, false, width, height));
}

HICON CResourceReader::ReadIcon(const wchar_t* name, int width, int height) const
{
    return static_cast<HICON>(ReadGroupImage(name, true, width, height));
}

// ------------------------------------------------------ menus, dialogs

HMENU CResourceReader::CreateMenuFromTemplate(const void* data, DWORD size)
{
    CByteCursor cursor(data, size);
    WORD version, headerSize;
    if (!cursor.Word(version) || !cursor.Word(headerSize) || version != 0 ||
        !cursor.Skip(headerSize))
        return nullptr;
    HMENU menu = CreateMenu();
    if (!menu)
        return nullptr;
    if (!cursor.AtEnd() && !ParseMenuLevel(cursor, menu, 0)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

HMENU CResourceReader::ReadMenu(const wchar_t* name) const
{
    DWORD size = 0;
    const void* data = ReadCustomData(RT_MENU, name, &size);
    return data ? CreateMenuFromTemplate(data, size) : nullptr;
}

bool CResourceReader::IsSoundDialogTemplate(const void* data, DWORD size)
{
    CByteCursor cursor(data, size);
    WORD first[2];
    if (!cursor.Bytes(first, sizeof first))
        return false;
    bool extended = first[0] == 1 && first[1] == 0xFFFF;
    DWORD style;
    WORD count;
    if (extended) {
        // help id, extended style, style, count, x, y, cx, cy
        if (!cursor.Skip(8) || !cursor.Dword(style) || !cursor.Word(count) || !cursor.Skip(8))
            return false;
    } else {
        memcpy(&style, first, sizeof style);
        if (!cursor.Skip(4) || !cursor.Word(count) || !cursor.Skip(8))
            return false;
    }
    // menu, class, title
    if (!cursor.StringOrOrdinal() || !cursor.StringOrOrdinal() || !cursor.String(nullptr))
        return false;
    if (style & DS_SETFONT) {
        // point size (and for extended templates weight, italic, charset)
        if (!cursor.Skip(extended ? 6 : 2) || !cursor.String(nullptr))
            return false;
    }
    for (WORD i = 0; i < count; ++i) {
        if (!cursor.AlignDword())
            return false;
        // extended: help id, ex style, style, x, y, cx, cy, 32-bit id;
        // standard: style, ex style, x, y, cx, cy, 16-bit id
        if (!cursor.Skip(extended ? 24 : 18))
            return false;
        if (!cursor.StringOrOrdinal() || !cursor.StringOrOrdinal())
            return false;
        WORD extra;
        if (!cursor.Word(extra) || !cursor.Skip(extra))
            return false;
    }
    return true;
}

HWND CResourceReader::CreateDialogParamW(const wchar_t* name, HWND parent, DLGPROC proc,
                                         LPARAM param) const
{
    DWORD size = 0;
    const void* data = ReadCustomData(RT_DIALOG, name, &size);
    if (!data || !IsSoundDialogTemplate(data, size))
        return nullptr;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                      static_cast<LPCDLGTEMPLATEW>(data), parent, proc, param);
}

// ------------------------------------------------------------ INI text

bool CIniReader::LoadFromResource(CResourceReader& reader, const wchar_t* type,
                                  const wchar_t* name)
{
    DWORD size = 0;
    const void* data = reader.ReadCustomData(type, name, &size);
    if (!data)
        return false;
    return LoadFromMemory(data, size);
}

}  // namespace Resource
