#pragma once
// Image preview through GDI+, which the host process must have started.
#include "pardo/FilePreview.h"

// Draws the image centred, its longer side fitted to the matching side of
// the box (small images are enlarged), upright as its EXIF orientation
// says. The decoded picture and its last scaled rendering are kept for the
// selected file, so a repaint neither reads nor decodes the file again;
// selecting another file (or the same one after it changed) drops them.
class PARDO_API CQRNBitmapFilePreview : public CQRNFilePreview {
public:
    CQRNBitmapFilePreview();
    // Copies take the path only; each copy decodes for itself.
    CQRNBitmapFilePreview(const CQRNBitmapFilePreview& other);
    CQRNBitmapFilePreview& operator=(const CQRNBitmapFilePreview& other);
    ~CQRNBitmapFilePreview() override;

    void SetPreviewFile(const char* path) override;
    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    // The base list plus .wmf.
    bool isPreviewForFileType(const char* extension) override;

private:
    struct SPicture;
    void DropPicture();
    SPicture* m_pPicture = nullptr;
};
