#include "audio/wav_reader.h"

#include <algorithm>
#include <cstring>

namespace talvio {

namespace {

constexpr std::uint32_t FourCc(const char (&id)[5]) {
    return std::uint32_t(std::uint8_t(id[0])) | std::uint32_t(std::uint8_t(id[1])) << 8 |
           std::uint32_t(std::uint8_t(id[2])) << 16 | std::uint32_t(std::uint8_t(id[3])) << 24;
}

bool ReadU32(ByteStream& stream, std::uint32_t* value) {
    unsigned char bytes[4];
    if (stream.read(bytes, 4) != 4) return false;
    *value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
             std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    return true;
}

std::uint16_t U16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The device is opened as 16-bit mono or stereo, so only what can be widened
// to that plays as sound.
bool Playable(const WavFormat& f) {
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.samplesPerSecond == 0 || f.averageBytesPerSecond == 0) return false;
    if (f.formatTag == kWaveFormatPcm) return f.bitsPerSample == 8 || f.bitsPerSample == 16;
    if (f.formatTag == kWaveFormatALaw || f.formatTag == kWaveFormatMuLaw)
        return f.bitsPerSample == 8;
    return false;
}

std::int16_t WidenPcm8(std::uint8_t value) {
    // MulDiv(value, 32767, 255): rounded to nearest.
    return std::int16_t((value * 32767 + 127) / 255);
}

}  // namespace

std::int16_t ExpandALaw(std::uint8_t code) {
    code ^= 0x55;
    int magnitude = (code & 0x0f) << 4;
    const int segment = (code & 0x70) >> 4;
    if (segment == 0) {
        magnitude += 8;
    } else {
        magnitude += 0x108;
        magnitude <<= segment - 1;
    }
    return std::int16_t((code & 0x80) ? magnitude : -magnitude);
}

