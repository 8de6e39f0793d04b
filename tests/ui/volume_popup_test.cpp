// The volume popup on the hosted desktop, with the audio service on a fake
// mixer: what its canvas shows, how the wheel steps the volume, and when it
// fades out.
#include "ui/volume_popup.h"

#include <gtest/gtest.h>

#include "audio/audio_service.h"
#include "audio/audio_speaker_volume.h"
#include "platform/hosted/desktop.h"
#include "resources/program_art.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/support/desktop_test.h"
#include "tests/ui/support/program_resources.h"
#include "ui/paint_recorder.h"

namespace talvio {
namespace {

using namespace talvio::testing;

// Bars are 27 pixels apart from x = 30, 18 wide and 30 high from y = 130.
constexpr int kBarTop = 130;
int BarMiddle(int bar) { return 30 + bar * 27 + 9; }

class VolumePopupTest : public DesktopTest {
protected:
    void SetUp() override {
        InstallProgramResources();
        paint::recorder::Clear();
        AudioServiceSetup setup;
        setup.ports = {&waveOut, &waveIn, &mixer, &version, &launcher, &resources};
        Audio_Start(setup);
    }
    void TearDown() override { Audio_Shutdown(); }

    int LitBars() const {
        int lit = 0;
        for (int bar = 0; bar < 16; ++bar) {
            const std::uint32_t colour = popup.canvas().pixel(BarMiddle(bar), kBarTop + 15);
            EXPECT_TRUE(colour == 0xFF80FF80 || colour == 0xFFFFFFFF) << std::hex << colour;
            if (colour == 0xFF80FF80) ++lit;
        }
        return lit;
    }
    std::vector<int> PresentedAlphas() const {
        std::vector<int> alphas;
        for (const auto& update : paint::recorder::LayeredUpdates()) alphas.push_back(update.alpha);
        return alphas;
    }
    bool Visible() const { return os::IsWindowVisible(popup.window()); }

    FakeWaveOut waveOut;
    FakeWaveIn waveIn;
    FakeMixer mixer{{{L"USB Audio Device"}}};
    FakeOsVersion version{6};
    FakeLauncher launcher;
    FakeResources resources;
    VolumePopup popup{Audio_SpeakerVolume()};
};

TEST_F(VolumePopupTest, BarsShowTheSpeakerVolumeBelowTheSpeaker) {
    mixer.SetStoredVolume(0, true, 0);
    popup.show();
    EXPECT_EQ(LitBars(), 0);

    // The popup looks at the volume on its one-second tick.
    mixer.SetStoredVolume(0, true, 65535);
    os::hosted::AdvanceTime(1000);
    EXPECT_EQ(LitBars(), 16);
    mixer.SetStoredVolume(0, true, 30720);  // (30720 + 2048) x 16 / 65535 = 8
    os::hosted::AdvanceTime(1000);
    EXPECT_EQ(LitBars(), 8);
    EXPECT_EQ(popup.canvas().pixel(BarMiddle(7), kBarTop), 0xFF80FF80u);
    EXPECT_EQ(popup.canvas().pixel(BarMiddle(8), kBarTop), 0xFFFFFFFFu);

    EXPECT_EQ(popup.canvas().pixel(48, 160), 0xFF808080u) << "the shadow, one pixel down and right";
    EXPECT_EQ(popup.canvas().pixel(5, 5), 0x41001164u);
    // The 96-pixel speaker sits at ((500 - 96) / 2, (200 - 96 - 70) / 2) = (202, 17);
    // its white shows the background.
    const art::Image speaker = art::SpeakerImage();
    for (int x : {40, 76}) {  // the cone and a wave
        ASSERT_NE(speaker.at(x, 48), 0xFFFFFFFFu);
        EXPECT_EQ(popup.canvas().pixel(202 + x, 17 + 48), speaker.at(x, 48));
    }
    EXPECT_EQ(popup.canvas().pixel(202, 17), 0x41001164u);

    EXPECT_EQ(os::GetWindowExStyle(popup.window()), 0x800A8u);
    const os::Rect centred{262, 284, 762, 484};  // 500 x 200 on the 1024 x 768 screen
    const auto& last = paint::recorder::LayeredUpdates().back();
    EXPECT_EQ(last.alpha, 255);
    EXPECT_EQ(last.area.left, centred.left);
    EXPECT_EQ(last.area.top, centred.top);
    EXPECT_EQ(last.area.right, centred.right);
    EXPECT_EQ(last.area.bottom, centred.bottom);
}

TEST_F(VolumePopupTest, WheelStepsStayWithinTheMixerRange) {
    mixer.SetStoredVolume(0, true, 63000);
    popup.show();
    popup.volumeUp();
    EXPECT_EQ(mixer.Volume(0, true), 65535u);
    EXPECT_EQ(LitBars(), 16);
    popup.volumeUp();
    EXPECT_EQ(mixer.Volume(0, true), 65535u);

    mixer.SetStoredVolume(0, true, 5000);
    popup.volumeDown();
    EXPECT_EQ(mixer.Volume(0, true), 904u);
    popup.volumeDown();
    EXPECT_EQ(mixer.Volume(0, true), 0u);
    EXPECT_EQ(LitBars(), 0);
}

TEST_F(VolumePopupTest, FadesOutBetween5Point8And6Point8SecondsAfterTheLastShow) {
    // Shown as its one-second tick starts: the tick at 5 s starts the fade.
    popup.show();
    paint::recorder::Clear();
    os::hosted::AdvanceTime(5799);
    EXPECT_TRUE(Visible());
    os::hosted::AdvanceTime(1);
    EXPECT_FALSE(Visible());
    EXPECT_EQ(PresentedAlphas(), (std::vector<int>{225, 195, 165, 135, 105, 75, 45}));

    // Shown 0.3 s after a tick: the fade waits for the tick at 5.7 s.
    os::hosted::AdvanceTime(1500);  // 7.3 s
    popup.show();
    EXPECT_TRUE(Visible());
    os::hosted::AdvanceTime(6499);
    EXPECT_TRUE(Visible());
    os::hosted::AdvanceTime(1);  // 13.8 s
    EXPECT_FALSE(Visible());

    // Shown again while fading: back at full opacity, and the hold starts over.
    popup.show();
    os::hosted::AdvanceTime(5700);  // 19.5 s: fading since the tick at 19 s
    EXPECT_LT(popup.alpha(), 255);
    popup.show();
    paint::recorder::Clear();
    os::hosted::AdvanceTime(5000);  // 24.5 s
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(PresentedAlphas().empty());
    EXPECT_EQ(popup.alpha(), 255);
    os::hosted::AdvanceTime(1300);  // 25.8 s: the fade began at 25 s
    EXPECT_FALSE(Visible());
}

}  // namespace
}  // namespace talvio
