#pragma once
// Preview providers: the interface the dialog draws through, and the common
// base that keeps the file to show.
#include <vector>
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

namespace Pardo {

// The orientation a JPEG's EXIF block gives its picture (1 to 8, as the tag
// counts them); 1 (as stored) when there is none or it cannot be read.
PARDO_API int ExifOrientation(const BYTE* data, size_t size);

// Size and last write of a file, so that a kept preview can tell when the
// file it was made from has changed. All zero when the file is missing.
struct SFileStamp {
    ULONGLONG size = 0;
    ULONGLONG written = 0;
    bool operator==(const SFileStamp&) const = default;
};
PARDO_API SFileStamp FileStamp(const char* path);

// The whole file in memory; false when it cannot be read or is larger than
// the limit.
PARDO_API bool ReadWholeFile(const char* path, size_t limit, std::vector<BYTE>* bytes);


}  // namespace Pardo
