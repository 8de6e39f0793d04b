#include "audio/wav_reader.h"

#include <gtest/gtest.h>

#include "tests/audio/support/wav_builder.h"

namespace talvio {
namespace {

using testing::WavBuilder;
using Bytes = std::vector<unsigned char>;

Bytes Ramp(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) out.push_back(std::uint8_t(i * 7 + 3));
    return out;
}

// Everything the reader delivers, read `piece` bytes at a time.
Bytes ReadAll(WavReader& reader, int piece) {
    Bytes out;
    std::vector<unsigned char> buffer(std::size_t(piece) + 8, 0xEE);
    for (;;) {
        int length = piece;
        if (reader.read(buffer.data(), &length) == 0) {
            EXPECT_EQ(length, 0);
            break;
        }
        EXPECT_LE(length, piece);
        out.insert(out.end(), buffer.begin(), buffer.begin() + length);
    }
    return out;
}

std::vector<std::int16_t> Samples(const Bytes& bytes) {
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(std::int16_t(bytes[i] | bytes[i + 1] << 8));
    return out;
}

TEST(WavReader, SixteenBitPcmPassesThroughWithItsDescription) {
    const Bytes data = Ramp(8820);
    const Bytes file = WavBuilder().Format(1, 2, 44100, 16).Data(data).Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    WavDescription d;
    reader.describe(&d);
    EXPECT_EQ(d.durationSeconds, 8820u / 176400 + 1);
    EXPECT_EQ(d.kiloBytesPerSecond, 176u);
    EXPECT_EQ(d.samplesPerSecond, 44100u);
    EXPECT_EQ(d.stereo, 1u);
    EXPECT_EQ(d.sixteenBit, 1u);
    EXPECT_EQ(d.pcm, 1u);
    EXPECT_EQ(ReadAll(reader, 1000), data);
}

TEST(WavReader, EightBitUnsignedWidensEverySampleIncludingTheLast) {
    Bytes data;
    for (int v = 0; v < 256; ++v) data.push_back(std::uint8_t(v));
    const Bytes file = WavBuilder().Format(1, 1, 8000, 8).Data(data).Bytes();
    // Odd request sizes: each read widens a few bytes, its last one included.
    for (int piece : {2, 7, 64, 1000}) {
        MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
        WavReader reader;
        ASSERT_EQ(reader.open(&stream, false), 1);
        const auto samples = Samples(ReadAll(reader, piece));
        ASSERT_EQ(samples.size(), 256u) << piece;
        for (int v = 0; v < 256; ++v)
            EXPECT_EQ(samples[std::size_t(v)], (v * 32767 + 127) / 255) << v << " piece " << piece;
        EXPECT_EQ(samples.front(), 0);
        EXPECT_EQ(samples.back(), 32767);
    }
}

TEST(WavReader, G711ExpansionFollowsTheStandardExceptMuLawZero) {
    EXPECT_EQ(ExpandMuLaw(0x00), 0);  // the standard gives -32124
    EXPECT_EQ(ExpandMuLaw(0x80), 32124);
    EXPECT_EQ(ExpandMuLaw(0xFF), 0);
    EXPECT_EQ(ExpandMuLaw(0x7F), 0);
    EXPECT_EQ(ExpandMuLaw(0x01), -31100);
    EXPECT_EQ(ExpandALaw(0xD5), 8);
    EXPECT_EQ(ExpandALaw(0x55), -8);
    EXPECT_EQ(ExpandALaw(0xAA), 32256);
    EXPECT_EQ(ExpandALaw(0x2A), -32256);
    // Both laws are odd-symmetric around their sign bit.
    for (int code = 0; code < 128; ++code) {
        EXPECT_EQ(ExpandALaw(std::uint8_t(code)), -ExpandALaw(std::uint8_t(code | 0x80)));
        if (code != 0) {
            EXPECT_EQ(ExpandMuLaw(std::uint8_t(code)), -ExpandMuLaw(std::uint8_t(code | 0x80)));
        }
    }
}

TEST(WavReader, MuLawZeroBytesPlayAsSilence) {
    const Bytes file = WavBuilder().Format(7, 1, 8000, 8).Data({0x00, 0x80, 0x00, 0x00}).Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    EXPECT_EQ(Samples(ReadAll(reader, 16)), (std::vector<std::int16_t>{0, 32124, 0, 0}));
}

TEST(WavReader, ALawWidensToSixteenBit) {
    const Bytes file = WavBuilder().Format(6, 1, 8000, 8).Data({0xD5, 0x55, 0xAA}).Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    EXPECT_EQ(Samples(ReadAll(reader, 4)), (std::vector<std::int16_t>{8, -8, 32256}));
}

TEST(WavReader, ChunksAroundTheDataAreNotPlayed) {
    const Bytes data = Ramp(100);
    const Bytes file = WavBuilder()
                           .Format(1, 1, 8000, 16)
                           .Chunk("fact", {1, 2, 3})  // odd size: padded
                           .Data(data)
                           .Chunk("LIST", Bytes(40, 0x77))
                           .Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    EXPECT_EQ(reader.dataSize(), 100u);
    EXPECT_EQ(ReadAll(reader, 33), data);
}

TEST(WavReader, DataAheadOfTheFormatIsNotCounted) {
    const Bytes early(50, 0x11), data = Ramp(20);
    const Bytes file = WavBuilder()
                           .Data(early)
                           .Format(1, 1, 8000, 16)
                           .Data(data)
                           .Chunk("LIST", Bytes(64, 0x77))
                           .Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    EXPECT_EQ(ReadAll(reader, 64), data);
}

TEST(WavReader, AHeaderClaimingMoreThanTheFileHoldsReadsOnlyWhatIsThere) {
    Bytes file = WavBuilder().Format(1, 1, 8000, 16).Data(Ramp(40)).Bytes();
    // Claim 4000 bytes of data.
    file[file.size() - 44] = 0xA0;
    file[file.size() - 43] = 0x0F;
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    EXPECT_EQ(reader.dataSize(), 40u);
    EXPECT_EQ(ReadAll(reader, 1000), Ramp(40));
}

TEST(WavReader, RefusesWhatIsNoUsableWave) {
    const Bytes pcm = Ramp(16);
    Bytes notRiff = WavBuilder().Format(1, 1, 8000, 16).Data(pcm).Bytes();
    notRiff[0] = 'X';
    Bytes notWave = WavBuilder().Format(1, 1, 8000, 16).Data(pcm).Bytes();
    notWave[8] = 'X';
    Bytes zeroRate = WavBuilder().Format(1, 1, 0, 16).Data(pcm).Bytes();
    const std::vector<Bytes> refused = {
        {},
        Bytes{'R', 'I', 'F', 'F'},
        notRiff,
        notWave,
        zeroRate,
        WavBuilder().Data(pcm).Bytes(),                              // no format
        WavBuilder().Chunk("fmt ", Bytes(12, 1)).Data(pcm).Bytes(),  // format too short
        WavBuilder().Format(3, 1, 8000, 32).Data(pcm).Bytes(),       // float
        WavBuilder().Format(1, 1, 8000, 24).Data(pcm).Bytes(),
        WavBuilder().Format(6, 1, 8000, 16).Data(pcm).Bytes(),  // A-law is 8-bit
        WavBuilder().Format(1, 3, 8000, 16).Data(pcm).Bytes(),
        WavBuilder().Format(2, 1, 8000, 4).Data(pcm).Bytes(),  // ADPCM
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        MemoryStream stream(refused[i].data(), int(refused[i].size()), MemoryStream::Borrowed);
        WavReader reader;
        EXPECT_EQ(reader.open(&stream, false), 0) << i;
    }
}

TEST(WavReader, SeekRewindsAndKeepsSixteenBitOffsetsEven) {
    const Bytes data = Ramp(102);
    const Bytes file = WavBuilder().Format(1, 1, 8000, 16).Data(data).Bytes();
    MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
    WavReader reader;
    ASSERT_EQ(reader.open(&stream, false), 1);
    ReadAll(reader, 64);
    reader.seek(0, 1);
    EXPECT_EQ(ReadAll(reader, 64), data);
    reader.seek(1, 2);  // 51 bytes in: made even
    EXPECT_EQ(ReadAll(reader, 64), Bytes(data.begin() + 52, data.end()));
    reader.seek(1, 0);  // no denominator: ignored, still at the end
    int length = 10;
    unsigned char buffer[10];
    EXPECT_EQ(reader.read(buffer, &length), 0);
}

TEST(WavReader, PositionCountsSecondsDeliveredAndAnOwnedStreamIsFreed) {
    const Bytes file = WavBuilder().Format(1, 1, 8000, 16).Data(Bytes(40000, 0)).Bytes();
    auto* stream = new MemoryStream(file.data(), int(file.size()), MemoryStream::Copied);
    WavReader reader;
    ASSERT_EQ(reader.open(stream, true), 1);
    std::vector<unsigned char> buffer(32000);
    int length = 32000;
    reader.read(buffer.data(), &length);
    EXPECT_EQ(reader.position(), 2u);
    // Re-opening frees the owned stream (checked by the sanitiser builds).
    MemoryStream second(file.data(), int(file.size()), MemoryStream::Borrowed);
    EXPECT_EQ(reader.open(&second, false), 1);
    EXPECT_EQ(reader.position(), 0u);
}

}  // namespace
}  // namespace talvio
