// Menus, the module's resources, and the user's side of a tracked menu.
#include <optional>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

constexpr std::uint32_t kErrorInvalidMenuHandle = 1401;
constexpr std::uint32_t kErrorMenuItemNotFound = 1456;
constexpr std::uint32_t kDisabledBits = MF_GRAYED | MF_DISABLED;

Hmenu ToHmenu(std::uintptr_t handle) { return reinterpret_cast<Hmenu>(handle); }
std::uintptr_t FromHmenu(Hmenu menu) { return reinterpret_cast<std::uintptr_t>(menu); }

Menu* FindMenu(std::uintptr_t handle) {
    auto found = TheDesktop().menus.find(handle);
    if (found == TheDesktop().menus.end()) {
        SetLastError(kErrorInvalidMenuHandle);
        return nullptr;
    }
    return &found->second;
}

std::uintptr_t NewMenu() {
    Desktop& d = TheDesktop();
    const std::uintptr_t handle = d.nextMenu;
    d.nextMenu += 4;
    d.menus.emplace(handle, Menu{});
    return handle;
}

std::uintptr_t BuildMenu(const std::vector<MenuTemplateItem>& items) {
    const std::uintptr_t handle = NewMenu();
    for (const MenuTemplateItem& entry : items) {
        MenuItem item;
        item.type = (entry.flags & MF_SEPARATOR) ? MFT_SEPARATOR : MFT_STRING;
        item.state = entry.flags & (kDisabledBits | MF_CHECKED);
        item.id = entry.id;
        item.text = entry.text;
        if (!entry.popup.empty()) item.subMenu = BuildMenu(entry.popup);
        TheDesktop().menus.at(handle).items.push_back(std::move(item));
    }
    return handle;
}

void DestroyTree(std::uintptr_t handle) {
    auto found = TheDesktop().menus.find(handle);
    if (found == TheDesktop().menus.end()) return;
    const std::vector<MenuItem> items = std::move(found->second.items);
    TheDesktop().menus.erase(found);
    for (const MenuItem& item : items) DestroyTree(item.subMenu);
}

// The items from `handle` down to the item: by position in that menu, or
// by command id anywhere below it. As in Win32 a submenu is searched before
// the id of the item that opens it is taken.
using ItemPath = std::vector<std::pair<std::uintptr_t, std::size_t>>;

bool FindByCommand(std::uintptr_t handle, std::uint32_t id, ItemPath& path, int depth) {
    const Menu* menu = FindMenu(handle);
    if (!menu || depth > 16) return false;
    std::optional<std::size_t> opener;
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        if (item.subMenu) {
            path.emplace_back(handle, i);
            if (FindByCommand(item.subMenu, id, path, depth + 1)) return true;
            path.pop_back();
            if (item.id == id && !opener) opener = i;
        } else if (item.id == id) {
            path.emplace_back(handle, i);
            return true;
        }
    }
    if (!opener) return false;
    path.emplace_back(handle, *opener);
    return true;
}

std::optional<ItemPath> FindPath(std::uintptr_t handle, std::uint32_t item, bool byPosition) {
    ItemPath path;
    if (byPosition) {
        const Menu* menu = FindMenu(handle);
        if (!menu) return std::nullopt;
        if (item < menu->items.size()) return ItemPath{{handle, item}};
    } else if (FindByCommand(handle, item, path, 0)) {
        return path;
    }
    SetLastError(kErrorMenuItemNotFound);
    return std::nullopt;
}

MenuItem* FindItem(std::uintptr_t handle, std::uint32_t item, bool byPosition) {
    const std::optional<ItemPath> path = FindPath(handle, item, byPosition);
    if (!path) return nullptr;
    return &TheDesktop().menus.at(path->back().first).items[path->back().second];
}

bool Choosable(const ItemPath& path) {
    for (const auto& [handle, index] : path) {
        const Menu* menu = FindMenu(handle);
        if (!menu || index >= menu->items.size()) return false;
        if (menu->items[index].state & kDisabledBits) return false;
        if (menu->items[index].type & MFT_SEPARATOR) return false;
    }
    return true;
}

