// Working the dialogs of a running TalvioDriver.exe from another process,
// as a test peer does: through window messages only (posted commands,
// WM_GETTEXT, button states), every wait bounded.
#pragma once

#include "platform/win32/windows_api.h"

#include <string>

namespace talvio::testing {

inline constexpr DWORD kDialogWaitMs = 15000;

inline HWND DriverTrayWindow() { return FindWindowExW(nullptr, nullptr, L"QmxUsbPhoneWndClass", nullptr); }

// The visible top-level dialog holding a control of that id (the title
// depends on the language).
inline HWND VisibleDialog(int controlId) {
    for (HWND dialog = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); dialog;
         dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) {
        if (IsWindowVisible(dialog) && GetDlgItem(dialog, controlId)) return dialog;
    }
    return nullptr;
}

inline HWND WaitForDialog(int controlId, DWORD timeoutMs = kDialogWaitMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND dialog = VisibleDialog(controlId)) return dialog;
        Sleep(20);
    }
    return nullptr;
}

// Chooses a command of the tray menu, as the menu would post it, and waits
// for the dialog it opens, known by one of its controls.
inline HWND OpenDriverDialog(UINT command, int controlId) {
    HWND tray = DriverTrayWindow();
    if (!tray || !PostMessageW(tray, WM_COMMAND, command, 0)) return nullptr;
    return WaitForDialog(controlId);
}

inline std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

inline bool WaitUntilGone(HWND window, DWORD timeoutMs = kDialogWaitMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (!IsWindow(window)) return true;
        Sleep(20);
    }
    return false;
}

// A control's text through WM_GETTEXT, which Windows copies across processes.
inline std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return L"<no control " + std::to_wstring(id) + L">";
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kDialogWaitMs, &copied)) {
        return L"<no answer>";
    }
    return std::wstring(text, copied);
}

inline LRESULT ControlMessage(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_ABORTIFHUNG, kDialogWaitMs, &result);
    return static_cast<LRESULT>(result);
}

inline bool Ticked(HWND dialog, int id) { return ControlMessage(dialog, id, BM_GETCHECK) == BST_CHECKED; }

// What a click on the button tells its dialog.
inline void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The Options dialog's pages in tab order: its child dialogs.
inline HWND OptionsPage(HWND options, int index) {
    int seen = 0;
    for (HWND child = FindWindowExW(options, nullptr, L"#32770", nullptr); child;
         child = FindWindowExW(options, child, L"#32770", nullptr)) {
        if (seen++ == index) return child;
    }
    return nullptr;
}

}  // namespace talvio::testing
