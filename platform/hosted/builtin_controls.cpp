// The system control classes the program creates or automates: "Edit",
// "Button", "Static", the common controls its dialogs hold ("ComboBox",
// "SysTabControl32", "SysListView32", "msctls_trackbar32") and the dialog
// class "#32770". They keep their contents and answer the messages the
// program sends; nothing is drawn.
#include <algorithm>
#include <cwchar>
#include <utility>

#include "platform/controls.h"
#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

constexpr std::uint32_t EM_GETSEL = 0x00B0;
constexpr std::uint32_t EM_REPLACESEL = 0x00C2;
constexpr std::uint32_t BS_TYPEMASK = 0x000F;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;

// What the hosted tab control and list view take for their frames.
constexpr int kTabHeaderHeight = 24;
constexpr int kTabBorder = 2;
constexpr int kListHeaderHeight = 20;
constexpr int kListRowHeight = 34;  // a row of 32-pixel icons

// Replaces the selection with `text` and puts the caret after it.
void ReplaceSelection(Window& edit, std::wstring_view text) {
    const auto start = static_cast<std::size_t>(edit.selection.start);
    edit.text.replace(start, static_cast<std::size_t>(edit.selection.end) - start, text);
    edit.selection.start = edit.selection.end = static_cast<int>(start + text.size());
}

LResult EditProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_SETTEXT: {
            const LResult result = DefWindowProc(window, message, wParam, lParam);
            Lock lock(TheDesktop().mutex);
            if (Window* edit = FindWindow(window)) edit->selection = {};
            return result;
        }
        case EM_SETSEL: {
            Lock lock(TheDesktop().mutex);
            Window* edit = FindWindow(window);
            if (!edit) return 0;
            const int length = static_cast<int>(edit->text.size());
            const int start = static_cast<int>(static_cast<std::intptr_t>(wParam));
            int end = static_cast<int>(lParam);
            // A start of -1 drops the selection and keeps the caret; an end
            // of -1 means the end of the text; the two may come reversed.
            if (start == -1) {
                edit->selection.start = edit->selection.end;
                return 0;
            }
            if (end < 0 || end > length) end = length;
            const int first = std::clamp(start, 0, length);
            edit->selection = {std::min(first, end), std::max(first, end)};
            return 0;
        }
        case EM_GETSEL: {
            Lock lock(TheDesktop().mutex);
            Window* edit = FindWindow(window);
            if (!edit) return 0;
            if (auto* start = reinterpret_cast<std::uint32_t*>(wParam)) *start = edit->selection.start;
            if (auto* end = reinterpret_cast<std::uint32_t*>(lParam)) *end = edit->selection.end;
            return static_cast<LResult>((static_cast<std::uint32_t>(edit->selection.end) << 16) |
                                        (static_cast<std::uint32_t>(edit->selection.start) & 0xFFFF));
        }
        case EM_REPLACESEL: {
            Lock lock(TheDesktop().mutex);
            Window* edit = FindWindow(window);
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            if (edit && text) ReplaceSelection(*edit, text);
            return 0;
        }
        case WM_CHAR: {
            Lock lock(TheDesktop().mutex);
            Window* edit = FindWindow(window);
            if (!edit) return 0;
            if (wParam == 0x08) {
                if (edit->selection.start == edit->selection.end && edit->selection.start > 0) {
                    --edit->selection.start;
                }
                ReplaceSelection(*edit, {});
            } else if (wParam >= 0x20) {
                const wchar_t character = static_cast<wchar_t>(wParam);
                ReplaceSelection(*edit, std::wstring_view(&character, 1));
            }
            return 0;
        }
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

void Click(Hwnd window) {
    Hwnd parent = nullptr;
    std::uintptr_t id = 0;
    {
        Lock lock(TheDesktop().mutex);
        Window* button = FindWindow(window);
        if (!button) return;
        const std::uint32_t type = button->style & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX) button->check = !button->check;
        if (type == BS_AUTORADIOBUTTON) button->check = 1;
        parent = ToHwnd(button->parent);
        id = button->controlId;
    }
    if (parent) {
        SendMessage(parent, WM_COMMAND, (BN_CLICKED << 16) | (id & 0xFFFF),
                    reinterpret_cast<LParam>(window));
    }
}

