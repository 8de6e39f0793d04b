// The per-user Run value that starts the program at logon. Main thread only.
#pragma once

#include <string>

namespace talvio {

class Registry;

inline constexpr wchar_t kRunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutostartValueName[] = L"NXTalvioPhone";

// On: writes the quoted executable path under HKEY_CURRENT_USER. Either way
// the machine-wide value of older installations is removed, and when off the
// per-user one too. Registry failures are ignored.
void ApplyAutostart(bool on, Registry& registry, const std::wstring& executablePath);

}  // namespace talvio
