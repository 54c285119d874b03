// A settings dialog made from a resource template, styled by window class
// through the manager the way a host does it, driven with real mouse and
// keyboard input. The parent must see what it sees natively, the dialog
// manager's groups, tab order and mnemonics must keep working, and a pack
// without a look for a kind must leave that kind looking native.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "DialogTestIds.h"
#include "WindowTestUtil.h"
#include "tests/common/Screenshot.h"
#include "orvel/host/Global.h"
#include "orvel/style/StyleManager.h"
#include "orvel/testsupport/CurrentPack.h"
#include "orvel/windows/StyleByClass.h"
#include "orvel/windows/StyledWnd.h"
#include "orvel/windows/StyledWndManager.h"

namespace {

struct SEvent {
    UINT message;
    UINT id;
    UINT code;
    bool operator==(const SEvent& other) const
    {
        return message == other.message && id == other.id && code == other.code;
    }
};

std::vector<SEvent> g_events;

std::string Describe(const std::vector<SEvent>& events)
{
    std::string text;
    for (const SEvent& e : events)
        text += std::to_string(e.message) + ":" + std::to_string(e.id) + ":" +
                std::to_string(static_cast<int>(e.code)) + " ";
    return text;
}

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND mode = GetDlgItem(dialog, IDC_MODE);
        for (const wchar_t* item : {L"Quick", L"Full", L"Custom"})
            SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(mode, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageW(dialog, IDC_LEVEL, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        SendDlgItemMessageW(dialog, IDC_DONE, PBM_SETPOS, 40, 0);
        HWND tabs = GetDlgItem(dialog, IDC_PAGES);
        for (const wchar_t* name : {L"One", L"Two"}) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(name);
            SendMessageW(tabs, TCM_INSERTITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0),
                         reinterpret_cast<LPARAM>(&item));
        }
        CheckRadioButton(dialog, IDC_FAST, IDC_SLOW, IDC_FAST);
        SendDlgItemMessageW(dialog, IDC_COUNT_SPIN, UDM_SETRANGE32, 0, 99);
        SendDlgItemMessageW(dialog, IDC_COUNT_SPIN, UDM_SETPOS32, 0, 5);
        for (int n = 0; n < 12; ++n)
            SendDlgItemMessageW(dialog, IDC_FILES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>((L"file " + std::to_wstring(n)).c_str()));
        // The page sits in the tab control's display area, a sibling of it.
        HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PAGE),
                                       dialog, PageProc, 0);
        RECT area;
        GetWindowRect(tabs, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_SHOWWINDOW);
        SetWindowLongPtrW(page, GWLP_ID, IDD_PAGE);
        return TRUE;
    }
    case WM_COMMAND:
        g_events.push_back({message, LOWORD(wParam), HIWORD(wParam)});
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        // Painting and tool-tip traffic is not behaviour.
        if (header->code != NM_CUSTOMDRAW && !(header->code <= TTN_FIRST && header->code >= TTN_LAST))
            g_events.push_back({message, static_cast<UINT>(header->idFrom), header->code});
        return FALSE;
    }
    case WM_HSCROLL:
        g_events.push_back({message, static_cast<UINT>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))),
                            LOWORD(wParam)});
        return TRUE;
    default:
        return FALSE;
    }
}

