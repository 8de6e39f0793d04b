// Close-app library: asks every running copy of the main program to quit.
// Loaded by installers; shares nothing with the program but the message name.
#include <windows.h>

namespace {
constexpr char kQuitMessageName[] = "OrvaneAppUserMessage0A23D86C";
constexpr UINT kTimeoutMs = 3000;
}  // namespace

// Non-zero when the broadcast completed; a hung window gives up on its own
// after the time-out without failing the others.
extern "C" int vxClosoApp() {
    const UINT message = RegisterWindowMessageA(kQuitMessageName);
    if (message == 0) return 0;
    DWORD_PTR ignored = 0;
    return static_cast<int>(SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG,
                                                kTimeoutMs, &ignored));
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
