// Per-thread message queues, cross-thread sends and timers.
#include <algorithm>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

// USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM.
constexpr std::uint32_t kTimerMinimum = 10;
constexpr std::uint32_t kTimerMaximum = 0x7FFFFFFF;

// Win32 refuses to post messages whose parameters are pointers it would
// have to marshal.
bool IsSyncOnly(std::uint32_t message) {
    return message == WM_COPYDATA || message == WM_SETTEXT || message == WM_GETTEXT;
}

bool IsShiftKey(WParam virtualKey) {
    return virtualKey == 0x10 || virtualKey == 0xA0 || virtualKey == 0xA1;  // VK_SHIFT, VK_LSHIFT, VK_RSHIFT
}

void CopyPayload(SentMessage& sent) {
    const auto* source = reinterpret_cast<const CopyDataStruct*>(sent.lParam);
    if (!source) return;
    sent.copyData.dwData = source->dwData;
    if (source->lpData && source->cbData) {
        const auto* bytes = static_cast<const std::uint8_t*>(source->lpData);
        sent.payload.assign(bytes, bytes + source->cbData);
        sent.copyData.cbData = source->cbData;
        sent.copyData.lpData = sent.payload.data();
    }
    sent.lParam = reinterpret_cast<LParam>(&sent.copyData);
}

// The calling thread's next message in Win32 order: posted messages, then
// WM_QUIT, then the earliest due timer (generated on retrieval, so a timer
// is never queued twice and missed periods coalesce).
bool TakeMessage(ThreadState& self, Msg& msg, bool remove) {
    Desktop& d = TheDesktop();
    if (!self.posted.empty()) {
        msg = self.posted.front();
        if (remove) {
            self.posted.pop_front();
            if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && IsShiftKey(msg.wParam)) {
                self.shiftDown = msg.message == WM_KEYDOWN;
            }
        }
        return true;
    }
    if (self.quit) {
        msg = Msg{nullptr, WM_QUIT, static_cast<WParam>(self.quitCode), 0,
                  static_cast<std::uint32_t>(d.now)};
        if (remove) self.quit = false;
        return true;
    }
    Window* owner = nullptr;
    Timer* best = nullptr;
    for (auto& [handle, window] : d.windows) {
        if (window->thread != &self) continue;
        for (auto& timer : window->timers) {
            if (timer.due > d.now) continue;
            if (!best || timer.due < best->due ||
                (timer.due == best->due && timer.order < best->order)) {
                best = &timer;
                owner = window.get();
            }
        }
    }
    if (!best) return false;
    msg = Msg{ToHwnd(owner->handle), WM_TIMER, best->id, 0, static_cast<std::uint32_t>(d.now)};
    if (remove) {
        // Keep the timer's phase, as the kernel timer behind WM_TIMER does.
        const Clock missed = (d.now - best->due) / best->elapse + 1;
        best->due += missed * best->elapse;
    }
    return true;
}

// Whether PumpMessages has something to dispatch (WM_QUIT stops it).
bool Dispatchable(const ThreadState& self) {
    if (self.hung) return false;
    if (!self.incoming.empty()) return true;
    if (!self.posted.empty()) return self.posted.front().message != WM_QUIT;
    return !self.quit && NextTimerDue(self) <= TheDesktop().now;
}

void PumpLocked(Lock& lock) {
    ThreadState& self = Self();
    for (;;) {
        while (Dispatchable(self)) {
            if (RunOneSent(lock)) continue;
            Msg msg;
            TakeMessage(self, msg, true);
            lock.unlock();
            TranslateMessage(msg);
            DispatchMessage(msg);
            lock.lock();
        }
        if (!IsClockThread()) return;
        Settle(lock);
        if (!Dispatchable(self)) return;
    }
}

Timer* FindTimer(Window& window, std::uintptr_t id) {
    auto it = std::find_if(window.timers.begin(), window.timers.end(),
                           [&](const Timer& t) { return t.id == id; });
    return it == window.timers.end() ? nullptr : &*it;
}

// Character a key produces with a US layout; 0 for none.
WParam CharacterOf(std::uint8_t key, bool shift) {
    if (key >= '0' && key <= '9') {
        if (!shift) return key;
        if (key == '3') return '#';
        if (key == '8') return '*';
        return 0;
    }
    if (key >= 'A' && key <= 'Z') return shift ? key : key + ('a' - 'A');
    if (key >= 0x60 && key <= 0x69) return '0' + (key - 0x60);  // numeric keypad
    switch (key) {
        case 0x08: return 0x08;  // backspace
        case 0x0D: return L'\r';
        case 0x20: return L' ';
        case 0x6A: return L'*';
        default: return 0;
    }
}

}  // namespace