// Styles every child by its window class, as the README tells a host to.
BOOL CALLBACK StyleChild(HWND child, LPARAM withFrame)
{
    Windows::CStyledWndManager& styles = Windows::CStyledWndManager::GetInstance();
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    std::wstring cls = name;
    DWORD type = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)) & BS_TYPEMASK;
    if (GetDlgCtrlID(child) == IDC_HELPLINK) {
        styles.EnableHyperLinkStyled(child);
    } else if (_wcsicmp(name, L"Button") == 0) {
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            styles.EnablePushButtonStyled(child);
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
            styles.EnableCheckButtonStyled(child);
        else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            styles.EnableRadioButtonStyled(child);
    } else if (_wcsicmp(name, L"Static") == 0) {
        styles.EnableStaticStyled(child);
    } else if (_wcsicmp(name, L"Edit") == 0) {
        styles.EnableEditStyled(child);
    } else if (_wcsicmp(name, L"ComboBox") == 0) {
        styles.EnableComboStyled(child);
    } else if (_wcsicmp(name, L"ListBox") == 0) {
        styles.EnableListBoxStyled(child);
    } else if (_wcsicmp(name, L"msctls_updown32") == 0) {
        styles.EnableSpinButtonStyled(child);
    } else if (_wcsicmp(name, L"msctls_trackbar32") == 0) {
        styles.EnableTrackBarStyled(child);
    } else if (_wcsicmp(name, L"msctls_progress32") == 0) {
        styles.EnableProgressBarStyled(child);
    } else if (_wcsicmp(name, L"SysTabControl32") == 0) {
        styles.EnableTabCtrlStyled(child);
    } else if (_wcsicmp(name, L"ScrollBar") == 0) {
        styles.EnableScrollBarStyled(child);
    } else if (cls == L"#32770" && withFrame) {
        EXPECT_TRUE(styles.EnableFrameStyled(child));
    }
    return TRUE;
}

void PumpDialog(HWND dialog, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (GetTickCount() - start >= ms)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class CSettings {
public:
    enum Styling { Native, Controls, ControlsAndFrames };

    explicit CSettings(Styling styling)
    {
        SetCursorPos(1200, 1000);  // nothing hot until a test moves there
        m_dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS),
                                      nullptr, SettingsProc, 0);
        if (!m_dialog)
            return;
        if (styling != Native) {
            EnumChildWindows(m_dialog, StyleChild, styling == ControlsAndFrames);
            if (styling == ControlsAndFrames) {
                EXPECT_TRUE(Windows::CStyledWndManager::GetInstance().EnableFrameStyled(m_dialog));
            }
        }
        SetWindowPos(m_dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(m_dialog);
        Pump(150);
        g_events.clear();
    }
    ~CSettings()
    {
        if (IsWindow(m_dialog))
            DestroyWindow(m_dialog);
        WindowTest::Pump(20);
    }
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    HWND Handle() const { return m_dialog; }
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    HWND PageItem(int id) const { return GetDlgItem(Item(IDD_PAGE), id); }
    void Pump(DWORD ms = 60) const { PumpDialog(m_dialog, ms); }

    void Click(HWND window, int x, int y, bool queued = false) const
    {
        WindowTest::ClickAt(window, x, y, [this](DWORD ms) { Pump(ms); }, queued);
    }
    void Key(WORD key, bool alt = false) const
    {
        std::vector<INPUT> input;
        auto add = [&](WORD vk, bool up) {
            INPUT one = {};
            one.type = INPUT_KEYBOARD;
            one.ki.wVk = vk;
            one.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            input.push_back(one);
        };
        if (alt)
            add(VK_MENU, false);
        add(key, false);
        add(key, true);
        if (alt)
            add(VK_MENU, true);
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        Pump(100);
    }

private:
    HWND m_dialog = nullptr;
};

// The screen pixels of a window, row by row.
std::vector<COLORREF> Capture(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    std::vector<COLORREF> pixels;
    Screenshot::SPixels shot;
    if (!Screenshot::CaptureScreenRect(rect, shot))
        return pixels;
    for (DWORD p : shot.bits)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

size_t Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

size_t DistinctColours(const std::vector<COLORREF>& pixels)
{
    std::vector<COLORREF> seen;
    for (COLORREF c : pixels)
        if (std::find(seen.begin(), seen.end(), c) == seen.end())
            seen.push_back(c);
    return seen.size();
}

std::wstring StyleFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"Style\\";
}

