#include "PictureGlyph.h"

#include <process.h>
#include <cstdint>
#include <cstring>
#include "../resource/ModuleResources.h"
#include "../resource/ResourceReader.h"

namespace Glyph {

using namespace PictureGlyphImpl;

namespace {

const UINT kHeaderSize = 13;  // signature, version, logical screen descriptor
const DWORD kStopWaitMs = 5000;
// Pictures of a skin are small; larger ones are taken for damage rather
// than asking GDI and the decoder for gigabytes.
const uint64_t kMaxPixels = 16u * 1024 * 1024;

UINT Read16(const BYTE* p)
{
    return p[0] | (p[1] << 8);
}

DWORD Read32(const BYTE* p)
{
    return Read16(p) | (DWORD{Read16(p + 2)} << 16);
}

UINT Big16(const BYTE* p)
{
    return (p[0] << 8) | p[1];
}

DWORD Big32(const BYTE* p)
{
    return (DWORD{Big16(p)} << 16) | Big16(p + 2);
}

bool IsSoundArea(uint64_t width, uint64_t height)
{
    return width && height && width * height <= kMaxPixels;
}

// Marker segments up to the first scan: every segment within the data, a
// frame header with an area and one to four components before the scan.
bool IsSoundJpeg(const BYTE* data, DWORD size)
{
    bool frame = false;
    for (uint64_t at = 2; at + 4 <= size;) {
        if (data[at] != 0xFF)
            return false;
        const BYTE marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9)
            return false;
        const UINT length = Big16(data + at + 2);
        if (length < 2 || at + 2 + length > size)
            return false;
        const BYTE* segment = data + at + 4;
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                 marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
            if (length < 8 || !IsSoundArea(Big16(segment + 3), Big16(segment + 1)))
                return false;
            const UINT components = segment[5];
            if (components < 1 || components > 4 || length != 8 + 3 * components)
                return false;
            frame = true;
        } else if (marker == 0xDA) {
            return frame && length >= 6 && segment[0] >= 1 && segment[0] <= 4 &&
                   length == 6 + 2u * segment[0];
        }
        at += 2 + length;
    }
    return false;
}

// Chunks from the header to the end chunk, each within the data, with image
// data between them.
bool IsSoundPng(const BYTE* data, DWORD size)
{
    bool header = false, image = false;
    for (uint64_t at = 8; at + 12 <= size;) {
        const uint64_t length = Big32(data + at);
        if (length > 0x7FFFFFFF || at + 12 + length > size)
            return false;
        const BYTE* type = data + at + 4;
        if (!header) {
            if (memcmp(type, "IHDR", 4) != 0 || length != 13 ||
                !IsSoundArea(Big32(type + 4), Big32(type + 8)))
                return false;
            header = true;
        } else if (memcmp(type, "IDAT", 4) == 0) {
            image = true;
        } else if (memcmp(type, "IEND", 4) == 0) {
            return image;
        }
        at += 12 + length;
    }
    return false;
}

// An icon or cursor file: every entry's image within the data and sound.
bool IsSoundIconFile(const BYTE* data, DWORD size)
{
    const UINT type = Read16(data + 2), count = Read16(data + 4);
    if (Read16(data) != 0 || (type != 1 && type != 2) || count == 0 ||
        6 + 16 * uint64_t{count} > size)
        return false;
    for (UINT i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 16 * i;
        const DWORD bytes = Read32(entry + 8), offset = Read32(entry + 12);
        if (uint64_t{offset} + bytes > size ||
            !Resource::CResourceReader::IsSoundIconImage(data + offset, bytes))
            return false;
    }
    return true;
}

int ColorTableSize(BYTE packed)
{
    return (packed & 0x80) ? 3 * (1 << ((packed & 0x07) + 1)) : 0;
}

// Renders a picture's whole area at rect; IPicture wants the source bottom-up.
bool RenderPicture(IPicture* picture, HDC dc, const RECT& rect)
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    return SUCCEEDED(picture->Render(dc, rect.left, rect.top, rect.right - rect.left,
                                     rect.bottom - rect.top, 0, height, width, -height, nullptr));
}

IPicture* PictureFromGlobal(HGLOBAL memory, DWORD size, bool deleteOnRelease)
{
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, deleteOnRelease, &stream)) || !stream) {
        if (deleteOnRelease)
            GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))))
        picture = nullptr;
    stream->Release();
    return picture;
}

}  // namespace

