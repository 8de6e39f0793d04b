#include "connectors/command_queue.h"

#include <cstring>
#include <string>

namespace talvio {

CommandQueue::~CommandQueue() { stop(); }

void CommandQueue::SetOwner(const std::atomic<os::Hwnd>* clientWindow,
                            const std::atomic<os::Hwnd>* ownWindow) {
    clientWindow_ = clientWindow;
    ownWindow_ = ownWindow;
}

void CommandQueue::Enqueue(std::string_view command, int priority) {
    if (priority == kImmediate) {
        SendNow(command);
        return;
    }
    if (priority != kNormal && priority != kBackground) return;
    {
        MutexLock hold(lock_);
        (priority == kNormal ? normal_ : background_).emplace_back(command);
    }
    // Queued before the worker starts, so its first look finds the command.
    if (threadStarted_) return;
    if (start()) {
        threadStarted_ = true;
        return;
    }
    // Without a worker nothing queued would ever leave: send it now and try
    // to start the worker again with the next command.
    std::string next;
    while (TakeNext(next)) SendNow(next);
}

bool CommandQueue::SendNow(std::string_view command) {
    const os::Hwnd client = clientWindow_ ? clientWindow_->load() : nullptr;
    if (!client) return false;
    const os::Hwnd own = ownWindow_ ? ownWindow_->load() : nullptr;
    // The receiver is given the terminating zero too. Commands short enough
    // (all but long chat texts) are copied on the stack.
    char shortCopy[kShortCommand];
    std::string longCopy;
    const char* text = shortCopy;
    if (command.size() < sizeof shortCopy) {
        std::memcpy(shortCopy, command.data(), command.size());
        shortCopy[command.size()] = '\0';
    } else {
        longCopy.assign(command);
        text = longCopy.c_str();
    }
    os::CopyDataStruct data;
    data.dwData = 0;
    data.cbData = static_cast<std::uint32_t>(command.size() + 1);
    data.lpData = text;
    os::LResult result = 0;
    return os::SendMessageTimeout(client, os::WM_COPYDATA, reinterpret_cast<os::WParam>(own),
                                  reinterpret_cast<os::LParam>(&data), os::SMTO_ABORTIFHUNG,
                                  kSendTimeoutMs, &result);
}

bool CommandQueue::TakeNext(std::string& command) {
    MutexLock hold(lock_);
    std::deque<std::string>& source = !normal_.empty() ? normal_ : background_;
    if (source.empty()) return false;
    command = std::move(source.front());
    source.pop_front();
    return true;
}

unsigned CommandQueue::run() {
    std::string command;
    while (!stopRequested()) {
        if (TakeNext(command)) {
            SendNow(command);
            os::Sleep(kSendPauseMs);
        } else {
            os::Sleep(kIdlePollMs);
        }
    }
    return 0;
}

}  // namespace talvio