// A shipped pack as the current style for the test's lifetime.
class CShippedPack {
public:
    explicit CShippedPack(const wchar_t* name)
    {
        m_oldDir = COrvelGlobal::GetInstance().GetStyleDir();
        Style::CStyleManager::ReleaseInstance();
        COrvelGlobal::GetInstance().SetStyleDir(StyleFolder());
        Style::CStyleManager& styles = Style::CStyleManager::GetInstance();
        // Selecting the stored choice again loads nothing.
        styles.SelectStyle(name);
        if (!styles.IsStyleLoaded())
            styles.LoadCurrentStyle();
        m_ok = styles.IsStyleLoaded() && styles.GetCurrentName() == name;
    }
    ~CShippedPack()
    {
        Style::CStyleManager::ReleaseInstance();
        COrvelGlobal::GetInstance().SetStyleDir(m_oldDir);
    }
    bool Ok() const { return m_ok; }

private:
    std::wstring m_oldDir;
    bool m_ok = false;
};

bool Checked(const CSettings& dialog, int id)
{
    return SendMessageW(dialog.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Clicks each radio button, then moves the check with the arrow keys and
// leaves the group with Tab; returns what the parent received.
std::vector<SEvent> DriveRadioGroup(const CSettings& dialog)
{
    const int radios[] = {IDC_FAST, IDC_NORMAL, IDC_SLOW};
    for (int id : radios) {
        dialog.Click(dialog.Item(id), 6, 8);
        for (int other : radios)
            EXPECT_EQ(other == id, Checked(dialog, other)) << "after clicking " << id;
        for (int other : radios)
            EXPECT_TRUE(IsWindowVisible(dialog.Item(other)));
    }
    dialog.Key(VK_UP);
    EXPECT_TRUE(Checked(dialog, IDC_NORMAL));
    EXPECT_FALSE(Checked(dialog, IDC_SLOW));
    EXPECT_EQ(dialog.Item(IDC_NORMAL), GetFocus());
    dialog.Key(VK_UP);
    EXPECT_TRUE(Checked(dialog, IDC_FAST));
    dialog.Key(VK_TAB);
    EXPECT_EQ(dialog.Item(IDC_REMEMBER), GetFocus());
    return g_events;
}

}  // namespace

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pack.Ok()); }
    CShippedPack m_pack{L"ZQ2009"};
};

TEST_F(DialogTest, RadioGroupTakesClicksArrowsAndTabAsNatively)
{
    std::vector<SEvent> native, styled;
    {
        CSettings dialog(CSettings::Native);
        native = DriveRadioGroup(dialog);
    }
    {
        CSettings dialog(CSettings::ControlsAndFrames);
        styled = DriveRadioGroup(dialog);
        for (int id : {IDC_FAST, IDC_NORMAL, IDC_SLOW})
            EXPECT_GT(DistinctColours(Capture(dialog.Item(id))), 2u) << "radio " << id << " is blank";
    }
    EXPECT_FALSE(native.empty());
    EXPECT_EQ(Describe(native), Describe(styled));
}

TEST_F(DialogTest, CheckBoxClickedThenToggledWithSpaceStaysVisible)
{
    std::vector<SEvent> native, styled;
    for (auto styling : {CSettings::Native, CSettings::ControlsAndFrames}) {
        CSettings dialog(styling);
        HWND box = dialog.Item(IDC_REMEMBER);
        std::vector<COLORREF> before = Capture(box);
        dialog.Click(box, 6, 8);
        EXPECT_TRUE(Checked(dialog, IDC_REMEMBER));
        dialog.Key(VK_SPACE);
        EXPECT_FALSE(Checked(dialog, IDC_REMEMBER));
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_GT(DistinctColours(Capture(box)), 2u);
        // Unchecked again, focused: only the focus cue may differ.
        EXPECT_LT(Differences(before, Capture(box)), before.size() / 4);
        (styling == CSettings::Native ? native : styled) = g_events;
    }
    EXPECT_EQ(Describe(native), Describe(styled));
}

