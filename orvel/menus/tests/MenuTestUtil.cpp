#include "MenuTestUtil.h"

#include <cstdio>
#include <memory>
#include "orvel/windows/tests/WindowTestUtil.h"

namespace MenuTest {

namespace {

constexpr UINT kTick = 40;
constexpr DWORD kPause = 30;

void SendKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

struct SScript {
    const std::vector<Step>* steps = nullptr;
    size_t next = 0;
    bool running = false;
    DWORD start = 0;
    DWORD maxMs = 0;
    bool timedOut = false;
};
SScript* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_script || g_script->running || g_script->next >= g_script->steps->size())
        return;
    // A menu's modal loop keeps the test's own pump from looking at the
    // clock, so the script ends the menu itself when time is up.
    if (GetTickCount() - g_script->start > g_script->maxMs) {
        g_script->timedOut = true;
        fprintf(stderr, "script timed out at step %u\n", static_cast<unsigned>(g_script->next));
        g_script->next = g_script->steps->size();
        EndMenu();
        return;
    }
    g_script->running = true;
    if ((*g_script->steps)[g_script->next]())
        ++g_script->next;
    g_script->running = false;
}

BOOL CALLBACK CollectPopup(HWND window, LPARAM list)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, L"#32768") == 0 && IsWindowVisible(window) &&
        GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

void Key(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
}
void KeyDown(WORD key) { SendKey(key, false); }
void KeyUp(WORD key) { SendKey(key, true); }

void AltLetter(wchar_t letter)
{
    SendKey(VK_MENU, false);
    SendKey(static_cast<WORD>(letter), false);
    SendKey(static_cast<WORD>(letter), true);
    SendKey(VK_MENU, true);
}

void MoveMouse(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    // A real move message as well, at the new place.
    SendMouse(MOUSEEVENTF_MOVE);
}
void MouseDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
void MouseUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

void Click(POINT screen)
{
    MoveMouse(screen);
    MouseDown();
    MouseUp();
}

std::vector<HWND> PopupWindows()
{
    std::vector<HWND> popups;
    EnumWindows(&CollectPopup, reinterpret_cast<LPARAM>(&popups));
    return popups;
}

bool RunScript(const std::vector<Step>& steps, DWORD maxMs, const std::function<void()>& body)
{
    SScript script;
    script.steps = &steps;
    script.start = GetTickCount();
    script.maxMs = maxMs;
    g_script = &script;
    UINT_PTR timer = SetTimer(nullptr, 0, kTick, &Tick);
    if (body)
        body();
    bool done = WindowTest::PumpUntil([&] { return script.next >= steps.size(); }, maxMs + 1000) &&
                !script.timedOut;
    KillTimer(nullptr, timer);
    g_script = nullptr;
    // Nothing left open for the next test.
    if (!done)
        EndMenu();
    WindowTest::Pump(kPause);
    return done;
}

Step WaitFor(std::function<bool()> condition)
{
    return [condition] { return condition(); };
}

Step Pause(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    return [left] { return --*left <= 0; };
}

Step Do(std::function<void()> action)
{
    return [action] {
        action();
        return true;
    };
}

HMENU EditMenu(const SEditIds& ids)
{
    HMENU more = CreatePopupMenu();
    AppendMenuW(more, MF_STRING, ids.itemA, L"Item &A");
    if (ids.itemB)
        AppendMenuW(more, MF_STRING, ids.itemB, L"Item &B");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, ids.undo, L"&Undo");
    AppendMenuW(edit, MF_STRING | MF_GRAYED, ids.cut, L"Cu&t");
    AppendMenuW(edit, MF_STRING | MF_CHECKED, ids.copy, L"&Copy");
    AppendMenuW(edit, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"&More");
    return edit;
}

POINT Centre(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace MenuTest
