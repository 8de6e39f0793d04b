#include <cstddef>

#include "platform/win32/handles.h"
#include "platform/win32/window_procs.h"

namespace os {

// Window procedures receive Win32's own structures through lParam; the os::
// mirrors must match them field for field.
static_assert(sizeof(CreateStruct) == sizeof(CREATESTRUCTW));
static_assert(offsetof(CreateStruct, lpCreateParams) == offsetof(CREATESTRUCTW, lpCreateParams));
static_assert(offsetof(CreateStruct, hwndParent) == offsetof(CREATESTRUCTW, hwndParent));
static_assert(offsetof(CreateStruct, cy) == offsetof(CREATESTRUCTW, cy));
static_assert(offsetof(CreateStruct, style) == offsetof(CREATESTRUCTW, style));
static_assert(offsetof(CreateStruct, lpszClass) == offsetof(CREATESTRUCTW, lpszClass));
static_assert(offsetof(CreateStruct, dwExStyle) == offsetof(CREATESTRUCTW, dwExStyle));
static_assert(sizeof(CopyDataStruct) == sizeof(COPYDATASTRUCT));
static_assert(offsetof(CopyDataStruct, cbData) == offsetof(COPYDATASTRUCT, cbData));
static_assert(offsetof(CopyDataStruct, lpData) == offsetof(COPYDATASTRUCT, lpData));

using win32::FromHwnd;
using win32::ToHwnd;

Atom RegisterClass(const WindowClass& windowClass) {
    const auto module = windowClass.instance ? static_cast<HINSTANCE>(windowClass.instance)
                                             : win32::ThisModule();
    WNDCLASSEXW native{};
    native.cbSize = sizeof(native);
    native.style = windowClass.style;
    native.lpfnWndProc = &win32::Dispatch;
    native.hInstance = module;
    native.hIcon = reinterpret_cast<HICON>(windowClass.icon);
    native.hCursor = reinterpret_cast<HCURSOR>(windowClass.cursor);
    native.hbrBackground = reinterpret_cast<HBRUSH>(windowClass.background);
    native.lpszClassName = windowClass.name.c_str();
    const ATOM atom = RegisterClassExW(&native);
    if (atom != 0) win32::RememberClassProc(atom, module, windowClass.proc);
    return atom;
}

bool GetClassInfo(std::wstring_view name) {
    const std::wstring terminated(name);
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    // System classes (Edit, Button...) are found under the null module.
    return GetClassInfoExW(win32::ThisModule(), terminated.c_str(), &info) ||
           GetClassInfoExW(nullptr, terminated.c_str(), &info);
}

Hwnd CreateWindowEx(std::uint32_t exStyle, std::wstring_view className, std::wstring_view title,
                    std::uint32_t style, int x, int y, int width, int height, Hwnd parent,
                    std::uintptr_t menuOrId, void* param) {
    const std::wstring terminatedClass(className);
    const std::wstring terminatedTitle(title);
    return FromHwnd(CreateWindowExW(exStyle, terminatedClass.c_str(), terminatedTitle.c_str(),
                                    style, x, y, width, height, ToHwnd(parent),
                                    reinterpret_cast<HMENU>(menuOrId), win32::ThisModule(),
                                    param));
}

bool DestroyWindow(Hwnd window) { return ::DestroyWindow(ToHwnd(window)) != FALSE; }

}  // namespace os
