#pragma once
// Real windows for the window tests: a visible top-level host on the test
// display, message pumping, and a recorder for posted notifications.
#include <windows.h>
#include <functional>
#include <vector>

namespace WindowTest {

// Runs the thread's message loop until the queue is empty (and at least
// `ms` milliseconds passed, for timers and mouse tracking).
void Pump(DWORD ms = 0);

// Pumps messages until the condition holds or maxMs pass; returns whether
// it held. Mouse leave arrives from a timer under Wine, so tests wait for
// it instead of assuming when it comes.
template <class TCondition>
bool PumpUntil(TCondition condition, DWORD maxMs = 3000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > maxMs)
            return false;
        Pump(20);
    }
    return true;
}

// A visible top-level window that records the messages it receives from
// the given set (posted notifications arrive here).
class CHostWindow {
public:
    CHostWindow(int width = 300, int height = 200);
    ~CHostWindow();
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // Child control of a system class at (x, y) client coordinates.
    HWND AddChild(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w,
                  int h, int id);

    struct SMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<SMessage> Received(UINT message) const;
    void Record(UINT message) { m_watch.push_back(message); }
    void ClearReceived() { m_received.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND m_hWnd = nullptr;
    std::vector<UINT> m_watch;
    std::vector<SMessage> m_received;
};

// Moves the real cursor to a point in a window's client coordinates and
// lets the resulting mouse messages arrive.
void MoveCursorTo(HWND window, int x, int y);

// A real left click (SendInput) at a point in a window's client
// coordinates; pump runs the thread's messages between the steps (a dialog
// test passes one that goes through the dialog manager). queued sends the
// release with the press, for controls that track a press in a modal loop
// of their own (scroll bars): the loop would wait for a release not yet sent.
void ClickAt(HWND window, int x, int y, const std::function<void(DWORD)>& pump = Pump, bool queued = false);

}  // namespace WindowTest