CPictureGlyph::CPictureGlyph() = default;

CPictureGlyph::~CPictureGlyph()
{
    // UnLoad stops the worker, which signals and resets the event: it is
    // closed only after that, so no handle that may meanwhile carry the same
    // value elsewhere in the process is touched.
    UnLoad();
    if (m_hStopEvent) {
        CloseHandle(m_hStopEvent);
        m_hStopEvent = nullptr;
    }
}

DWORD CPictureGlyph::FrameWaitMs(UINT delay)
{
    // A frame without a control extension has delay 0xFFFFFFFF; ten times
    // that would overflow, so it shows for the minimum as well.
    if (delay < 5 || delay == 0xFFFFFFFF)
        return 100;
    return delay * 10;
}

bool CPictureGlyph::IsSoundPicture(const void* memory, DWORD size)
{
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const BYTE* data = static_cast<const BYTE*>(memory);
    if (!data || size < 8)
        return false;
    if (data[0] == 'B' && data[1] == 'M')
        return Resource::CResourceReader::IsSoundBitmapFile(data, size);
    if (data[0] == 0xFF && data[1] == 0xD8)
        return IsSoundJpeg(data, size);
    if (memcmp(data, kPng, sizeof kPng) == 0)
        return IsSoundPng(data, size);
    // Anything else the decoder would take for an icon or cursor, or try as
    // a metafile; metafile records are drawing commands whose object indices
    // and counts the platform's playback trusts, so none is shown.
    return IsSoundIconFile(data, size);
}

// ------------------------------------------------------------- loading

int CPictureGlyph::Load(void* memory, DWORD size)
{
    UnLoad();
    HGLOBAL block = static_cast<HGLOBAL>(memory);
    const BYTE* data = block ? static_cast<const BYTE*>(GlobalLock(block)) : nullptr;
    if (!data)
        return FALSE;
    // Never trust a size beyond the block itself.
    SIZE_T blockSize = GlobalSize(block);
    if (size > blockSize)
        size = static_cast<DWORD>(blockSize);
    m_nDataSize = size;
    m_pRawData = data;

    const bool signature = size >= 6 && memcmp(data, "GIF", 3) == 0;
    const bool gif =
        signature && (memcmp(data + 3, "87a", 3) == 0 || memcmp(data + 3, "89a", 3) == 0);
    bool headerOk = signature && size >= kHeaderSize;
    if (headerOk) {
        m_pLSDescriptor = data + 6;
        m_nGlobalCTSize = ColorTableSize(m_pLSDescriptor[4]);
        headerOk = kHeaderSize + static_cast<UINT>(m_nGlobalCTSize) <= size;
    }
    if (!gif) {
        // Another GIF version goes to the system decoder whole, so every
        // one of its blocks must be complete; any other data is checked
        // for its own format.
        const bool sound = signature ? headerOk && WalksToTrailer() : IsSoundPicture(data, size);
        GlobalUnlock(block);
        m_pRawData = m_pLSDescriptor = nullptr;
        m_nGlobalCTSize = 0;
        m_nCurrOffset = 0;
        if (!sound || !LoadStill(block))
            return FALSE;
        return PrepareDC(m_PictureSize.cx, m_PictureSize.cy);
    }

    m_bIsGIF = true;
    if (!headerOk) {
        GlobalUnlock(block);
        m_pRawData = m_pLSDescriptor = nullptr;
        return FALSE;
    }
    if (m_nGlobalCTSize) {
        const BYTE* entry = data + kHeaderSize + 3 * m_pLSDescriptor[5];
        if (entry + 3 <= data + kHeaderSize + m_nGlobalCTSize)
            m_clrBackground = RGB(entry[0], entry[1], entry[2]);
    }
    m_PictureSize = {static_cast<LONG>(Read16(m_pLSDescriptor)),
                     static_cast<LONG>(Read16(m_pLSDescriptor + 2))};

    int graphicBlocks = 0;
    ResetDataPointer();
    while (SkipNextGraphicBlock())
        ++graphicBlocks;

    if (graphicBlocks == 0) {
        GlobalUnlock(block);
        m_pRawData = m_pLSDescriptor = nullptr;
        return FALSE;
    }
    ResetDataPointer();
    if (graphicBlocks == 1) {
        // The decoder gets the one graphic block as the walk checked it,
        // never the bytes after it (a half-copied file ends in a torn block).
        SFrame still;
        UINT length = 0;
        HGLOBAL one = GetNextGraphicBlock(&length, &still.delay, &still.frameSize,
                                          &still.frameOffset, &still.disposal);
        GlobalUnlock(block);
        m_pRawData = m_pLSDescriptor = nullptr;
        m_pPicture = one ? PictureFromGlobal(one, length, true) : nullptr;
        if (!m_pPicture)
            return FALSE;
        return PrepareDC(m_PictureSize.cx, m_PictureSize.cy);
    }

    for (;;) {
        SFrame frame;
        UINT length = 0;
        HGLOBAL one = GetNextGraphicBlock(&length, &frame.delay, &frame.frameSize,
                                          &frame.frameOffset, &frame.disposal);
        if (!one)
            break;
        frame.picture = PictureFromGlobal(one, length, true);
        if (frame.picture)
            m_arrFrames.push_back(frame);
    }
    GlobalUnlock(block);
    m_pRawData = m_pLSDescriptor = nullptr;
    if (m_arrFrames.empty())
        return FALSE;
    return PrepareDC(m_PictureSize.cx, m_PictureSize.cy);
}

