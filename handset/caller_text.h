// Message 1260 on the device-notification window: caller text forwarded by
// the hook agent. lParam is a block from AllocateCallerTextBlock (std::malloc):
// a copy of the received COPYDATASTRUCT whose lpData points at the copied
// payload right behind it. The receiver frees the block with std::free.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace talvio {

inline constexpr std::uint32_t kCallerTextMessage = os::WM_USER + 236;  // 1260
inline constexpr std::uintptr_t kCallerTextDataKind = 11;
inline constexpr std::uint32_t kCallerTextMaxBytes = 1024;

// Null when memory runs out.
os::CopyDataStruct* AllocateCallerTextBlock(const os::CopyDataStruct& received);

// The caller name in a payload: dwData 11, 0 < cbData < 1024, the first
// 32-bit value above 50; the UTF-16 text behind the first two 32-bit values,
// up to the first zero. False when the payload does not qualify.
bool ParseCallerText(const os::CopyDataStruct& block, std::wstring& text);

}  // namespace talvio
