#pragma once
// Helpers of Pardo's tests: a drawing canvas, sample files, providers that
// record what the dialog asks of them.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "pardo/BitmapFilePreview.h"
#include "pardo/FileDialog.h"
#include "tests/common/TestCommon.h"

namespace PardoTest {

std::string Narrow(const std::wstring& text);

// A 32-bit top-down DIB section with a memory context.
class CCanvas {
public:
    CCanvas(int w, int h, COLORREF fill);
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const;
    // Bounding box of the pixels close to a colour (empty when none).
    RECT BoundsOf(COLORREF color, int tolerance) const;

private:
    int m_w, m_h;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint32_t* m_bits = nullptr;
};

// Calls to every recording provider, in order, as text: "A:set:<path>",
// "A:draw", "A:delete".
std::vector<std::string>& Log();

class CRecordingPreview : public CQRNFilePreview {
public:
    CRecordingPreview(const char* name, std::vector<std::string> extensions)
        : m_name(name), m_extensions(std::move(extensions)) {}
    ~CRecordingPreview() override;
    void SetPreviewFile(const char* path) override;
    void DrawPreview(CWnd* window, HDC dc, int x, int y, int cx, int cy) override;
    bool isPreviewForFileType(const char* extension) override;
    const CString& File() const { return m_strFile; }
    bool m_throwOnDraw = false;

private:
    std::string m_name;
    std::vector<std::string> m_extensions;
};

// Counts the exceptions the framework reports for the lifetime of the object.
class CReportCounter {
public:
    CReportCounter();
    ~CReportCounter();
    static int Count();
};

// Processes messages for a while or until done() is true.
void Pump(int milliseconds, const std::function<bool()>& done = nullptr);

}  // namespace PardoTest