std::int16_t ExpandMuLaw(std::uint8_t code) {
    if (code == 0x00) return 0;
    code = std::uint8_t(~code);
    int magnitude = ((code & 0x0f) << 3) + 0x84;
    magnitude <<= (code & 0x70) >> 4;
    return std::int16_t((code & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

WavReader::~WavReader() { reset(); }

void WavReader::reset() {
    if (ownsStream_) delete stream_;
    stream_ = nullptr;
    ownsStream_ = false;
    format_ = WavFormat{};
    dataOffset_ = dataSize_ = bytesRead_ = 0;
    description_ = WavDescription{};
}

bool WavReader::skip(std::uint32_t size) {
    if (size == 0) return true;
    if (size > std::uint32_t(0x7fffffff)) return false;
    return stream_->seek(int(size), 1) == 0;
}

int WavReader::open(ByteStream* stream, bool ownsStream) {
    reset();
    stream_ = stream;
    ownsStream_ = ownsStream;
    if (!stream_) return 0;

    std::uint32_t id = 0, riffSize = 0;
    if (!ReadU32(*stream_, &id) || id != FourCc("RIFF")) return 0;
    if (!ReadU32(*stream_, &riffSize) || !ReadU32(*stream_, &id) || id != FourCc("WAVE"))
        return 0;

    bool formatSeen = false;
    while (!stream_->atEnd()) {
        std::uint32_t size = 0;
        if (!ReadU32(*stream_, &id) || !ReadU32(*stream_, &size)) break;
        if (id == FourCc("fmt ")) {
            if (size < 14) return 0;
            unsigned char raw[18] = {};
            const std::uint32_t take = std::min<std::uint32_t>(size, 18);
            if (stream_->read(raw, int(take)) != int(take)) return 0;
            format_.formatTag = U16(raw);
            format_.channels = U16(raw + 2);
            format_.samplesPerSecond = U32(raw + 4);
            format_.averageBytesPerSecond = U32(raw + 8);
            format_.blockAlign = U16(raw + 12);
            format_.bitsPerSample = take >= 16 ? U16(raw + 14) : 0;
            format_.extraSize = take >= 18 ? U16(raw + 16) : 0;
            if (!skip(size - take + (size & 1))) return 0;
            formatSeen = true;
        } else if (id == FourCc("data")) {
            if (formatSeen) {
                dataOffset_ = std::uint32_t(stream_->tell());
                dataSize_ += size;
            } else if (!skip(size + (size & 1))) {
                // Data ahead of its format is skipped and not counted: adding
                // it to a later chunk's size would play the bytes after that
                // chunk as sound.
                break;
            }
        } else if (!skip(size + (size & 1))) {
            break;
        }
        if ((formatSeen && dataSize_ > 0) || size == 0) break;
    }
    if (!formatSeen || !Playable(format_)) return 0;

    // A header may claim more data than the stream holds; never read past it.
    const int total = stream_->size();
    if (total >= 0 && std::uint32_t(total) >= dataOffset_)
        dataSize_ = std::min<std::uint32_t>(dataSize_, std::uint32_t(total) - dataOffset_);

    description_.durationSeconds = dataSize_ / format_.averageBytesPerSecond + 1;
    description_.kiloBytesPerSecond = format_.averageBytesPerSecond / 1000;
    description_.samplesPerSecond = format_.samplesPerSecond;
    description_.stereo = format_.channels == 2 ? 1 : 0;
    description_.sixteenBit = 1;
    description_.pcm = 1;
    if (stream_->seek(int(dataOffset_), 0) != 0) return 0;
    bytesRead_ = 0;
    return 1;
}

void WavReader::seek(std::uint32_t numerator, std::uint32_t denominator) {
    if (!stream_ || denominator == 0) return;
    std::uint64_t offset = std::uint64_t(numerator) * dataSize_ / denominator;
    if (format_.bitsPerSample == 16 && (offset & 1)) ++offset;
    offset = std::min<std::uint64_t>(offset, dataSize_);
    stream_->seek(int(dataOffset_ + offset), 0);
    const int position = stream_->tell();
    bytesRead_ = position > int(dataOffset_) ? std::uint32_t(position) - dataOffset_ : 0;
}

void WavReader::describe(WavDescription* out) const {
    if (out) *out = description_;
}

int WavReader::read(void* buffer, int* inOutLength) {
    if (!inOutLength) return 0;
    const int wanted = *inOutLength;
    *inOutLength = 0;
    if (!stream_ || !buffer || wanted <= 0 || bytesRead_ >= dataSize_) return 0;
    const std::uint32_t remaining = dataSize_ - bytesRead_;
    auto* bytes = static_cast<unsigned char*>(buffer);

    if (format_.bitsPerSample != 8) {
        // Whole samples only, so the device never gets half of one.
        const int count = int(std::min<std::uint32_t>(std::uint32_t(wanted), remaining)) & ~1;
        const int got = count > 0 ? stream_->read(bytes, count) : 0;
        if (got <= 0) {
            bytesRead_ = dataSize_;
            return 0;
        }
        bytesRead_ += std::uint32_t(got);
        *inOutLength = got;
        return got;
    }

    const int count = int(std::min<std::uint32_t>(std::uint32_t(wanted / 2), remaining));
    const int got = count > 0 ? stream_->read(bytes, count) : 0;
    if (got <= 0) {
        bytesRead_ = dataSize_;
        return 0;
    }
    bytesRead_ += std::uint32_t(got);
    // In place, last byte first, so no byte is overwritten before it is read.
    for (int i = got - 1; i >= 0; --i) {
        std::int16_t sample;
        if (format_.formatTag == kWaveFormatALaw) sample = ExpandALaw(bytes[i]);
        else if (format_.formatTag == kWaveFormatMuLaw) sample = ExpandMuLaw(bytes[i]);
        else sample = WidenPcm8(bytes[i]);
        const auto u = std::uint16_t(sample);
        bytes[2 * i] = std::uint8_t(u & 0xff);
        bytes[2 * i + 1] = std::uint8_t(u >> 8);
    }
    *inOutLength = got * 2;
    return got * 2;
}

std::uint32_t WavReader::position() const {
    return format_.averageBytesPerSecond ? bytesRead_ / format_.averageBytesPerSecond : 0;
}

}  // namespace talvio
