#include "audio/sound_out_channel.h"

#include <cstring>

#include "platform/platform.h"

namespace talvio {

SoundOutChannel::SoundOutChannel(WaveOut& port) : port_(port) {}

SoundOutChannel::~SoundOutChannel() { close(); }

void SoundOutChannel::allocate(std::size_t bytes) {
    if (bytes != blockBytes_ || !block_) {
        block_ = std::make_unique<unsigned char[]>(bytes);
        blockBytes_ = bytes;
    }
}

void SoundOutChannel::layoutBySize(std::uint32_t slotSize, int count) {
    if (count < 1) count = 1;
    allocate(std::size_t(count) * (slotSize + kHeaderBytes));
    slotSize_ = slotSize;
    slotCount_ = count;
    headers_.assign(std::size_t(count), WaveHeader{});
    prepared_.assign(std::size_t(count), false);
    resetRing();
}

void SoundOutChannel::layoutByCount(int count) {
    if (!block_) allocate(kDefaultBlockBytes);
    if (count < 1) count = 1;
    std::uint32_t size = 0;
    for (;;) {
        size = std::uint32_t((blockBytes_ / std::size_t(count) - kHeaderBytes) & ~std::size_t(3));
        if (size > 100 || count == 1) break;
        count = count / 2 > 0 ? count / 2 : 1;
    }
    slotSize_ = size;
    slotCount_ = count;
    headers_.assign(std::size_t(count), WaveHeader{});
    prepared_.assign(std::size_t(count), false);
    resetRing();
}

void SoundOutChannel::resetRing() {
    if (block_) std::memset(block_.get(), 0, blockBytes_);
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        headers_[i] = WaveHeader{};
        prepared_[i] = false;
    }
    lastWritten_ = -1;
}

unsigned SoundOutChannel::open(unsigned deviceId, int channels, int samplesPerSecond,
                               int bitsPerSample, int formatTag) {
    if (device_) close();
    WaveFormat format;
    format.formatTag = std::uint16_t(formatTag);
    format.channels = std::uint16_t(channels);
    format.samplesPerSecond = std::uint32_t(samplesPerSecond);
    format.bitsPerSample = std::uint16_t(bitsPerSample);
    format.blockAlign = std::uint16_t(channels * ((bitsPerSample + 7) / 8));
    format.averageBytesPerSecond = format.samplesPerSecond * format.blockAlign;
    return port_.open(&device_, deviceId, format);
}

bool SoundOutChannel::busy(int index) {
    if (!prepared_[std::size_t(index)]) return false;
    return (port_.status(device_, &headers_[std::size_t(index)]) & kHeaderDone) == 0;
}

void SoundOutChannel::stop() {
    if (!device_) return;
    if (port_.reset(device_) == kMmNoDriver) return;
    os::Sleep(1);
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        if (!prepared_[i]) continue;
        if (port_.unprepare(device_, &headers_[i]) == kMmNoDriver) break;
        prepared_[i] = false;
    }
}

void SoundOutChannel::close() {
    if (device_) {
        stop();
        while (port_.close(device_) == kWaveStillPlaying) {
            os::Sleep(10);
            stop();
        }
        device_ = 0;
    }
    resetRing();
}

bool SoundOutChannel::allDone() {
    for (int i = 0; i < slotCount_; ++i)
        if (busy(i)) return false;
    return true;
}

int SoundOutChannel::submit(int index, std::uint32_t length, bool loop) {
    WaveHeader& header = headers_[std::size_t(index)];
    // A header the device finished with is unprepared before it is reused.
    if (prepared_[std::size_t(index)]) port_.unprepare(device_, &header);
    header = WaveHeader{};
    header.data = slotData(index);
    header.length = length;
    if (loop) {
        header.loops = kLoopForever;
        header.flags = kHeaderBeginLoop | kHeaderEndLoop;
    }
    port_.prepare(device_, &header);
    prepared_[std::size_t(index)] = true;
    if (port_.write(device_, &header) == kMmNoError) return 1;
    // The device never gets a refused header, so it would never mark it
    // done: release it, or the slot stays busy for good.
    port_.unprepare(device_, &header);
    prepared_[std::size_t(index)] = false;
    return -1;
}

int SoundOutChannel::writeSlot(int index, std::uint32_t length, bool loop) {
    if (index < 0 || index >= slotCount_ || busy(index)) return 0;
    if (length > slotSize_) length = slotSize_;
    return submit(index, length, loop);
}

int SoundOutChannel::writeNext(const void* source, std::uint32_t length) {
    const int index = (lastWritten_ + 1) % slotCount_;
    if (busy(index)) return 0;
    std::memcpy(slotData(index), source, length);
    const int result = submit(index, length, false);
    if (result == 1) lastWritten_ = index;
    return result;
}

int SoundOutChannel::writeData(const void* source, std::uint32_t length) {
    if (slotCount_ == 0) return 0;
    if (length > slotSize_) {
        const auto* bytes = static_cast<const unsigned char*>(source);
        for (std::uint32_t done = 0; done < length; done += slotSize_) {
            const std::uint32_t piece = length - done < slotSize_ ? length - done : slotSize_;
            if (writeData(bytes + done, piece) == 0) return 0;
        }
        return 1;
    }
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (writeNext(source, length) != 0) return 1;
        os::Sleep(10);
    }
    return 0;
}

}  // namespace talvio
