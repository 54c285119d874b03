#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include "WindowTestUtil.h"
#include "orvel/host/Global.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/style/StyleManager.h"
#include "orvel/windows/MessageBox.h"
#include "orvel/windows/StyledWnd.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

using Windows::MessageBoxImpl::OpenMessageBox;

namespace {

struct SButton {
    int id;
    std::wstring text;
    RECT rect;  // box client coordinates
};

std::vector<SButton> ButtonsOf(HWND box)
{
    std::vector<SButton> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {}, text[64] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Button") != 0 || !IsWindowVisible(child))
            continue;
        GetWindowTextW(child, text, 64);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
        buttons.push_back({GetDlgCtrlID(child), text, rect});
    }
    std::sort(buttons.begin(), buttons.end(), [](const SButton& a, const SButton& b) { return a.rect.left < b.rect.left; });
    return buttons;
}

// Runs `act` on the box once it is open, from a timer inside the box's
// modal loop; a box still open long after is closed so no test can hang.
class CBoxDriver {
public:
    explicit CBoxDriver(std::function<void(HWND)> act) : m_act(std::move(act))
    {
        s_driver = this;
        m_timer = SetTimer(nullptr, 0, 30, Tick);
    }
    ~CBoxDriver()
    {
        KillTimer(nullptr, m_timer);
        s_driver = nullptr;
    }
    CBoxDriver(const CBoxDriver&) = delete;
    CBoxDriver& operator=(const CBoxDriver&) = delete;

    bool Acted() const { return m_acted; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CBoxDriver* self = s_driver;
        HWND box = OpenMessageBox();
        if (!self || !box || !IsWindowVisible(box))
            return;
        if (!self->m_acted) {
            self->m_acted = true;
            self->m_act(box);
        } else if (++self->m_ticks > 150) {
            PostMessageW(box, WM_CLOSE, 0, 0);
        }
    }

    static inline CBoxDriver* s_driver = nullptr;
    std::function<void(HWND)> m_act;
    UINT_PTR m_timer = 0;
    bool m_acted = false;
    int m_ticks = 0;
};

void SendKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void SendClick(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

long long Show(unsigned int type, const std::function<void(HWND)>& act, const wchar_t* text = L"Text",
               const wchar_t* caption = L"Caption")
{
    CBoxDriver driver(act);
    long long result = Windows::ShowMessageBox(nullptr, text, caption, type);
    EXPECT_TRUE(driver.Acted());
    return result;
}

void Close(HWND box)
{
    SendMessageW(box, WM_CLOSE, 0, 0);
}

int CountThreadDialogs()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            *reinterpret_cast<int*>(data) += lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

// The shipped packs and language modules beside Orvel.dll.
class MessageBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        COrvelGlobal::GetInstance().Initialize(GetModuleHandleW(L"Orvel.dll"));
    }
    void SetUp() override
    {
        ASSERT_TRUE(SetLanguageID(0x0409));
        Select(L"ZQ2009");
    }
    void TearDown() override { WindowTest::Pump(); }
    static void Select(const wchar_t* pack)
    {
        Style::CStyleManager& styles = Style::CStyleManager::GetInstance();
        styles.SelectStyle(pack);
        ASSERT_EQ(pack, styles.GetCurrentName());
        ASSERT_TRUE(styles.IsStyleLoaded());
    }
};

}  // namespace

