#include "connectors/receive_pool.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace talvio {

ReceivePool::~ReceivePool() {
    for (const auto& [ticket, copy] : heapCopies_) FreeHeapCopy(copy);
}

ReceivePool::Ticket ReceivePool::NextTicket(Ticket slot) {
    // The serial wraps after some 33 million copies; a heap ticket still
    // outstanding from the previous round is skipped.
    for (;;) {
        serial_ = (serial_ + 1) & (~Ticket{0} >> kSlotBits);
        if (serial_ == 0) continue;
        const Ticket ticket = serial_ << kSlotBits | slot;
        if (slot != kHeapSlot || heapCopies_.count(ticket) == 0) return ticket;
    }
}

ReceivePool::Ticket ReceivePool::Take(const os::CopyDataStruct& data, os::Hwnd sender) {
    const std::size_t length = data.cbData;
    Copy* copy = nullptr;
    if (length + kHeaderSize < kBufferSize) {
        for (int i = 0; i < kBufferCount; ++i) {
            if (!buffers_[i].free) continue;
            copy = new (buffers_[i].storage) Copy{};
            copy->ticket = NextTicket(static_cast<Ticket>(i));
            buffers_[i].free = false;
            ++buffersInUse_;
            break;
        }
    }
    if (copy == nullptr) {
        // A short text still needs room for the whole structure.
        const std::size_t size = std::max(sizeof(Copy), offsetof(Copy, bytes) + length);
        void* block = ::operator new(size, std::nothrow);
        if (block == nullptr) return 0;
        copy = new (block) Copy{};
        copy->ticket = NextTicket(kHeapSlot);
        try {
            heapCopies_.emplace(copy->ticket, copy);
        } catch (const std::bad_alloc&) {
            FreeHeapCopy(copy);
            return 0;
        }
    }
    if (length > 0 && data.lpData != nullptr) std::memcpy(copy->bytes, data.lpData, length);
    copy->header.dwData = data.dwData;
    copy->header.cbData = data.cbData;
    copy->header.lpData = copy->bytes;
    copy->sender = sender;
    return copy->ticket;
}

ReceivePool::Copy* ReceivePool::Lookup(Ticket ticket) const {
    const Ticket slot = ticket & kHeapSlot;
    if (slot == kHeapSlot) {
        const auto found = heapCopies_.find(ticket);
        return found != heapCopies_.end() ? found->second : nullptr;
    }
    if (ticket == 0 || slot >= static_cast<Ticket>(kBufferCount) || buffers_[slot].free) return nullptr;
    auto* copy = reinterpret_cast<Copy*>(const_cast<unsigned char*>(buffers_[slot].storage));
    return copy->ticket == ticket ? copy : nullptr;
}

std::optional<ReceivePool::Received> ReceivePool::Find(Ticket ticket) const {
    const Copy* copy = Lookup(ticket);
    if (copy == nullptr) return std::nullopt;
    const auto* bytes = reinterpret_cast<const char*>(copy->bytes);
    const void* zero = std::memchr(bytes, 0, copy->header.cbData);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes)
                        : copy->header.cbData;
    return Received{{bytes, length}, copy->sender};
}

bool ReceivePool::Release(Ticket ticket) {
    Copy* copy = Lookup(ticket);
    if (copy == nullptr) return false;
    if ((ticket & kHeapSlot) == kHeapSlot) {
        heapCopies_.erase(ticket);
        FreeHeapCopy(copy);
    } else {
        copy->~Copy();
        buffers_[ticket & kHeapSlot].free = true;
        --buffersInUse_;
    }
    return true;
}

void ReceivePool::FreeHeapCopy(Copy* copy) {
    copy->~Copy();
    ::operator delete(copy);
}

}  // namespace talvio
