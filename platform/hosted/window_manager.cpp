// Window classes, window lifetime, the window tree and window properties.
#include <algorithm>
#include <climits>
#include <utility>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

constexpr int kUseDefault = INT_MIN;  // CW_USEDEFAULT
constexpr Rect kScreen{0, 0, 1024, 768};

LParam MakeLParam(int low, int high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(low & 0xFFFF));
}

std::vector<std::uintptr_t>& SiblingsOf(const Window& window) {
    Desktop& d = TheDesktop();
    if (window.parent) return d.windows.at(window.parent)->children;
    return window.messageOnly ? d.messageOnly : d.topLevel;
}

void CollectSubtree(std::uintptr_t handle, std::vector<std::uintptr_t>& out) {
    out.push_back(handle);
    for (std::uintptr_t child : TheDesktop().windows.at(handle)->children) {
        CollectSubtree(child, out);
    }
}

void RemoveWindow(std::uintptr_t handle) {
    Desktop& d = TheDesktop();
    std::erase(SiblingsOf(*d.windows.at(handle)), handle);
    if (d.focus == handle) d.focus = 0;
    if (d.foreground == handle) d.foreground = 0;
    d.windows.erase(handle);
}

// WM_DESTROY goes to the window and then down its tree; WM_NCDESTROY
// climbs back up, so children are gone before their parent's handle dies.
bool DestroyTree(Lock& lock, Hwnd window, bool sendDestroy) {
    Window* target = FindWindow(window);
    if (!target) return false;
    if (target->destroying) return true;
    std::vector<std::uintptr_t> tree;
    CollectSubtree(FromHwnd(window), tree);
    for (std::uintptr_t handle : tree) FindWindow(ToHwnd(handle))->destroying = true;
    if (sendDestroy) {
        for (std::uintptr_t handle : tree) {
            if (FindWindow(ToHwnd(handle))) {
                Send(lock, ToHwnd(handle), WM_DESTROY, 0, 0, SMTO_NORMAL, kInfinite, nullptr);
            }
        }
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (!FindWindow(ToHwnd(*it))) continue;
        Send(lock, ToHwnd(*it), WM_NCDESTROY, 0, 0, SMTO_NORMAL, kInfinite, nullptr);
        if (Window* left = FindWindow(ToHwnd(*it))) {
            // Children a WM_DESTROY handler created meanwhile go with it.
            for (std::uintptr_t late : std::vector<std::uintptr_t>(left->children)) {
                DestroyTree(lock, ToHwnd(late), sendDestroy);
            }
            RemoveWindow(*it);
        }
    }
    TheDesktop().changed.notify_all();
    return true;
}

Window* Existing(Hwnd window) {
    Window* found = FindWindow(window);
    if (!found) SetLastError(kErrorInvalidWindowHandle);
    return found;
}

bool Matches(const std::wstring& value, const wchar_t* wanted) {
    return !wanted || Fold(value) == Fold(wanted);
}

bool Enumerate(const std::vector<std::uintptr_t>& snapshot, const EnumCallback& callback) {
    for (std::uintptr_t handle : snapshot) {
        if (!IsWindow(ToHwnd(handle))) continue;
        if (!callback(ToHwnd(handle))) return false;
    }
    return true;
}

bool SendNotice(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    Lock lock(TheDesktop().mutex);
    return Send(lock, window, message, wParam, lParam, SMTO_NORMAL, kInfinite, nullptr);
}

}  // namespace

bool DestroyWindowLocked(Lock& lock, Hwnd window) { return DestroyTree(lock, window, true); }

}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

Atom RegisterClass(const WindowClass& windowClass) {
    if (windowClass.name.empty() || !windowClass.proc) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    // Application classes are private to their process and may shadow a
    // system class name.
    const auto key = std::make_pair(Self().process, Fold(windowClass.name));
    if (d.classes.count(key)) {
        SetLastError(kErrorClassAlreadyExists);
        return 0;
    }
    d.classes.emplace(key, windowClass);
    return d.nextAtom++;
}

bool GetClassInfo(std::wstring_view name) {
    Lock lock(TheDesktop().mutex);
    if (TheDesktop().classes.count({Self().process, Fold(name)})) return true;
    if (FindSystemClass(name)) return true;
    SetLastError(kErrorCannotFindWndClass);
    return false;
}

