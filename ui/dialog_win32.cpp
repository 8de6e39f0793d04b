#include "ui/dialog.h"

#include "platform/win32/windows_api.h"

#include <exception>

#include "foundation/trace_log.h"
#include "ui/module_instance.h"

namespace talvio {

struct DialogProcedure {
    static INT_PTR CALLBACK Run(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Route(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};

namespace {

constexpr int kMaxItemText = 1024;
constexpr int kTraceLevel = 3;

os::Hwnd Portable(HWND window) { return reinterpret_cast<os::Hwnd>(window); }
HWND Native(os::Hwnd window) { return reinterpret_cast<HWND>(window); }

Dialog* BoundDialog(HWND dialog) {
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void SetGuiFont(HWND window) {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

BOOL CALLBACK SetGuiFontOnChild(HWND child, LPARAM) {
    SetGuiFont(child);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK DialogProcedure::Run(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return Route(dialog, message, wParam, lParam);
    } catch (const std::exception& error) {
        TraceLog::global().trace(kTraceLevel, "Dialog handler for message 0x%X threw: %s", message,
                                 error.what());
    } catch (...) {
        TraceLog::global().trace(kTraceLevel, "Dialog handler for message 0x%X threw", message);
    }
    return FALSE;
}

INT_PTR DialogProcedure::Route(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<Dialog*>(lParam);
        if (!object) return TRUE;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        object->bind(Portable(dialog));
        const auto current = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
        if (current != &DialogProcedure::Run) {
            object->previousDialogProc_ = reinterpret_cast<void*>(current);
            SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DialogProcedure::Run));
        }
        object->onInitDialog(Portable(dialog), reinterpret_cast<os::Hwnd>(wParam), lParam);
        return TRUE;
    }
    Dialog* object = BoundDialog(dialog);
    if (!object) return FALSE;
    INT_PTR result = object->dialogMessage(message, wParam, lParam);
    if (!result && object->previousDialogProc_) {
        result = reinterpret_cast<DLGPROC>(object->previousDialogProc_)(dialog, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        object->previousDialogProc_ = nullptr;
        object->unbind();
    }
    return result;
}

Dialog::~Dialog() {
    // Destroyed here, while the dialog's own handlers are still the ones called.
    if (bound_) DestroyWindow(Native(bound_));
}

void Dialog::localizeChildren() {
    if (window_) EnumChildWindows(Native(window_), &SetGuiFontOnChild, 0);
    Window::localizeChildren();
}

void Dialog::onLButtonDown(int, int, std::uint32_t) {}

void Dialog::onLButtonUp(int, int, std::uint32_t) {}

bool Dialog::onInitDialog(os::Hwnd window, os::Hwnd, os::LParam) {
    SetGuiFont(Native(window));
    EnumChildWindows(Native(window), &SetGuiFontOnChild, 0);
    localizeChildren();
    return true;
}

std::intptr_t Dialog::dialogMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    os::LResult ignored = 0;
    dispatchCommon(message, wParam, lParam, ignored);
    return FALSE;
}

std::intptr_t Dialog::runModal(int templateId, os::Hwnd owner) {
    return DialogBoxParamW(static_cast<HINSTANCE>(ModuleInstance()), MAKEINTRESOURCEW(templateId),
                           Native(owner), &DialogProcedure::Run, reinterpret_cast<LPARAM>(this));
}

bool Dialog::createModeless(int templateId, os::Hwnd owner) {
    return CreateDialogParamW(static_cast<HINSTANCE>(ModuleInstance()), MAKEINTRESOURCEW(templateId),
                              Native(owner), &DialogProcedure::Run,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool Dialog::isTicked(int id) const {
    HWND item = GetDlgItem(Native(window_), id);
    return item && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Dialog::setTicked(int id, bool ticked) {
    SendDlgItemMessageW(Native(window_), id, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Dialog::enableItem(int id, bool enabled) {
    if (HWND item = GetDlgItem(Native(window_), id)) EnableWindow(item, enabled);
}

std::wstring Dialog::itemText(int id) const {
    wchar_t buffer[kMaxItemText + 1] = {};
    const UINT length = GetDlgItemTextW(Native(window_), id, buffer, kMaxItemText + 1);
    return std::wstring(buffer, length);
}

int Dialog::comboSelection(int id) const {
    HWND item = GetDlgItem(Native(window_), id);
    if (!item) return -1;
    return static_cast<int>(SendMessageW(item, CB_GETCURSEL, 0, 0));
}

}  // namespace talvio