TEST_F(MessageBoxTest, EachTypeShowsItsButtonsInARowCentredUnderTheText)
{
    const std::vector<std::vector<std::pair<int, std::wstring>>> expected = {
        {{IDOK, L"OK"}},
        {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}},
        {{IDABORT, L"Abort"}, {IDRETRY, L"Retry"}, {IDCANCEL, L"Cancel"}},
        {{IDYES, L"Yes"}, {IDNO, L"No"}, {IDCANCEL, L"Cancel"}},
        {{IDYES, L"Yes"}, {IDNO, L"No"}},
        {{IDRETRY, L"Retry"}, {IDCANCEL, L"Cancel"}},
        {},
    };
    for (unsigned int type = 0; type < expected.size(); ++type) {
        std::vector<SButton> buttons;
        RECT client = {};
        // Bits above the low four choose no other buttons.
        long long result = Show(type | MB_ICONWARNING, [&](HWND box) {
            buttons = ButtonsOf(box);
            GetClientRect(box, &client);
            Close(box);
        });
        EXPECT_EQ(IDCANCEL, result) << type;
        ASSERT_EQ(expected[type].size(), buttons.size()) << type;
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(expected[type][i].first, buttons[i].id) << type;
            EXPECT_EQ(expected[type][i].second, buttons[i].text) << type;
            EXPECT_EQ(buttons[0].rect.top, buttons[i].rect.top) << type;
            EXPECT_EQ(buttons[0].rect.right - buttons[0].rect.left, buttons[i].rect.right - buttons[i].rect.left);
            if (i > 0) {
                int gap = buttons[i].rect.left - buttons[i - 1].rect.right;
                EXPECT_GT(gap, 0) << type;
                EXPECT_EQ(buttons[1].rect.left - buttons[0].rect.right, gap) << type;
            }
        }
        if (!buttons.empty()) {
            int leftGap = buttons.front().rect.left, rightGap = client.right - buttons.back().rect.right;
            EXPECT_LE(std::abs(leftGap - rightGap), 1) << type;
            EXPECT_GT(buttons[0].rect.top, client.bottom / 2) << type;
        }
    }
    EXPECT_FALSE(OpenMessageBox());
}

TEST_F(MessageBoxTest, ResultIsTheClickedButtonAndEscapeCancels)
{
    long long result = Show(MB_YESNOCANCEL, [](HWND box) {
        std::vector<SButton> buttons = ButtonsOf(box);
        ASSERT_EQ(3u, buttons.size());
        const RECT& no = buttons[1].rect;
        SendClick(box, {(no.left + no.right) / 2, (no.top + no.bottom) / 2});
    });
    EXPECT_EQ(IDNO, result);
    // Esc answers IDCANCEL even where the row has no Cancel button.
    EXPECT_EQ(IDCANCEL, Show(MB_YESNO, [](HWND) { SendKey(VK_ESCAPE); }));
    // Enter takes the first button, the default one.
    EXPECT_EQ(IDYES, Show(MB_YESNO, [](HWND) { SendKey(VK_RETURN); }));
}

TEST_F(MessageBoxTest, CloseTypeWithoutAnOpenBoxShowsNothing)
{
    int before = CountThreadDialogs();
    EXPECT_EQ(2439, Windows::ShowMessageBox(nullptr, L"Text", L"Caption", Windows::kCloseMessageBox));
    EXPECT_EQ(2439, Windows::CStyledWndManager::GetInstance().ShowMessageBox(nullptr, L"x", L"y", 2439));  // through the manager
    EXPECT_EQ(before, CountThreadDialogs());
    EXPECT_FALSE(OpenMessageBox());
}

TEST_F(MessageBoxTest, CloseTypeEndsTheOpenBoxFromATimerOrAnotherThread)
{
    long long inner = 0;
    long long result = Show(MB_OKCANCEL, [&](HWND) { inner = Windows::ShowMessageBox(nullptr, nullptr, nullptr, 2439); });
    EXPECT_EQ(2439, inner);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(OpenMessageBox());

    std::atomic<long long> fromThread{0};
    std::thread closer([&] {
        for (int i = 0; i < 500 && !OpenMessageBox(); ++i)
            Sleep(10);
        fromThread = Windows::ShowMessageBox(nullptr, nullptr, nullptr, 2439);
    });
    CBoxDriver safety([](HWND) {});
    result = Windows::ShowMessageBox(nullptr, L"Waiting", L"Caption", MB_YESNO);
    closer.join();
    EXPECT_EQ(2439, fromThread.load());
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(OpenMessageBox());

    // A box on another thread, closed from this one.
    std::atomic<long long> shown{0};
    std::thread owner([&] { shown = Windows::ShowMessageBox(nullptr, L"Elsewhere", L"Caption", MB_OK); });
    EXPECT_TRUE(WindowTest::PumpUntil([] { return OpenMessageBox() != nullptr; }));
    EXPECT_EQ(2439, Windows::ShowMessageBox(nullptr, nullptr, nullptr, 2439));
    owner.join();
    EXPECT_EQ(IDCANCEL, shown.load());
}

