// The shipped packs on a 144-dpi screen: the style manager loads their
// ".spk.big" companions, and a dialog styled from them still fits the text
// of its controls. Wine reads the screen's dpi once per process, so the test
// sets it in the registry and runs its own binary again as a child; the
// value is restored (and checked) before the test ends.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <string>
#include "HighDpiTestIds.h"
#include "orvel/windows/StyleByClass.h"
#include "orvel/base/GdiHandles.h"
#include "orvel/host/Global.h"
#include "orvel/resource/IniReader.h"
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/style/StyleManager.h"
#include "tests/common/Screenshot.h"

namespace {

using Style::CStyle;

constexpr int kNormalDpi = 96;
constexpr int kHighDpi = 144;
// Set in a child's environment to the dpi it must see.
constexpr wchar_t kChildVariable[] = L"ORVEL_DPI_CHILD";
// Wine reads HKCU first, then HKCC\Software\Fonts.
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
// The screenshots show the dialog against what lies around it.
constexpr int kShotMargin = 10;
// A hang guard for a child run, not a timing: it ends within seconds.
constexpr DWORD kChildTimeoutMs = 240000;
// Text pixels blend into the background at their edges.
constexpr int kColourTolerance = 24;
constexpr int kMinTextPixels = 20;
// RunChild's results when the child gives none.
constexpr DWORD kNotStarted = 0xFFFFFFFF;
constexpr DWORD kTimedOut = 0xFFFFFFFE;

std::wstring BesideTest(const std::wstring& name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// Sets the user's LogPixels for the scope; puts back what was there (or
// removes the value) at its end, whatever the test does in between.
class CLogPixelsScope {
public:
    explicit CLogPixelsScope(DWORD dpi)
    {
        DWORD size = sizeof m_old;
        m_hadOld = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr,
                                &m_old, &size) == ERROR_SUCCESS;
        m_set = RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi,
                                sizeof dpi) == ERROR_SUCCESS;
    }
    ~CLogPixelsScope()
    {
        if (m_hadOld)
            RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &m_old, sizeof m_old);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
    }
    CLogPixelsScope(const CLogPixelsScope&) = delete;
    CLogPixelsScope& operator=(const CLogPixelsScope&) = delete;
    bool IsSet() const { return m_set; }

private:
    DWORD m_old = 0;
    bool m_hadOld = false;
    bool m_set = false;
};

// Runs this binary's child tests matching filter, expecting dpi; returns
// its exit code.
DWORD RunChild(const wchar_t* filter, int dpi)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=" + filter;
    SetEnvironmentVariableW(kChildVariable, std::to_wstring(dpi).c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    if (!started)
        return kNotStarted;
    DWORD code = kTimedOut;
    if (WaitForSingleObject(process.hProcess, kChildTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(HighDpi, BigPacksAt144DpiAndTheDisplayRestored)
{
    {
        CLogPixelsScope scope(kHighDpi);
        ASSERT_TRUE(scope.IsSet());
        EXPECT_EQ(RunChild(L"HighDpiChild.*", kHighDpi), 0u);
    }
    EXPECT_EQ(RunChild(L"HighDpiChild.ScreenDpi", kNormalDpi), 0u);
}

// ------------------------------------------------------------- the child

int ExpectedDpi()
{
    wchar_t value[16] = {};
    return GetEnvironmentVariableW(kChildVariable, value, 16) ? _wtoi(value) : 0;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class HighDpiChild : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_expectedDpi = ExpectedDpi();
        if (!m_expectedDpi)
            GTEST_SKIP() << "runs as a child of HighDpi.*";
    }

    int m_expectedDpi = 0;
};

TEST_F(HighDpiChild, ScreenDpi)
{
    Base::CClientDC screen(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), m_expectedDpi);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), m_expectedDpi);
}

