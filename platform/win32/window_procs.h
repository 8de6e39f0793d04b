// Holds the os:: procedures of windows. Win32 calls a WNDPROC with the
// stdcall convention, os::WndProc is a plain C++ function, so every window
// whose os:: procedure we hold gets the one native procedure Dispatch, which
// looks the os:: procedure up: by window class for windows of classes
// registered through os::RegisterClass, by a window property for windows
// subclassed through os::SetWindowProc. Thread-safe.
#pragma once

#include "platform/win32/windows_api.h"

namespace os::win32 {

LRESULT CALLBACK Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Called once a class is registered; classes are keyed by atom and module.
void RememberClassProc(ATOM atom, HINSTANCE module, WndProc proc);

// The module the program's classes are registered under and its windows are
// created with: the binary this code is linked into.
HINSTANCE ThisModule();

}  // namespace os::win32
