#include "connectors/skype/receive_pool.h"

#include <cstring>
#include <new>

namespace talvio {

ReceivePool::~ReceivePool() {
    while (heapList_ != nullptr) Release(heapList_);
}

ReceivePool::Copy* ReceivePool::Take(const os::CopyDataStruct& data) {
    const std::size_t length = data.cbData;
    Copy* copy = nullptr;
    if (length + kHeaderSize < kBufferSize) {
        for (int i = 0; i < kBufferCount; ++i) {
            if (!buffers_[i].free) continue;
            buffers_[i].free = false;
            ++buffersInUse_;
            copy = new (buffers_[i].storage) Copy{};
            copy->buffer = static_cast<std::int16_t>(i);
            break;
        }
    }
    if (copy == nullptr) {
        void* block = ::operator new(offsetof(Copy, bytes) + length, std::nothrow);
        if (block == nullptr) return nullptr;
        copy = new (block) Copy{};
        copy->buffer = -1;
        copy->next = heapList_;
        if (heapList_ != nullptr) heapList_->previous = copy;
        heapList_ = copy;
        ++heapCopies_;
    }
    if (length > 0 && data.lpData != nullptr) std::memcpy(copy->bytes, data.lpData, length);
    copy->header.dwData = data.dwData;
    copy->header.cbData = data.cbData;
    copy->header.lpData = copy->bytes;
    return copy;
}

std::string_view ReceivePool::TextOf(const Copy& copy) {
    const auto* bytes = reinterpret_cast<const char*>(copy.bytes);
    const void* zero = std::memchr(bytes, 0, copy.header.cbData);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes)
                        : copy.header.cbData;
    return {bytes, length};
}

bool ReceivePool::IsHeapCopy(const Copy& copy) { return copy.buffer < 0; }

void ReceivePool::Release(Copy* copy) {
    if (copy == nullptr) return;
    if (copy->buffer >= 0) {
        buffers_[copy->buffer].free = true;
        --buffersInUse_;
        return;
    }
    if (copy->previous != nullptr) copy->previous->next = copy->next;
    else heapList_ = copy->next;
    if (copy->next != nullptr) copy->next->previous = copy->previous;
    --heapCopies_;
    copy->~Copy();
    ::operator delete(copy);
}

}  // namespace talvio
