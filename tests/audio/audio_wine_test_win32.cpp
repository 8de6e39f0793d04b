// Under Wine, on the real winmm and kernel32: the built-in sounds come from
// the executable's WAVE resources, and the player plays a key tone through
// Wine's wave-out when a device exists and ends quietly, its completion
// still called, when none does.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>

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
    SoundPlayer player(*ports.waveOut, *ports.resources);
    player.selectUsbDevice();
    ASSERT_NE(player.openResource(135), nullptr);
    Completion done;
    const std::uint32_t start = os::GetTickCount();
    player.play(&done, false);
    for (int i = 0; i < 300 && player.isPlaying(); ++i) os::Sleep(10);
    const std::uint32_t elapsed = os::GetTickCount() - start;
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(done.calls.load(), 1);
    if (ports.waveOut->deviceCount() > 0) {
        // Played: the 80 ms tone, then the 60 ms poll that sees it done.
        EXPECT_GE(elapsed, 70u);
        std::wstring name;
        EXPECT_TRUE(ports.waveOut->deviceName(0, &name));
    } else {
        // Three open tries 20 ms apart, nothing played.
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
