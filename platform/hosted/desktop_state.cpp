#include "platform/hosted/desktop_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace os::hosted::detail {
namespace {

// How long the clock-driving thread waits in real time for a managed thread
// that is busy outside the desktop before it moves time anyway.
constexpr auto kStallLimit = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(20);

void InitialiseProcesses(Desktop& d) {
    d.processes.clear();
    d.processes[kDefaultProcess] = {L"test.exe", L"C:\\Program Files\\Talvio\\TalvioDriver.exe"};
    d.nextProcess = kDefaultProcess + 1;
}

bool OthersIdle(const ThreadState& self) {
    Desktop& d = TheDesktop();
    for (const auto& [id, thread] : d.threads) {
        const ThreadState& t = *thread;
        if (&t == &self || !t.managed || !t.alive) continue;
        if (!t.waiting || t.ready() || d.now >= t.wakeAt()) return false;
    }
    return true;
}

// Tracks real time spent waiting for busy threads; reports a stall once.
class StallWatch {
public:
    bool Expired() {
        if (std::chrono::steady_clock::now() - start_ < kStallLimit) return false;
        if (!reported_) {
            std::fprintf(stderr,
                         "hosted desktop: a managed thread stayed busy outside the desktop for "
                         "5 s; moving virtual time anyway\n");
            reported_ = true;
        }
        return true;
    }
    void Restart() { start_ = std::chrono::steady_clock::now(); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool reported_ = false;
};

}  // namespace

Desktop& TheDesktop() {
    static Desktop* desktop = [] {
        auto* d = new Desktop;
        InitialiseProcesses(*d);
        return d;
    }();
    return *desktop;
}

ThreadState& Self() {
    thread_local ThreadState* cached = nullptr;
    thread_local std::uint64_t cachedGeneration = 0;
    Desktop& d = TheDesktop();
    if (cached && cachedGeneration == d.generation) return *cached;
    const auto native = std::this_thread::get_id();
    auto it = d.byNative.find(native);
    if (it == d.byNative.end()) {
        auto state = std::make_unique<ThreadState>();
        state->id = d.nextThreadId;
        d.nextThreadId += 4;
        it = d.byNative.emplace(native, state.get()).first;
        d.threads.emplace(state->id, std::move(state));
        if (!d.clockThreadSet) {
            d.clockThread = native;
            d.clockThreadSet = true;
        }
    }
    cached = it->second;
    cachedGeneration = d.generation;
    return *cached;
}

bool IsClockThread() {
    const Desktop& d = TheDesktop();
    return d.clockThreadSet && d.clockThread == std::this_thread::get_id();
}

ThreadState& NewManagedThread(ProcessId process) {
    Desktop& d = TheDesktop();
    auto state = std::make_unique<ThreadState>();
    state->id = d.nextThreadId;
    d.nextThreadId += 4;
    state->process = process;
    state->managed = true;
    ThreadState& result = *state;
    d.threads.emplace(state->id, std::move(state));
    return result;
}

void BindCurrentThread(ThreadState& state) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().byNative[std::this_thread::get_id()] = &state;
}

void EndCurrentThread(KernelObject* object, std::uint32_t exitCode) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    ThreadState& self = Self();
    // Win32 destroys the windows of an ending thread; the outermost first so
    // children go with their parents.
    for (;;) {
        std::uintptr_t victim = 0;
        for (const auto& [handle, window] : d.windows) {
            if (window->thread != &self || window->destroying) continue;
            const Window* parent = window->parent ? d.windows.at(window->parent).get() : nullptr;
            if (!parent || parent->thread != &self) {
                victim = handle;
                break;
            }
        }
        if (!victim) break;
        DestroyWindowLocked(lock, ToHwnd(victim));
    }
    for (auto& sent : self.incoming) sent->done = true;
    self.incoming.clear();
    self.posted.clear();
    for (auto& [handle, object] : d.handles) {
        if (object->kind == KernelObject::Kind::Mutex && object->owner == &self) {
            object->owner = nullptr;
            object->count = 0;
            object->abandoned = true;
        }
    }
    self.alive = false;
    if (object) {
        object->exitCode = exitCode;
        object->finished = true;
    }
    d.byNative.erase(std::this_thread::get_id());
    d.changed.notify_all();
}

Window* FindWindow(Hwnd window) {
    Desktop& d = TheDesktop();
    auto it = d.windows.find(FromHwnd(window));
    return it == d.windows.end() ? nullptr : it->second.get();
}

