#include "tools/client_sim/client_process.h"

namespace talvio::clientsim {

ClientProcess::ClientProcess(std::wstring_view) : id_(os::GetCurrentProcessId()) {}

void ClientProcess::Run(const std::function<void()>& action) const { action(); }

}  // namespace talvio::clientsim
