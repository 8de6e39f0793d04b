#include "ui/dialog.h"

#include <exception>

#include "foundation/trace_log.h"
#include "platform/controls.h"
#include "ui/module_instance.h"

namespace talvio {

struct DialogProcedure {
    static std::intptr_t Run(os::Hwnd dialog, std::uint32_t message, os::WParam wParam, os::LParam lParam);
    static std::intptr_t Route(os::Hwnd dialog, std::uint32_t message, os::WParam wParam, os::LParam lParam);
};

namespace {

constexpr int kTraceLevel = 3;

void SetGuiFont(os::Hwnd window) {
    os::SendMessage(window, os::WM_SETFONT, os::GetStockObject(os::DEFAULT_GUI_FONT), 0);
}

void SetGuiFontOnChildren(os::Hwnd window) {
    os::EnumChildWindows(window, [](os::Hwnd child) {
        SetGuiFont(child);
        return true;
    });
}

}  // namespace

std::intptr_t DialogProcedure::Run(os::Hwnd dialog, std::uint32_t message, os::WParam wParam,
                                   os::LParam lParam) {
    try {
        return Route(dialog, message, wParam, lParam);
    } catch (const std::exception& error) {
        TraceLog::global().trace(kTraceLevel, "Dialog handler for message 0x%X threw: %s", message,
                                 error.what());
    } catch (...) {
        TraceLog::global().trace(kTraceLevel, "Dialog handler for message 0x%X threw", message);
    }
    return 0;
}

std::intptr_t DialogProcedure::Route(os::Hwnd dialog, std::uint32_t message, os::WParam wParam,
                                     os::LParam lParam) {
    if (message == os::WM_INITDIALOG) {
        auto* object = reinterpret_cast<Dialog*>(lParam);
        if (!object) return 1;
        os::SetDialogUserData(dialog, lParam);
        object->bind(dialog);
        object->onInitDialog(dialog, reinterpret_cast<os::Hwnd>(wParam), lParam);
        return 1;
    }
    auto* object = reinterpret_cast<Dialog*>(os::GetDialogUserData(dialog));
    if (!object) return 0;
    const std::intptr_t result = object->dialogMessage(message, wParam, lParam);
    if (message == os::WM_NCDESTROY) {
        os::SetDialogUserData(dialog, 0);
        object->unbind();
    }
    return result;
}

Dialog::~Dialog() {
    // Destroyed here, while the dialog's own handlers are still the ones called.
    if (!bound_) return;
    os::DestroyWindow(bound_);
    // A dialog that could not be destroyed (one already going with its
    // parent) must not keep pointing at us.
    if (os::IsWindow(bound_)) os::SetDialogUserData(bound_, 0);
}

void Dialog::localizeChildren() {
    if (window_) SetGuiFontOnChildren(window_);
    Window::localizeChildren();
}

void Dialog::onLButtonDown(int, int, std::uint32_t) {}

void Dialog::onLButtonUp(int, int, std::uint32_t) {}

void Dialog::onPaint(paint::Dc dc) {
    if (background_) background_->draw(dc, 0, 0);
}

bool Dialog::onInitDialog(os::Hwnd window, os::Hwnd, os::LParam) {
    SetGuiFont(window);
    localizeChildren();
    return true;
}

std::intptr_t Dialog::dialogMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    os::LResult ignored = 0;
    dispatchCommon(message, wParam, lParam, ignored);
    return 0;
}

std::intptr_t Dialog::runModal(int templateId, os::Hwnd owner) {
    return os::DialogBoxParam(ModuleInstance(), templateId, owner, &DialogProcedure::Run,
                              reinterpret_cast<os::LParam>(this));
}

bool Dialog::createModeless(int templateId, os::Hwnd owner) {
    return os::CreateDialogParam(ModuleInstance(), templateId, owner, &DialogProcedure::Run,
                                 reinterpret_cast<os::LParam>(this)) != nullptr;
}

bool Dialog::isTicked(int id) const {
    const os::Hwnd control = item(id);
    return control && os::SendMessage(control, os::BM_GETCHECK, 0, 0) == os::BST_CHECKED;
}

void Dialog::setTicked(int id, bool ticked) {
    if (const os::Hwnd control = item(id)) {
        os::SendMessage(control, os::BM_SETCHECK, ticked ? os::BST_CHECKED : os::BST_UNCHECKED, 0);
    }
}

void Dialog::enableItem(int id, bool enabled) {
    if (const os::Hwnd control = item(id)) os::EnableWindow(control, enabled);
}

std::wstring Dialog::itemText(int id) const {
    const os::Hwnd control = item(id);
    if (!control) return {};
    std::wstring text = os::GetWindowText(control);
    if (text.size() > kMaxItemText) text.resize(kMaxItemText);
    return text;
}

int Dialog::comboSelection(int id) const {
    const os::Hwnd control = item(id);
    if (!control) return -1;
    return static_cast<int>(os::SendMessage(control, os::CB_GETCURSEL, 0, 0));
}

}  // namespace talvio
