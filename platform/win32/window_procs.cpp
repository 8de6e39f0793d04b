#include "platform/win32/window_procs.h"

#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "platform/win32/handles.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace os {
namespace win32 {
namespace {

constexpr wchar_t kProcProperty[] = L"TalvioWndProc";

struct ProcTables {
    std::mutex lock;
    std::map<std::pair<ATOM, HINSTANCE>, WndProc> byClass;
    // Native WNDPROC values handed out as WndProc (the procedures of system
    // controls and foreign subclasses), so CallWindowProc knows to call them
    // through CallWindowProcW.
    std::set<WndProc> native;
};

ProcTables& Tables() {
    static ProcTables tables;
    return tables;
}

WndProc ToWndProc(HANDLE value) {
    return reinterpret_cast<WndProc>(reinterpret_cast<std::uintptr_t>(value));
}

HANDLE ToProperty(WndProc proc) {
    return reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(proc));
}

WNDPROC NativeProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

WndProc WrapNative(WNDPROC proc) {
    const auto wrapped = reinterpret_cast<WndProc>(reinterpret_cast<std::uintptr_t>(proc));
    ProcTables& tables = Tables();
    std::lock_guard<std::mutex> guard(tables.lock);
    tables.native.insert(wrapped);
    return wrapped;
}

bool IsWrappedNative(WndProc proc) {
    ProcTables& tables = Tables();
    std::lock_guard<std::mutex> guard(tables.lock);
    return tables.native.count(proc) != 0;
}

WndProc ClassProc(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
    const auto module = reinterpret_cast<HINSTANCE>(GetClassLongPtrW(window, GCLP_HMODULE));
    ProcTables& tables = Tables();
    std::lock_guard<std::mutex> guard(tables.lock);
    const auto found = tables.byClass.find({atom, module});
    return found == tables.byClass.end() ? nullptr : found->second;
}

WndProc HeldProc(HWND window) {
    const WndProc subclass = ToWndProc(GetPropW(window, kProcProperty));
    return subclass ? subclass : ClassProc(window);
}

}  // namespace

LRESULT CALLBACK Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WndProc proc = HeldProc(window);
    LRESULT result = 0;
    if (!proc) {
        result = DefWindowProcW(window, message, wParam, lParam);
    } else {
        try {
            result = proc(FromHwnd(window), message, wParam, lParam);
        } catch (...) {
            // An exception must not unwind through USER32's frames; the
            // message counts as not handled (for WM_NCCREATE this fails the
            // creation).
            result = 0;
        }
    }
    if (message == WM_NCDESTROY) RemovePropW(window, kProcProperty);
    return result;
}

void RememberClassProc(ATOM atom, HINSTANCE module, WndProc proc) {
    ProcTables& tables = Tables();
    std::lock_guard<std::mutex> guard(tables.lock);
    tables.byClass[{atom, module}] = proc;
}

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace win32

using win32::ToHwnd;

LResult DefWindowProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    return DefWindowProcW(ToHwnd(window), message, wParam, lParam);
}

LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                       LParam lParam) {
    if (!proc) return 0;  // as CallWindowProcW with no procedure
    if (win32::IsWrappedNative(proc)) {
        const auto native = reinterpret_cast<WNDPROC>(reinterpret_cast<std::uintptr_t>(proc));
        return CallWindowProcW(native, ToHwnd(window), message, wParam, lParam);
    }
    return proc(window, message, wParam, lParam);
}

WndProc GetWindowProc(Hwnd window) {
    const HWND native = ToHwnd(window);
    const WNDPROC current = win32::NativeProc(native);
    if (!current) return nullptr;
    if (current == &win32::Dispatch) return win32::HeldProc(native);
    return win32::WrapNative(current);
}

WndProc SetWindowProc(Hwnd window, WndProc proc) {
    const HWND native = ToHwnd(window);
    const WndProc previous = GetWindowProc(window);
    if (!previous) return nullptr;
    if (win32::IsWrappedNative(proc)) {
        // Restoring a native procedure hands the window back to it entirely.
        SetWindowLongPtrW(native, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        RemovePropW(native, win32::kProcProperty);
        return previous;
    }
    SetPropW(native, win32::kProcProperty, win32::ToProperty(proc));
    if (win32::NativeProc(native) != &win32::Dispatch) {
        SetWindowLongPtrW(native, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&win32::Dispatch));
    }
    return previous;
}

void* GetUserData(Hwnd window) {
    return reinterpret_cast<void*>(GetWindowLongPtrW(ToHwnd(window), GWLP_USERDATA));
}

void SetUserData(Hwnd window, void* data) {
    SetWindowLongPtrW(ToHwnd(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
}

}  // namespace os