bool CPictureGlyph::LoadStill(HGLOBAL memory)
{
    m_pPicture = PictureFromGlobal(memory, m_nDataSize, false);
    if (!m_pPicture)
        return false;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_pPicture->get_Width(&width);
    m_pPicture->get_Height(&height);
    HDC dc = GetVesselDC();
    if (!dc)
        return false;
    m_PictureSize = {MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), 2540),
                     MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), 2540)};
    ReleaseVesselDC(dc);
    return true;
}

int CPictureGlyph::Load(const wchar_t* path)
{
    if (!path)
        return FALSE;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    LARGE_INTEGER length;
    HGLOBAL block = nullptr;
    bool read = false;
    if (GetFileSizeEx(file, &length) && length.QuadPart > 0 && length.QuadPart < 0x7FFFFFFF) {
        DWORD size = static_cast<DWORD>(length.QuadPart);
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
        if (void* target = block ? GlobalLock(block) : nullptr) {
            DWORD got = 0;
            read = ReadFile(file, target, size, &got, nullptr) && got == size;
            GlobalUnlock(block);
        }
    }
    CloseHandle(file);
    int result = read ? Load(block, static_cast<DWORD>(length.QuadPart)) : FALSE;
    if (block)
        GlobalFree(block);
    return result;
}

int CPictureGlyph::Load(HINSTANCE module, const wchar_t* name, const wchar_t* type)
{
    DWORD size = 0;
    const void* bytes = Resource::CModuleResources(module).Find(
        type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size);
    if (!bytes || size == 0)
        return FALSE;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
    void* target = block ? GlobalLock(block) : nullptr;
    if (!target) {
        if (block)
            GlobalFree(block);
        return FALSE;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block);
    int result = Load(block, size);
    GlobalFree(block);
    return result;
}

void CPictureGlyph::UnLoad()
{
    Stop();
    if (m_pPicture) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    for (SFrame& frame : m_arrFrames) {
        if (frame.picture)
            frame.picture->Release();
    }
    m_arrFrames.clear();
    if (m_hMemDC) {
        SelectObject(m_hMemDC, m_hOldBM);
        DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
    }
    if (m_hMemBM) {
        DeleteObject(m_hMemBM);
        m_hMemBM = nullptr;
    }
    m_hOldBM = nullptr;
    DeleteSavedArea();
    m_pRawData = nullptr;
    m_pLSDescriptor = nullptr;
    m_bIsInitialized = false;
    m_bStopRequest = false;
    m_bIsGIF = false;
    m_clrBackground = 0xFFFFFF;
    m_nGlobalCTSize = 0;
    m_nCurrOffset = 0;
    m_nCurrFrame = 0;
    m_nDataSize = 0;
}

