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
    explicit CMemoryDC(HDC compatible = nullptr) noexcept : m_dc(::CreateCompatibleDC(compatible)) {}
    ~CMemoryDC()
    {
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const noexcept { return m_dc; }
    operator HDC() const noexcept { return m_dc; }

private:
    HDC m_dc;
};

// A window's client-area device context, released with the scope.
class CClientDC {
public:
    explicit CClientDC(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
    ~CClientDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC Get() const noexcept { return m_dc; }
    operator HDC() const noexcept { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a context for the scope's lifetime.
class CSelectScope {
public:
    CSelectScope(HDC dc, HGDIOBJ object) noexcept
        : m_dc(dc), m_previous(dc && object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~CSelectScope()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }
    CSelectScope(const CSelectScope&) = delete;
    CSelectScope& operator=(const CSelectScope&) = delete;

    bool Selected() const noexcept { return m_previous && m_previous != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace Base