RECT Margins(Style::CPainter* painter)
{
    RECT margins = {0, 0, 0, 0};
    painter->GetContentMargins(margins);
    return margins;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The state-0 text colour of a text painter.
COLORREF TextColour(Style::CPainter* painter, HDC dc)
{
    painter->EnableCustomFormat(dc, true);
    COLORREF colour = GetTextColor(dc);
    painter->EnableCustomFormat(dc, false);
    return colour;
}

// Pixels of about that colour (anti-aliased text blends) on the screen.
int CountNear(const Screenshot::SPixels& pixels, COLORREF colour)
{
    int count = 0;
    for (DWORD pixel : pixels.bits) {
        int dr = int((pixel >> 16) & 0xFF) - GetRValue(colour);
        int dg = int((pixel >> 8) & 0xFF) - GetGValue(colour);
        int db = int(pixel & 0xFF) - GetBValue(colour);
        if (dr * dr + dg * dg + db * db < kColourTolerance * kColourTolerance)
            ++count;
    }
    return count;
}

class CStyledDialog {
public:
    CStyledDialog()
        : m_hWnd(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HIGH_DPI), nullptr,
                                    DialogProc, 0))
    {
        if (!m_hWnd)
            return;
        HWND combo = Item(IDC_DPI_COMBO);
        for (const wchar_t* item : {L"Every hour", L"Every day", L"Every week"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(combo, CB_SETCURSEL, 1, 0);
        SetWindowTextW(Item(IDC_DPI_EDIT), L"C:\\Documents");
        SendMessageW(Item(IDC_DPI_PROGRESS), PBM_SETPOS, 60, 0);
        CheckDlgButton(m_hWnd, IDC_DPI_CHECK, BST_CHECKED);
        for (const wchar_t* page : {L"General", L"Scanning", L"Advanced"}) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(page);
            int count = int(SendMessageW(Item(IDC_DPI_TAB), TCM_GETITEMCOUNT, 0, 0));
            SendMessageW(Item(IDC_DPI_TAB), TCM_INSERTITEMW, count, reinterpret_cast<LPARAM>(&item));
        }
        CheckDlgButton(m_hWnd, IDC_DPI_RADIO, BST_CHECKED);
        m_styled = Windows::StyleDialogByClass(m_hWnd);
        SetWindowPos(m_hWnd, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        Pump(500);
    }
    ~CStyledDialog()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        Pump(50);
    }
    CStyledDialog(const CStyledDialog&) = delete;
    CStyledDialog& operator=(const CStyledDialog&) = delete;

    HWND Get() const { return m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    int Styled() const { return m_styled; }

private:
    HWND m_hWnd;
    int m_styled = 0;
};

RECT ClientOf(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client;
}

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// The text of a push button fits inside its content margins.
void ExpectButtonFits(CStyle& style, HDC dc, HWND button)
{
    SCOPED_TRACE(TextOf(button));
    Style::CPainter* painter = style.GetPainter(CStyle::PushButton);
    RECT content = ClientOf(button);
    painter->GetContentRectByFull(content);
    std::wstring text = TextOf(button);
    SIZE size = painter->CalcSize(dc, {-1, -1}, text.c_str(), -1);
    EXPECT_GT(size.cy, 0);
    EXPECT_LE(size.cx, Width(content));
    EXPECT_LE(size.cy, Height(content));
}

// The box and the label of a check box or radio button fit side by side
// in the control's height.
void ExpectBoxFits(CStyle& style, HDC dc, HWND button, CStyle::PainterType row, CStyle::PainterType box,
                   CStyle::PainterType label)
{
    SCOPED_TRACE(TextOf(button));
    RECT client = ClientOf(button);
    SIZE mark = style.GetPainter(box)->CalcSize(dc, {-1, -1}, L"", 0);
    const Resource::CLine* space = style.GetConfig().FindFirstLine(CStyle::GetPainterClassName(row), L"GlyphSpace");
    int gap = space ? space->ReadContentAsInt() : 0;
    std::wstring text = TextOf(button);
    SIZE size = style.GetPainter(label)->CalcSize(dc, {-1, -1}, text.c_str(), -1);
    EXPECT_GT(mark.cy, 0);
    EXPECT_LE(mark.cy, Height(client));
    EXPECT_LE(size.cy, Height(client));
    EXPECT_LE(mark.cx + gap + size.cx, Width(client));
}

// At 144 dpi the manager loads each pack's .spk.big: the current style has
// the companion's doubled metrics, not the pack's own.
TEST_F(HighDpiChild, BigPacksChosenAndControlsFitTheirText)
{
    if (m_expectedDpi < Style::CStyleManager::kBigPackDpi)
        GTEST_SKIP() << "normal dpi";
    COrvelGlobal& global = COrvelGlobal::GetInstance();
    ASSERT_TRUE(global.Initialize(GetModuleHandleW(L"Orvel.dll")));
    Style::CStyleManager& manager = Style::CStyleManager::GetInstance();
    Base::CClientDC dc(nullptr);
    const std::wstring screens = BesideTest(L"..\\screens");
    CreateDirectoryW(screens.c_str(), nullptr);

    for (const wchar_t* pack : {L"ZQ2009", L"Graphite"}) {
        SCOPED_TRACE(pack);
        manager.SelectStyle(pack);
        ASSERT_TRUE(manager.IsStyleLoaded());
        CStyle& style = Style::CStyleManager::GetStyleInstance();
        CStyle own, big;
        ASSERT_TRUE(own.Load(BesideTest(L"Style\\" + std::wstring(pack) + L".spk").c_str()));
        ASSERT_TRUE(big.Load(BesideTest(L"Style\\" + std::wstring(pack) + L".spk.big").c_str()));
        for (CStyle::PainterType type : {CStyle::PushButton, CStyle::DlgFrameTitle, CStyle::TabCtrlItem}) {
            SCOPED_TRACE(CStyle::GetPainterClassName(type));
            RECT current = Margins(style.GetPainter(type));
            EXPECT_TRUE(SameRect(current, Margins(big.GetPainter(type))));
            EXPECT_FALSE(SameRect(current, Margins(own.GetPainter(type))));
        }

        CStyledDialog dialog;
        ASSERT_TRUE(dialog.Get());
        EXPECT_GE(dialog.Styled(), 10);
        Screenshot::SaveCloseUpPng(dialog.Get(), kShotMargin, screens + L"\\dpi144_" + pack + L".png");

        for (int id : {IDC_DPI_APPLY, IDOK, IDCANCEL})
            ExpectButtonFits(style, dc, dialog.Item(id));
        ExpectBoxFits(style, dc, dialog.Item(IDC_DPI_CHECK), CStyle::CheckButton, CStyle::CheckButtonState,
                      CStyle::CheckButtonLabel);
        for (int id : {IDC_DPI_RADIO, IDC_DPI_RADIO2})
            ExpectBoxFits(style, dc, dialog.Item(id), CStyle::RadioButton, CStyle::RadioButtonStateXP,
                          CStyle::RadioButtonLabel);

        HWND text = dialog.Item(IDC_DPI_STATIC);
        SIZE label = style.GetPainter(CStyle::Static)
                         ->CalcSize(dc, {Width(ClientOf(text)), -1}, TextOf(text).c_str(), -1);
        EXPECT_LE(label.cy, Height(ClientOf(text)));

        Style::CPainter* combo = style.GetPainter(CStyle::Combobox);
        RECT field = ClientOf(dialog.Item(IDC_DPI_COMBO));
        combo->GetContentRectByFull(field);
        EXPECT_LE(combo->GetMaxHeight(dc), Height(field));

        // Tab labels fit their tabs (the middle tab uses TabCtrlItem).
        Style::CPainter* tab = style.GetPainter(CStyle::TabCtrlItem);
        RECT tabText = {};
        ASSERT_TRUE(SendMessageW(dialog.Item(IDC_DPI_TAB), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tabText)));
        tab->GetContentRectByFull(tabText);
        EXPECT_LE(tab->GetMaxHeight(dc), Height(tabText));
        EXPECT_LE(tab->CalcSize(dc, {-1, -1}, L"Scanning", -1).cx, Width(tabText));

        // The buttons show their text in the pack's colour.
        RECT apply;
        GetWindowRect(dialog.Item(IDC_DPI_APPLY), &apply);
        Screenshot::SPixels pixels;
        ASSERT_TRUE(Screenshot::CaptureScreenRect(apply, pixels));
        EXPECT_GT(CountNear(pixels, TextColour(style.GetPainter(CStyle::PushButton), dc)), kMinTextPixels);
    }
}

}  // namespace