bool CPictureGlyph::PrepareDC(int cx, int cy)
{
    if (cx <= 0 || cy <= 0 || uint64_t(cx) * uint64_t(cy) > kMaxPixels)
        return false;
    HDC vesselDC = GetVesselDC();
    if (!vesselDC)
        return false;
    HDC memory = CreateCompatibleDC(vesselDC);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(vesselDC, cx, cy) : nullptr;
    ReleaseVesselDC(vesselDC);
    if (!bitmap) {
        if (memory)
            DeleteDC(memory);
        return false;
    }
    m_hMemDC = memory;
    m_hMemBM = bitmap;
    m_hOldBM = SelectObject(memory, bitmap);
    m_clrBackground = GetSysColor(COLOR_BTNFACE);
    RECT all = {0, 0, cx, cy};
    FillRect(memory, &all, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    m_bIsInitialized = true;
    return true;
}

// ------------------------------------------------------------ GIF walk

void CPictureGlyph::ResetDataPointer()
{
    m_nCurrOffset = kHeaderSize + m_nGlobalCTSize;
}

GIFBlockTypes CPictureGlyph::GetNextBlock() const
{
    if (!m_pRawData || m_nCurrOffset >= m_nDataSize)
        return BLOCK_UNKNOWN;
    BYTE first = m_pRawData[m_nCurrOffset];
    if (first == 0x2C)
        return BLOCK_IMAGE;
    if (first == 0x3B)
        return BLOCK_TRAILER;
    if (first != 0x21 || m_nCurrOffset + 1 >= m_nDataSize)
        return BLOCK_UNKNOWN;
    switch (m_pRawData[m_nCurrOffset + 1]) {
    case 0xFF: return BLOCK_APPEXT;
    case 0xFE: return BLOCK_COMMEXT;
    case 0xF9: return BLOCK_CONTROLEXT;
    case 0x01: return BLOCK_PLAINTEXT;
    default: return BLOCK_UNKNOWN;
    }
}

long long CPictureGlyph::GetSubBlocksLen(UINT start) const
{
    long long length = 0;
    for (unsigned long long at = start; at < m_nDataSize;) {
        BYTE size = m_pRawData[at];
        if (size == 0)
            return length + 1;
        length += 1 + size;
        at += 1 + size;
    }
    return -1;  // runs past the end: incomplete
}

long long CPictureGlyph::GetNextBlockLen() const
{
    auto withSubBlocks = [this](UINT fixed) -> long long {
        long long sub = GetSubBlocksLen(m_nCurrOffset + fixed);
        return sub < 0 ? -1 : fixed + sub;
    };
    switch (GetNextBlock()) {
    case BLOCK_APPEXT: return withSubBlocks(14);
    case BLOCK_COMMEXT: return withSubBlocks(2);
    case BLOCK_CONTROLEXT: return 8;
    case BLOCK_PLAINTEXT: return withSubBlocks(15);
    case BLOCK_IMAGE: {
        if (m_nCurrOffset + 9 >= m_nDataSize)
            return -1;
        const BYTE* image = m_pRawData + m_nCurrOffset;
        const UINT codeSizeAt = 10 + ColorTableSize(image[9]);
        if (m_nCurrOffset + codeSizeAt >= m_nDataSize)
            return -1;
        // A frame without area, an absurdly large one, or an LZW code size
        // outside the format is damage: the walk ends before it.
        const uint64_t width = Read16(image + 5), height = Read16(image + 7);
        const BYTE codeSize = image[codeSizeAt];
        if (!width || !height || width * height > kMaxPixels || codeSize < 2 || codeSize > 8)
            return -1;
        return withSubBlocks(codeSizeAt + 1);
    }
    case BLOCK_TRAILER: return 1;
    default: return -1;
    }
}

bool CPictureGlyph::SkipNextBlock()
{
    long long length = GetNextBlockLen();
    if (length < 1 || m_nCurrOffset + length > m_nDataSize)
        return false;
    m_nCurrOffset += static_cast<UINT>(length);
    return true;
}

bool CPictureGlyph::SkipNextGraphicBlock()
{
    auto skipTo = [this](bool controlToo) -> GIFBlockTypes {
        for (;;) {
            GIFBlockTypes type = GetNextBlock();
            if (type == BLOCK_UNKNOWN || type == BLOCK_TRAILER)
                return BLOCK_UNKNOWN;
            if (type == BLOCK_IMAGE || type == BLOCK_PLAINTEXT ||
                (controlToo && type == BLOCK_CONTROLEXT))
                return type;
            if (!SkipNextBlock())
                return BLOCK_UNKNOWN;
        }
    };
    GIFBlockTypes type = skipTo(true);
    if (type == BLOCK_UNKNOWN || GetNextBlockLen() < 1)
        return false;
    if (type == BLOCK_CONTROLEXT) {
        if (!SkipNextBlock() || skipTo(false) == BLOCK_UNKNOWN)
            return false;
    }
    return SkipNextBlock();
}

bool CPictureGlyph::WalksToTrailer()
{
    ResetDataPointer();
    while (GetNextBlock() != BLOCK_TRAILER) {
        if (!SkipNextBlock())
            return false;
    }
    return true;
}

HGLOBAL CPictureGlyph::GetNextGraphicBlock(UINT* length, UINT* delay, SIZE* frameSize,
                                           SIZE* frameOffset, UINT* disposal)
{
    *disposal = 0;
    // Skip what stands before the graphic block.
    for (;;) {
        GIFBlockTypes type = GetNextBlock();
        if (type == BLOCK_UNKNOWN || type == BLOCK_TRAILER)
            return nullptr;
        if (type == BLOCK_CONTROLEXT || type == BLOCK_IMAGE || type == BLOCK_PLAINTEXT)
            break;
        if (!SkipNextBlock())
            return nullptr;
    }
    const UINT start = m_nCurrOffset;
    if (GetNextBlock() == BLOCK_CONTROLEXT) {
        if (m_nCurrOffset + 8 > m_nDataSize)
            return nullptr;
        const BYTE* control = m_pRawData + m_nCurrOffset;
        *delay = Read16(control + 4);
        *disposal = (control[3] & 0x1C) >> 2;
        if (!SkipNextBlock())
            return nullptr;
        for (;;) {
            GIFBlockTypes type = GetNextBlock();
            if (type == BLOCK_UNKNOWN || type == BLOCK_TRAILER)
                return nullptr;
            if (type == BLOCK_IMAGE || type == BLOCK_PLAINTEXT)
                break;
            if (!SkipNextBlock())
                return nullptr;
        }
    } else {
        *delay = 0xFFFFFFFF;
    }
    if (GetNextBlock() == BLOCK_IMAGE && m_nCurrOffset + 9 <= m_nDataSize) {
        const BYTE* image = m_pRawData + m_nCurrOffset;
        *frameOffset = {static_cast<LONG>(Read16(image + 1)), static_cast<LONG>(Read16(image + 3))};
        *frameSize = {static_cast<LONG>(Read16(image + 5)), static_cast<LONG>(Read16(image + 7))};
    }
    if (!SkipNextBlock())
        return nullptr;

    const UINT blockLength = m_nCurrOffset - start;
    const UINT header = kHeaderSize + m_nGlobalCTSize;
    const UINT total = header + blockLength + 1;
    HGLOBAL one = GlobalAlloc(GMEM_FIXED, total);
    if (!one)
        return nullptr;
    BYTE* out = static_cast<BYTE*>(one);
    memcpy(out, m_pRawData, header);
    memcpy(out + header, m_pRawData + start, blockLength);
    out[total - 1] = 0x3B;
    *length = total;
    return one;
}

// ------------------------------------------------------------- playing

int CPictureGlyph::Play()
{
    if (!m_bIsInitialized)
        return FALSE;
    if (!IsAnimatedGIF()) {
        if (!m_pPicture)
            return FALSE;
        RECT all = {0, 0, m_PictureSize.cx, m_PictureSize.cy};
        if (!RenderPicture(m_pPicture, m_hMemDC, all))
            return FALSE;
        Invalidate();
        return TRUE;
    }
    if (m_hThread)
        return TRUE;
    if (!m_hStopEvent) {
        m_hStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!m_hStopEvent)
            return FALSE;
    }
    unsigned id = 0;
    uintptr_t thread = _beginthreadex(nullptr, 0, &CPictureGlyph::_ThreadAnimation, this,
                                      CREATE_SUSPENDED, &id);
    if (!thread)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(thread);
    ResumeThread(m_hThread);
    return TRUE;
}

