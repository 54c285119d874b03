#pragma once
// Image preview through GDI+, which the host process must have started.
#include "pardo/FilePreview.h"

// Loads the image anew on every paint and draws it centred, its longer side
// fitted to the matching side of the box (small images are enlarged).
class PARDO_API CQRNBitmapFilePreview : public CQRNFilePreview {
public:
    CQRNBitmapFilePreview();
    CQRNBitmapFilePreview(const CQRNBitmapFilePreview& other);
    CQRNBitmapFilePreview& operator=(const CQRNBitmapFilePreview& other);
    ~CQRNBitmapFilePreview() override;

    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    // The base list plus .wmf.
    bool isPreviewForFileType(const char* extension) override;
};