// Sets the state bits `bits` as `flags` has them; returns their old value.
std::uint32_t ChangeState(Hmenu menu, std::uint32_t item, std::uint32_t flags, std::uint32_t bits) {
    Lock lock(TheDesktop().mutex);
    MenuItem* found = FindItem(FromHmenu(menu), item, flags & MF_BYPOSITION);
    if (!found) return kMenuItemMissing;
    const std::uint32_t previous = found->state & bits;
    found->state = (found->state & ~bits) | (flags & bits);
    return previous;
}

LParam OpenedAt(std::size_t position) { return static_cast<LParam>(position & 0xFFFF); }

}  // namespace
}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

Hmenu LoadMenu(void*, int resourceId) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().menuResources.find(resourceId);
    if (found == TheDesktop().menuResources.end()) {
        SetLastError(kErrorResourceNameNotFound);
        return nullptr;
    }
    return ToHmenu(BuildMenu(found->second));
}

Hmenu CreatePopupMenu() {
    Lock lock(TheDesktop().mutex);
    return ToHmenu(NewMenu());
}

bool DestroyMenu(Hmenu menu) {
    Lock lock(TheDesktop().mutex);
    if (!FindMenu(FromHmenu(menu))) return false;
    DestroyTree(FromHmenu(menu));
    return true;
}

Hmenu GetSubMenu(Hmenu menu, int position) {
    Lock lock(TheDesktop().mutex);
    const Menu* found = FindMenu(FromHmenu(menu));
    if (!found || position < 0 || static_cast<std::size_t>(position) >= found->items.size()) {
        return nullptr;
    }
    return ToHmenu(found->items[static_cast<std::size_t>(position)].subMenu);
}

int GetMenuItemCount(Hmenu menu) {
    Lock lock(TheDesktop().mutex);
    const Menu* found = FindMenu(FromHmenu(menu));
    return found ? static_cast<int>(found->items.size()) : -1;
}

bool GetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, MenuItemInfo& info) {
    Lock lock(TheDesktop().mutex);
    const MenuItem* found = FindItem(FromHmenu(menu), item, byPosition);
    if (!found) return false;
    if (info.mask & MIIM_FTYPE) info.type = found->type;
    if (info.mask & MIIM_STATE) info.state = found->state;
    if (info.mask & MIIM_ID) info.id = found->id;
    if (info.mask & MIIM_SUBMENU) info.subMenu = ToHmenu(found->subMenu);
    if (info.mask & MIIM_STRING) info.text = found->text;
    return true;
}

bool SetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, const MenuItemInfo& info) {
    Lock lock(TheDesktop().mutex);
    MenuItem* found = FindItem(FromHmenu(menu), item, byPosition);
    if (!found) return false;
    if ((info.mask & MIIM_SUBMENU) && info.subMenu && !FindMenu(FromHmenu(info.subMenu))) return false;
    if (info.mask & MIIM_FTYPE) found->type = info.type;
    if (info.mask & MIIM_STATE) found->state = info.state;
    if (info.mask & MIIM_ID) found->id = info.id;
    if (info.mask & MIIM_SUBMENU) found->subMenu = FromHmenu(info.subMenu);
    if (info.mask & MIIM_STRING) found->text = info.text;
    return true;
}

std::uint32_t CheckMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags) {
    return ChangeState(menu, item, flags, MF_CHECKED);
}

std::uint32_t EnableMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags) {
    return ChangeState(menu, item, flags, kDisabledBits);
}

bool AppendMenu(Hmenu menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const wchar_t* text) {
    Lock lock(TheDesktop().mutex);
    Menu* found = FindMenu(FromHmenu(menu));
    if (!found) return false;
    MenuItem item;
    item.type = (flags & MF_SEPARATOR) ? MFT_SEPARATOR : MFT_STRING;
    item.state = flags & (kDisabledBits | MF_CHECKED);
    item.id = static_cast<std::uint32_t>(idOrSubmenu);
    if (flags & MF_POPUP) {
        if (!FindMenu(idOrSubmenu)) return false;
        item.subMenu = idOrSubmenu;
    }
    if (text && !(flags & MF_SEPARATOR)) item.text = text;
    found->items.push_back(std::move(item));
    return true;
}

