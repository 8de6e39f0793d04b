// Kernel objects (mutexes, threads), errors, time and the module.
#include <system_error>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

thread_local std::uint32_t lastError = 0;

std::shared_ptr<KernelObject> Lookup(KernelHandle handle, KernelObject::Kind kind) {
    Desktop& d = TheDesktop();
    auto it = d.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == d.handles.end() || it->second->kind != kind) return nullptr;
    return it->second;
}

KernelHandle NewHandle(std::shared_ptr<KernelObject> object) {
    Desktop& d = TheDesktop();
    const std::uintptr_t handle = d.nextHandle;
    d.nextHandle += 4;
    d.handles.emplace(handle, std::move(object));
    return reinterpret_cast<KernelHandle>(handle);
}

}  // namespace
}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

void* GetModuleHandle() { return reinterpret_cast<void*>(0x400000); }

std::wstring GetModuleFileName() {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().processes.at(Self().process).moduleFileName;
}

bool GetVersionEx(OsVersionInfo& info) {
    Lock lock(TheDesktop().mutex);
    info = TheDesktop().version;
    return true;
}

std::uint32_t GetTickCount() {
    Lock lock(TheDesktop().mutex);
    return static_cast<std::uint32_t>(TheDesktop().now);
}

void Sleep(std::uint32_t milliseconds) {
    if (milliseconds == 0) return;
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const Clock target = milliseconds == kInfinite ? kNever : d.now + milliseconds;
    WaitUntil(lock, [] { return false; }, [&] { return target; });
}

std::uint32_t GetLastError() { return lastError; }

void SetLastError(std::uint32_t error) { lastError = error; }

bool CloseHandle(KernelHandle handle) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    if (!d.handles.erase(reinterpret_cast<std::uintptr_t>(handle))) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    std::erase_if(d.namedObjects, [](const auto& entry) { return entry.second.expired(); });
    return true;
}

std::uint32_t WaitForSingleObject(KernelHandle handle, std::uint32_t timeoutMs) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto it = d.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == d.handles.end()) {
        SetLastError(kErrorInvalidHandle);
        return kWaitFailed;
    }
    const std::shared_ptr<KernelObject> object = it->second;
    ThreadState& self = Self();
    auto signalled = [&] {
        if (object->kind == KernelObject::Kind::Thread) return object->finished;
        if (object->kind == KernelObject::Kind::Event) return object->signalled;
        return !object->owner || object->owner == &self;
    };
    if (!signalled() && timeoutMs != 0) {
        const Clock deadline = timeoutMs == kInfinite ? kNever : d.now + timeoutMs;
        WaitUntil(lock, signalled, [&] { return deadline; });
    }
    if (!signalled()) return kWaitTimeout;
    if (object->kind == KernelObject::Kind::Event && !object->manualReset) object->signalled = false;
    if (object->kind == KernelObject::Kind::Mutex) {
        object->owner = &self;
        ++object->count;
        if (object->abandoned) {
            object->abandoned = false;
            return kWaitAbandoned;
        }
    }
    return kWaitObject0;
}

KernelHandle CreateMutex(bool initialOwner, const wchar_t* name) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const std::wstring key = name ? name : L"";
    if (!key.empty()) {
        auto it = d.namedObjects.find(key);
        if (it != d.namedObjects.end()) {
            if (auto existing = it->second.lock()) {
                if (existing->kind != KernelObject::Kind::Mutex) {
                    SetLastError(kErrorInvalidHandle);
                    return nullptr;
                }
                // An existing mutex is opened; initialOwner is ignored.
                KernelHandle handle = NewHandle(existing);
                SetLastError(ERROR_ALREADY_EXISTS);
                return handle;
            }
        }
    }
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelObject::Kind::Mutex;
    if (initialOwner) {
        object->owner = &Self();
        object->count = 1;
    }
    if (!key.empty()) {
        object->named = true;
        d.namedObjects[key] = object;
    }
    KernelHandle handle = NewHandle(std::move(object));
    SetLastError(0);
    return handle;
}

bool ReleaseMutex(KernelHandle mutex) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto object = Lookup(mutex, KernelObject::Kind::Mutex);
    if (!object) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (object->owner != &Self()) {
        SetLastError(kErrorNotOwner);
        return false;
    }
    if (--object->count == 0) {
        object->owner = nullptr;
        d.changed.notify_all();
    }
    return true;
}

KernelHandle CreateEvent(bool manualReset, bool initialState) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelObject::Kind::Event;
    object->manualReset = manualReset;
    object->signalled = initialState;
    return NewHandle(std::move(object));
}

bool SetEvent(KernelHandle event) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto object = Lookup(event, KernelObject::Kind::Event);
    if (!object) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    object->signalled = true;
    d.changed.notify_all();
    return true;
}

KernelHandle CreateThread(std::size_t stackSize, ThreadStart start, void* argument,
                          ThreadId* threadId) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    // Registered before it runs, so the clock never moves while it starts.
    ThreadState& state = NewManagedThread(Self().process);
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelObject::Kind::Thread;
    object->stackSize = stackSize;
    try {
        std::thread([object, &state, start, argument] {
            BindCurrentThread(state);
            const unsigned exitCode = start(argument);
            EndCurrentThread(object.get(), exitCode);
        }).detach();
    } catch (const std::system_error&) {
        state.alive = false;
        SetLastError(8);  // ERROR_NOT_ENOUGH_MEMORY
        return nullptr;
    }
    if (threadId) *threadId = state.id;
    return NewHandle(std::move(object));
}

ThreadId GetCurrentThreadId() {
    Lock lock(TheDesktop().mutex);
    return Self().id;
}

ProcessId GetCurrentProcessId() {
    Lock lock(TheDesktop().mutex);
    return Self().process;
}

bool GetExitCodeThread(KernelHandle thread, std::uint32_t* exitCode) {
    Lock lock(TheDesktop().mutex);
    auto object = Lookup(thread, KernelObject::Kind::Thread);
    if (!object) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (exitCode) *exitCode = object->exitCode;
    return true;
}

}  // namespace os

namespace os::hosted {

std::size_t ThreadStackSize(KernelHandle thread) {
    detail::Lock lock(detail::TheDesktop().mutex);
    auto object = detail::Lookup(thread, detail::KernelObject::Kind::Thread);
    return object ? object->stackSize : 0;
}

}  // namespace os::hosted
