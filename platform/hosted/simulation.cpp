// Simulated processes and threads, hung threads and the module path.
#include <utility>

#include "platform/hosted/desktop_state.h"

namespace os::hosted {

using namespace detail;

ProcessId CreateProcess(std::wstring_view name) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const ProcessId id = d.nextProcess++;
    d.processes[id] = Process{std::wstring(name), L"C:\\Programs\\" + std::wstring(name)};
    return id;
}

std::wstring ProcessName(ProcessId process) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto it = d.processes.find(process);
    return it == d.processes.end() ? std::wstring() : it->second.name;
}

ProcessScope::ProcessScope(ProcessId process) {
    Lock lock(TheDesktop().mutex);
    previous_ = std::exchange(Self().process, process);
}

ProcessScope::~ProcessScope() {
    Lock lock(TheDesktop().mutex);
    Self().process = previous_;
}

struct SimulatedThread::State {
    std::thread thread;
    ThreadState* threadState = nullptr;
    bool loop = true;
    int exitCode = 0;
    bool joined = false;
};

SimulatedThread::SimulatedThread(ProcessId process) : SimulatedThread(process, nullptr) {}

SimulatedThread::SimulatedThread(ProcessId process, std::function<void()> body)
    : state_(std::make_shared<State>()) {
    state_->loop = !body;
    {
        Lock lock(TheDesktop().mutex);
        state_->threadState = &NewManagedThread(process);
    }
    state_->thread = std::thread([state = state_, body = std::move(body)] {
        BindCurrentThread(*state->threadState);
        int exitCode = 0;
        if (body) {
            body();
        } else {
            Msg msg;
            while (GetMessage(msg) > 0) {
                TranslateMessage(msg);
                DispatchMessage(msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
        state->exitCode = exitCode;
        EndCurrentThread(nullptr, static_cast<std::uint32_t>(exitCode));
    });
}

SimulatedThread::~SimulatedThread() { Join(); }

ThreadId SimulatedThread::id() const {
    Lock lock(TheDesktop().mutex);
    return state_->threadState->id;
}

void SimulatedThread::Call(const std::function<void()>& function) {
    Lock lock(TheDesktop().mutex);
    ThreadState& target = *state_->threadState;
    if (&target == &Self()) {
        lock.unlock();
        function();
        return;
    }
    if (!target.alive) return;
    auto sent = std::make_shared<SentMessage>();
    sent->task = function;
    target.incoming.push_back(sent);
    TheDesktop().changed.notify_all();
    AwaitReply(lock, sent, kNever, true);
}

int SimulatedThread::Join() {
    if (state_->joined) return state_->exitCode;
    {
        Lock lock(TheDesktop().mutex);
        ThreadState& target = *state_->threadState;
        ThreadState& self = Self();
        target.hung = false;
        // As PostQuitMessage(0) on that thread: its queue drains first, and a
        // quit code it posts itself wins.
        if (state_->loop && target.alive && !target.quit) {
            target.quit = true;
            target.quitCode = 0;
            TheDesktop().changed.notify_all();
        }
        while (target.alive) {
            if (!self.hung && RunOneSent(lock)) continue;
            WaitUntil(
                lock, [&] { return !target.alive || (!self.hung && !self.incoming.empty()); },
                [] { return kNever; });
        }
    }
    state_->thread.join();
    state_->joined = true;
    return state_->exitCode;
}

void SetHung(ThreadId thread, bool hung) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    auto it = d.threads.find(thread);
    if (it == d.threads.end()) return;
    it->second->hung = hung;
    d.changed.notify_all();
}

void SetModuleFileName(std::wstring_view path) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().processes[Self().process].moduleFileName = path;
}

void SetWindowsVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().version = {major, minor, build};
}

}  // namespace os::hosted
