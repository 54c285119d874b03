#pragma once
// Helpers shared by the test binaries.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace TestCommon {

// A fresh folder under the system temp folder, removed with its files.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);

// UTF-16LE bytes of a text, with an optional byte-order mark.
std::vector<uint8_t> Utf16Bytes(const std::wstring& text, bool withMark);

// Small deterministic generator for mutation runs (fixed seed per test).
class CRandom {
public:
    explicit CRandom(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next();
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }

private:
    uint32_t m_state;
};

// Mutates bytes in place: flips, inserts, deletes, truncates.
void Mutate(std::vector<uint8_t>& bytes, CRandom& random);

// Copies data into a buffer that ends right before a no-access page, so a
// read one byte past the end faults instead of passing silently.
class CGuardedBuffer {
public:
    explicit CGuardedBuffer(const std::vector<uint8_t>& data);
    ~CGuardedBuffer();
    CGuardedBuffer(const CGuardedBuffer&) = delete;
    CGuardedBuffer& operator=(const CGuardedBuffer&) = delete;
    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    uint8_t* m_base = nullptr;
    size_t m_reserved = 0;
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

// A memory device context over a top-down 32-bit DIB section, for reading
// back what was drawn. Starts white.
class CDibCanvas {
public:
    CDibCanvas(int width, int height);
    ~CDibCanvas();
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixels of the colour inside rect (clipped to the canvas).
    int Count(COLORREF colour, const RECT& rect) const;

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// A top-down 32-bit DIB section whose pixels come from a function of (x, y);
// the caller owns it.
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& pixel);

// Free slots of the process's GDI handle table, counted by filling it.
// GetGuiResources reports nothing under Wine, so leak checks compare this
// before and after a loop: each object leaked takes one slot.
int FreeGdiSlots();

// The vtable slot a pointer to a virtual member names (Itanium C++ ABI:
// the pointer field holds 1 + the byte offset in the vtable).
template <class TMember>
ptrdiff_t SlotOf(TMember member)
{
    ptrdiff_t raw[2];
    static_assert(sizeof(member) == sizeof(raw));
    std::memcpy(raw, &member, sizeof(raw));
    return (raw[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

}  // namespace TestCommon
