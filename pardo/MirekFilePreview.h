#pragma once
// Preview of the suite's design files: the JPEG stored as the block option
// "preview" in the file's block data.
#include "pardo/FilePreview.h"

// Reads the file anew on every paint; keeps nothing between paints.
class PARDO_API CQRNMirekFilePreview : public CQRNFilePreview {
public:
    CQRNMirekFilePreview();
    CQRNMirekFilePreview(const CQRNMirekFilePreview& other);
    CQRNMirekFilePreview& operator=(const CQRNMirekFilePreview& other);
    ~CQRNMirekFilePreview() override;

    // Draws the stored picture at the box's top-left corner, its longer
    // side filling the matching side of the box, on the window's client
    // area (dc is not used).
    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    // .kit .ofd .kwk .kbf
    bool isPreviewForFileType(const char* extension) override;

protected:
    // The stored picture as a bitmap for the window's client area, owned by
    // the caller; null when the file has none. Archive errors (a file
    // shorter than its header) pass up as framework exceptions.
    CBitmap* GetPreviewImageFromFile(CString path, CWnd* window);
};

namespace Pardo {

// The most bytes a deflate stream of sourceLength bytes can inflate to.
PARDO_API ULONGLONG MaxInflatedLength(ULONGLONG sourceLength);

// Inflates a zlib stream into a buffer of storedLength bytes, bounded by
// what the stream can inflate to. Null (no picture) when uncompress fails.
// The result is freed with FreeInflated.
PARDO_API BYTE* InflateKnownLength(const BYTE* source, ULONG sourceLength, ULONG storedLength, ULONG* inflated);

// Inflates a zlib stream whose inflated length was not stored: tries
// buffers of 16, 26, 36, ... times fileLength bytes while uncompress finds
// the buffer too small. Stops, with null, on any other failure, on a failed
// allocation, and once a buffer larger than the stream can inflate to was
// still too small. *attempts counts the tries and *capacity is the size of
// the last buffer tried.
PARDO_API BYTE* InflateUnknownLength(const BYTE* source, ULONG sourceLength, ULONGLONG fileLength, ULONG* inflated,
                                     int* attempts = nullptr, ULONGLONG* capacity = nullptr);
PARDO_API void FreeInflated(BYTE* data);

// Whether the name ends in ".tpl", in any case.
PARDO_API bool IsTemplateName(const char* path);

}  // namespace Pardo