LResult ButtonProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case BM_GETCHECK: {
            Lock lock(TheDesktop().mutex);
            Window* button = FindWindow(window);
            return button ? button->check : 0;
        }
        case BM_SETCHECK: {
            Lock lock(TheDesktop().mutex);
            if (Window* button = FindWindow(window)) button->check = static_cast<int>(wParam);
            return 0;
        }
        case BM_CLICK:
        case WM_LBUTTONUP:
            Click(window);
            return 0;
        case BM_SETIMAGE: {
            Lock lock(TheDesktop().mutex);
            Window* button = FindWindow(window);
            if (!button) return 0;
            return static_cast<LResult>(std::exchange(button->control.image, static_cast<std::uintptr_t>(lParam)));
        }
        case BM_GETIMAGE: {
            Lock lock(TheDesktop().mutex);
            Window* button = FindWindow(window);
            return button ? static_cast<LResult>(button->control.image) : 0;
        }
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

// Runs `body` on the control's state under the lock; 0 for a window that is gone.
template <typename Body>
LResult WithControl(Hwnd window, Body body) {
    Lock lock(TheDesktop().mutex);
    Window* found = FindWindow(window);
    return found ? body(*found, found->control) : 0;
}

bool ValidIndex(const ControlState& state, std::intptr_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < state.items.size();
}

// Copies `text` into a caller's buffer of `capacity` characters, cut to fit.
LResult CopyOut(const std::wstring& text, wchar_t* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    const std::size_t count = std::min(text.size(), capacity - 1);
    std::wmemcpy(buffer, text.data(), count);
    buffer[count] = 0;
    return static_cast<LResult>(count);
}

LResult ComboBoxProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case CB_ADDSTRING:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* text = reinterpret_cast<const wchar_t*>(lParam);
                state.items.push_back({text ? text : L"", {}, 0, 0, 0});
                return static_cast<LResult>(state.items.size() - 1);
            });
        case CB_RESETCONTENT:
            return WithControl(window, [](Window&, ControlState& state) -> LResult {
                state.items.clear();
                state.current = -1;
                return 0;
            });
        case CB_GETCOUNT:
            return WithControl(window, [](Window&, ControlState& state) -> LResult {
                return static_cast<LResult>(state.items.size());
            });
        case CB_GETCURSEL:
            return WithControl(window, [](Window&, ControlState& state) -> LResult { return state.current; });
        case CB_SETCURSEL:
            // An index outside the list clears the selection and answers CB_ERR.
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                state.current = ValidIndex(state, index) ? static_cast<int>(index) : -1;
                return state.current == -1 ? CB_ERR : state.current;
            });
        case CB_GETITEMDATA:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                return ValidIndex(state, index) ? state.items[index].data : CB_ERR;
            });
        case CB_SETITEMDATA:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                if (!ValidIndex(state, index)) return CB_ERR;
                state.items[index].data = lParam;
                return 1;
            });
        case CB_GETLBTEXTLEN:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                return ValidIndex(state, index) ? static_cast<LResult>(state.items[index].text.size()) : CB_ERR;
            });
        case CB_GETLBTEXT:
            // The caller's buffer holds CB_GETLBTEXTLEN + 1 characters, as Win32 assumes.
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                if (!ValidIndex(state, index)) return CB_ERR;
                const std::wstring& text = state.items[index].text;
                return CopyOut(text, reinterpret_cast<wchar_t*>(lParam), text.size() + 1);
            });
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

