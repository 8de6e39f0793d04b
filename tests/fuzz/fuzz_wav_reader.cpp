// Bytes into the WAV decoder, raw and wrapped in a RIFF/WAVE header whose
// format comes from the first bytes (so mutations reach every format and
// chunk path). Every read goes into a buffer of exactly the requested size,
// so the sanitiser sees any overrun; the output never exceeds the data the
// header claims, and a rewind delivers the same bytes again.
#include <memory>
#include <vector>

#include "audio/wav_reader.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// RIFF, WAVE, a "fmt " chunk from the first 8 input bytes, then the rest
// as chunk bytes, so "data", "fact" and "LIST" chunks come from the input.
Bytes Wrapped(const std::uint8_t* data, std::size_t size) {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    if (size < 8) return out;
    static constexpr std::uint16_t kTags[] = {1, 6, 7, 3, 2};
    const std::uint16_t tag = kTags[data[0] % 5];
    const std::uint16_t channels = std::uint16_t(data[1] % 4);
    const std::uint16_t bits = (data[2] & 1) ? 8 : 16;
    const std::uint32_t rate = std::uint32_t(data[3] | data[4] << 8) * 4;
    Put(out, 16, 4);
    Put(out, tag, 2);
    Put(out, channels, 2);
    Put(out, rate, 4);
    Put(out, rate * channels * (bits / 8), 4);
    Put(out, std::uint16_t(channels * (bits / 8)), 2);
    Put(out, bits, 2);
    if (data[5] & 1) {
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        Put(out, std::uint32_t(size - 8), 4);
    }
    out.insert(out.end(), data + 8, data + size);
    return out;
}

Bytes Drain(talvio::WavReader& reader, const std::uint8_t* sizes, std::size_t sizeCount) {
    Bytes out;
    for (std::size_t i = 0;; ++i) {
        const int piece = sizeCount ? 1 + sizes[i % sizeCount] * 8 : 512;
        auto buffer = std::make_unique<unsigned char[]>(std::size_t(piece));
        int length = piece;
        const int got = reader.read(buffer.get(), &length);
        TALVIO_FUZZ_CHECK(got == length && length >= 0 && length <= piece);
        if (got == 0) break;
        out.insert(out.end(), buffer.get(), buffer.get() + length);
        TALVIO_FUZZ_CHECK(out.size() <= 2 * std::size_t(reader.dataSize()));
    }
    return out;
}

void Exercise(const Bytes& file, const std::uint8_t* sizes, std::size_t sizeCount) {
    talvio::MemoryStream stream(file.data(), int(file.size()), talvio::MemoryStream::Borrowed);
    talvio::WavReader reader;
    if (reader.open(&stream, false) != 1) return;
    TALVIO_FUZZ_CHECK(reader.dataSize() <= file.size());
    talvio::WavDescription description;
    reader.describe(&description);
    TALVIO_FUZZ_CHECK(description.samplesPerSecond > 0);
    const Bytes first = Drain(reader, sizes, sizeCount);
    reader.seek(0, 1);
    TALVIO_FUZZ_CHECK(Drain(reader, sizes, sizeCount) == first);
    reader.seek(sizeCount ? sizes[0] : 1, 255);
    Drain(reader, nullptr, 0);
}

}  // namespace

TALVIO_FUZZ_TARGET(wav_reader) {
    const std::size_t sizeCount = size < 4 ? size : 4;
    Exercise(Bytes(data, data + size), data, sizeCount);
    Exercise(Wrapped(data, size), data, sizeCount);
    return 0;
}
