// Decoder throughput per format (counter "x_realtime": how many times
// faster than 44.1 kHz stereo plays), and the CPU the player spends while
// a streamed 44.1 kHz stereo ring loops on the fake device for a minute of
// virtual time (counter "core_share": process CPU seconds per second
// played, the hosted desktop's own clock work included, so an upper bound).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

#include "audio/sound_player.h"
#include "audio/wav_reader.h"
#include "bench/bench_goals.h"
#include "platform/hosted/desktop.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/audio/support/wav_builder.h"

namespace {

using talvio::testing::WavBuilder;
using Bytes = std::vector<unsigned char>;

constexpr int kSeconds = 10;
constexpr double kRealTimeBytesPerSecond = 44100.0 * 4;  // 16-bit stereo output

Bytes TenSeconds(std::uint16_t tag, std::uint16_t bits) {
    const std::size_t bytes = std::size_t(44100) * 2 * (bits / 8) * kSeconds;
    Bytes samples(bytes);
    for (std::size_t i = 0; i < bytes; ++i) samples[i] = std::uint8_t(i * 31 + (i >> 9));
    return WavBuilder().Format(tag, 2, 44100, bits).Data(samples).Bytes();
}

void Decode(benchmark::State& state, std::uint16_t tag, std::uint16_t bits) {
    const Bytes file = TenSeconds(tag, bits);
    std::vector<unsigned char> buffer(8820);
    std::size_t produced = 0;
    for (auto _ : state) {
        talvio::MemoryStream stream(file.data(), int(file.size()), talvio::MemoryStream::Borrowed);
        talvio::WavReader reader;
        reader.open(&stream, false);
        for (;;) {
            int length = int(buffer.size());
            if (reader.read(buffer.data(), &length) == 0) break;
            produced += std::size_t(length);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(std::int64_t(produced));
    state.counters["x_realtime"] = benchmark::Counter(double(produced) / kRealTimeBytesPerSecond,
                                                      benchmark::Counter::kIsRate);
}

void BM_DecodePcm16(benchmark::State& state) { Decode(state, 1, 16); }
void BM_DecodeALaw(benchmark::State& state) { Decode(state, 6, 8); }
void BM_DecodeMuLaw(benchmark::State& state) { Decode(state, 7, 8); }
void BM_DecodePcm8(benchmark::State& state) { Decode(state, 1, 8); }
BENCHMARK(BM_DecodePcm16);
BENCHMARK(BM_DecodeALaw);
BENCHMARK(BM_DecodeMuLaw);
BENCHMARK(BM_DecodePcm8);

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_LoopingStreamedRing(benchmark::State& state) {
    constexpr std::uint32_t kVirtualMs = 60000;
    double cpu = 0, played = 0;
    for (auto _ : state) {
        os::hosted::Reset();
        talvio::testing::FakeWaveOut waveOut({L"USB Audio Device"});
        talvio::testing::FakeResources resources;
        resources.sounds[1] = TenSeconds(1, 16);
        auto player = std::make_unique<talvio::SoundPlayer>(waveOut, resources);
        player->selectUsbDevice();
        player->openResource(1);
        const double before = CpuSeconds();
        player->play(nullptr, true);
        os::hosted::AdvanceTime(kVirtualMs);
        player->stop();
        cpu += CpuSeconds() - before;
        played += kVirtualMs / 1000.0;
        player.reset();
        os::hosted::Reset();
    }
    state.counters["core_share"] = cpu / played;
}
BENCHMARK(BM_LoopingStreamedRing)->Iterations(3)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool kGoals = talvio::bench::AddGoals({
    {.benchmark = "BM_DecodePcm16", .figure = "decode_pcm16_speed", .unit = "x_realtime",
     .counter = "x_realtime", .atLeast = 100},
    {.benchmark = "BM_DecodeALaw", .figure = "decode_alaw_speed", .unit = "x_realtime",
     .counter = "x_realtime", .atLeast = 100},
    {.benchmark = "BM_DecodeMuLaw", .figure = "decode_mulaw_speed", .unit = "x_realtime",
     .counter = "x_realtime", .atLeast = 100},
    {.benchmark = "BM_DecodePcm8", .figure = "decode_pcm8_speed", .unit = "x_realtime",
     .counter = "x_realtime", .atLeast = 100},
    {.benchmark = "BM_LoopingStreamedRing", .figure = "ring_loop_cpu", .unit = "%core", .scale = 100,
     .counter = "core_share", .below = 1},
});

}  // namespace
