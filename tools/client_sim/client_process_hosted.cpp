#include "tools/client_sim/client_process.h"

#include "platform/hosted/desktop.h"

namespace talvio::clientsim {

ClientProcess::ClientProcess(std::wstring_view name) : id_(os::hosted::CreateProcess(name)) {}

void ClientProcess::Run(const std::function<void()>& action) const {
    os::hosted::ProcessScope scope(id_);
    action();
}

}  // namespace talvio::clientsim
