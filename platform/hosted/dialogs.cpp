// The dialog manager: dialogs made from the module's dialog templates, the
// default processing of the dialog class, the modal loop (driven by the
// test's stand-in for the user), and the image lists of list views.
#include <utility>

#include "platform/controls.h"
#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

constexpr std::uintptr_t kDefaultGuiFont = 0x50000 + 4 * DEFAULT_GUI_FONT;

// Dialog units to pixels for base units of 6 x 13.
int DialogX(int units) { return units * 6 / 4; }
int DialogY(int units) { return units * 13 / 8; }

bool FindTemplate(int id, DialogResource& resource) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().dialogResources.find(id);
    if (found == TheDesktop().dialogResources.end()) {
        SetLastError(kErrorResourceNameNotFound);
        return false;
    }
    resource = found->second;
    return true;
}

// Makes the dialog and its controls, then sends WM_INITDIALOG (focus: the
// first control) as CreateDialogIndirectParam does. Null on failure.
Hwnd MakeDialog(int templateId, Hwnd owner, DlgProc proc, LParam param) {
    DialogResource resource;
    if (!FindTemplate(templateId, resource)) return nullptr;
    const std::uint32_t style = resource.style & ~WS_VISIBLE;
    const Hwnd dialog = CreateWindowEx(0, L"#32770", resource.title, style, DialogX(resource.x),
                                       DialogY(resource.y), DialogX(resource.width),
                                       DialogY(resource.height), owner, 0, nullptr);
    if (!dialog) return nullptr;
    {
        Lock lock(TheDesktop().mutex);
        FindWindow(dialog)->dialogProc = proc;
    }
    Hwnd firstControl = nullptr;
    for (const DialogItemResource& item : resource.items) {
        const Hwnd control = CreateWindowEx(0, item.className, item.text, item.style | WS_CHILD,
                                            DialogX(item.x), DialogY(item.y), DialogX(item.width),
                                            DialogY(item.height), dialog,
                                            static_cast<std::uintptr_t>(item.id), nullptr);
        if (!control) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (!firstControl) firstControl = control;
    }
    SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WParam>(firstControl), param);
    if (IsWindow(dialog) && (resource.style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

bool Ended(Hwnd dialog, std::intptr_t* result) {
    Lock lock(TheDesktop().mutex);
    Window* window = FindWindow(dialog);
    if (!window) return true;
    if (result) *result = window->dialogResult;
    return window->dialogEnded;
}

std::function<void(Hwnd)> TakeDialogUser() {
    Lock lock(TheDesktop().mutex);
    auto& users = TheDesktop().dialogUsers;
    if (users.empty()) return {};
    std::function<void(Hwnd)> user = std::move(users.front());
    users.pop_front();
    return user;
}

}  // namespace

LResult DialogClassProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    DlgProc proc = nullptr;
    {
        Lock lock(TheDesktop().mutex);
        if (Window* dialog = FindWindow(window)) proc = dialog->dialogProc;
    }
    const std::intptr_t handled = proc ? proc(window, message, wParam, lParam) : 0;
    if (message == WM_INITDIALOG) return handled;
    if (handled) return handled;
    switch (message) {
        case WM_CLOSE:
            // The close box is the Cancel button, whether or not the dialog has one.
            SendMessage(window, WM_COMMAND, (BN_CLICKED << 16) | IDCANCEL,
                        reinterpret_cast<LParam>(GetDlgItem(window, IDCANCEL)));
            return 0;
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

std::intptr_t DialogBoxParam(void*, int templateId, Hwnd owner, DlgProc proc, LParam param) {
    const Hwnd dialog = MakeDialog(templateId, owner, proc, param);
    if (!dialog) return -1;
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, false);
    std::intptr_t result = -1;
    if (!Ended(dialog, nullptr)) {
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        if (std::function<void(Hwnd)> user = TakeDialogUser()) user(dialog);
        hosted::PumpMessages();
        if (!Ended(dialog, nullptr)) {
            SendMessage(dialog, WM_CLOSE, 0, 0);
            hosted::PumpMessages();
        }
    }
    const bool ended = Ended(dialog, &result);
    if (!ended) result = -1;
    if (disableOwner) EnableWindow(owner, true);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

Hwnd CreateDialogParam(void*, int templateId, Hwnd owner, DlgProc proc, LParam param) {
    return MakeDialog(templateId, owner, proc, param);
}

bool EndDialog(Hwnd dialog, std::intptr_t result) {
    Lock lock(TheDesktop().mutex);
    Window* window = FindWindow(dialog);
    if (!window || window->className != L"#32770") {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    window->dialogEnded = true;
    window->dialogResult = result;
    window->style &= ~WS_VISIBLE;
    return true;
}

LParam GetDialogUserData(Hwnd dialog) {
    Lock lock(TheDesktop().mutex);
    Window* window = FindWindow(dialog);
    return window ? window->dialogUser : 0;
}

void SetDialogUserData(Hwnd dialog, LParam data) {
    Lock lock(TheDesktop().mutex);
    if (Window* window = FindWindow(dialog)) window->dialogUser = data;
}

LResult SendDlgItemMessage(Hwnd dialog, int id, std::uint32_t message, WParam wParam, LParam lParam) {
    const Hwnd item = GetDlgItem(dialog, id);
    return item ? SendMessage(item, message, wParam, lParam) : 0;
}

std::uintptr_t GetStockObject(int object) {
    return object == DEFAULT_GUI_FONT ? kDefaultGuiFont : 0;
}

HimageList ImageList_LoadBitmap(void*, int resourceId, int width, int, std::uint32_t) {
    hosted::BitmapResource bitmap;
    if (width <= 0 || !hosted::FindBitmapResource(resourceId, &bitmap)) {
        SetLastError(kErrorResourceNameNotFound);
        return nullptr;
    }
    Lock lock(TheDesktop().mutex);
    Desktop& d = TheDesktop();
    const std::uintptr_t handle = d.nextImageList;
    d.nextImageList += 4;
    d.imageLists[handle] = bitmap.width / width;
    return reinterpret_cast<HimageList>(handle);
}

bool ImageList_Destroy(HimageList list) {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().imageLists.erase(reinterpret_cast<std::uintptr_t>(list)) != 0;
}

int ImageList_GetImageCount(HimageList list) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().imageLists.find(reinterpret_cast<std::uintptr_t>(list));
    return found == TheDesktop().imageLists.end() ? 0 : found->second;
}

}  // namespace os

namespace os::hosted {

void AddDialogResource(int id, DialogResource dialog) {
    detail::Lock lock(detail::TheDesktop().mutex);
    detail::TheDesktop().dialogResources[id] = std::move(dialog);
}

void UseNextDialog(std::function<void(Hwnd dialog)> user) {
    detail::Lock lock(detail::TheDesktop().mutex);
    detail::TheDesktop().dialogUsers.push_back(std::move(user));
}

}  // namespace os::hosted
