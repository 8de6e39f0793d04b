// The system control classes the program creates or automates: "Edit",
// "Button", "Static" and the dialog class "#32770".
#include <algorithm>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

constexpr std::uint32_t EM_GETSEL = 0x00B0;
constexpr std::uint32_t EM_REPLACESEL = 0x00C2;
constexpr std::uint32_t BM_GETCHECK = 0x00F0;
constexpr std::uint32_t BM_SETCHECK = 0x00F1;
constexpr std::uint32_t BM_CLICK = 0x00F5;
constexpr std::uint32_t BS_TYPEMASK = 0x000F;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr WParam BN_CLICKED = 0;

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
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}

const SystemClass kSystemClasses[] = {
    {L"Edit", EditProc},
    {L"Button", ButtonProc},
    {L"Static", DefWindowProc},
    {L"#32770", DefWindowProc},
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

}  // namespace os::hosted
