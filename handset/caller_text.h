// Message 1260 on the device-notification window: caller text forwarded by
// the hook agent's thread. lParam names a block from AllocateCallerTextBlock:
// a copy of the received COPYDATASTRUCT whose lpData points at the copied
// payload right behind it.
//
// Any process can post 1260 to our window, so lParam is never trusted as a
// pointer: the blocks this process made and has not yet handed back are
// kept in a locked registry, and TakeCallerTextBlock gives a block only when
// the registry holds it. Both functions may be called from any thread.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace talvio {

inline constexpr std::uint32_t kCallerTextMessage = os::WM_USER + 236;  // 1260
inline constexpr std::uintptr_t kCallerTextDataKind = 11;
inline constexpr std::uint32_t kCallerTextMaxBytes = 1024;

struct CallerTextBlockFree {
    void operator()(os::CopyDataStruct* block) const { std::free(block); }
};
using CallerTextBlock = std::unique_ptr<os::CopyDataStruct, CallerTextBlockFree>;

// A registered copy of `received`: the lParam to post with 1260, or 0 when
// memory runs out. The registry owns the block until it is taken.
os::LParam AllocateCallerTextBlock(const os::CopyDataStruct& received);

// The block `lParam` names when this process made it and it was not taken
// yet; null for anything else (a value from another process, a block taken
// before). A poster whose post failed takes its block back the same way.
CallerTextBlock TakeCallerTextBlock(os::LParam lParam);

// The caller name in a payload: dwData 11, 0 < cbData < 1024, the first
// 32-bit value above 50; the UTF-16 text behind the first two 32-bit values,
// up to the first zero. False when the payload does not qualify.
bool ParseCallerText(const os::CopyDataStruct& block, std::wstring& text);

}  // namespace talvio