Window* FindOwnWindow(Hwnd window) {
    Window* found = FindWindow(window);
    if (!found) {
        SetLastError(kErrorInvalidWindowHandle);
        return nullptr;
    }
    if (found->thread != &Self()) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    return found;
}

std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (auto& c : folded) {
        // ASCII and Latin-1 letters; the names the program registers are ASCII.
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
    }
    return folded;
}

void SetNow(Lock&, Clock time) {
    Desktop& d = TheDesktop();
    d.now = time;
    d.changed.notify_all();
}

Clock NextWakeUp(bool ownTimers) {
    Desktop& d = TheDesktop();
    const ThreadState& self = Self();
    Clock next = kNever;
    auto consider = [&](Clock time) {
        if (time > d.now) next = std::min(next, time);
    };
    if (ownTimers && !self.hung) consider(NextTimerDue(self, d.now + 1));
    for (const auto& [id, thread] : d.threads) {
        const ThreadState& t = *thread;
        if (&t == &self || !t.managed || !t.alive || !t.waiting) continue;
        consider(t.wakeAt());
    }
    return next;
}

void WaitUntil(Lock& lock, const std::function<bool()>& ready,
               const std::function<Clock()>& wakeAt) {
    Desktop& d = TheDesktop();
    ThreadState& self = Self();
    self.waiting = true;
    self.ready = ready;
    self.wakeAt = wakeAt;
    d.changed.notify_all();
    const bool drivesClock = IsClockThread();
    StallWatch stall;
    while (!ready() && d.now < wakeAt()) {
        if (!drivesClock) {
            d.changed.wait(lock);
            continue;
        }
        if (OthersIdle(self) || stall.Expired()) {
            const Clock next = std::min(wakeAt(), NextWakeUp(false));
            if (next != kNever && next > d.now) {
                SetNow(lock, next);
                stall.Restart();
                continue;
            }
        }
        d.changed.wait_for(lock, kPoll);
    }
    self.waiting = false;
    self.ready = nullptr;
    self.wakeAt = nullptr;
}

void Settle(Lock& lock) {
    Desktop& d = TheDesktop();
    StallWatch stall;
    for (;;) {
        if (!Self().hung && RunOneSent(lock)) continue;
        if (OthersIdle(Self()) || stall.Expired()) return;
        d.changed.wait_for(lock, kPoll);
    }
}

}  // namespace os::hosted::detail

namespace os::hosted {

using namespace detail;

void Reset() {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto running = [&] {
        return std::any_of(d.threads.begin(), d.threads.end(), [&](const auto& entry) {
            return entry.second->managed && entry.second->alive;
        });
    };
    while (running()) {
        if (d.changed.wait_until(lock, deadline) == std::cv_status::timeout && running()) {
            std::fprintf(stderr, "hosted desktop: Reset() while managed threads still run\n");
            std::abort();
        }
    }
    ++d.generation;
    d.now = 0;
    d.clockThread = std::this_thread::get_id();
    d.clockThreadSet = true;
    d.byNative.clear();
    d.threads.clear();
    d.windows.clear();
    d.topLevel.clear();
    d.messageOnly.clear();
    d.classes.clear();
    d.nextAtom = 0xC000;
    d.messages.clear();
    d.nextMessage = 0xC000;
    InitialiseProcesses(d);
    // An unnamed mutex belongs to the process, which outlives the desktop:
    // process-wide objects (the trace log, the device lock) keep theirs,
    // released, since every thread that could hold one is gone.
    std::erase_if(d.handles, [](const auto& entry) {
        return entry.second->kind != KernelObject::Kind::Mutex || entry.second->named;
    });
    for (auto& [handle, object] : d.handles) {
        object->owner = nullptr;
        object->count = 0;
        object->abandoned = false;
    }
    d.namedObjects.clear();
    d.focus = 0;
    d.foreground = 0;
    d.keyLog.clear();
    d.keyDelivery = true;
    d.menus.clear();
    d.nextMenu = 0x20000;
    d.menuResources.clear();
    d.iconLoads.clear();
    d.bitmapResources.clear();
    d.dialogResources.clear();
    d.dialogUsers.clear();
    d.imageLists.clear();
    d.menuChoices.clear();
    d.menuTrackings.clear();
    d.cursor = {};
    d.messageBoxAnswers.clear();
    d.messageBoxes.clear();
    d.version = kDefaultVersion;
}

std::uint64_t Now() {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().now;
}

}  // namespace os::hosted
