// The simulators' control pipe: a message-mode named pipe "\\.\pipe\<name>"
// that takes one command line per connection and writes back one reply.
// Runs on a thread of its own until a reply asks to quit, or until
// `keepServing` says no (checked after each command).
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <string>

namespace talvio::simulators {

struct ControlReply {
    std::string text;
    bool quit = false;
};

// Returns true when a command asked the simulator to quit.
inline bool ServeControlPipe(const std::wstring& name,
                             const std::function<ControlReply(const std::string&)>& run,
                             const std::function<bool()>& keepServing = [] { return true; }) {
    const std::wstring path = L"\\\\.\\pipe\\" + name;
    for (;;) {
        HANDLE pipe = CreateNamedPipeW(path.c_str(), PIPE_ACCESS_DUPLEX,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                       4096, 4096, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) return false;
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
            CloseHandle(pipe);
            continue;
        }
        char buffer[1024];
        DWORD got = 0;
        bool quit = false;
        if (ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr)) {
            const ControlReply reply = run(std::string(buffer, got));
            quit = reply.quit;
            DWORD written = 0;
            WriteFile(pipe, reply.text.data(), static_cast<DWORD>(reply.text.size()), &written, nullptr);
            FlushFileBuffers(pipe);
        }
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
        if (quit) return true;
        if (!keepServing()) return false;
    }
}

}  // namespace talvio::simulators
