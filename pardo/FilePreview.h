#pragma once
// Preview providers: the interface the dialog draws through, and the common
// base that keeps the file to show.
#include "pardo/afx/Framework.h"

// A provider knows one family of file types and draws a preview of one file
// into a box of a device context. Created by the host with new; the dialog
// that it is handed to deletes it.
class PARDO_API IQRNFilePreview {
public:
    virtual ~IQRNFilePreview() = default;
    virtual void SetPreviewFile(const char* path) = 0;
    // window: the dialog hosting the pane; (x, y, cx, cy): the inside of the
    // pane's frame in its client coordinates, already the clip region.
    virtual void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) = 0;
    // extension: with its leading dot; compared without regard to case.
    virtual bool isPreviewForFileType(const char* extension) = 0;
};

class PARDO_API CQRNFilePreview : public IQRNFilePreview {
public:
    CQRNFilePreview();
    CQRNFilePreview(const CQRNFilePreview& other);
    CQRNFilePreview& operator=(const CQRNFilePreview& other);
    ~CQRNFilePreview() override;

    // Stores the path in lower case.
    void SetPreviewFile(const char* path) override;
    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    // The common image extensions: .bmp .gif .jpg .jpeg .png .emf .tif .tiff
    bool isPreviewForFileType(const char* extension) override;
    // Called when a file cannot be shown; draws nothing here. A host that
    // wants a placeholder overrides it.
    virtual void DrawNoPreviewAvailable(HDC dc, int x, int y, int cx, int cy);

protected:
    CString m_strFile;
};
