// Menus and icons from the module's resources.
#include "platform/win32/handles.h"
#include "platform/win32/window_procs.h"

namespace os {
namespace {

HMENU ToMenu(Hmenu menu) { return reinterpret_cast<HMENU>(menu); }
Hmenu FromMenu(HMENU menu) { return reinterpret_cast<Hmenu>(menu); }

HINSTANCE Module(void* instance) {
    return instance ? static_cast<HINSTANCE>(instance) : win32::ThisModule();
}

}  // namespace

Hmenu LoadMenu(void* instance, int resourceId) {
    return FromMenu(LoadMenuW(Module(instance), MAKEINTRESOURCEW(resourceId)));
}

Hmenu CreatePopupMenu() { return FromMenu(::CreatePopupMenu()); }
bool DestroyMenu(Hmenu menu) { return ::DestroyMenu(ToMenu(menu)) != FALSE; }
Hmenu GetSubMenu(Hmenu menu, int position) { return FromMenu(::GetSubMenu(ToMenu(menu), position)); }
int GetMenuItemCount(Hmenu menu) { return ::GetMenuItemCount(ToMenu(menu)); }

bool GetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, MenuItemInfo& info) {
    MENUITEMINFOW native{};
    native.cbSize = sizeof(native);
    native.fMask = info.mask;
    if (!GetMenuItemInfoW(ToMenu(menu), item, byPosition, &native)) return false;
    info.type = native.fType;
    info.state = native.fState;
    info.id = native.wID;
    info.subMenu = FromMenu(native.hSubMenu);
    if (info.mask & MIIM_STRING) {
        // The first call left the length in cch; the second copies the text.
        std::wstring text(native.cch + 1, L'\0');
        native.fMask = MIIM_STRING;
        native.dwTypeData = text.data();
        native.cch = static_cast<UINT>(text.size());
        if (!GetMenuItemInfoW(ToMenu(menu), item, byPosition, &native)) return false;
        text.resize(native.cch);
        info.text = std::move(text);
    }
    return true;
}

bool SetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, const MenuItemInfo& info) {
    std::wstring text = info.text;
    MENUITEMINFOW native{};
    native.cbSize = sizeof(native);
    native.fMask = info.mask;
    native.fType = info.type;
    native.fState = info.state;
    native.wID = info.id;
    native.hSubMenu = ToMenu(info.subMenu);
    native.dwTypeData = text.data();
    native.cch = static_cast<UINT>(text.size());
    return SetMenuItemInfoW(ToMenu(menu), item, byPosition, &native) != FALSE;
}

std::uint32_t CheckMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags) {
    return static_cast<std::uint32_t>(::CheckMenuItem(ToMenu(menu), item, flags));
}

std::uint32_t EnableMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags) {
    return static_cast<std::uint32_t>(::EnableMenuItem(ToMenu(menu), item, flags));
}

bool AppendMenu(Hmenu menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const wchar_t* text) {
    return AppendMenuW(ToMenu(menu), flags, idOrSubmenu, text) != FALSE;
}

int TrackPopupMenuEx(Hmenu menu, std::uint32_t flags, int x, int y, Hwnd owner,
                     const Rect* exclude) {
    TPMPARAMS params{};
    params.cbSize = sizeof(params);
    if (exclude) params.rcExclude = {exclude->left, exclude->top, exclude->right, exclude->bottom};
    return ::TrackPopupMenuEx(ToMenu(menu), flags, x, y, win32::ToHwnd(owner),
                              exclude ? &params : nullptr);
}

Hicon LoadIcon(void* instance, int resourceId) {
    return reinterpret_cast<Hicon>(LoadIconW(Module(instance), MAKEINTRESOURCEW(resourceId)));
}

}  // namespace os