Hwnd CreateWindowEx(std::uint32_t exStyle, std::wstring_view className, std::wstring_view title,
                    std::uint32_t style, int x, int y, int width, int height, Hwnd parent,
                    std::uintptr_t menuOrId, void* param) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    ThreadState& self = Self();
    std::wstring registeredName;
    WndProc proc = nullptr;
    auto registered = d.classes.find({self.process, Fold(className)});
    if (registered != d.classes.end()) {
        registeredName = registered->second.name;
        proc = registered->second.proc;
    } else if (const SystemClass* system = FindSystemClass(className)) {
        registeredName = system->name;
        proc = system->proc;
    } else {
        SetLastError(kErrorCannotFindWndClass);
        return nullptr;
    }
    const bool messageOnly = parent == kMessageOnlyParent;
    Window* parentWindow = nullptr;
    if (parent && !messageOnly && FromHwnd(parent) != kDesktopHandle) {
        parentWindow = Existing(parent);
        if (!parentWindow) return nullptr;
    }
    const bool child = (style & WS_CHILD) && parentWindow;
    if ((style & WS_CHILD) && !parentWindow && !messageOnly) {
        SetLastError(kErrorTlwWithWsChild);
        return nullptr;
    }

    auto window = std::make_unique<Window>();
    const std::uintptr_t handle = d.nextWindow;
    d.nextWindow += 2;
    window->handle = handle;
    window->className = registeredName;
    window->proc = proc;
    window->style = style;
    window->exStyle = exStyle;
    window->x = x == kUseDefault ? 0 : x;
    window->y = y == kUseDefault ? 0 : y;
    window->width = width == kUseDefault ? 640 : width;
    window->height = height == kUseDefault ? 480 : height;
    window->messageOnly = messageOnly;
    window->parent = child ? parentWindow->handle : 0;
    window->owner = !child && parentWindow ? parentWindow->handle : 0;
    window->thread = &self;
    window->process = self.process;
    window->controlId = child ? menuOrId : 0;
    // New windows go below their siblings: enumeration follows creation order
    // until a window is brought to the top.
    if (child) {
        parentWindow->children.push_back(handle);
    } else if (messageOnly) {
        d.messageOnly.push_back(handle);
    } else {
        d.topLevel.push_back(handle);
    }
    const Window& created = *d.windows.emplace(handle, std::move(window)).first->second;

    const std::wstring titleText(title);
    CreateStruct create;
    create.lpCreateParams = param;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.cx = created.width;
    create.cy = created.height;
    create.x = created.x;
    create.y = created.y;
    create.style = style;
    create.lpszName = titleText.c_str();
    create.lpszClass = created.className.c_str();
    create.dwExStyle = exStyle;
    const Hwnd hwnd = ToHwnd(handle);
    const auto createParam = reinterpret_cast<LParam>(&create);

    lock.unlock();
    const LResult accepted = proc(hwnd, WM_NCCREATE, 0, createParam);
    lock.lock();
    if (!accepted) {
        DestroyTree(lock, hwnd, false);
        return nullptr;
    }
    if (!FindWindow(hwnd)) return nullptr;
    lock.unlock();
    const LResult created2 = proc(hwnd, WM_CREATE, 0, createParam);
    lock.lock();
    if (created2 == -1) {
        DestroyTree(lock, hwnd, true);
        return nullptr;
    }
    return FindWindow(hwnd) ? hwnd : nullptr;
}

bool DestroyWindow(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    if (!FindOwnWindow(window)) return false;
    return DestroyWindowLocked(lock, window);
}

LResult DefWindowProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_NCCREATE: {
            Lock lock(TheDesktop().mutex);
            const auto* create = reinterpret_cast<const CreateStruct*>(lParam);
            Window* target = FindWindow(window);
            if (target && create && create->lpszName) target->text = create->lpszName;
            return 1;
        }
        case WM_SETTEXT: {
            Lock lock(TheDesktop().mutex);
            Window* target = FindWindow(window);
            if (!target) return 0;
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            target->text = text ? text : L"";
            return 1;
        }
        case WM_GETTEXT: {
            Lock lock(TheDesktop().mutex);
            Window* target = FindWindow(window);
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (!target || !buffer || wParam == 0) return 0;
            const std::size_t count = std::min<std::size_t>(target->text.size(), wParam - 1);
            std::copy_n(target->text.begin(), count, buffer);
            buffer[count] = 0;
            return static_cast<LResult>(count);
        }
        case WM_GETTEXTLENGTH: {
            Lock lock(TheDesktop().mutex);
            Window* target = FindWindow(window);
            return target ? static_cast<LResult>(target->text.size()) : 0;
        }
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            return 0;
    }
}

LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                       LParam lParam) {
    return proc ? proc(window, message, wParam, lParam) : 0;
}

WndProc GetWindowProc(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->proc : nullptr;
}

WndProc SetWindowProc(Hwnd window, WndProc proc) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return nullptr;
    // Win32 refuses to subclass another process's window.
    if (target->process != Self().process) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    if (!proc) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    return std::exchange(target->proc, proc);
}

