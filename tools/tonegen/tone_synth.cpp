#include "tools/tonegen/tone_synth.h"

#include <algorithm>
#include <cmath>

namespace talvio::tonegen {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Samples(double seconds) { return int(std::lround(seconds * kSampleRate)); }

// Raised-cosine fade in and out, so a tone starts and stops without a click.
double Fade(int i, int length, int fade) {
    if (fade <= 0) return 1.0;
    const int edge = std::min(i, length - 1 - i);
    if (edge >= fade) return 1.0;
    return 0.5 - 0.5 * std::cos(kPi * (edge + 0.5) / fade);
}

std::vector<std::int16_t> Quantise(const std::vector<double>& signal) {
    std::vector<std::int16_t> out(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i)
        out[i] = std::int16_t(std::lround(std::clamp(signal[i], -1.0, 1.0) * 32767.0));
    return out;
}

std::vector<std::int16_t> DualTone(double lowHz, double highHz, double seconds) {
    const int length = Samples(seconds);
    const int fade = Samples(0.005);
    std::vector<double> signal(std::size_t(length), 0.0);
    for (int i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        signal[std::size_t(i)] =
            Fade(i, length, fade) *
            (0.35 * std::sin(2 * kPi * lowHz * t) + 0.35 * std::sin(2 * kPi * highHz * t));
    }
    return Quantise(signal);
}

double NoteHz(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// A struck note: quick attack, exponential decay, a few soft harmonics.
void AddNote(std::vector<double>& signal, double startSeconds, double seconds, double hz,
             double level, double brightness) {
    const int start = Samples(startSeconds);
    const int length = Samples(seconds);
    const int attack = Samples(0.004);
    for (int i = 0; i < length && start + i < int(signal.size()); ++i) {
        const double t = double(i) / kSampleRate;
        const double envelope = std::min(1.0, double(i) / attack) *
                                std::exp(-t * 3.0 / seconds) * Fade(i, length, Samples(0.01));
        double value = std::sin(2 * kPi * hz * t);
        // Harmonics only while they stay under half the sample rate.
        if (2 * hz < kSampleRate / 2) value += brightness * 0.5 * std::sin(2 * kPi * 2 * hz * t);
        if (3 * hz < kSampleRate / 2) value += brightness * 0.25 * std::sin(2 * kPi * 3 * hz * t);
        signal[std::size_t(start + i)] += level * envelope * value;
    }
}

struct Phrase {
    std::vector<int> notes;  // semitones from A4, one per step
    double step;             // seconds per note
    double length;           // seconds in all, silence after the notes
    double brightness;
};

std::vector<std::int16_t> Play(const Phrase& phrase, int repeats) {
    std::vector<double> signal(std::size_t(Samples(phrase.length)), 0.0);
    const double span = phrase.length / repeats;
    for (int r = 0; r < repeats; ++r)
        for (std::size_t n = 0; n < phrase.notes.size(); ++n)
            AddNote(signal, r * span + double(n) * phrase.step, phrase.step * 1.8,
                    NoteHz(phrase.notes[n]), 0.3, phrase.brightness);
    // Notes still sounding at the end are faded, not cut.
    const int length = int(signal.size());
    const int fade = std::min(length / 2, Samples(0.02));
    for (int i = length - fade; i < length; ++i) signal[std::size_t(i)] *= Fade(i, length, fade);
    return Quantise(signal);
}

// Further sounds nothing plays by id: chimes of growing length.
Phrase FurtherSound(int id) {
    switch (id) {
    case 132: return {{12}, 0.05, 0.05, 0.2};
    case 143: return {{7, 12}, 0.12, 0.3, 0.3};
    case 145: return {{12, 7, 3}, 0.15, 0.5, 0.3};
    case 148: return {{0, 4, 7, 12}, 0.2, 1.0, 0.4};
    case 149: return {{12, 7, 4, 0, 7}, 0.3, 2.0, 0.4};
    case 152: return {{0, 7, 12, 16, 12, 7}, 0.4, 3.0, 0.3};
    case 2099: return {{0, 4, 7, 12, 7, 4, 0, 5, 9, 12, 9, 5, 0}, 0.5, 7.0, 0.3};
    default: return {{}, 0, 0, 0};
    }
}

}  // namespace

const std::vector<int>& SoundIds() {
    static const std::vector<int> ids = {132, 133, 134, 135, 136, 137, 138, 139, 140, 141,
                                         142, 143, 144, 145, 146, 147, 148, 149, 152, 2099, 2132};
    return ids;
}

bool DtmfPair(int id, int* lowHz, int* highHz) {
    static constexpr int kRows[] = {697, 770, 852, 941};
    static constexpr int kColumns[] = {1209, 1336, 1477};
    int row = -1, column = -1;
    if (id == 133) {  // 0
        row = 3;
        column = 1;
    } else if (id >= 134 && id <= 142) {  // 1-9
        row = (id - 134) / 3;
        column = (id - 134) % 3;
    } else if (id == 146) {  // *
        row = 3;
        column = 0;
    } else if (id == 144) {  // #
        row = 3;
        column = 2;
    } else {
        return false;
    }
    *lowHz = kRows[row];
    *highHz = kColumns[column];
    return true;
}

std::vector<std::int16_t> Sound(int id) {
    int low = 0, high = 0;
    if (DtmfPair(id, &low, &high)) return DualTone(low, high, 0.080);
    if (id == 147) {
        std::vector<double> signal(std::size_t(Samples(0.084)), 0.0);
        AddNote(signal, 0.0, 0.084, 1318.5, 0.6, 0.0);
        return Quantise(signal);
    }
    if (id == 2132) return Play({{3, 7, 10, 15, 10, 7, 3, -2}, 0.3, 4.75, 0.35}, 2);
    const Phrase further = FurtherSound(id);
    if (further.notes.empty()) return {};
    return Play(further, 1);
}

std::vector<std::int16_t> RingTone(int index) {
    if (index < 0 || index >= kRingToneCount) return {};
    // Pentatonic motifs, each ring its own motif, key, tempo and timbre, so
    // no two sound alike and none is dissonant.
    static const std::vector<int> kMotifs[] = {
        {0, 4, 7, 12},   {12, 7, 4, 0},     {0, 7, 4, 9, 12}, {9, 7, 4, 2, 0},
        {0, 12, 0, 12},  {4, 7, 9, 7, 4},   {0, 2, 4, 7, 9},  {12, 9, 12, 7},
        {0, 4, 0, 7},    {7, 9, 12, 16},    {0, 9, 7, 4, 2},  {2, 4, 9, 12},
        {12, 7, 9, 4, 7, 0}, {0, 0, 7, 7},  {4, 2, 0, 2, 4, 4}, {0, 16, 12, 7},
        {9, 12, 16, 12, 9}};
    const std::vector<int>& motif = kMotifs[index];
    const int key = -9 + (index * 5) % 12;  // from C4 upward in fourths
    Phrase phrase;
    for (int note : motif) phrase.notes.push_back(key + note);
    phrase.step = 0.11 + 0.01 * (index % 5);
    phrase.brightness = 0.1 + 0.05 * (index % 7);
    phrase.length = 3.0;
    return Play(phrase, 2);
}

std::vector<unsigned char> WaveFile(const std::vector<std::int16_t>& samples) {
    std::vector<unsigned char> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back((unsigned char)(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back((unsigned char)(v & 0xff));
        out.push_back((unsigned char)(v >> 8));
    };
    auto tag = [&](const char* id) {
        for (int i = 0; i < 4; ++i) out.push_back((unsigned char)id[i]);
    };
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    out.reserve(44 + dataBytes);
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(kSampleRate);
    u32(kSampleRate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(dataBytes);
    for (std::int16_t s : samples) u16(std::uint16_t(s));
    return out;
}

}  // namespace talvio::tonegen
