// Copies of received WM_COPYDATA texts, held from the moment the message
// arrives until its re-posted copy has been parsed. Short texts take one of
// fifty fixed 512-byte buffers; longer ones, or any text while all buffers
// are out, take a heap block. Main thread only (the connector window's
// thread); the pool owns every copy it handed out until Release, and frees
// heap copies never released when it is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace talvio {

class ReceivePool {
public:
    static constexpr int kBufferCount = 50;
    static constexpr std::size_t kBufferSize = 512;
    // Bytes of the sender's COPYDATASTRUCT header kept with each copy (its
    // 32-bit Windows size), counted against the buffer size.
    static constexpr std::size_t kHeaderSize = 12;

    struct Copy;

    ReceivePool() = default;
    ReceivePool(const ReceivePool&) = delete;
    ReceivePool& operator=(const ReceivePool&) = delete;
    ~ReceivePool();

    // A copy of `data`, or null when a heap block cannot be had.
    Copy* Take(const os::CopyDataStruct& data);
    // The copied text up to its first zero byte, within the copied bytes.
    static std::string_view TextOf(const Copy& copy);
    void Release(Copy* copy);

    int BuffersInUse() const { return buffersInUse_; }
    int HeapCopies() const { return heapCopies_; }
    static bool IsHeapCopy(const Copy& copy);

    struct Copy {
        os::CopyDataStruct header;
        Copy* previous;  // heap copies only: the list of outstanding ones
        Copy* next;
        std::int16_t buffer;  // pool index, or -1 for a heap copy
        unsigned char bytes[1];
    };

private:
    struct Buffer {
        bool free = true;
        alignas(Copy) unsigned char storage[offsetof(Copy, bytes) + kBufferSize - kHeaderSize];
    };

    Buffer buffers_[kBufferCount];
    Copy* heapList_ = nullptr;
    int buffersInUse_ = 0;
    int heapCopies_ = 0;
};

}  // namespace talvio
