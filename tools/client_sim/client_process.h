// The process a simulated client runs as. On the hosted desktop each client
// is a simulated process of its own beside the program under test; as a
// Win32 program it is simply the current process.
#pragma once

#include <functional>
#include <string_view>

#include "platform/platform.h"

namespace talvio::clientsim {

class ClientProcess {
public:
    explicit ClientProcess(std::wstring_view name);
    os::ProcessId Id() const { return id_; }
    // Runs `action` as this process: windows it creates and messages it
    // sends belong to the client.
    void Run(const std::function<void()>& action) const;

private:
    os::ProcessId id_;
};

}  // namespace talvio::clientsim