LResult TabControlProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case TCM_INSERTITEMW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* item = reinterpret_cast<const TcItem*>(lParam);
                if (!item) return -1;
                const std::size_t at = std::min<std::size_t>(wParam, state.items.size());
                const std::wstring text = (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : L"";
                state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(at), {text, {}, item->lParam, 0, 0});
                if (state.current == -1) state.current = 0;
                return static_cast<LResult>(at);
            });
        case TCM_SETITEMW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* item = reinterpret_cast<const TcItem*>(lParam);
                if (!item || !ValidIndex(state, static_cast<std::intptr_t>(wParam))) return 0;
                if ((item->mask & TCIF_TEXT) && item->pszText) state.items[wParam].text = item->pszText;
                return 1;
            });
        case TCM_GETITEMW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                auto* item = reinterpret_cast<TcItem*>(lParam);
                if (!item || !ValidIndex(state, static_cast<std::intptr_t>(wParam))) return 0;
                if (item->mask & TCIF_TEXT) {
                    CopyOut(state.items[wParam].text, item->pszText, static_cast<std::size_t>(std::max(item->cchTextMax, 0)));
                }
                return 1;
            });
        case TCM_GETITEMCOUNT:
            return WithControl(window, [](Window&, ControlState& state) -> LResult {
                return static_cast<LResult>(state.items.size());
            });
        case TCM_GETCURSEL:
            return WithControl(window, [](Window&, ControlState& state) -> LResult { return state.current; });
        case TCM_SETCURSEL:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto index = static_cast<std::intptr_t>(wParam);
                if (!ValidIndex(state, index)) return -1;
                return std::exchange(state.current, static_cast<int>(index));
            });
        case TCM_ADJUSTRECT: {
            // TRUE: the window rectangle for a display area; FALSE: the reverse.
            auto* rect = reinterpret_cast<Rect*>(lParam);
            if (!rect) return 0;
            const int sign = wParam ? -1 : 1;
            rect->left += sign * kTabBorder;
            rect->right -= sign * kTabBorder;
            rect->top += sign * kTabHeaderHeight;
            rect->bottom -= sign * kTabBorder;
            return 0;
        }
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

void DestroyImageList(std::uintptr_t list) {
    if (list) TheDesktop().imageLists.erase(list);
}

const std::wstring* SubItemText(const ControlItem& item, int subItem) {
    if (subItem == 0) return &item.text;
    if (subItem < 0 || static_cast<std::size_t>(subItem) > item.subItems.size()) return nullptr;
    return &item.subItems[subItem - 1];
}

void SetSubItemText(ControlItem& item, int subItem, const wchar_t* text) {
    if (subItem < 0) return;
    const std::wstring value = text ? text : L"";
    if (subItem == 0) {
        item.text = value;
        return;
    }
    if (item.subItems.size() < static_cast<std::size_t>(subItem)) item.subItems.resize(subItem);
    item.subItems[subItem - 1] = value;
}

