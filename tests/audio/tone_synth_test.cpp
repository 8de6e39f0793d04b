#include "tools/tonegen/tone_synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "audio/wav_reader.h"

namespace talvio {
namespace {

using tonegen::kSampleRate;

// Relative power of one frequency in the samples (Goertzel).
double Power(const std::vector<std::int16_t>& samples, double hz) {
    const double w = 2 * 3.14159265358979323846 * hz / kSampleRate;
    const double coefficient = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::int16_t sample : samples) {
        const double s0 = sample / 32768.0 + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / double(samples.size() * samples.size());
}

void ExpectPresence(const std::vector<std::int16_t>& samples, int hz, bool present, int id) {
    if (present) {
        EXPECT_GT(Power(samples, hz), 0.02) << id << " " << hz;
    } else {
        EXPECT_LT(Power(samples, hz), 0.002) << id << " " << hz;
    }
}

TEST(ToneSynth, EachKeyToneHoldsItsTwoDtmfFrequenciesAndNoOthers) {
    const int rows[] = {697, 770, 852, 941};
    const int columns[] = {1209, 1336, 1477, 1633};
    std::set<std::pair<int, int>> pairs;
    for (int id : {133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 144, 146}) {
        int low = 0, high = 0;
        ASSERT_TRUE(tonegen::DtmfPair(id, &low, &high));
        pairs.insert({low, high});
        const auto samples = tonegen::Sound(id);
        for (int hz : rows) ExpectPresence(samples, hz, hz == low, id);
        for (int hz : columns) ExpectPresence(samples, hz, hz == high, id);
    }
    EXPECT_EQ(pairs.size(), 12u);  // no two keys share a pair
    int low = 0, high = 0;
    ASSERT_TRUE(tonegen::DtmfPair(133, &low, &high));  // 0 is the 941/1336 key
    EXPECT_EQ(low, 941);
    EXPECT_EQ(high, 1336);
    ASSERT_TRUE(tonegen::DtmfPair(134, &low, &high));  // 1
    EXPECT_EQ(low * 10000 + high, 697 * 10000 + 1209);
    EXPECT_FALSE(tonegen::DtmfPair(147, &low, &high));
}

TEST(ToneSynth, SoundsHaveTheirLengthsAndFadeInAndOut) {
    for (int id : tonegen::SoundIds()) {
        const auto samples = tonegen::Sound(id);
        const double seconds = double(samples.size()) / kSampleRate;
        ASSERT_FALSE(samples.empty()) << id;
        int low = 0, high = 0;
        if (tonegen::DtmfPair(id, &low, &high)) {
            EXPECT_NEAR(seconds, 0.080, 0.0005) << id;
        }
        EXPECT_GE(seconds, 0.05) << id;
        EXPECT_LE(seconds, 7.0) << id;
        // No click: the first and last samples are near silence.
        EXPECT_LT(std::abs(samples.front()), 1500) << id;
        EXPECT_LT(std::abs(samples.back()), 1500) << id;
    }
    EXPECT_EQ(tonegen::Sound(147).size(), 672u);    // 84 ms
    EXPECT_EQ(tonegen::Sound(2132).size(), 38000u);  // 4.75 s
    EXPECT_TRUE(tonegen::Sound(150).empty());
}

TEST(ToneSynth, RingTonesAreDistinctTonalAndReadableWaves) {
    std::set<std::vector<std::int16_t>> seen;
    for (int i = 0; i < tonegen::kRingToneCount; ++i) {
        const auto samples = tonegen::RingTone(i);
        ASSERT_GT(samples.size(), std::size_t(kSampleRate)) << i;
        EXPECT_TRUE(seen.insert(samples).second) << i;
        // Tonal, not noise: neighbouring samples are strongly correlated.
        double same = 0, energy = 0;
        for (std::size_t n = 1; n < samples.size(); ++n) {
            same += double(samples[n]) * samples[n - 1];
            energy += double(samples[n]) * samples[n];
        }
        EXPECT_GT(same / energy, 0.5) << i;
        const auto file = tonegen::WaveFile(samples);
        MemoryStream stream(file.data(), int(file.size()), MemoryStream::Borrowed);
        WavReader reader;
        ASSERT_EQ(reader.open(&stream, false), 1);
        EXPECT_EQ(reader.dataSize(), samples.size() * 2);
        EXPECT_EQ(reader.format().samplesPerSecond, 8000u);
        EXPECT_EQ(reader.format().channels, 1);
    }
    EXPECT_TRUE(tonegen::RingTone(17).empty());
}

}  // namespace
}  // namespace talvio
