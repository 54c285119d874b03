#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include "WindowTestUtil.h"
#include "orvel/base/WindowImpl.h"

using WindowTest::CHostWindow;
using WindowTest::Pump;

namespace {

// Answers one private message with a fixed value and counts what it sees.
class CAnswering : public Base::CWindowImpl<CAnswering> {
public:
    CAnswering(UINT message, LRESULT answer) : m_message(message), m_answer(answer) {}

    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override
    {
        ++seen;
        if (message == WM_USER + 99)
            throw std::runtime_error("handler failed");
        if (message != m_message)
            return FALSE;
        result = m_answer;
        return TRUE;
    }
    void OnFinalMessage(HWND hWnd) override
    {
        ++finals;
        finalWindow = hWnd;
    }

    int seen = 0;
    int finals = 0;
    HWND finalWindow = nullptr;

private:
    UINT m_message;
    LRESULT m_answer;
};

// Handles the reflected click of its own button.
class CReflectedButton : public Base::CWindowImpl<CReflectedButton, Base::CButtonT<>> {
public:
    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD) override
    {
        if (message != Base::kReflectedMessageBase + WM_COMMAND)
            return FALSE;
        if (HIWORD(wParam) == BN_CLICKED)
            ++clicks;
        result = 0;
        return TRUE;
    }
    int clicks = 0;
};

class CReflecting : public Base::CWindowImpl<CReflecting> {
public:
    BOOL ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD) override
    {
        return ReflectNotifications(message, wParam, lParam, result);
    }
};

std::string g_reported;
void Reporter(const char* where, const char* what)
{
    g_reported = std::string(where) + ": " + what;
}

}  // namespace

TEST(WindowImpl, AnswersItsMessagesAndForwardsTheRest)
{
    CHostWindow host;
    HWND label = host.AddChild(L"STATIC", L"before", 0, 10, 10, 100, 20, 1);
    CAnswering object(WM_USER + 1, 42);
    ASSERT_TRUE(object.SubclassWindow(label));
    EXPECT_EQ(label, object.m_hWnd);
    EXPECT_EQ(42, SendMessageW(label, WM_USER + 1, 0, 0));
    SetWindowTextW(label, L"after");
    EXPECT_EQ(L"after", object.GetWindowText());
    EXPECT_GT(object.seen, 1);
    EXPECT_FALSE(object.SubclassWindow(label));  // already attached

    EXPECT_EQ(label, object.UnsubclassWindow());
    int seen = object.seen;
    SendMessageW(label, WM_USER + 1, 0, 0);
    EXPECT_EQ(seen, object.seen);
}

TEST(WindowImpl, StackedObjectsBothWorkAndHearTheLastMessageOnce)
{
    CHostWindow host;
    HWND label = host.AddChild(L"STATIC", L"x", 0, 10, 10, 100, 20, 1);
    CAnswering lower(WM_USER + 1, 1), upper(WM_USER + 2, 2);
    ASSERT_TRUE(lower.SubclassWindow(label));
    ASSERT_TRUE(upper.SubclassWindow(label));
    EXPECT_EQ(1, SendMessageW(label, WM_USER + 1, 0, 0));  // passes through the upper one
    EXPECT_EQ(2, SendMessageW(label, WM_USER + 2, 0, 0));
    int lowerSeen = lower.seen;
    SendMessageW(label, WM_USER + 2, 0, 0);
    EXPECT_EQ(lowerSeen, lower.seen);  // handled above, never reaches below

    DestroyWindow(label);
    EXPECT_EQ(1, lower.finals);
    EXPECT_EQ(1, upper.finals);
    EXPECT_EQ(label, lower.finalWindow);
    EXPECT_EQ(nullptr, upper.m_hWnd);
}

TEST(WindowImpl, RefusesWhatItCannotSubclass)
{
    CAnswering object(WM_USER + 1, 1);
    EXPECT_FALSE(object.SubclassWindow(nullptr));
    EXPECT_FALSE(object.SubclassWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234))));

    // A window of another thread.
    HWND foreign = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct SArgs {
        HWND* window;
        HANDLE ready, quit;
    } args = {&foreign, ready, quit};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* a = static_cast<SArgs*>(p);
            *a->window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         nullptr, nullptr);
            SetEvent(a->ready);
            WaitForSingleObject(a->quit, INFINITE);
            DestroyWindow(*a->window);
            return 0;
        },
        &args, 0, nullptr);
    WaitForSingleObject(ready, 5000);
    EXPECT_FALSE(object.SubclassWindow(foreign));
    EXPECT_EQ(nullptr, object.m_hWnd);
    SetEvent(quit);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
    CloseHandle(quit);
}

TEST(WindowImpl, ExceptionsStopAtTheWindowProcedure)
{
    Base::SetFailureReporter(&Reporter);
    CHostWindow host;
    HWND label = host.AddChild(L"STATIC", L"x", 0, 10, 10, 100, 20, 1);
    CAnswering object(WM_USER + 1, 1);
    ASSERT_TRUE(object.SubclassWindow(label));
    g_reported.clear();
    EXPECT_EQ(0, SendMessageW(label, WM_USER + 99, 0, 0));  // default processing instead
    EXPECT_EQ("window procedure: handler failed", g_reported);
    EXPECT_EQ(1, SendMessageW(label, WM_USER + 1, 0, 0));  // still attached and working
    Base::SetFailureReporter(nullptr);
}

TEST(WindowImpl, NotificationsAreReflectedToTheChild)
{
    CHostWindow host;
    HWND button = host.AddChild(L"BUTTON", L"Go", BS_PUSHBUTTON, 10, 10, 80, 24, 7);
    CReflecting parent;
    CReflectedButton child;
    ASSERT_TRUE(parent.SubclassWindow(host.Handle()));
    ASSERT_TRUE(child.SubclassWindow(button));
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(1, child.clicks);
    EXPECT_EQ(BST_UNCHECKED, child.GetCheck());
    child.UnsubclassWindow();
    parent.UnsubclassWindow();
}

TEST(WindowImpl, NotificationSources)
{
    HWND child = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
    NMHDR header = {child, 3, 0};
    EXPECT_EQ(child, Base::NotificationSource(nullptr, WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(nullptr, Base::NotificationSource(nullptr, WM_NOTIFY, 3, 0));
    DRAWITEMSTRUCT draw = {};
    draw.hwndItem = child;
    EXPECT_EQ(nullptr, Base::NotificationSource(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(child, Base::NotificationSource(nullptr, WM_DRAWITEM, 5, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(child, Base::NotificationSource(nullptr, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child)));
    EXPECT_EQ(nullptr, Base::NotificationSource(nullptr, WM_PAINT, 0, reinterpret_cast<LPARAM>(child)));
}
