#include "TestCommon.h"

#include "orvel/base/GdiHandles.h"

#include <algorithm>

namespace TestCommon {

CTempDir::CTempDir()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        wchar_t name[MAX_PATH];
        wsprintfW(name, L"%sorvel_test_%lu_%ld", base, GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
        if (CreateDirectoryW(name, nullptr)) {
            m_path = name;
            return;
        }
    }
}

CTempDir::~CTempDir()
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring full = m_path + L"\\" + data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(m_path.c_str());
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = size == 0 || WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

std::vector<uint8_t> Utf16Bytes(const std::wstring& text, bool withMark)
{
    std::vector<uint8_t> bytes;
    if (withMark) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

uint32_t CRandom::Next()
{
    // xorshift32
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

void Mutate(std::vector<uint8_t>& bytes, CRandom& random)
{
    static const uint8_t interesting[] = {0, '\n', '\r', '[', ']', '=', ';', ',', '"', ' ', 0xFF, 0xFE};
    int edits = 1 + static_cast<int>(random.Below(6));
    for (int i = 0; i < edits; ++i) {
        switch (random.Below(5)) {
        case 0:
            if (!bytes.empty())
                bytes[random.Below(static_cast<uint32_t>(bytes.size()))] ^=
                    static_cast<uint8_t>(1u << random.Below(8));
            break;
        case 1:
            bytes.insert(bytes.begin() + random.Below(static_cast<uint32_t>(bytes.size() + 1)),
                         interesting[random.Below(sizeof interesting)]);
            break;
        case 2:
            if (!bytes.empty())
                bytes.erase(bytes.begin() + random.Below(static_cast<uint32_t>(bytes.size())));
            break;
        case 3:
            bytes.resize(random.Below(static_cast<uint32_t>(bytes.size() + 1)));
            break;
        default:
            if (!bytes.empty())
                bytes[random.Below(static_cast<uint32_t>(bytes.size()))] =
                    interesting[random.Below(sizeof interesting)];
            break;
        }
    }
}

CGuardedBuffer::CGuardedBuffer(const std::vector<uint8_t>& data) : m_size(data.size())
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    size_t page = info.dwPageSize;
    size_t dataPages = (m_size + page - 1) / page;
    m_reserved = (dataPages + 1) * page;
    m_base = static_cast<uint8_t*>(VirtualAlloc(nullptr, m_reserved, MEM_RESERVE, PAGE_NOACCESS));
    if (dataPages)
        VirtualAlloc(m_base, dataPages * page, MEM_COMMIT, PAGE_READWRITE);
    m_data = m_base + dataPages * page - m_size;
    if (m_size)
        memcpy(m_data, data.data(), m_size);
}

CGuardedBuffer::~CGuardedBuffer()
{
    VirtualFree(m_base, 0, MEM_RELEASE);
}

namespace {

BITMAPINFO TopDown32(int width, int height)
{
    return Base::TopDown32BitInfo(width, height);
}

DWORD ToPixel(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

}  // namespace

CDibCanvas::CDibCanvas(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(RGB(255, 255, 255));
}

CDibCanvas::~CDibCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF CDibCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const DWORD v = m_bits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void CDibCanvas::Fill(COLORREF colour)
{
    GdiFlush();
    std::fill(m_bits, m_bits + m_width * m_height, ToPixel(colour));
}

int CDibCanvas::Count(COLORREF colour, const RECT& rect) const
{
    GdiFlush();
    int count = 0;
    for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, m_height); ++y)
        for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, m_width); ++x)
            count += (m_bits[y * m_width + x] & 0xFFFFFF) == ToPixel(colour);
    return count;
}

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& pixel)
{
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[y * width + x] = ToPixel(pixel(x, y));
    return bitmap;
}

int FreeGdiSlots()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    while (brushes.size() < 200000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

}  // namespace TestCommon
