#include "handset/caller_text.h"

#include <cstdlib>
#include <cstring>

namespace talvio {

os::CopyDataStruct* AllocateCallerTextBlock(const os::CopyDataStruct& received) {
    const std::size_t size = sizeof(os::CopyDataStruct) + received.cbData;
    auto* block = static_cast<os::CopyDataStruct*>(std::malloc(size));
    if (block == nullptr) return nullptr;
    auto* payload = reinterpret_cast<std::uint8_t*>(block + 1);
    if (received.cbData != 0 && received.lpData != nullptr) {
        std::memcpy(payload, received.lpData, received.cbData);
    }
    block->dwData = received.dwData;
    block->cbData = received.cbData;
    block->lpData = payload;
    return block;
}

bool ParseCallerText(const os::CopyDataStruct& block, std::wstring& text) {
    if (block.cbData == 0 || block.lpData == nullptr || block.cbData >= kCallerTextMaxBytes ||
        block.dwData != kCallerTextDataKind) {
        return false;
    }
    std::uint8_t buffer[kCallerTextMaxBytes] = {};
    std::memcpy(buffer, block.lpData, block.cbData);
    const std::uint32_t terminator = block.cbData & ~1u;
    buffer[terminator] = 0;
    buffer[terminator + 1] = 0;  // cbData < 1024, so terminator + 1 <= 1023
    const std::uint32_t code = buffer[0] | buffer[1] << 8 | buffer[2] << 16 |
                               static_cast<std::uint32_t>(buffer[3]) << 24;
    if (code <= 50) return false;
    text.clear();
    for (std::uint32_t i = 8; i + 1 < kCallerTextMaxBytes; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(buffer[i] | buffer[i + 1] << 8);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return true;
}

}  // namespace talvio
