#pragma once
// Preview of DWG and DXF drawings through the drawing library: the stored
// thumbnail when there is one, else the whole drawing rendered. What the
// library gave is kept for the selected file (and the rendering at the last
// box size), so a repaint neither opens nor parses the drawing again.
#include "pardo/FilePreview.h"
#include "siblings/vantrel/Vantrel.h"

class PARDO_API CQRNACADFilePreview : public CQRNFilePreview {
public:
    CQRNACADFilePreview();
    ~CQRNACADFilePreview() override;
    CQRNACADFilePreview(const CQRNACADFilePreview&) = delete;
    CQRNACADFilePreview& operator=(const CQRNACADFilePreview&) = delete;

    // Another file (or the same one changed on disk) drops what was kept.
    void SetPreviewFile(const char* path) override;
    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    // .dwg .dxf
    bool isPreviewForFileType(const char* extension) override;
    // Shows the interactive viewer in the box; created on the first call
    // (later calls neither move nor resize it). dc is not used.
    void DrawDWG(CWnd* window, HDC dc, int x, int y, int cx, int cy);

protected:
    // Where a w by h picture goes in a cx by cy box: never enlarged, the
    // longer side fitted, centred; relative to the box.
    CRect EvalRect(int w, int h, int cx, int cy);

    CQRNACADViewer m_viewer;
    bool m_bViewerCreated = false;

private:
    struct SPicture;
    SPicture* LoadPicture();
    void DrawRendered(SPicture& picture, HDC dc, int x, int y, int cx, int cy);
    void DropPicture();
    SPicture* m_pPicture = nullptr;
};

namespace Pardo {

// EvalRect's arithmetic. An empty rectangle when the picture or the box
// has no width or height (nothing can be fitted).
PARDO_API CRect FitPicture(int w, int h, int cx, int cy);

// A packed DIB as the thumbnail path reads it: pixels after biSize bytes
// and a colour table of 8, 64 or 1024 bytes for 1, 4 and 8 bits per pixel.
struct SDibLayout {
    int width = 0;
    int height = 0;       // as stored (negative: top-down)
    size_t pixelOffset = 0;
};
// False when the array is too short for the header, the colour table the
// platform reads or the rows, or holds a compressed or odd bitmap.
PARDO_API bool DibLayout(const BYTE* dib, size_t size, SDibLayout* layout);

// A metafile thumbnail: where the metafile proper starts, how many bytes it
// has, and its size in tenths of a millimetre from the placeable header.
struct SWmfLayout {
    size_t offset = 0;
    size_t bytes = 0;
    bool hasSize = false;
    int width = 0;
    int height = 0;
};
// False when the type is neither 1 nor 2, the header's word count runs
// past the array, or a record claims more than it holds, names an object
// past the table, or is of a kind the platform cannot convert safely.
PARDO_API bool WmfLayout(const BYTE* wmf, size_t size, SWmfLayout* layout);

// Where the rendered drawing goes: its shorter side fills the box, anchored
// at the box's top-left corner. Empty when the bounds have no width or
// height.
PARDO_API CRect RenderedPlacement(const RECT& bounds, int x, int y, int cx, int cy);

}  // namespace Pardo
