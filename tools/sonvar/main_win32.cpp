// Sonvar.exe: no window, no console, no message; the exit code is always 0.
#include "platform/win32/windows_api.h"

#include "settings/registry.h"
#include "tools/sonvar/command_line.h"
#include "tools/sonvar/sound_mapper.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        talvio::SetPreferredDevices(talvio::ScanSonvarCommandLine(GetCommandLineW()),
                                    talvio::SystemRegistry());
    } catch (...) {
        // Out of memory at worst; the caller does not wait for an answer.
    }
    return 0;
}
