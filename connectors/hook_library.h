// The outside caller-id hook library ("vantrel.dll") and the named shared
// block through which it finds the window to report to. Old Skype clients
// do not report the caller in their API; the library, once it hooks the
// client's window, sends the caller's text to that window as WM_COPYDATA.
//
// The port is not owned by its users and lives for the process. Its calls
// may come from any thread (the hook agent's thread publishes and hooks).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace talvio {

inline constexpr std::wstring_view kHookLibraryName = L"vantrel.dll";
inline constexpr std::wstring_view kHookBlockName = L"vxMyFileMappingObject_vx";
inline constexpr std::uint32_t kHookBlockSize = 1024;

// An open shared block; closed when the object goes.
class SharedHookBlock {
public:
    virtual ~SharedHookBlock() = default;
};

class HookLibrary {
public:
    // Creates or opens the shared block and writes `window` into its first
    // four bytes (little-endian); null when it cannot be made.
    virtual std::unique_ptr<SharedHookBlock> PublishWindow(os::Hwnd window) = 0;
    // Loads the library from the program's own folder (never through the
    // search order) and asks it to hook `target`. The hook, or 0 when the
    // library or its export is missing or it refused. The library stays loaded.
    virtual std::uintptr_t InsertHook(os::Hwnd target) = 0;
    virtual void RemoveHook(std::uintptr_t hook) = 0;

protected:
    ~HookLibrary() = default;
};

// The machine's own; on the hosted backend there is neither library nor
// block, so nothing is ever hooked.
HookLibrary& SystemHookLibrary();

}  // namespace talvio
