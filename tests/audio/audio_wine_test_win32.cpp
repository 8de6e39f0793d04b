// Under Wine, on the real winmm and kernel32: the built-in sounds come from
// the executable's WAVE resources, and the player plays a key tone through
// Wine's wave-out when a device exists and ends quietly, its completion
// still called, when none does.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/audio_ports.h"
#include "audio/mixer_volume.h"
#include "audio/sound_player.h"
#include "platform/platform.h"
#include "tools/tonegen/tone_synth.h"

namespace talvio {
namespace {

class Completion final : public SoundCompletion {
public:
    void finished(SoundPlayer*) override { calls.fetch_add(1); }
    std::atomic<int> calls{0};
};

// Forwards to the real wave-out and keeps the results the player got.
class RecordingWaveOut final : public WaveOut {
public:
    explicit RecordingWaveOut(WaveOut& real) : real_(real) {}
    unsigned deviceCount() override { return real_.deviceCount(); }
    bool deviceName(unsigned id, std::wstring* name) override { return real_.deviceName(id, name); }
    unsigned open(Device* device, unsigned id, const WaveFormat& format) override {
        const unsigned result = real_.open(device, id, format);
        if (result == kMmNoError) ++opened;
        return result;
    }
    unsigned prepare(Device device, WaveHeader* header) override {
        return real_.prepare(device, header);
    }
    unsigned unprepare(Device device, WaveHeader* header) override {
        return real_.unprepare(device, header);
    }
    unsigned write(Device device, WaveHeader* header) override {
        const unsigned result = real_.write(device, header);
        if (result == kMmNoError) {
            ++written;
            writtenBytes += header->length;
        }
        return result;
    }
    std::uint32_t status(Device device, const WaveHeader* header) override {
        const std::uint32_t flags = real_.status(device, header);
        if (flags & kHeaderDone) sawDone = true;
        return flags;
    }
    unsigned reset(Device device) override { return real_.reset(device); }
    unsigned close(Device device) override {
        const unsigned result = real_.close(device);
        if (result == kMmNoError) ++closed;
        return result;
    }

    std::atomic<int> opened{0}, written{0}, closed{0};
    std::atomic<std::uint32_t> writtenBytes{0};
    std::atomic<bool> sawDone{false};

private:
    WaveOut& real_;
};

TEST(AudioWine, TheBuiltInSoundsAreWaveResources) {
    WaveResources& resources = *SystemAudioPorts().resources;
    for (int id : tonegen::SoundIds()) {
        const void* data = nullptr;
        int size = 0;
        ASSERT_TRUE(resources.find(id, &data, &size)) << id;
        const auto expected = tonegen::WaveFile(tonegen::Sound(id));
        ASSERT_EQ(std::size_t(size), expected.size()) << id;
        EXPECT_EQ(std::memcmp(data, expected.data(), expected.size()), 0) << id;
    }
    const void* data = nullptr;
    int size = 0;
    EXPECT_FALSE(resources.find(150, &data, &size));
}

TEST(AudioWine, AKeyTonePlaysOnTheDeviceOrEndsQuietlyWithoutOne) {
    AudioPorts ports = SystemAudioPorts();
    RecordingWaveOut waveOut(*ports.waveOut);
    auto playerOwner = std::make_unique<SoundPlayer>(waveOut, *ports.resources);
    SoundPlayer& player = *playerOwner;
    player.selectUsbDevice();
    ASSERT_NE(player.openResource(135), nullptr);
    Completion done;
    const std::uint32_t start = os::GetTickCount();
    player.play(&done, false);
    for (int i = 0; i < 300 && player.isPlaying(); ++i) os::Sleep(10);
    const std::uint32_t elapsed = os::GetTickCount() - start;
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(done.calls.load(), 1);
    if (waveOut.deviceCount() > 0) {
        // One buffer of the 80 ms tone went to the device and came back done.
        EXPECT_EQ(waveOut.opened.load(), 1);
        EXPECT_EQ(waveOut.written.load(), 1);
        EXPECT_EQ(waveOut.writtenBytes.load(), 1280u);
        EXPECT_TRUE(waveOut.sawDone.load());
        playerOwner.reset();
        EXPECT_EQ(waveOut.closed.load(), 1);
    } else {
        // Three open tries 20 ms apart, nothing played.
        EXPECT_EQ(waveOut.written.load(), 0);
        EXPECT_LT(elapsed, 1000u);
    }
    std::printf("wave-out devices: %u, key tone run: %u ms\n", ports.waveOut->deviceCount(), elapsed);
}

TEST(AudioWine, MixerVolumeReadsAValueOrTheMidpoint) {
    AudioPorts ports = SystemAudioPorts();
    MixerVolume mixer(*ports.mixer);
    mixer.selectUsb();
    const unsigned speaker = mixer.getVolume(true);
    if (!mixer.isOpen()) {
        EXPECT_EQ(speaker, 32768u);
    }
    EXPECT_LE(speaker, 65535u);
    EXPECT_EQ(mixer.setVolume(true, speaker), 1);
    std::printf("mixers: %u, speaker volume %u\n", ports.mixer->deviceCount(), speaker);
}

TEST(AudioWine, TheWindowsVersionIsKnown) {
    EXPECT_GE(SystemAudioPorts().osVersion->majorVersion(), 5u);
}

}  // namespace
}  // namespace talvio
