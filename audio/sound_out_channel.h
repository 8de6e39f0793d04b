// One wave-out device and its ring of buffer slots. Each slot is a device
// header plus slotSize data bytes; the ring's sizes count 32 bytes of
// header per slot, as the layouts below expect. Player thread only (and
// the owner once the thread has ended). The port is not owned.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/wave_out.h"

namespace talvio {

class SoundOutChannel {
public:
    static constexpr int kHeaderBytes = 32;
    static constexpr int kDefaultBlockBytes = 204800;

    explicit SoundOutChannel(WaveOut& port);
    SoundOutChannel(const SoundOutChannel&) = delete;
    SoundOutChannel& operator=(const SoundOutChannel&) = delete;
    virtual ~SoundOutChannel();

    // Closes any open device first. The API result.
    unsigned open(unsigned deviceId, int channels, int samplesPerSecond, int bitsPerSample,
                  int formatTag);
    bool isOpen() const { return device_ != 0; }
    // waveOutReset, then unprepare every prepared header.
    void stop();
    // Stops, closes (retrying while the device still plays) and resets the ring.
    void close();
    bool allDone();

    // One-shot: 1 written, 0 slot busy, -1 the device refused the write.
    int writeSlot(int index, std::uint32_t length, bool loop);
    // Streaming: 1 written (a refused write counts), 0 after about 2 s of
    // busy slots.
    virtual int writeData(const void* source, std::uint32_t length);
    virtual const char* name() const { return "SoundOutChannel-Thread"; }

    void layoutBySize(std::uint32_t slotSize, int count);
    void layoutByCount(int count);

    unsigned char* slotData(int index) { return block_.get() + index * stride() + kHeaderBytes; }
    std::uint32_t slotSize() const { return slotSize_; }
    int slotCount() const { return slotCount_; }

private:
    std::size_t stride() const { return kHeaderBytes + slotSize_; }
    bool busy(int index);
    int submit(int index, std::uint32_t length, bool loop);
    int writeNext(const void* source, std::uint32_t length);
    void resetRing();
    void allocate(std::size_t bytes);

    WaveOut& port_;
    WaveOut::Device device_ = 0;
    std::unique_ptr<unsigned char[]> block_;
    std::size_t blockBytes_ = 0;
    std::vector<WaveHeader> headers_;
    std::vector<bool> prepared_;
    std::uint32_t slotSize_ = 0;
    int slotCount_ = 0;
    int lastWritten_ = -1;
};

}  // namespace talvio
