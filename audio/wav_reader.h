// Decodes RIFF/WAVE data from a ByteStream into 16-bit PCM: 16-bit PCM is
// passed through; 8-bit unsigned PCM, G.711 A-law and u-law are widened.
// Other formats are refused at open(), since the player opens its device
// as 16-bit and would play them as noise. One thread at a time.
#pragma once

#include <cstdint>

#include "foundation/byte_stream.h"

namespace talvio {

// The first 18 bytes of a "fmt " chunk (the WAVEFORMATEX layout).
struct WavFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// What the player needs to know about a sound.
struct WavDescription {
    std::uint32_t durationSeconds = 0;  // data size / average bytes per second + 1
    std::uint32_t kiloBytesPerSecond = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t stereo = 0;
    std::uint32_t sixteenBit = 1;  // the output is always 16-bit
    std::uint32_t pcm = 1;
};

inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::uint16_t kWaveFormatALaw = 6;
inline constexpr std::uint16_t kWaveFormatMuLaw = 7;

std::int16_t ExpandALaw(std::uint8_t code);
// G.711 u-law, except that 0x00 gives silence rather than full negative.
std::int16_t ExpandMuLaw(std::uint8_t code);

class WavReader {
public:
    WavReader() = default;
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;
    virtual ~WavReader();

    // Reads the header and leaves the stream at the first sample; 1 on
    // success, 0 for data that is no usable WAVE. An owned stream is deleted
    // on the next open and on destruction; a borrowed one must outlive its use.
    virtual int open(ByteStream* stream, bool ownsStream);
    // Moves to numerator/denominator of the data (0, 1 rewinds).
    virtual void seek(std::uint32_t numerator, std::uint32_t denominator);
    virtual void describe(WavDescription* out) const;
    // Fills at most *inOutLength bytes of 16-bit samples; *inOutLength gets
    // the count delivered. Returns it, 0 at the end of the data.
    virtual int read(void* buffer, int* inOutLength);
    // Seconds delivered so far.
    virtual std::uint32_t position() const;

    const WavFormat& format() const { return format_; }
    std::uint32_t dataSize() const { return dataSize_; }
    // What read() delivers from the start to the end: 8-bit samples double.
    std::uint64_t decodedSize() const {
        return std::uint64_t(dataSize_) * (format_.bitsPerSample == 8 ? 2 : 1);
    }

private:
    void reset();
    bool skip(std::uint32_t size);

    ByteStream* stream_ = nullptr;
    bool ownsStream_ = false;
    WavFormat format_;
    std::uint32_t dataOffset_ = 0;
    std::uint32_t dataSize_ = 0;
    std::uint32_t bytesRead_ = 0;
    WavDescription description_;
};

}  // namespace talvio
