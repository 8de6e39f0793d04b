// The program's own sounds, synthesised: the built-in WAVE resources and
// the ring tones of the waves folder, all 8000 Hz mono 16-bit PCM. Used at
// build time by tonegen and by tests that need the real sounds.
#pragma once

#include <cstdint>
#include <vector>

namespace talvio::tonegen {

inline constexpr int kSampleRate = 8000;
inline constexpr int kRingToneCount = 17;

// Every built-in resource id, in ascending order.
const std::vector<int>& SoundIds();

// Samples of resource `id`; empty for an unknown id.
std::vector<std::int16_t> Sound(int id);
// Samples of ring tone `index` (0-16); empty outside.
std::vector<std::int16_t> RingTone(int index);

// The two DTMF frequencies of a key tone resource (133-142, 144, 146);
// false for other ids.
bool DtmfPair(int id, int* lowHz, int* highHz);

// A RIFF/WAVE file: "fmt " (16 bytes, PCM) and "data".
std::vector<unsigned char> WaveFile(const std::vector<std::int16_t>& samples);

}  // namespace talvio::tonegen