void* GetUserData(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->userData : nullptr;
}

void SetUserData(Hwnd window, void* data) {
    Lock lock(TheDesktop().mutex);
    if (Window* target = Existing(window)) target->userData = data;
}

Hwnd FindWindowEx(Hwnd parent, Hwnd childAfter, const wchar_t* className, const wchar_t* title) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const std::vector<std::uintptr_t>* list = &d.topLevel;
    if (parent == kMessageOnlyParent) {
        list = &d.messageOnly;
    } else if (parent && FromHwnd(parent) != kDesktopHandle) {
        Window* target = Existing(parent);
        if (!target) return nullptr;
        list = &target->children;
    }
    auto it = list->begin();
    if (childAfter) {
        it = std::find(list->begin(), list->end(), FromHwnd(childAfter));
        if (it == list->end()) {
            SetLastError(kErrorInvalidWindowHandle);
            return nullptr;
        }
        ++it;
    }
    // Class and title compare case-insensitively, as FindWindowExW does.
    for (; it != list->end(); ++it) {
        const Window& window = *d.windows.at(*it);
        if (Matches(window.className, className) && Matches(window.text, title)) {
            return ToHwnd(*it);
        }
    }
    return nullptr;
}

bool EnumWindows(const EnumCallback& callback) {
    Lock lock(TheDesktop().mutex);
    const std::vector<std::uintptr_t> snapshot = TheDesktop().topLevel;
    lock.unlock();
    return Enumerate(snapshot, callback);
}

bool EnumChildWindows(Hwnd parent, const EnumCallback& callback) {
    if (!parent || FromHwnd(parent) == kDesktopHandle) return EnumWindows(callback);
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(parent);
    if (!target) return false;
    std::vector<std::uintptr_t> snapshot;
    CollectSubtree(target->handle, snapshot);
    snapshot.erase(snapshot.begin());
    lock.unlock();
    return Enumerate(snapshot, callback);
}

bool EnumThreadWindows(ThreadId thread, const EnumCallback& callback) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    if (!d.threads.count(thread)) {
        SetLastError(kErrorInvalidThreadId);
        return false;
    }
    std::vector<std::uintptr_t> snapshot;
    for (std::uintptr_t handle : d.topLevel) {
        if (d.windows.at(handle)->thread->id == thread) snapshot.push_back(handle);
    }
    lock.unlock();
    return Enumerate(snapshot, callback);
}

bool IsWindow(Hwnd window) {
    if (FromHwnd(window) == kDesktopHandle) return true;
    Lock lock(TheDesktop().mutex);
    return FindWindow(window) != nullptr;
}

std::wstring GetClassName(Hwnd window) {
    if (FromHwnd(window) == kDesktopHandle) return L"#32769";
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->className : std::wstring();
}

std::wstring GetWindowText(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return {};
    // Like Win32: a window of another process is read directly, one of the
    // caller's own process is asked with WM_GETTEXT.
    if (target->process != Self().process) return target->text;
    LResult length = 0;
    if (!Send(lock, window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kInfinite, &length) ||
        length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LResult copied = 0;
    Send(lock, window, WM_GETTEXT, text.size(), reinterpret_cast<LParam>(text.data()), SMTO_NORMAL,
         kInfinite, &copied);
    text.resize(static_cast<std::size_t>(std::clamp<LResult>(copied, 0, length)));
    return text;
}

bool SetWindowText(Hwnd window, std::wstring_view text) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return false;
    // SetWindowText cannot change a control of another process.
    if (target->process != Self().process && target->parent) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    const std::wstring copy(text);
    LResult result = 0;
    Send(lock, window, WM_SETTEXT, 0, reinterpret_cast<LParam>(copy.c_str()), SMTO_NORMAL,
         kInfinite, &result);
    return result != 0;
}

Rect GetWindowRect(Hwnd window) {
    if (FromHwnd(window) == kDesktopHandle) return kScreen;
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return {};
    int left = target->x;
    int top = target->y;
    for (std::uintptr_t up = target->parent; up; up = TheDesktop().windows.at(up)->parent) {
        left += TheDesktop().windows.at(up)->x;
        top += TheDesktop().windows.at(up)->y;
    }
    return Rect{left, top, left + target->width, top + target->height};
}

Rect GetClientRect(Hwnd window) {
    if (FromHwnd(window) == kDesktopHandle) return kScreen;
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? Rect{0, 0, target->width, target->height} : Rect{};
}

std::uint32_t GetWindowStyle(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->style : 0;
}

std::uint32_t GetWindowExStyle(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->exStyle : 0;
}

