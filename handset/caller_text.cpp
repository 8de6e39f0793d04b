#include "handset/caller_text.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace talvio {

namespace {

struct BlockRegistry {
    std::mutex lock;
    std::unordered_set<os::LParam> live;
};

// Never destroyed: a hook thread may still post while the process exits.
BlockRegistry& Registry() {
    static auto* registry = new BlockRegistry;
    return *registry;
}

}  // namespace

os::LParam AllocateCallerTextBlock(const os::CopyDataStruct& received) {
    const std::size_t size = sizeof(os::CopyDataStruct) + received.cbData;
    CallerTextBlock block(static_cast<os::CopyDataStruct*>(std::malloc(size)));
    if (!block) return 0;
    auto* payload = reinterpret_cast<std::uint8_t*>(block.get() + 1);
    if (received.cbData != 0 && received.lpData != nullptr) {
        std::memcpy(payload, received.lpData, received.cbData);
    }
    block->dwData = received.dwData;
    block->cbData = received.cbData;
    block->lpData = payload;
    const auto name = reinterpret_cast<os::LParam>(block.get());
    BlockRegistry& registry = Registry();
    try {
        const std::lock_guard guard(registry.lock);
        registry.live.insert(name);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    block.release();
    return name;
}

CallerTextBlock TakeCallerTextBlock(os::LParam lParam) {
    BlockRegistry& registry = Registry();
    const std::lock_guard guard(registry.lock);
    if (registry.live.erase(lParam) == 0) return nullptr;
    return CallerTextBlock(reinterpret_cast<os::CopyDataStruct*>(lParam));
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
