// Conversions between os:: handle types and Win32's. Both sides are the
// same pointer-sized values, so the casts are lossless.
#pragma once

#include "platform/win32/windows_api.h"

namespace os::win32 {

inline HWND ToHwnd(Hwnd window) { return reinterpret_cast<HWND>(window); }
inline Hwnd FromHwnd(HWND window) { return reinterpret_cast<Hwnd>(window); }
inline HANDLE ToHandle(KernelHandle handle) { return reinterpret_cast<HANDLE>(handle); }
inline KernelHandle FromHandle(HANDLE handle) { return reinterpret_cast<KernelHandle>(handle); }

}  // namespace os::win32
