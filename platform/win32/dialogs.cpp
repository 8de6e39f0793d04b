// Dialogs from the module's templates, and the common-control pieces they
// use. Win32 calls a DLGPROC with the stdcall convention, os::DlgProc is a
// plain C++ function: every dialog gets the native DialogDispatch, which
// finds the os:: procedure in a window property. The property is set on
// the first message the dialog receives (WM_SETFONT comes before
// WM_INITDIALOG), from the procedure the creating call left for it.
// The os:: constants first: commctrl.h defines the same names as macros.
#include "platform/controls.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#undef ImageList_LoadBitmap

#include <cstddef>

#include "platform/win32/handles.h"
#include "platform/win32/window_procs.h"

namespace os {

// The control messages carry Win32's own structures; the os:: mirrors must
// match them field for field.
static_assert(sizeof(NmHdr) == sizeof(NMHDR));
static_assert(offsetof(NmHdr, code) == offsetof(NMHDR, code));
static_assert(sizeof(TcItem) == sizeof(TCITEMW));
static_assert(offsetof(TcItem, pszText) == offsetof(TCITEMW, pszText));
static_assert(offsetof(TcItem, lParam) == offsetof(TCITEMW, lParam));
static_assert(sizeof(LvColumn) == sizeof(LVCOLUMNW));
static_assert(offsetof(LvColumn, cx) == offsetof(LVCOLUMNW, cx));
static_assert(offsetof(LvColumn, pszText) == offsetof(LVCOLUMNW, pszText));
static_assert(offsetof(LvColumn, iSubItem) == offsetof(LVCOLUMNW, iSubItem));
static_assert(sizeof(LvItem) == sizeof(LVITEMW));
static_assert(offsetof(LvItem, stateMask) == offsetof(LVITEMW, stateMask));
static_assert(offsetof(LvItem, pszText) == offsetof(LVITEMW, pszText));
static_assert(offsetof(LvItem, iImage) == offsetof(LVITEMW, iImage));
static_assert(offsetof(LvItem, puColumns) == offsetof(LVITEMW, puColumns));
static_assert(sizeof(Rect) == sizeof(RECT) && sizeof(Point) == sizeof(POINT));

using win32::FromHwnd;
using win32::ToHwnd;

namespace {

constexpr wchar_t kDlgProcProperty[] = L"TalvioDlgProc";

thread_local DlgProc pendingProc = nullptr;

// Makes `proc` the procedure of the dialog the enclosed call creates, and
// restores the outer one for a dialog created inside another's creation.
class PendingProc {
public:
    explicit PendingProc(DlgProc proc) : previous_(pendingProc) { pendingProc = proc; }
    PendingProc(const PendingProc&) = delete;
    PendingProc& operator=(const PendingProc&) = delete;
    ~PendingProc() { pendingProc = previous_; }

private:
    DlgProc previous_;
};

DlgProc HeldProc(HWND dialog) {
    auto held = reinterpret_cast<DlgProc>(reinterpret_cast<std::uintptr_t>(GetPropW(dialog, kDlgProcProperty)));
    if (!held && pendingProc) {
        held = pendingProc;
        SetPropW(dialog, kDlgProcProperty, reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(held)));
    }
    return held;
}

INT_PTR CALLBACK DialogDispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const DlgProc proc = HeldProc(dialog);
    INT_PTR result = FALSE;
    if (proc) {
        try {
            result = proc(FromHwnd(dialog), message, wParam, lParam);
        } catch (...) {
            // No exception may unwind through USER32's frames.
            result = FALSE;
        }
    }
    if (message == WM_NCDESTROY) RemovePropW(dialog, kDlgProcProperty);
    return result;
}

HINSTANCE Module(void* instance) {
    return instance ? static_cast<HINSTANCE>(instance) : win32::ThisModule();
}

}  // namespace

std::intptr_t DialogBoxParam(void* instance, int templateId, Hwnd owner, DlgProc proc, LParam param) {
    PendingProc pending(proc);
    return DialogBoxParamW(Module(instance), MAKEINTRESOURCEW(templateId), ToHwnd(owner),
                           &DialogDispatch, param);
}

Hwnd CreateDialogParam(void* instance, int templateId, Hwnd owner, DlgProc proc, LParam param) {
    PendingProc pending(proc);
    return FromHwnd(CreateDialogParamW(Module(instance), MAKEINTRESOURCEW(templateId),
                                       ToHwnd(owner), &DialogDispatch, param));
}

bool EndDialog(Hwnd dialog, std::intptr_t result) { return ::EndDialog(ToHwnd(dialog), result) != FALSE; }

LParam GetDialogUserData(Hwnd dialog) { return GetWindowLongPtrW(ToHwnd(dialog), DWLP_USER); }

void SetDialogUserData(Hwnd dialog, LParam data) { SetWindowLongPtrW(ToHwnd(dialog), DWLP_USER, data); }

LResult SendDlgItemMessage(Hwnd dialog, int id, std::uint32_t message, WParam wParam, LParam lParam) {
    return SendDlgItemMessageW(ToHwnd(dialog), id, message, wParam, lParam);
}

std::uintptr_t GetStockObject(int object) {
    return reinterpret_cast<std::uintptr_t>(::GetStockObject(object));
}

bool ScreenToClient(Hwnd window, Point& point) {
    POINT native{point.x, point.y};
    if (!::ScreenToClient(ToHwnd(window), &native)) return false;
    point = {native.x, native.y};
    return true;
}

bool ClientToScreen(Hwnd window, Point& point) {
    POINT native{point.x, point.y};
    if (!::ClientToScreen(ToHwnd(window), &native)) return false;
    point = {native.x, native.y};
    return true;
}

Hicon LoadIconOfSize(void* instance, int resourceId, int width, int height) {
    return reinterpret_cast<Hicon>(LoadImageW(Module(instance), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                              width, height, LR_SHARED));
}

HimageList ImageList_LoadBitmap(void* instance, int resourceId, int width, int grow,
                                std::uint32_t maskColour) {
    return reinterpret_cast<HimageList>(ImageList_LoadImageW(Module(instance), MAKEINTRESOURCEW(resourceId),
                                                             width, grow, maskColour, IMAGE_BITMAP,
                                                             LR_CREATEDIBSECTION));
}

bool ImageList_Destroy(HimageList list) {
    return ::ImageList_Destroy(reinterpret_cast<HIMAGELIST>(list)) != FALSE;
}

int ImageList_GetImageCount(HimageList list) {
    return ::ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(list));
}

}  // namespace os