LResult ListViewProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case LVM_SETIMAGELIST:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                if (wParam != LVSIL_SMALL) return 0;
                return static_cast<LResult>(std::exchange(state.imageList, static_cast<std::uintptr_t>(lParam)));
            });
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const std::uint32_t mask = wParam ? static_cast<std::uint32_t>(wParam) : ~0u;
                const std::uint32_t previous = state.extendedStyle;
                state.extendedStyle = (previous & ~mask) | (static_cast<std::uint32_t>(lParam) & mask);
                return previous;
            });
        case LVM_INSERTCOLUMNW:
        case LVM_SETCOLUMNW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* column = reinterpret_cast<const LvColumn*>(lParam);
                if (!column) return -1;
                std::size_t at = wParam;
                if (message == LVM_INSERTCOLUMNW) {
                    at = std::min(at, state.columns.size());
                    state.columns.insert(state.columns.begin() + static_cast<std::ptrdiff_t>(at), ControlColumn{});
                } else if (at >= state.columns.size()) {
                    return 0;
                }
                ControlColumn& target = state.columns[at];
                if ((column->mask & LVCF_TEXT) && column->pszText) target.text = column->pszText;
                if (column->mask & LVCF_WIDTH) target.width = column->cx;
                return message == LVM_INSERTCOLUMNW ? static_cast<LResult>(at) : 1;
            });
        case LVM_GETCOLUMNW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                auto* column = reinterpret_cast<LvColumn*>(lParam);
                if (!column || wParam >= state.columns.size()) return 0;
                if (column->mask & LVCF_WIDTH) column->cx = state.columns[wParam].width;
                if (column->mask & LVCF_TEXT) {
                    CopyOut(state.columns[wParam].text, column->pszText, static_cast<std::size_t>(std::max(column->cchTextMax, 0)));
                }
                return 1;
            });
        case LVM_GETCOLUMNWIDTH:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                return wParam < state.columns.size() ? state.columns[wParam].width : 0;
            });
        case LVM_INSERTITEMW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* item = reinterpret_cast<const LvItem*>(lParam);
                if (!item || item->iSubItem != 0) return -1;
                ControlItem added;
                if ((item->mask & LVIF_TEXT) && item->pszText) added.text = item->pszText;
                if (item->mask & LVIF_IMAGE) added.image = item->iImage;
                if (item->mask & LVIF_STATE) added.state = item->state & item->stateMask;
                const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(std::max(item->iItem, 0)), state.items.size());
                state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(at), added);
                return static_cast<LResult>(at);
            });
        case LVM_DELETEALLITEMS:
            return WithControl(window, [](Window&, ControlState& state) -> LResult {
                state.items.clear();
                return 1;
            });
        case LVM_GETITEMCOUNT:
            return WithControl(window, [](Window&, ControlState& state) -> LResult {
                return static_cast<LResult>(state.items.size());
            });
        case LVM_SETITEMTEXTW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto* item = reinterpret_cast<const LvItem*>(lParam);
                if (!item || !ValidIndex(state, static_cast<std::intptr_t>(wParam))) return 0;
                SetSubItemText(state.items[wParam], item->iSubItem, item->pszText);
                return 1;
            });
        case LVM_GETITEMTEXTW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                auto* item = reinterpret_cast<LvItem*>(lParam);
                if (!item || !ValidIndex(state, static_cast<std::intptr_t>(wParam))) return 0;
                const std::wstring* text = SubItemText(state.items[wParam], item->iSubItem);
                return CopyOut(text ? *text : std::wstring(), item->pszText,
                               static_cast<std::size_t>(std::max(item->cchTextMax, 0)));
            });
        case LVM_GETITEMW:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                auto* item = reinterpret_cast<LvItem*>(lParam);
                if (!item || !ValidIndex(state, item->iItem)) return 0;
                const ControlItem& found = state.items[item->iItem];
                if (item->mask & LVIF_IMAGE) item->iImage = found.image;
                if (item->mask & LVIF_STATE) item->state = found.state & item->stateMask;
                if (item->mask & LVIF_TEXT) {
                    const std::wstring* text = SubItemText(found, item->iSubItem);
                    CopyOut(text ? *text : std::wstring(), item->pszText,
                            static_cast<std::size_t>(std::max(item->cchTextMax, 0)));
                }
                return 1;
            });
        case LVM_SETITEMSTATE:
            // Item -1 means every item; a single-selection list keeps one selected.
            return WithControl(window, [&](Window& list, ControlState& state) -> LResult {
                const auto* item = reinterpret_cast<const LvItem*>(lParam);
                const auto index = static_cast<std::intptr_t>(wParam);
                if (!item || (index != -1 && !ValidIndex(state, index))) return 0;
                const bool selecting = (item->stateMask & item->state & LVIS_SELECTED) != 0;
                for (std::size_t i = 0; i < state.items.size(); ++i) {
                    ControlItem& target = state.items[i];
                    if (index == -1 || static_cast<std::intptr_t>(i) == index) {
                        target.state = (target.state & ~item->stateMask) | (item->state & item->stateMask);
                    } else if (selecting && (list.style & LVS_SINGLESEL)) {
                        target.state &= ~LVIS_SELECTED;
                    }
                }
                return 1;
            });
        case LVM_GETNEXTITEM:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                const auto start = static_cast<std::intptr_t>(wParam);
                for (std::size_t i = static_cast<std::size_t>(start + 1); i < state.items.size(); ++i) {
                    if (!(lParam & LVNI_SELECTED) || (state.items[i].state & LVIS_SELECTED)) {
                        return static_cast<LResult>(i);
                    }
                }
                return -1;
            });
        case LVM_GETSUBITEMRECT:
            // Rows under a header, columns side by side from the left edge.
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                auto* rect = reinterpret_cast<Rect*>(lParam);
                if (!rect || !ValidIndex(state, static_cast<std::intptr_t>(wParam)) || rect->top < 0 ||
                    static_cast<std::size_t>(rect->top) >= std::max<std::size_t>(state.columns.size(), 1)) {
                    return 0;
                }
                int left = 0;
                for (int column = 0; column < rect->top; ++column) left += state.columns[column].width;
                const int top = kListHeaderHeight + static_cast<int>(wParam) * kListRowHeight;
                const int width = state.columns.empty() ? 0 : state.columns[rect->top].width;
                *rect = Rect{left, top, left + width, top + kListRowHeight};
                return 1;
            });
        case WM_NCDESTROY: {
            Lock lock(TheDesktop().mutex);
            if (Window* list = FindWindow(window)) DestroyImageList(std::exchange(list->control.imageList, 0));
            return 0;
        }
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