Clock NextTimerDue(const ThreadState& thread, Clock from) {
    Clock next = kNever;
    for (const auto& [handle, window] : TheDesktop().windows) {
        if (window->thread != &thread) continue;
        for (const auto& timer : window->timers) {
            if (timer.due >= from) next = std::min(next, timer.due);
        }
    }
    return next;
}

bool HasWork(const ThreadState& thread) {
    if (thread.hung) return false;
    return !thread.incoming.empty() || !thread.posted.empty() || thread.quit ||
           NextTimerDue(thread) <= TheDesktop().now;
}

bool RunOneSent(Lock& lock) {
    ThreadState& self = Self();
    if (self.incoming.empty()) return false;
    std::shared_ptr<SentMessage> sent = self.incoming.front();
    self.incoming.pop_front();
    LResult result = 0;
    if (sent->task) {
        lock.unlock();
        sent->task();
        lock.lock();
    } else if (Window* window = FindWindow(sent->window)) {
        const WndProc proc = window->proc;
        ++self.inboundSends;
        lock.unlock();
        result = proc(sent->window, sent->message, sent->wParam, sent->lParam);
        lock.lock();
        --self.inboundSends;
    }
    sent->result = result;
    sent->done = true;
    TheDesktop().changed.notify_all();
    return true;
}

bool AwaitReply(Lock& lock, const std::shared_ptr<SentMessage>& sent, Clock deadline,
                bool runNested) {
    ThreadState& self = Self();
    auto nestedPending = [&] { return runNested && !self.hung && !self.incoming.empty(); };
    for (;;) {
        if (sent->done) return true;
        // Like Win32, a blocked sender still serves sends aimed at it, so two
        // threads sending to each other do not deadlock.
        if (nestedPending()) {
            RunOneSent(lock);
            continue;
        }
        if (TheDesktop().now >= deadline) return false;
        WaitUntil(lock, [&] { return sent->done || nestedPending(); }, [&] { return deadline; });
    }
}

bool Send(Lock& lock, Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
          std::uint32_t flags, std::uint32_t timeoutMs, LResult* result) {
    Desktop& d = TheDesktop();
    if (result) *result = 0;
    if (window == kBroadcast) {
        const std::vector<std::uintptr_t> targets = d.topLevel;
        for (std::uintptr_t target : targets) {
            if (FindWindow(ToHwnd(target))) {
                Send(lock, ToHwnd(target), message, wParam, lParam, flags, timeoutMs, nullptr);
            }
        }
        return true;
    }
    if (FromHwnd(window) == kDesktopHandle) return true;
    Window* target = FindWindow(window);
    if (!target) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    ThreadState* owner = target->thread;
    if (owner == &Self()) {
        // A window of the calling thread: its procedure runs now, on the
        // sender's own data, as in Win32; nothing is queued or copied.
        const WndProc proc = target->proc;
        lock.unlock();
        const LResult value = proc(window, message, wParam, lParam);
        lock.lock();
        if (result) *result = value;
        return true;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->window = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    if (message == WM_COPYDATA) CopyPayload(*sent);

    if (!owner->alive) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    if ((flags & SMTO_ABORTIFHUNG) && owner->hung) {
        SetLastError(kErrorTimeout);
        return false;
    }
    owner->incoming.push_back(sent);
    d.changed.notify_all();
    const Clock deadline = timeoutMs == kInfinite ? kNever : d.now + timeoutMs;
    // On time-out the message stays queued: the receiver still handles it
    // later, as in Win32, and its answer is dropped.
    if (!AwaitReply(lock, sent, deadline, !(flags & SMTO_BLOCK))) {
        SetLastError(kErrorTimeout);
        return false;
    }
    if (result) *result = sent->result;
    return true;
}

void PostTo(ThreadState& thread, const Msg& msg) {
    thread.posted.push_back(msg);
    TheDesktop().changed.notify_all();
}

}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

std::uint32_t RegisterWindowMessage(std::wstring_view name) {
    if (name.empty()) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const std::wstring key = Fold(name);
    auto it = d.messages.find(key);
    if (it != d.messages.end()) return it->second;
    if (d.nextMessage > 0xFFFF) return 0;
    d.messages.emplace(key, d.nextMessage);
    return d.nextMessage++;
}

bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (IsSyncOnly(message)) {
        SetLastError(kErrorMessageSyncOnly);
        return false;
    }
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    Msg msg{window, message, wParam, lParam, static_cast<std::uint32_t>(d.now)};
    if (!window) {
        PostTo(Self(), msg);
        return true;
    }
    if (window == kBroadcast) {
        for (std::uintptr_t target : d.topLevel) {
            msg.hwnd = ToHwnd(target);
            PostTo(*d.windows.at(target)->thread, msg);
        }
        return true;
    }
    if (FromHwnd(window) == kDesktopHandle) return true;
    Window* target = FindWindow(window);
    if (!target || !target->thread->alive) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    PostTo(*target->thread, msg);
    return true;
}

bool PostThreadMessage(ThreadId thread, std::uint32_t message, WParam wParam, LParam lParam) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto it = d.threads.find(thread);
    if (it == d.threads.end() || !it->second->alive) {
        SetLastError(kErrorInvalidThreadId);
        return false;
    }
    PostTo(*it->second, Msg{nullptr, message, wParam, lParam, static_cast<std::uint32_t>(d.now)});
    return true;
}

LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    Lock lock(TheDesktop().mutex);
    LResult result = 0;
    Send(lock, window, message, wParam, lParam, SMTO_NORMAL, kInfinite, &result);
    return result;
}

bool SendMessageTimeout(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
                        std::uint32_t flags, std::uint32_t timeoutMs, LResult* result) {
    Lock lock(TheDesktop().mutex);
    return Send(lock, window, message, wParam, lParam, flags, timeoutMs, result);
}

int GetMessage(Msg& msg) {
    Lock lock(TheDesktop().mutex);
    ThreadState& self = Self();
    for (;;) {
        if (!self.hung) {
            if (RunOneSent(lock)) continue;
            if (TakeMessage(self, msg, true)) return msg.message == WM_QUIT ? 0 : 1;
        }
        WaitUntil(
            lock, [&] { return HasWork(self); },
            [&] { return self.hung ? kNever : NextTimerDue(self); });
    }
}

bool PeekMessage(Msg& msg, bool remove) {
    Lock lock(TheDesktop().mutex);
    ThreadState& self = Self();
    if (self.hung) return false;
    while (RunOneSent(lock)) {
    }
    return TakeMessage(self, msg, remove);
}

bool TranslateMessage(const Msg& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const WParam character = CharacterOf(static_cast<std::uint8_t>(msg.wParam), Self().shiftDown);
    if (!character) return false;
    // The character comes next, before anything posted meanwhile.
    Self().posted.push_front(Msg{msg.hwnd, WM_CHAR, character, msg.lParam, msg.time});
    return true;
}

LResult DispatchMessage(const Msg& msg) {
    Lock lock(TheDesktop().mutex);
    Window* window = FindWindow(msg.hwnd);
    if (!window || window->thread != &Self()) return 0;
    const WndProc proc = window->proc;
    lock.unlock();
    return proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void PostQuitMessage(int exitCode) {
    Lock lock(TheDesktop().mutex);
    ThreadState& self = Self();
    self.quit = true;
    self.quitCode = exitCode;
    TheDesktop().changed.notify_all();
}

bool InSendMessage() {
    Lock lock(TheDesktop().mutex);
    return Self().inboundSends > 0;
}

bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t elapseMs) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    Window* target = FindOwnWindow(window);
    if (!target) return false;
    const std::uint32_t elapse = std::clamp(elapseMs, kTimerMinimum, kTimerMaximum);
    Timer* timer = FindTimer(*target, id);
    if (!timer) timer = &target->timers.emplace_back();
    *timer = Timer{id, elapse, d.now + elapse, ++d.timerOrder};
    return true;
}

bool KillTimer(Hwnd window, std::uintptr_t id) {
    Lock lock(TheDesktop().mutex);
    Window* target = FindOwnWindow(window);
    if (!target) return false;
    const auto removed = std::erase_if(target->timers, [&](const Timer& t) { return t.id == id; });
    return removed > 0;
}

}  // namespace os

namespace os::hosted {

using namespace detail;

void PumpMessages() {
    Lock lock(TheDesktop().mutex);
    PumpLocked(lock);
}

void AdvanceTime(std::uint32_t ms) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const Clock target = d.now + ms;
    for (;;) {
        PumpLocked(lock);
        if (d.now >= target) return;
        SetNow(lock, std::min(target, NextWakeUp(true)));
    }
}

bool QuitPosted(int* exitCode) {
    Lock lock(TheDesktop().mutex);
    const ThreadState& self = Self();
    for (const Msg& msg : self.posted) {
        if (msg.message == WM_QUIT) {
            if (exitCode) *exitCode = static_cast<int>(msg.wParam);
            return true;
        }
    }
    if (self.quit && exitCode) *exitCode = self.quitCode;
    return self.quit;
}

}  // namespace os::hosted
