#include <gtest/gtest.h>
#include "tests/common/Screenshot.h"
#include "tests/common/TestCommon.h"

namespace {

// A topmost window painted in four coloured quarters.
LRESULT CALLBACK QuartersProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
        for (int i = 0; i < 4; ++i) {
            RECT part = {i % 2 ? rc.right / 2 : 0, i / 2 ? rc.bottom / 2 : 0, i % 2 ? rc.right : rc.right / 2,
                         i / 2 ? rc.bottom : rc.bottom / 2};
            HBRUSH brush = CreateSolidBrush(colours[i]);
            FillRect(dc, &part, brush);
            DeleteObject(brush);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = QuartersProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScreenshotTestQuarters";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 40, 50, 80,
                                   60, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(m_window);
        UpdateWindow(m_window);
        MSG msg;
        for (int i = 0; i < 20; ++i) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
    }
    void TearDown() override { DestroyWindow(m_window); }

    HWND m_window = nullptr;
    TestCommon::CTempDir m_dir;
};

TEST_F(ScreenshotTest, WindowRoundTripsThroughPng)
{
    std::wstring path = m_dir.File(L"quarters.png");
    ASSERT_TRUE(Screenshot::SaveWindowPng(m_window, path, true));

    Screenshot::SPixels read;
    ASSERT_TRUE(Screenshot::LoadPicture(path, read));
    EXPECT_EQ(read.width, 80);
    EXPECT_EQ(read.height, 60);
    // Pixels are 0x00RRGGBB: each quarter keeps its colour and place.
    EXPECT_EQ(read.At(5, 5), 0xFF0000u);
    EXPECT_EQ(read.At(75, 5), 0x00FF00u);
    EXPECT_EQ(read.At(5, 55), 0x0000FFu);
    EXPECT_EQ(read.At(75, 55), 0xFFFF00u);
    EXPECT_EQ(read.At(80, 0), 0xFFFFFFFFu);

    // A close-up adds the margin on every side, centred on the window.
    std::wstring closeUp = m_dir.File(L"closeup.png");
    ASSERT_TRUE(Screenshot::SaveCloseUpPng(m_window, 4, closeUp));
    ASSERT_TRUE(Screenshot::LoadPicture(closeUp, read));
    EXPECT_EQ(read.width, 88);
    EXPECT_EQ(read.height, 68);
    EXPECT_EQ(read.At(4, 4), 0xFF0000u);
    EXPECT_EQ(read.At(83, 63), 0xFFFF00u);
}

TEST_F(ScreenshotTest, RefusesWhatCannotBeSaved)
{
    Screenshot::SPixels pixels;
    RECT empty = {10, 10, 10, 40};
    EXPECT_FALSE(Screenshot::CaptureScreenRect(empty, pixels));
    EXPECT_FALSE(Screenshot::SavePng(pixels, m_dir.File(L"empty.png")));
    EXPECT_FALSE(Screenshot::SaveWindowPng(nullptr, m_dir.File(L"none.png")));
    EXPECT_FALSE(Screenshot::SaveCloseUpPng(reinterpret_cast<HWND>(0x1234), 2, m_dir.File(L"none.png")));

    // Pixels whose count does not match their size are not written.
    pixels.width = 4;
    pixels.height = 4;
    pixels.bits.assign(3, 0);
    EXPECT_FALSE(Screenshot::SavePng(pixels, m_dir.File(L"short.png")));

    // A folder that does not exist, and a file that is not a picture.
    pixels.bits.assign(16, 0x123456);
    EXPECT_FALSE(Screenshot::SavePng(pixels, m_dir.File(L"missing\\folder.png")));
    static const char junk[] = "\x89PNG\r\n\x1a\n not really";
    std::wstring bad = m_dir.File(L"bad.png");
    ASSERT_TRUE(TestCommon::WriteFileBytes(bad, junk, sizeof junk - 1));
    EXPECT_FALSE(Screenshot::LoadPicture(bad, pixels));
    EXPECT_FALSE(Screenshot::LoadPicture(m_dir.File(L"absent.png"), pixels));
}

}  // namespace