TEST_F(MessageBoxTest, ButtonsSpeakTheCurrentLanguage)
{
    ASSERT_TRUE(SetLanguageID(0x0804));
    std::vector<SButton> buttons;
    Show(MB_YESNOCANCEL, [&](HWND box) {
        buttons = ButtonsOf(box);
        Close(box);
    });
    ASSERT_EQ(3u, buttons.size());
    EXPECT_EQ(L"\x662F", buttons[0].text);        // yes
    EXPECT_EQ(L"\x5426", buttons[1].text);        // no
    EXPECT_EQ(L"\x53D6\x6D88", buttons[2].text);  // cancel

    // And back.
    ASSERT_TRUE(SetLanguageID(0x0409));
    Show(MB_OK, [&](HWND box) {
        buttons = ButtonsOf(box);
        Close(box);
    });
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ(L"OK", buttons[0].text);
}

TEST_F(MessageBoxTest, BodyFrameAndButtonsTakeThePacksLook)
{
    const struct {
        const wchar_t* pack;
        COLORREF body;
    } packs[] = {{L"ZQ2009", RGB(255, 240, 238)}, {L"Graphite", RGB(62, 34, 34)}};
    for (const auto& pack : packs) {
        Select(pack.pack);
        long before = Windows::LiveStyledObjects();
        long during = 0;
        COLORREF body = CLR_INVALID;
        std::wstring stored;
        Show(MB_OKCANCEL, [&](HWND box) {
            during = Windows::LiveStyledObjects();
            RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            RECT client;
            GetClientRect(box, &client);
            // Inside the body's margin of spacing, clear of the text.
            body = ClientPixel(box, client.right - 20, 20);
            wchar_t text[64] = {};
            GetWindowTextW(box, text, 64);
            stored = text;
            Close(box);
        }, L"Body", L"Hi");
        EXPECT_EQ(pack.body, body) << pack.pack;
        // Frame and two buttons were styled; the styled frame keeps the
        // native text spaced.
        EXPECT_EQ(before + 3, during) << pack.pack;
        EXPECT_EQ(L" H i", stored) << pack.pack;
        EXPECT_EQ(before, Windows::LiveStyledObjects());
    }
}

TEST_F(MessageBoxTest, GrowsForLongTextAndLongCaptions)
{
    auto sizeOf = [](const wchar_t* text, const wchar_t* caption) {
        RECT rect = {};
        Show(MB_OK, [&](HWND box) {
            GetWindowRect(box, &rect);
            Close(box);
        }, text, caption);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    };
    SIZE small = sizeOf(L"Short.", L"Short");
    std::wstring paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += L"A rather long sentence. ";
    SIZE tall = sizeOf(paragraph.c_str(), L"Short");
    EXPECT_EQ(small.cx, tall.cx);
    EXPECT_GT(tall.cy, small.cy + 40);
    SIZE wide = sizeOf(L"Short.", std::wstring(90, L'W').c_str());
    EXPECT_GT(wide.cx, small.cx + 100);
}

TEST_F(MessageBoxTest, BoxesLeaveNoObjectsOrHandlesBehind)
{
    long objects = Windows::LiveStyledObjects();
    Show(MB_OK, Close);  // the first box loads what stays for the process
    int gdi = TestCommon::FreeGdiSlots();
    for (unsigned int type = 0; type < 6; ++type)
        Show(type, Close);
    EXPECT_EQ(objects, Windows::LiveStyledObjects());
    EXPECT_EQ(gdi, TestCommon::FreeGdiSlots());
}

TEST_F(MessageBoxTest, WithoutThePromptLookTheTextIsDrawnNatively)
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\n";
    TestSupport::CCurrentPack bare(source);
    ASSERT_TRUE(bare.Ok());
    int dark = 0;
    Show(MB_OK, [&](HWND box) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT client;
        GetClientRect(box, &client);
        HDC dc = GetDC(box);
        for (int y = 0; y < client.bottom / 2; ++y)
            for (int x = 0; x < client.right; x += 2) {
                COLORREF c = GetPixel(dc, x, y);
                dark += GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        ReleaseDC(box, dc);
        Close(box);
    }, L"Plain text body that a native box would show");
    EXPECT_GT(dark, 20);
}
