#include "audio/mixer_volume.h"

#include <gtest/gtest.h>

#include "tests/audio/support/fake_audio_ports.h"

namespace talvio {
namespace {

using testing::FakeMixer;

TEST(MixerVolume, WithoutAUsbMixerMixerZeroIsOpenedAndUsed) {
    FakeMixer port({{L"Realtek Mixer"}, {L"Line Mixer"}});
    MixerVolume mixer(port);
    EXPECT_EQ(mixer.getVolume(true), 32768u);  // not open yet
    EXPECT_EQ(mixer.selectUsb(), kMmNoError);
    EXPECT_EQ(port.Opens(), std::vector<unsigned>{0});
    EXPECT_EQ(mixer.deviceCount(), 2u);
    EXPECT_EQ(mixer.getVolume(true), 20000u);
    EXPECT_EQ(mixer.setVolume(true, 40000), 1);
    EXPECT_EQ(port.Volume(0, true), 40000u);
    EXPECT_EQ(mixer.getVolume(false), 10000u);
}

TEST(MixerVolume, TheFirstUsbMixerIsChosen) {
    FakeMixer port({{L"Realtek Mixer"}, {L"USB Audio Device"}, {L"USB Headset"}});
    MixerVolume mixer(port);
    mixer.selectUsb();
    EXPECT_EQ(port.Opens(), std::vector<unsigned>{1});
    mixer.setVolume(false, 1234);
    EXPECT_EQ(port.Volume(1, false), 1234u);
    EXPECT_EQ(port.Volume(0, false), 10000u);
    mixer.close();
    EXPECT_FALSE(mixer.isOpen());
    EXPECT_EQ(mixer.deviceCount(), 0u);
}

TEST(MixerVolume, NoMixerAtAllReadsTheMidpoint) {
    FakeMixer port;
    MixerVolume mixer(port);
    EXPECT_NE(mixer.selectUsb(), kMmNoError);
    EXPECT_FALSE(mixer.isOpen());
    EXPECT_EQ(mixer.getVolume(true), 32768u);
    EXPECT_EQ(mixer.getVolume(false), 32768u);
    EXPECT_EQ(mixer.setVolume(true, 5), 1);
    EXPECT_TRUE(port.Sets().empty());
}

TEST(MixerVolume, AMissingMicrophoneLineReadsTheMidpointAndIgnoresSets) {
    FakeMixer::Device handset{L"USB Audio Device"};
    handset.microphone = false;
    FakeMixer port({handset});
    MixerVolume mixer(port);
    mixer.selectUsb();
    EXPECT_EQ(mixer.getVolume(false), 32768u);
    EXPECT_EQ(mixer.setVolume(false, 777), 1);
    EXPECT_TRUE(port.Sets().empty());
    EXPECT_EQ(mixer.getVolume(true), 20000u);
}

}  // namespace
}  // namespace talvio
