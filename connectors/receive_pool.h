// Copies of received WM_COPYDATA texts, held from the moment the message
// arrives until its re-posted copy has been parsed. Short texts take one of
// fifty fixed 512-byte buffers; longer ones, or any text while all buffers
// are out, take a heap block.
//
// A copy is named by a ticket, never by its address: the re-posted message
// carries the ticket, and any process can post to our window, so a value
// that names no outstanding copy is simply not ours. A ticket is good once;
// Release retires it.
//
// Main thread only (the connector window's thread); the pool owns every
// copy until Release, and frees copies never released when it is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/platform.h"

namespace talvio {

class ReceivePool {
public:
    static constexpr int kBufferCount = 50;
    static constexpr std::size_t kBufferSize = 512;
    // Bytes of the sender's COPYDATASTRUCT header kept with each copy (its
    // 32-bit Windows size), counted against the buffer size.
    static constexpr std::size_t kHeaderSize = 12;

    // 0 names no copy.
    using Ticket = std::uint32_t;
    // The ticket a window message carries; 0 for a value no ticket has.
    static Ticket TicketIn(os::LParam lParam) {
        const auto ticket = static_cast<Ticket>(lParam);
        return static_cast<os::LParam>(ticket) == lParam ? ticket : 0;
    }

    ReceivePool() = default;
    ReceivePool(const ReceivePool&) = delete;
    ReceivePool& operator=(const ReceivePool&) = delete;
    ~ReceivePool();

    // A copy of `data` as sent by `sender`; 0 when a heap block cannot be had.
    Ticket Take(const os::CopyDataStruct& data, os::Hwnd sender);

    struct Received {
        std::string_view text;  // up to the first zero byte, within the copied bytes
        os::Hwnd sender;
    };
    // The outstanding copy `ticket` names; valid until its Release.
    std::optional<Received> Find(Ticket ticket) const;
    bool Release(Ticket ticket);  // false when the ticket names no outstanding copy

    int BuffersInUse() const { return buffersInUse_; }
    int HeapCopies() const { return static_cast<int>(heapCopies_.size()); }

private:
    struct Copy {
        os::CopyDataStruct header;
        os::Hwnd sender;
        Ticket ticket;
        unsigned char bytes[1];
    };
    struct Buffer {
        bool free = true;
        alignas(Copy) unsigned char storage[offsetof(Copy, bytes) + kBufferSize - kHeaderSize];
    };
    // The low bits of a ticket say where its copy lives: a buffer index, or
    // kHeapSlot for a heap copy.
    static constexpr Ticket kSlotBits = 7;
    static constexpr Ticket kHeapSlot = (1u << kSlotBits) - 1;
    static_assert(kBufferCount < kHeapSlot);

    Copy* Lookup(Ticket ticket) const;
    Ticket NextTicket(Ticket slot);
    static void FreeHeapCopy(Copy* copy);

    Buffer buffers_[kBufferCount];
    std::unordered_map<Ticket, Copy*> heapCopies_;
    Ticket serial_ = 0;
    int buffersInUse_ = 0;
};

}  // namespace talvio