int TrackPopupMenuEx(Hmenu menu, std::uint32_t flags, int x, int y, Hwnd owner,
                     const Rect* exclude) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    if (!FindMenu(FromHmenu(menu))) return 0;
    if (!FindWindow(owner)) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    hosted::MenuTracking tracking{menu, flags, x, y, owner, exclude != nullptr, exclude ? *exclude : Rect{}, 0};
    // A flag beside the id rather than an optional: GCC 12 at -O3 warns
    // falsely (-Wmaybe-uninitialized) on the optional's value.
    const bool hasChoice = !d.menuChoices.empty();
    const std::uint32_t choice = hasChoice ? d.menuChoices.front() : 0;
    if (hasChoice) d.menuChoices.pop_front();

    Send(lock, owner, WM_INITMENUPOPUP, FromHmenu(menu), 0, SMTO_NORMAL, kInfinite, nullptr);
    if (hasChoice) {
        // Handlers may rebuild the menus they are told about, so the way to
        // the item is looked up again after each submenu opens.
        std::optional<ItemPath> path = FindPath(FromHmenu(menu), choice, false);
        for (std::size_t step = 0; path && step + 1 < path->size(); ++step) {
            const auto [handle, index] = (*path)[step];
            if (!Choosable(ItemPath{(*path)[step]})) break;
            const std::uintptr_t sub = d.menus.at(handle).items[index].subMenu;
            Send(lock, owner, WM_INITMENUPOPUP, sub, OpenedAt(index), SMTO_NORMAL, kInfinite, nullptr);
            path = FindPath(FromHmenu(menu), choice, false);
        }
        if (path && Choosable(*path) && !FindItem(FromHmenu(menu), choice, false)->subMenu) {
            tracking.chosen = choice;
        }
    }
    d.menuTrackings.push_back(tracking);
    if (flags & TPM_RETURNCMD) return static_cast<int>(tracking.chosen);
    // WM_COMMAND carries the low word of the id.
    if (tracking.chosen && FindWindow(owner)) {
        PostTo(*d.windows.at(FromHwnd(owner))->thread,
               Msg{owner, WM_COMMAND, tracking.chosen & 0xFFFF, 0, static_cast<std::uint32_t>(d.now)});
    }
    return 1;
}

Hicon LoadIcon(void*, int resourceId) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().iconLoads.find(resourceId);
    if (found == TheDesktop().iconLoads.end()) {
        SetLastError(kErrorResourceNameNotFound);
        return nullptr;
    }
    ++found->second;
    // A module's icon is one shared object: every load yields the same handle.
    return reinterpret_cast<Hicon>(static_cast<std::uintptr_t>(0x40000 + 4 * resourceId));
}

// Every picture of an icon resource is the one shared icon here.
Hicon LoadIconOfSize(void* instance, int resourceId, int, int) { return LoadIcon(instance, resourceId); }

}  // namespace os

namespace os::hosted {

using namespace detail;

void AddMenuResource(int id, std::vector<MenuTemplateItem> items) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().menuResources[id] = std::move(items);
}

void AddIconResource(int id) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().iconLoads.emplace(id, 0);
}

int IconLoadCount(int id) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().iconLoads.find(id);
    return found == TheDesktop().iconLoads.end() ? 0 : found->second;
}

void AddBitmapResource(int id, BitmapResource bitmap) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().bitmapResources[id] = std::move(bitmap);
}

bool FindBitmapResource(int id, BitmapResource* bitmap) {
    Lock lock(TheDesktop().mutex);
    auto found = TheDesktop().bitmapResources.find(id);
    if (found == TheDesktop().bitmapResources.end()) return false;
    if (bitmap) *bitmap = found->second;
    return true;
}

void ChooseMenuCommand(std::uint32_t id) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().menuChoices.push_back(id);
}

std::vector<MenuTracking> MenuTrackings() {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().menuTrackings;
}

}  // namespace os::hosted
