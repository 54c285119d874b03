#pragma once
// Owners for GDI objects and device contexts, and a scope that selects an
// object into a context and selects the previous one back.
#include <windows.h>
#include <utility>

namespace Base {

// Owns one GDI object (bitmap, font, brush, pen, region); DeleteObject on release.
template <class THandle>
class CGdiHandle {
public:
    CGdiHandle() noexcept = default;
    explicit CGdiHandle(THandle handle) noexcept : m_handle(handle) {}
    ~CGdiHandle() { Reset(); }
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    CGdiHandle(CGdiHandle&& other) noexcept : m_handle(other.Detach()) {}
    CGdiHandle& operator=(CGdiHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    THandle Get() const noexcept { return m_handle; }
    operator THandle() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }

    void Reset(THandle handle = nullptr) noexcept
    {
        if (m_handle && m_handle != handle)
            ::DeleteObject(m_handle);
        m_handle = handle;
    }
    THandle Detach() noexcept { return std::exchange(m_handle, nullptr); }

private:
    THandle m_handle = nullptr;
};

using CBitmapHandle = CGdiHandle<HBITMAP>;
using CFontHandle = CGdiHandle<HFONT>;
using CBrushHandle = CGdiHandle<HBRUSH>;
using CRegionHandle = CGdiHandle<HRGN>;

// A memory device context compatible with another one (or the screen).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible = nullptr) noexcept : m_hDC(::CreateCompatibleDC(compatible)) {}
    ~CMemoryDC()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }

private:
    HDC m_hDC;
};

// A device context of a window, from GetDC (client area) or GetWindowDC
// (frame included), released with the scope.
template <HDC(WINAPI* TGet)(HWND)>
class CWindowDCT {
public:
    explicit CWindowDCT(HWND window) noexcept : m_hWindow(window), m_hDC(TGet(window)) {}
    ~CWindowDCT()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWindow, m_hDC);
    }
    CWindowDCT(const CWindowDCT&) = delete;
    CWindowDCT& operator=(const CWindowDCT&) = delete;

    HDC Get() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }

private:
    HWND m_hWindow;
    HDC m_hDC;
};

using CClientDC = CWindowDCT<::GetDC>;
using CWindowDC = CWindowDCT<::GetWindowDC>;

// BeginPaint for the scope; EndPaint always follows, as WM_PAINT requires
// even when BeginPaint gave no context.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) noexcept : m_hWindow(window), m_paint{}, m_hDC(::BeginPaint(window, &m_paint)) {}
    ~CPaintDC() { ::EndPaint(m_hWindow, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }
    const RECT& PaintRect() const noexcept { return m_paint.rcPaint; }

private:
    HWND m_hWindow;
    PAINTSTRUCT m_paint;
    HDC m_hDC;
};

// A memory context with a bitmap of its own selected into it, both made
// compatible with another context; empty until Create succeeds.
class CBitmapDC {
public:
    CBitmapDC() noexcept = default;
    ~CBitmapDC() { Reset(); }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;

    // False, and empty, when the size is empty or either object fails.
    bool Create(HDC compatible, int width, int height) noexcept
    {
        Reset();
        if (width <= 0 || height <= 0)
            return false;
        m_hDC = ::CreateCompatibleDC(compatible);
        if (m_hDC)
            m_bitmap.Reset(::CreateCompatibleBitmap(compatible, width, height));
        if (!m_bitmap) {
            Reset();
            return false;
        }
        m_old = ::SelectObject(m_hDC, m_bitmap);
        return true;
    }
    void Reset() noexcept
    {
        if (m_hDC) {
            ::SelectObject(m_hDC, m_old);
            ::DeleteDC(m_hDC);
        }
        m_bitmap.Reset();
        m_hDC = nullptr;
        m_old = nullptr;
    }

    HDC Get() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }
    explicit operator bool() const noexcept { return m_hDC != nullptr; }
    HBITMAP Bitmap() const noexcept { return m_bitmap; }

private:
    HDC m_hDC = nullptr;
    CGdiHandle<HBITMAP> m_bitmap;
    HGDIOBJ m_old = nullptr;
};

// The header of a top-down 32-bit DIB: row 0 is the top row, one DWORD a pixel.
inline BITMAPINFO TopDown32BitInfo(int width, int height) noexcept
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A top-down 32-bit DIB section; bits receives its pixels (null on failure).
inline CGdiHandle<HBITMAP> CreateTopDownDIB(int width, int height, void** bits, HDC dc = nullptr) noexcept
{
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    void* pixels = nullptr;
    CGdiHandle<HBITMAP> bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits)
        *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

// Selects an object into a context for the scope's lifetime.
class CSelectScope {
public:
    CSelectScope(HDC dc, HGDIOBJ object) noexcept
        : m_hDC(dc), m_previous(dc && object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~CSelectScope()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_hDC, m_previous);
    }
    CSelectScope(const CSelectScope&) = delete;
    CSelectScope& operator=(const CSelectScope&) = delete;

    bool Selected() const noexcept { return m_previous && m_previous != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_previous;
};

}  // namespace Base
