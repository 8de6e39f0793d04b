// Conversions between os:: handle types and Win32's (both sides are the
// same pointer-sized values, so the casts are lossless), and the owner of a
// file or pipe handle from CreateFileW.
#pragma once

#include "platform/unique.h"
#include "platform/win32/windows_api.h"

namespace os::win32 {

inline HWND ToHwnd(Hwnd window) { return reinterpret_cast<HWND>(window); }
inline Hwnd FromHwnd(HWND window) { return reinterpret_cast<Hwnd>(window); }
inline HANDLE ToHandle(KernelHandle handle) { return reinterpret_cast<HANDLE>(handle); }
inline KernelHandle FromHandle(HANDLE handle) { return reinterpret_cast<KernelHandle>(handle); }

struct FileTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type file) noexcept { ::CloseHandle(file); }
};
using File = Unique<FileTraits>;

}  // namespace os::win32
