// The audio service wired to the real handset link on a fake HID bus: the
// link's ring commands play and stop the ring tones of the waves folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "audio/audio_service.h"
#include "handset/handset_link.h"
#include "handset/handset_protocol.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tests/support/desktop_test.h"
#include "tools/tonegen/tone_synth.h"

namespace talvio {
namespace {

using namespace talvio::testing;
namespace fs = std::filesystem;

class AudioHandsetTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        folder = fs::temp_directory_path() / ("talvio-audio-" + std::to_string(getpid()));
        fs::create_directories(folder / "waves");
        ring3 = tonegen::WaveFile(tonegen::RingTone(3));
        std::ofstream(folder / "waves" / "ring3.wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(ring3.data()), std::streamsize(ring3.size()));
        os::hosted::SetModuleFileName((folder / "TalvioDriver.exe").wstring());
        settings.ringVolume = 50000;
        mixer.SetStoredVolume(0, true, 10000);
        AudioServiceSetup setup;
        setup.ports = {&waveOut, &waveIn, &mixer, &version, &launcher, &resources};
        setup.settings = &settings;
        Audio_Start(setup);  // the real handset link
        HandsetLink_SetBus(&bus);
        HandsetLink_SetScreenFactory(nullptr);
        handset = bus.PlugHandset(kKeypadModelId);
        HandsetLink_Start(nullptr);
    }
    void TearDown() override {
        HandsetLink_Stop();
        Audio_Shutdown();
        fs::remove_all(folder);
        DesktopTest::TearDown();
    }

    fs::path folder;
    std::vector<unsigned char> ring3;
    FakeWaveOut waveOut{{L"USB Audio Device"}};
    FakeWaveIn waveIn;
    FakeMixer mixer{{{L"USB Audio Device"}}};
    FakeOsVersion version{5};
    FakeLauncher launcher;
    FakeResources resources;
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};
    FakeHidBus bus;
    std::shared_ptr<FakeHandset> handset;
};

TEST_F(AudioHandsetTest, TheLinksRingCommandLoopsARingToneUntilTheRouteIsRefreshed) {
    ASSERT_EQ(HandsetLink_IsPresent(), 1);
    EXPECT_EQ(HandsetLink_SetAudioPath(1, 3), 0);
    EXPECT_TRUE(Audio_IsRinging());
    EXPECT_EQ(mixer.Volume(0, true), 50000u);
    os::hosted::AdvanceTime(7000);
    EXPECT_TRUE(Audio_IsPlaying());
    const auto writes = waveOut.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(writes[0].looping);
    EXPECT_EQ(writes[0].data, std::vector<unsigned char>(ring3.begin() + 44, ring3.end()));
    EXPECT_GT(waveOut.Heard().size(), writes[0].data.size());  // it came round again

    EXPECT_EQ(HandsetLink_SetAudioPath(0, 0), 0);
    EXPECT_FALSE(Audio_IsPlaying());
    EXPECT_FALSE(Audio_IsRinging());
    EXPECT_EQ(mixer.Volume(0, true), 10000u);
}

TEST_F(AudioHandsetTest, ASkypeRingOnlyRaisesTheVolumeAndTheRefreshRestoresIt) {
    EXPECT_EQ(HandsetLink_SetAudioPath(2, 1), 0);
    EXPECT_FALSE(Audio_IsPlaying());
    EXPECT_EQ(mixer.Volume(0, true), 50000u);
    EXPECT_EQ(HandsetLink_SetAudioPath(0, -2), 0);  // a refresh keeps the ring state
    EXPECT_EQ(mixer.Volume(0, true), 50000u);
    EXPECT_EQ(HandsetLink_SetAudioPath(0, 0), 0);
    EXPECT_EQ(mixer.Volume(0, true), 10000u);
    EXPECT_TRUE(waveOut.Writes().empty());
}

}  // namespace
}  // namespace talvio