TEST_F(DialogTest, MnemonicsReachStyledControls)
{
    std::vector<SEvent> native, styled;
    for (auto styling : {CSettings::Native, CSettings::ControlsAndFrames}) {
        CSettings dialog(styling);
        dialog.Key('R', true);
        EXPECT_TRUE(Checked(dialog, IDC_REMEMBER));
        dialog.Key('L', true);
        EXPECT_TRUE(Checked(dialog, IDC_SLOW));
        dialog.Key('D', true);  // the Add push button
        dialog.Key('A', true);  // a label: the focus moves to the edit after it
        EXPECT_EQ(dialog.Item(IDC_NAME), GetFocus());
        (styling == CSettings::Native ? native : styled) = g_events;
    }
    ASSERT_FALSE(native.empty());
    EXPECT_EQ(Describe(native), Describe(styled));
}

TEST_F(DialogTest, ComboTabsAndTrackBarNotifyTheParentAsNatively)
{
    std::vector<SEvent> native, styled;
    for (auto styling : {CSettings::Native, CSettings::ControlsAndFrames}) {
        CSettings dialog(styling);
        SetFocus(dialog.Item(IDC_MODE));
        dialog.Pump();
        g_events.clear();
        dialog.Key(VK_DOWN);
        EXPECT_EQ(1, SendMessageW(dialog.Item(IDC_MODE), CB_GETCURSEL, 0, 0));
        HWND tabs = dialog.Item(IDC_PAGES);
        RECT second = {};
        SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
        dialog.Click(tabs, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
        EXPECT_EQ(1, SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        SetFocus(dialog.Item(IDC_LEVEL));
        dialog.Key(VK_RIGHT);
        EXPECT_EQ(1, SendMessageW(dialog.Item(IDC_LEVEL), TBM_GETPOS, 0, 0));
        dialog.Click(dialog.Item(IDC_ADD), 10, 8);
        RECT spin;
        GetClientRect(dialog.Item(IDC_COUNT_SPIN), &spin);
        dialog.Click(dialog.Item(IDC_COUNT_SPIN), spin.right / 2, spin.bottom / 4);
        EXPECT_EQ(6, SendMessageW(dialog.Item(IDC_COUNT_SPIN), UDM_GETPOS32, 0, 0));
        SetFocus(dialog.Item(IDC_FILES));
        dialog.Key(VK_DOWN);
        (styling == CSettings::Native ? native : styled) = g_events;
    }
    ASSERT_FALSE(native.empty());
    EXPECT_EQ(Describe(native), Describe(styled));
}

TEST_F(DialogTest, TypingAndScrollingNotifyTheParentAsNatively)
{
    std::vector<SEvent> native, styled;
    for (auto styling : {CSettings::Native, CSettings::ControlsAndFrames}) {
        CSettings dialog(styling);
        HWND zoom = dialog.Item(IDC_ZOOM);
        SetScrollRange(zoom, SB_CTL, 0, 10, TRUE);
        SetFocus(dialog.Item(IDC_NAME));
        dialog.Pump();
        g_events.clear();
        dialog.Key('A');
        dialog.Key('B');
        dialog.Key(VK_BACK);
        wchar_t text[8] = {};
        GetWindowTextW(dialog.Item(IDC_NAME), text, 8);
        EXPECT_STREQ(L"a", text);
        RECT bar;
        GetClientRect(zoom, &bar);
        // The right arrow, then the track right of the thumb.
        dialog.Click(zoom, bar.right - 4, bar.bottom / 2, true);
        dialog.Click(zoom, bar.right - bar.bottom - 6, bar.bottom / 2, true);
        (styling == CSettings::Native ? native : styled) = g_events;
    }
    ASSERT_FALSE(native.empty());
    EXPECT_EQ(Describe(native), Describe(styled));
}

TEST(DialogWithoutLooks, ControlsTheirPackLacksLookNative)
{
    // A pack with push buttons only: everything else must look unstyled.
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\nIsSimple=false\r\n[PushButton]\r\n[Back@PushButton]\r\n"
                 L"Type=FillColor\r\nStateCount=5\r\nBorderSize=0\r\nFillColor0=200,0,0\r\n";
    TestSupport::CCurrentPack pack(source);
    ASSERT_TRUE(pack.Ok());
    const int ids[] = {IDC_SPEED_GROUP, IDC_FAST, IDC_NORMAL, IDC_SLOW, IDC_REMEMBER,
                       IDC_UNAVAILABLE, IDC_NAME_LABEL, IDC_NAME, IDC_OFF_LABEL, IDC_MODE,
                       IDC_LEVEL, IDC_DONE, IDC_PAGES, IDC_HELPLINK, IDC_COUNT,
                       IDC_COUNT_SPIN, IDC_FILES};
    std::vector<std::vector<COLORREF>> native;
    auto redrawn = [](const CSettings& dialog, int id) {
        // The spin overlaps its buddy: each is captured right after its own
        // repaint, in both dialogs alike.
        HWND control = dialog.Item(id);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        dialog.Pump(20);
        return Capture(control);
    };
    {
        CSettings dialog(CSettings::Native);
        for (int id : ids)
            native.push_back(redrawn(dialog, id));
    }
    CSettings dialog(CSettings::Controls);
    for (size_t i = 0; i < std::size(ids); ++i) {
        EXPECT_EQ(0u, Differences(native[i], redrawn(dialog, ids[i]))) << "control " << ids[i];
    }
    std::vector<COLORREF> button = Capture(dialog.Item(IDC_ADD));
    EXPECT_EQ(RGB(200, 0, 0), button[button.size() / 2]);  // the one kind the pack has
}

TEST_F(DialogTest, StaticsAndButtonsFollowAPackSwitchAtOnce)
{
    const int ids[] = {IDC_NAME_LABEL, IDC_OFF_LABEL, IDOK, IDC_ADD, IDC_REMEMBER, IDC_HELPLINK};
    std::vector<std::vector<COLORREF>> fresh;
    Style::CStyleManager::GetInstance().SelectStyle(L"Graphite");
    {
        CSettings dialog(CSettings::Controls);
        for (int id : ids)
            fresh.push_back(Capture(dialog.Item(id)));
    }
    Style::CStyleManager::GetInstance().SelectStyle(L"ZQ2009");
    CSettings dialog(CSettings::Controls);
    Style::CStyleManager::GetInstance().SelectStyle(L"Graphite");
    dialog.Pump(100);
    for (size_t i = 0; i < std::size(ids); ++i)
        EXPECT_EQ(0u, Differences(fresh[i], Capture(dialog.Item(ids[i])))) << "control " << ids[i];
}

TEST_F(DialogTest, AStaticShowsWhenEnabledAndTheLinkShowsNoNativeButton)
{
    CSettings dialog(CSettings::Controls);
    HWND label = dialog.Item(IDC_OFF_LABEL);
    EnableWindow(label, TRUE);
    dialog.Pump();
    std::vector<COLORREF> enabled = Capture(label);
    EXPECT_GT(DistinctColours(enabled), 1u) << "the enabled static vanished";
    RedrawWindow(dialog.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    dialog.Pump();
    EXPECT_EQ(0u, Differences(enabled, Capture(label)));

    // Focus and a press make the native button paint; none of its frame
    // may show around the link's text.
    HWND link = dialog.Item(IDC_HELPLINK);
    SetFocus(link);
    dialog.Pump();
    SendMessageW(link, BM_SETSTATE, TRUE, 0);
    SendMessageW(link, BM_SETSTATE, FALSE, 0);
    SetFocus(dialog.Item(IDC_NAME));
    dialog.Pump();
    std::vector<COLORREF> pixels = Capture(link);
    RECT rect;
    GetWindowRect(link, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // The text starts at the left edge; the other edges are background.
    COLORREF back = pixels[0];
    for (int x = 0; x < width; ++x) {
        EXPECT_EQ(back, pixels[x]) << "top edge at " << x;
        EXPECT_EQ(back, pixels[(height - 1) * width + x]) << "bottom edge at " << x;
    }
    for (int y = 0; y < height; ++y)
        EXPECT_EQ(back, pixels[y * width + width - 1]) << "right edge at " << y;
}

TEST_F(DialogTest, AStyledChildPageKeepsItsSizeAndTakesThePackBackground)
{
    RECT before = {};
    {
        CSettings dialog(CSettings::Controls);
        GetWindowRect(dialog.Item(IDD_PAGE), &before);
    }
    CSettings dialog(CSettings::ControlsAndFrames);
    HWND page = dialog.Item(IDD_PAGE);
    RECT after = {}, client = {};
    GetWindowRect(page, &after);
    GetClientRect(page, &client);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    EXPECT_EQ(after.right - after.left, client.right) << "a page has no frame";
    EXPECT_EQ(after.bottom - after.top, client.bottom) << "a page has no caption";
    const COLORREF zq2009Back = RGB(236, 241, 248);
    HDC dc = GetDC(page);
    EXPECT_EQ(zq2009Back, GetPixel(dc, client.right - 2, client.bottom - 2));
    ReleaseDC(page, dc);
    dc = GetDC(dialog.Handle());
    EXPECT_EQ(zq2009Back, GetPixel(dc, 2, 2));
    ReleaseDC(dialog.Handle(), dc);
}

TEST_F(DialogTest, ADarkPackColoursNativeFieldsAndLeavesDisabledTextGrey)
{
    Style::CStyleManager::GetInstance().SelectStyle(L"Graphite");
    CSettings dialog(CSettings::ControlsAndFrames);
    HWND edit = dialog.Item(IDC_NAME);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    dialog.Pump();
    RECT client;
    GetClientRect(edit, &client);
    HDC dc = GetDC(edit);
    EXPECT_EQ(RGB(34, 36, 41), GetPixel(dc, client.right - 3, client.bottom - 2));  // the field colour
    ReleaseDC(edit, dc);
    // The disabled label takes the native greyed text, not the pack's light
    // static colour that would read as enabled.
    for (COLORREF c : Capture(dialog.Item(IDC_OFF_LABEL)))
        EXPECT_NE(RGB(216, 220, 228), c);
    Style::CStyleManager::GetInstance().SelectStyle(L"ZQ2009");
}

TEST_F(DialogTest, AFocusedStyledTabControlShowsAFocusCue)
{
    CSettings dialog(CSettings::Controls);
    HWND tabs = dialog.Item(IDC_PAGES);
    SetFocus(dialog.Item(IDC_NAME));
    dialog.Pump();
    std::vector<COLORREF> unfocused = Capture(tabs);
    SetFocus(tabs);
    dialog.Pump();
    std::vector<COLORREF> focused = Capture(tabs);
    EXPECT_GT(Differences(unfocused, focused), 10u);
    SetFocus(dialog.Item(IDC_NAME));
    dialog.Pump();
    EXPECT_EQ(0u, Differences(unfocused, Capture(tabs)));
}

TEST_F(DialogTest, AStyledTrackBarKeepsItsTickMarks)
{
    CSettings dialog(CSettings::ControlsAndFrames);
    HWND track = dialog.Item(IDC_LEVEL);
    RECT thumb = {}, channel = {};
    SendMessageW(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessageW(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    const int first = channel.left + (thumb.right - thumb.left) / 2;
    HDC dc = GetDC(track);
    // In the styled frame's static text colour, where the native ticks are.
    EXPECT_EQ(RGB(28, 40, 62), GetPixel(dc, first, thumb.bottom + 2));
    EXPECT_NE(RGB(28, 40, 62), GetPixel(dc, first + 3, thumb.bottom + 2));
    ReleaseDC(track, dc);
}

// ------------------------------------------------- styled by the library

namespace {

INT_PTR CALLBACK SelfStylingPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    Windows::StyleDialogByClass(page);
    return TRUE;
}

void PumpSheet(HWND sheet, DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

TEST_F(DialogTest, StylingADialogTwiceChangesNothing)
{
    CSettings dialog(CSettings::Native);
    const long before = Windows::LiveStyledObjects();
    const int styled = Windows::StyleDialogByClass(dialog.Handle(), {IDC_HELPLINK});
    EXPECT_GE(styled, 15);
    const long objects = Windows::LiveStyledObjects();
    EXPECT_GT(objects, before);
    RECT frame = {};
    GetWindowRect(dialog.Handle(), &frame);
    auto repaint = [&] {
        RedrawWindow(dialog.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        dialog.Pump(150);
        return Capture(dialog.Handle());
    };
    const std::vector<COLORREF> once = repaint();

    // The same again: every operation answers styled, nothing is added, the
    // frame does not grow and nothing paints differently.
    EXPECT_EQ(styled, Windows::StyleDialogByClass(dialog.Handle(), {IDC_HELPLINK}));
    EXPECT_EQ(objects, Windows::LiveStyledObjects());
    RECT again = {};
    GetWindowRect(dialog.Handle(), &again);
    EXPECT_TRUE(EqualRect(&frame, &again));
    EXPECT_EQ(0u, Differences(once, repaint()));
    dialog.Click(dialog.Item(IDC_SLOW), 6, 8);
    EXPECT_TRUE(Checked(dialog, IDC_SLOW));
}

TEST_F(DialogTest, APropertySheetStyledOnceWithPagesStyledAsTheyAreMade)
{
    const long before = Windows::LiveStyledObjects();
    PROPSHEETPAGEW pages[2] = {};
    const wchar_t* titles[] = {L"First", L"Second"};
    for (int n = 0; n < 2; ++n) {
        pages[n].dwSize = sizeof pages[n];
        pages[n].dwFlags = PSP_USETITLE;
        pages[n].hInstance = GetModuleHandleW(nullptr);
        pages[n].pszTemplate = MAKEINTRESOURCEW(IDD_PAGE);
        pages[n].pszTitle = titles[n];
        pages[n].pfnDlgProc = SelfStylingPageProc;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.pszCaption = L"Options";
    header.nPages = 2;
    header.ppsp = pages;
    SetCursorPos(1200, 1000);
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    ASSERT_TRUE(sheet);
    // The frame, the tab control and the buttons; the first page styled
    // itself already and is left as it is.
    EXPECT_GE(Windows::StyleDialogByClass(sheet), 4);
    SetWindowPos(sheet, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(sheet);
    PumpSheet(sheet, 150);
    HWND first = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_TRUE(first);
    const long withFirst = Windows::LiveStyledObjects();

    // A real click on the second tab makes the second page, styled at once.
    HWND tabs = PropSheet_GetTabControl(sheet);
    RECT item = {};
    TabCtrl_GetItemRect(tabs, 1, &item);
    WindowTest::ClickAt(tabs, (item.left + item.right) / 2, (item.top + item.bottom) / 2,
                        [&](DWORD ms) { PumpSheet(sheet, ms); });
    HWND second = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_GT(Windows::LiveStyledObjects(), withFirst);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(second, IDC_PAGE_CHECK)));

    // Its mnemonic reaches its check box; OK closes the sheet.
    INPUT keys[4] = {};
    for (INPUT& key : keys)
        key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
    keys[1].ki.wVk = keys[2].ki.wVk = 'K';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof keys[0]);
    PumpSheet(sheet, 150);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(second, IDC_PAGE_CHECK));
    HWND ok = GetDlgItem(sheet, IDOK);
    WindowTest::ClickAt(ok, 10, 8, [&](DWORD ms) { PumpSheet(sheet, ms); });
    EXPECT_EQ(nullptr, PropSheet_GetCurrentPageHwnd(sheet));
    DestroyWindow(sheet);
    WindowTest::Pump(20);
    EXPECT_EQ(before, Windows::LiveStyledObjects());
}