bool IsWindowVisible(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    for (Window* w = FindWindow(window); w; w = w->parent ? FindWindow(ToHwnd(w->parent)) : nullptr) {
        if (!(w->style & WS_VISIBLE)) return false;
        if (!w->parent) return true;
    }
    return false;
}

bool IsWindowEnabled(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = FindWindow(window);
    return target && !(target->style & WS_DISABLED);
}

bool IsIconic(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = FindWindow(window);
    return target && (target->style & WS_MINIMIZE);
}

bool ShowWindow(Hwnd window, int command) {
    bool wasVisible = false;
    bool nowVisible = false;
    {
        Lock lock(TheDesktop().mutex);
        Window* target = Existing(window);
        if (!target) return false;
        wasVisible = target->style & WS_VISIBLE;
        switch (command) {
            case SW_HIDE:
                target->style &= ~WS_VISIBLE;
                break;
            case SW_MINIMIZE:
            case SW_SHOWMINIMIZED:
                target->style |= WS_VISIBLE | WS_MINIMIZE;
                break;
            case SW_SHOWNORMAL:
            case SW_RESTORE:
                target->style = (target->style | WS_VISIBLE) & ~WS_MINIMIZE;
                break;
            default:
                target->style |= WS_VISIBLE;
                break;
        }
        nowVisible = target->style & WS_VISIBLE;
    }
    if (wasVisible != nowVisible) SendNotice(window, WM_SHOWWINDOW, nowVisible, 0);
    return wasVisible;
}

bool EnableWindow(Hwnd window, bool enable) {
    bool wasDisabled = false;
    {
        Lock lock(TheDesktop().mutex);
        Window* target = Existing(window);
        if (!target) return false;
        wasDisabled = target->style & WS_DISABLED;
        if (enable) {
            target->style &= ~WS_DISABLED;
        } else {
            target->style |= WS_DISABLED;
        }
    }
    if (wasDisabled == enable) SendNotice(window, WM_ENABLE, enable, 0);
    return wasDisabled;
}

bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) {
    {
        Lock lock(TheDesktop().mutex);
        Window* target = Existing(window);
        if (!target) return false;
        target->x = x;
        target->y = y;
        target->width = width;
        target->height = height;
        if (repaint) ++target->invalidations;
    }
    // MoveWindow always ends in WM_WINDOWPOSCHANGED, whose default handling
    // reports both.
    SendNotice(window, WM_MOVE, 0, MakeLParam(x, y));
    SendNotice(window, WM_SIZE, 0, MakeLParam(width, height));
    return true;
}

bool InvalidateRect(Hwnd window, bool) {
    if (!window) return true;  // the whole desktop
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return false;
    ++target->invalidations;
    return true;
}

// As Win32: a child's parent, a pop-up's owner, else none.
Hwnd GetParent(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (!target) return nullptr;
    if (target->parent) return ToHwnd(target->parent);
    return (target->style & WS_POPUP) ? ToHwnd(target->owner) : nullptr;
}

Hwnd GetRootAncestor(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    while (target && target->parent) target = FindWindow(ToHwnd(target->parent));
    return target ? ToHwnd(target->handle) : nullptr;
}

Hwnd GetDesktopWindow() { return ToHwnd(kDesktopHandle); }

// Windows here have no frame: the client area starts at the window's corner.
bool ScreenToClient(Hwnd window, Point& point) {
    if (!IsWindow(window)) return false;
    const Rect rect = GetWindowRect(window);
    point.x -= rect.left;
    point.y -= rect.top;
    return true;
}

bool ClientToScreen(Hwnd window, Point& point) {
    if (!IsWindow(window)) return false;
    const Rect rect = GetWindowRect(window);
    point.x += rect.left;
    point.y += rect.top;
    return true;
}

ThreadId GetWindowThreadProcessId(Hwnd window, ProcessId* process) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    if (process) *process = target ? target->process : 0;
    return target ? target->thread->id : 0;
}

std::uintptr_t GetDlgCtrlID(Hwnd window) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(window);
    return target ? target->controlId : 0;
}

Hwnd GetDlgItem(Hwnd dialog, int id) {
    Lock lock(TheDesktop().mutex);
    Window* target = Existing(dialog);
    if (!target) return nullptr;
    for (std::uintptr_t child : target->children) {
        if (TheDesktop().windows.at(child)->controlId == static_cast<std::uintptr_t>(id)) {
            return ToHwnd(child);
        }
    }
    SetLastError(kErrorControlIdNotFound);
    return nullptr;
}

}  // namespace os

namespace os::hosted {

int InvalidationCount(Hwnd window) {
    detail::Lock lock(detail::TheDesktop().mutex);
    detail::Window* target = detail::FindWindow(window);
    return target ? target->invalidations : 0;
}

}  // namespace os::hosted
