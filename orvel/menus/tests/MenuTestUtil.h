#pragma once
// Real input for menu tests. A popup menu runs its own modal loop, so a
// test hands its input to a script: steps run one after another from a
// thread timer, which keeps firing inside any menu loop.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace MenuTest {

// Keys and the mouse through SendInput, as a user makes them.
void Key(WORD key);
void KeyDown(WORD key);
void KeyUp(WORD key);
void AltLetter(wchar_t letter);
void MoveMouse(POINT screen);
void MouseDown();
void MouseUp();
void Click(POINT screen);

// Visible popup menu windows of the thread, in creation order unknown.
std::vector<HWND> PopupWindows();

// A step returns true when done; false runs it again at the next tick
// (a step that waits for something).
using Step = std::function<bool()>;

// Runs the steps from a timer while pumping (and while any modal loop
// started by them runs). True when every step finished within maxMs.
// With a body, the body runs once the timer is set (a modal call made there
// is driven by the steps).
bool RunScript(const std::vector<Step>& steps, DWORD maxMs = 8000,
               const std::function<void()>& body = nullptr);

// A step that waits until the condition holds.
Step WaitFor(std::function<bool()> condition);
// A step that lets the given number of ticks pass (painting settles).
Step Pause(int ticks);
// A step that does something once.
Step Do(std::function<void()> action);

// The tests' edit popup: Undo, a grayed Cut, a checked Copy and a More
// submenu (Item A, and Item B unless its identifier is 0).
struct SEditIds {
    UINT undo, cut, copy, itemA, itemB;
};
HMENU EditMenu(const SEditIds& ids);

// A screen rectangle's centre.
POINT Centre(const RECT& rect);

}  // namespace MenuTest
