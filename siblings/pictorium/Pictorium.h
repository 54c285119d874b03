#pragma once
// Pictorium: the suite's imaging library (stand-in). An image keeps its
// encoded bytes and decodes them through GDI+ when a bitmap is asked for.
#include <windows.h>
#include "pardo/afx/Gdi.h"

#if defined(PICTORIUM_BUILD)
#define PICTORIUM_API __declspec(dllexport)
#else
#define PICTORIUM_API __declspec(dllimport)
#endif

class PICTORIUM_API SECImage {
public:
    SECImage();
    SECImage(const SECImage& other);
    SECImage& operator=(const SECImage& other);
    virtual ~SECImage();

    // Copies the encoded picture; false (and the image empty) when it cannot
    // be kept.
    bool SetEncodedData(const BYTE* data, UINT size);
    const BYTE* GetEncodedData() const { return m_pData; }
    UINT GetEncodedSize() const { return m_nSize; }
    bool IsEmpty() const { return m_nSize == 0; }
    // Whether the bytes look like this image's format.
    virtual bool IsValidFormat() const;

    // Decodes the picture into a bitmap compatible with dc (the screen when
    // null); null when it does not decode. The caller owns the bitmap.
    // GDI+ is started and stopped around the call, so a host need not.
    HBITMAP CreateBitmapHandle(HDC dc) const;
    // Size of the decoded picture, valid after a successful decoding.
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    // The framework-side form: a new CBitmap owned by the caller, or null.
    // Inline, so it runs in (and uses the framework of) the caller.
    CBitmap* MakeBitmap(CDC* dc)
    {
        HBITMAP handle = CreateBitmapHandle(dc ? dc->GetSafeHdc() : nullptr);
        if (!handle)
            return nullptr;
        CBitmap* bitmap = new CBitmap;
        bitmap->Attach(handle);
        return bitmap;
    }

protected:
    BYTE* m_pData = nullptr;
    UINT m_nSize = 0;
    mutable int m_nWidth = 0;
    mutable int m_nHeight = 0;
};

class PICTORIUM_API SECJpeg : public SECImage {
public:
    SECJpeg();
    ~SECJpeg() override;
    // Starts with the JPEG start-of-image marker.
    bool IsValidFormat() const override;
};

namespace Pictorium {
// Encodes a 24-bit bitmap as JPEG (quality 0..100) into a buffer the caller
// frees with FreeBytes; null on failure. Used to make preview pictures.
PICTORIUM_API BYTE* EncodeJpeg(HBITMAP bitmap, int quality, UINT* size);
PICTORIUM_API void FreeBytes(BYTE* bytes);
}  // namespace Pictorium
