#include <process.h>

#include <memory>

#include "platform/win32/handles.h"

namespace os {

using win32::FromHandle;
using win32::ToHandle;

namespace {

// Exit code of a thread whose start function threw.
constexpr unsigned kThreadThrew = 0xFFFFFFFF;

struct ThreadLaunch {
    ThreadStart start;
    void* argument;
};

// _beginthreadex wants a stdcall start routine; os::ThreadStart is a plain
// function, so every thread starts here.
unsigned __stdcall RunThread(void* launchData) {
    const std::unique_ptr<ThreadLaunch> launch(static_cast<ThreadLaunch*>(launchData));
    try {
        return launch->start(launch->argument);
    } catch (...) {
        return kThreadThrew;
    }
}

}  // namespace

bool CloseHandle(KernelHandle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }

std::uint32_t WaitForSingleObject(KernelHandle handle, std::uint32_t timeoutMs) {
    return ::WaitForSingleObject(ToHandle(handle), timeoutMs);
}

KernelHandle CreateMutex(bool initialOwner, const wchar_t* name) {
    return FromHandle(CreateMutexW(nullptr, initialOwner, name));
}

bool ReleaseMutex(KernelHandle mutex) { return ::ReleaseMutex(ToHandle(mutex)) != FALSE; }

KernelHandle CreateEvent(bool manualReset, bool initialState) {
    return FromHandle(CreateEventW(nullptr, manualReset, initialState, nullptr));
}

bool SetEvent(KernelHandle event) { return ::SetEvent(ToHandle(event)) != FALSE; }

KernelHandle CreateThread(std::size_t stackSize, ThreadStart start, void* argument,
                          ThreadId* threadId) {
    auto launch = std::make_unique<ThreadLaunch>(ThreadLaunch{start, argument});
    unsigned id = 0;
    // The size is a reservation, as for a thread's main stack: committing it
    // all up front would waste memory for mostly idle threads.
    const std::uintptr_t thread =
        _beginthreadex(nullptr, static_cast<unsigned>(stackSize), &RunThread, launch.get(),
                       STACK_SIZE_PARAM_IS_A_RESERVATION, &id);
    if (thread == 0) return nullptr;
    launch.release();
    if (threadId) *threadId = id;
    return FromHandle(reinterpret_cast<HANDLE>(thread));
}

ThreadId GetCurrentThreadId() { return ::GetCurrentThreadId(); }
ProcessId GetCurrentProcessId() { return ::GetCurrentProcessId(); }

bool GetExitCodeThread(KernelHandle thread, std::uint32_t* exitCode) {
    DWORD code = 0;
    const bool known = ::GetExitCodeThread(ToHandle(thread), &code) != FALSE;
    if (known && exitCode) *exitCode = code;
    return known;
}

}  // namespace os
