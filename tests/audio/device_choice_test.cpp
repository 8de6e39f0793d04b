#include "audio/device_choice.h"

#include <gtest/gtest.h>

#include "tests/audio/support/fake_audio_ports.h"

namespace talvio {
namespace {

class Names final : public DeviceNames {
public:
    explicit Names(std::vector<std::wstring> names) : names_(std::move(names)) {}
    unsigned count() override { return unsigned(names_.size()); }
    bool name(unsigned id, std::wstring* name) override {
        if (id >= names_.size()) return false;
        *name = names_[id];
        return true;
    }

private:
    std::vector<std::wstring> names_;
};

TEST(DeviceChoice, UsbNameScores) {
    EXPECT_EQ(IsUsbAudioName(L"usb audio device"), 3);
    EXPECT_EQ(IsUsbAudioName(LowerName(L"USB Audio Device")), 3);
    EXPECT_EQ(IsUsbAudioName(L"2- usb audio device"), 2);
    EXPECT_EQ(IsUsbAudioName(L"usb headset"), 1);
    EXPECT_EQ(IsUsbAudioName(L"realtek hd audio"), 0);
    EXPECT_EQ(IsUsbAudioName(L""), 0);
    EXPECT_EQ(LowerName(L"Speakers (USB)"), L"speakers (usb)");
}

TEST(DeviceChoice, ThePlayerFindsTheHandsetBehindTheOnboardCard) {
    testing::FakeWaveOut waveOut({L"Realtek HD Audio", L"USB Audio Device"});
    EXPECT_EQ(FindUsbWaveOut(waveOut), 1);
    testing::FakeWaveOut onboardOnly({L"Realtek HD Audio"});
    EXPECT_EQ(FindUsbWaveOut(onboardOnly), -1);
}

TEST(DeviceChoice, ConnectorsGetDeviceZeroUnlessALaterDevicePasses) {
    Names both({L"USB Speakers", L"USB Audio Device", L"USB Other"});
    ChosenDevice chosen = ChooseForConnectors(both);
    EXPECT_TRUE(chosen.found);
    EXPECT_EQ(chosen.id, 1u);  // device 0 is not itself tested
    EXPECT_EQ(chosen.name, L"USB Audio Device");
    Names onboard({L"Realtek HD Audio", L"Modem"});
    chosen = ChooseForConnectors(onboard);
    EXPECT_TRUE(chosen.found);
    EXPECT_EQ(chosen.id, 0u);
    EXPECT_EQ(chosen.name, L"Realtek HD Audio");
    Names none({});
    EXPECT_FALSE(ChooseForConnectors(none).found);
}

TEST(DeviceChoice, TheSetterGetsTheHandsetOrTheFirstRealCard) {
    Names devices({L"Virtual Cable", L"Realtek HD Audio", L"USB Audio Device"});
    EXPECT_EQ(ChooseForSetter(devices, true), L"USB Audio Device");
    EXPECT_EQ(ChooseForSetter(devices, false), L"Realtek HD Audio");
    Names onlyVirtual({L"Virtual Cable", L"USB Audio Device"});
    EXPECT_EQ(ChooseForSetter(onlyVirtual, false), L"");
    Names usbVirtual({L"Realtek", L"USB Virtual Audio"});
    EXPECT_EQ(ChooseForSetter(usbVirtual, true), L"USB Virtual Audio");
    Names empty({});
    EXPECT_EQ(ChooseForSetter(empty, true), L"");
}

}  // namespace
}  // namespace talvio
