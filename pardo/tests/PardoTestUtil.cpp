#include "PardoTestUtil.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include "pardo/samples/SampleImages.h"

namespace PardoTest {

namespace {

// The host starts GDI+; so do the tests, once for the whole run.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override { m_session = std::make_unique<PardoSamples::CGdiplusSession>(); }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<PardoSamples::CGdiplusSession> m_session;
};

const bool g_registered = (testing::AddGlobalTestEnvironment(new GdiplusEnvironment), true);

int g_reported;

void CountingReporter(const char*)
{
    ++g_reported;
}

}  // namespace

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

CCanvas::CCanvas(int w, int h, COLORREF fill) : m_w(w), m_h(h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, w, h};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
}

CCanvas::~CCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF CCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    uint32_t p = m_bits[y * m_w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

RECT CCanvas::BoundsOf(COLORREF color, int tolerance) const
{
    RECT box = {m_w, m_h, 0, 0};
    for (int y = 0; y < m_h; ++y) {
        for (int x = 0; x < m_w; ++x) {
            COLORREF p = Pixel(x, y);
            if (abs(GetRValue(p) - GetRValue(color)) <= tolerance && abs(GetGValue(p) - GetGValue(color)) <= tolerance &&
                abs(GetBValue(p) - GetBValue(color)) <= tolerance) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    if (box.right == 0)
        box = RECT{0, 0, 0, 0};
    return box;
}

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

CRecordingPreview::~CRecordingPreview()
{
    Log().push_back(m_name + ":delete");
}

void CRecordingPreview::SetPreviewFile(const char* path)
{
    CQRNFilePreview::SetPreviewFile(path);
    Log().push_back(m_name + ":set:" + m_strFile.GetString());
}

void CRecordingPreview::DrawPreview(CWnd*, HDC, int, int, int, int)
{
    Log().push_back(m_name + ":draw");
    if (m_throwOnDraw)
        throw std::runtime_error("provider failed to draw");
}

bool CRecordingPreview::isPreviewForFileType(const char* extension)
{
    CString lower(extension);
    lower.MakeLower();
    return std::find(m_extensions.begin(), m_extensions.end(), lower.GetString()) != m_extensions.end();
}

CReportCounter::CReportCounter()
{
    g_reported = 0;
    Pardo::SetExceptionReporter(&CountingReporter);
}

CReportCounter::~CReportCounter()
{
    Pardo::SetExceptionReporter(nullptr);
}

int CReportCounter::Count()
{
    return g_reported;
}

void Pump(int milliseconds, const std::function<bool()>& done)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done && done())
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace PardoTest