LResult TrackbarProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case TBM_SETRANGE:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                state.rangeMin = static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lParam)));
                state.rangeMax = static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lParam)));
                state.position = std::clamp(state.position, state.rangeMin, state.rangeMax);
                return 0;
            });
        case TBM_SETPOS:
            return WithControl(window, [&](Window&, ControlState& state) -> LResult {
                state.position = std::clamp(static_cast<int>(lParam), state.rangeMin, state.rangeMax);
                return 0;
            });
        case TBM_GETPOS:
            return WithControl(window, [](Window&, ControlState& state) -> LResult { return state.position; });
        case TBM_GETRANGEMIN:
            return WithControl(window, [](Window&, ControlState& state) -> LResult { return state.rangeMin; });
        case TBM_GETRANGEMAX:
            return WithControl(window, [](Window&, ControlState& state) -> LResult { return state.rangeMax; });
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

const SystemClass kSystemClasses[] = {
    {L"Edit", EditProc},
    {L"Button", ButtonProc},
    {L"Static", DefWindowProc},
    {L"ComboBox", ComboBoxProc},
    {L"SysTabControl32", TabControlProc},
    {L"SysListView32", ListViewProc},
    {L"msctls_trackbar32", TrackbarProc},
    {L"#32770", DialogClassProc},
};

}  // namespace

const SystemClass* FindSystemClass(std::wstring_view name) {
    const std::wstring folded = Fold(name);
    for (const SystemClass& system : kSystemClasses) {
        if (Fold(system.name) == folded) return &system;
    }
    return nullptr;
}

}  // namespace os::hosted::detail

namespace os::hosted {

Selection EditSelection(Hwnd edit) {
    detail::Lock lock(detail::TheDesktop().mutex);
    detail::Window* window = detail::FindWindow(edit);
    return window ? window->selection : Selection{};
}

int ButtonCheck(Hwnd button) {
    detail::Lock lock(detail::TheDesktop().mutex);
    detail::Window* window = detail::FindWindow(button);
    return window ? window->check : 0;
}

void ChooseComboItem(Hwnd combo, int index) {
    SendMessage(combo, CB_SETCURSEL, static_cast<WParam>(index), 0);
    const Hwnd parent = GetParent(combo);
    const auto id = GetDlgCtrlID(combo);
    if (parent) SendMessage(parent, WM_COMMAND, (CBN_SELCHANGE << 16) | (id & 0xFFFF), reinterpret_cast<LParam>(combo));
}

void ChooseTab(Hwnd tab, int index) {
    const Hwnd parent = GetParent(tab);
    NmHdr header{tab, GetDlgCtrlID(tab), TCN_SELCHANGING};
    if (parent) SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LParam>(&header));
    SendMessage(tab, TCM_SETCURSEL, static_cast<WParam>(index), 0);
    header.code = TCN_SELCHANGE;
    if (parent) SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LParam>(&header));
}

}  // namespace os::hosted