void CPictureGlyph::Stop()
{
    m_bPlaying = false;
    m_bStopRequest = true;
    if (m_hStopEvent)
        SetEvent(m_hStopEvent);
    if (m_hThread) {
        // The worker uses this glyph and its bitmaps: never let it outlive
        // the wait, even when it is slower than the usual five seconds.
        if (WaitForSingleObject(m_hThread, kStopWaitMs) == WAIT_TIMEOUT)
            WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (m_hStopEvent)
        ResetEvent(m_hStopEvent);
    m_bStopRequest = false;
}

unsigned __stdcall CPictureGlyph::_ThreadAnimation(void* param)
{
    auto* glyph = static_cast<CPictureGlyph*>(param);
    glyph->m_bPlaying = true;
    try {
        glyph->ThreadAnimation();
    } catch (...) {
        // Nothing may leave a thread entry; the animation just ends.
    }
    glyph->m_bPlaying = false;
    return 0;
}

void CPictureGlyph::FillBackground(const RECT& rect)
{
    HBRUSH brush = CreateSolidBrush(m_clrBackground);
    FillRect(m_hMemDC, &rect, brush);
    DeleteObject(brush);
}

void CPictureGlyph::DeleteSavedArea()
{
    if (m_hDispMemDC) {
        SelectObject(m_hDispMemDC, m_hDispOldBM);
        DeleteDC(m_hDispMemDC);
        m_hDispMemDC = nullptr;
    }
    if (m_hDispMemBM) {
        DeleteObject(m_hDispMemBM);
        m_hDispMemBM = nullptr;
    }
    m_hDispOldBM = nullptr;
}

namespace {
RECT FrameRect(const SFrame& frame)
{
    return {frame.frameOffset.cx, frame.frameOffset.cy, frame.frameOffset.cx + frame.frameSize.cx,
            frame.frameOffset.cy + frame.frameSize.cy};
}
}  // namespace

void CPictureGlyph::RestoreDisposal(const SFrame& frame)
{
    RECT r = FrameRect(frame);
    if (frame.disposal == 2) {
        FillBackground(r);
    } else if (m_hDispMemDC && frame.disposal == 3) {
        BitBlt(m_hMemDC, r.left, r.top, r.right - r.left, r.bottom - r.top, m_hDispMemDC, 0, 0,
               SRCCOPY);
        DeleteSavedArea();
    }
}

void CPictureGlyph::ThreadAnimation()
{
    const UINT count = static_cast<UINT>(m_arrFrames.size());
    if (count == 0)
        return;
    if (m_nCurrFrame >= count)
        m_nCurrFrame = 0;
    RestoreDisposal(m_arrFrames[m_nCurrFrame]);

    while (!m_bStopRequest) {
        const SFrame& frame = m_arrFrames[m_nCurrFrame];
        if (frame.picture) {
            RECT r = FrameRect(frame);
            if (frame.disposal == 3) {
                DeleteSavedArea();
                m_hDispMemDC = CreateCompatibleDC(m_hMemDC);
                m_hDispMemBM = CreateCompatibleBitmap(m_hMemDC, frame.frameSize.cx, frame.frameSize.cy);
                if (m_hDispMemDC && m_hDispMemBM) {
                    m_hDispOldBM = SelectObject(m_hDispMemDC, m_hDispMemBM);
                    BitBlt(m_hDispMemDC, 0, 0, frame.frameSize.cx, frame.frameSize.cy, m_hMemDC,
                           r.left, r.top, SRCCOPY);
                } else {
                    DeleteSavedArea();
                }
            }
            if (RenderPicture(frame.picture, m_hMemDC, r))
                Invalidate();
            if (m_bStopRequest)
                break;
            WaitForSingleObject(m_hStopEvent, FrameWaitMs(frame.delay));
            if (m_bStopRequest)
                break;
            RestoreDisposal(frame);
        }
        if (++m_nCurrFrame >= count) {
            m_nCurrFrame = 0;
            FillBackground(RECT{0, 0, m_PictureSize.cx, m_PictureSize.cy});
        }
    }
}

// --------------------------------------------------------------- glyph

void CPictureGlyph::SetBkColor(COLORREF color)
{
    if (!m_bIsInitialized)
        return;
    m_clrBackground = color;
    FillBackground(RECT{0, 0, m_PictureSize.cx, m_PictureSize.cy});
}

CSize CPictureGlyph::CalcSize(HDC, int, int, bool)
{
    return CSize(m_PictureSize.cx, m_PictureSize.cy);
}

void CPictureGlyph::SetRegion(HDC dc, const CRect& rect)
{
    CGlyph::SetRegion(dc, rect);
}

void CPictureGlyph::Draw(HDC dc, const RECT*)
{
    if (!m_bIsInitialized || !dc)
        return;
    BitBlt(dc, m_rcRegion.left, m_rcRegion.top, m_PictureSize.cx, m_PictureSize.cy, m_hMemDC, 0, 0,
           SRCCOPY);
}

}  // namespace Glyph
