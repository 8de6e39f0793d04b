#include "audio/audio_service.h"

#include <gtest/gtest.h>

#include <mutex>

#include "connectors/connector_registry.h"
#include "connectors/voip_connector.h"
#include "foundation/text_convert.h"
#include "platform/hosted/desktop.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

using namespace talvio::testing;

// Records the audio-path calls the tone guard makes, from either thread.
class RecordingLink final : public AudioHandsetLink {
public:
    int GetLineState() override { return line; }
    int SetAudioPath(int mode, int tone) override {
        std::lock_guard lock(mutex);
        paths.push_back({mode, tone});
        // The handset link ends the ring state on a route refresh, as the real one does.
        if (mode == 0 && tone != -2) Audio_PlayRingTone(-1, false);
        return 0;
    }
    std::vector<std::pair<int, int>> Paths() {
        std::lock_guard lock(mutex);
        return paths;
    }
    int line = 0;
    std::mutex mutex;
    std::vector<std::pair<int, int>> paths;
};

class DeviceConnector final : public VoipConnector {
public:
    DeviceConnector(ConnectorRegistry& registry, std::vector<std::wstring>& log)
        : VoipConnector(registry), log_(log) {}
    void SetAudioOut(const std::wstring& d) override { log_.push_back(L"out " + d); }
    void SetRinger(const std::wstring& d) override { log_.push_back(L"ring " + d); }
    void SetAudioIn(const std::wstring& d) override { log_.push_back(L"in " + d); }

private:
    std::vector<std::wstring>& log_;
};

class AudioServiceTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        os::hosted::SetModuleFileName(L"C:\\Program Files\\Talvio\\TalvioDriver.exe");
        resources.AddBuiltInSounds();
        settings.playDtmf = 1;
        settings.ringVolume = 60000;
        Start();
    }
    void TearDown() override {
        Audio_Shutdown();
        DesktopTest::TearDown();
    }
    void Start() {
        AudioServiceSetup setup;
        setup.ports = {&waveOut, &waveIn, &mixer, &version, &launcher, &resources};
        setup.settings = &settings;
        setup.connectors = &connectors;
        setup.handset = &link;
        Audio_Start(setup);
    }
    void RunUntilIdle() {
        for (int t = 0; t < 10000 && Audio_IsPlaying(); ++t) os::hosted::AdvanceTime(1);
        ASSERT_FALSE(Audio_IsPlaying());
    }
    // Plays the built-in 4.75 s sound as a ring (mode 2), looping.
    bool PlayRing() { return Audio_PlayResource(2132, true, kToneRing); }

    FakeWaveOut waveOut{{L"Realtek HD Audio", L"USB Audio Device"}};
    FakeWaveIn waveIn{{L"Realtek Mic", L"USB Audio Device"}};
    FakeMixer mixer{{{L"Realtek Mixer"}, {L"USB Audio Device"}}};
    FakeOsVersion version{5};
    FakeLauncher launcher;
    FakeResources resources;
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};
    ConnectorRegistry connectors;
    RecordingLink link;
};

TEST_F(AudioServiceTest, KeyTonesFollowThePlayDtmfSetting) {
    EXPECT_TRUE(Audio_PlayKeyTone(134, false));
    RunUntilIdle();
    ASSERT_EQ(waveOut.Opens().size(), 1u);
    EXPECT_EQ(waveOut.Opens()[0].id, 1u);  // the handset
    EXPECT_EQ(waveOut.Writes().size(), 1u);
    // Mode 1: the PC's sound to the handset, back when the tone ended.
    EXPECT_EQ(link.Paths(), (std::vector<std::pair<int, int>>{{2, 0}, {0, -1}}));
    EXPECT_TRUE(mixer.Sets().empty());

    EXPECT_TRUE(Audio_PlayKeyTone(147, true));  // quiet: no route change
    RunUntilIdle();
    EXPECT_EQ(link.Paths().size(), 2u);
    EXPECT_EQ(waveOut.Writes().size(), 2u);

    settings.playDtmf = 0;
    EXPECT_FALSE(Audio_PlayKeyTone(134, false));
    os::hosted::AdvanceTime(200);
    EXPECT_EQ(waveOut.Writes().size(), 2u);
    EXPECT_EQ(link.Paths().size(), 2u);
}

TEST_F(AudioServiceTest, ARingRaisesTheSpeakerAndRestoresItWhenStopped) {
    mixer.SetStoredVolume(1, true, 21000);
    EXPECT_TRUE(PlayRing());
    EXPECT_TRUE(Audio_IsRinging());
    EXPECT_EQ(mixer.Volume(1, true), 60000u);
    os::hosted::AdvanceTime(6000);
    EXPECT_TRUE(Audio_IsPlaying());
    EXPECT_TRUE(Audio_Stop());
    EXPECT_FALSE(Audio_IsRinging());
    EXPECT_EQ(mixer.Volume(1, true), 21000u);
    EXPECT_EQ(link.Paths(), (std::vector<std::pair<int, int>>{{2, 0}, {0, -1}}));
}

TEST_F(AudioServiceTest, ARingOnThePstnLineSwitchesNothingAndRestoresTheSavedVolume) {
    link.line = 1;
    mixer.SetStoredVolume(1, true, 30000);
    EXPECT_TRUE(Audio_PlayResource(2132, false, kToneRing));
    EXPECT_EQ(mixer.Volume(1, true), 30000u);
    EXPECT_TRUE(link.Paths().empty());
    // Someone turns the speaker meanwhile; the end writes back what was saved.
    mixer.SetStoredVolume(1, true, 5000);
    RunUntilIdle();
    EXPECT_FALSE(Audio_IsRinging());
    EXPECT_EQ(mixer.Volume(1, true), 30000u);
    // The end of the sound still releases the route.
    EXPECT_EQ(link.Paths(), (std::vector<std::pair<int, int>>{{0, -1}}));
}

TEST_F(AudioServiceTest, TwoRingsInARowRestoreThenSaveAgain) {
    mixer.SetStoredVolume(1, true, 21000);
    ASSERT_TRUE(PlayRing());
    os::hosted::AdvanceTime(100);
    mixer.SetStoredVolume(1, true, 22000);  // changed during the first ring
    ASSERT_TRUE(PlayRing());
    // Opening the second stopped the first (its volume written back), and
    // the second saved that volume before raising it again.
    const auto sets = mixer.Sets();
    ASSERT_GE(sets.size(), 3u);
    EXPECT_EQ(sets[0].value, 60000u);
    EXPECT_EQ(sets[1].value, 21000u);
    EXPECT_EQ(sets.back().value, 60000u);
    EXPECT_EQ(mixer.Volume(1, true), 60000u);
    Audio_Stop();
    EXPECT_EQ(mixer.Volume(1, true), 21000u);
}

TEST_F(AudioServiceTest, TheSilentRingStateKeepsTheRouteAndRestoresTheVolume) {
    mixer.SetStoredVolume(1, true, 12345);
    EXPECT_TRUE(Audio_PlayRingTone(-1, true));
    EXPECT_FALSE(Audio_IsRinging());  // mode 3 is not a ring the program plays
    EXPECT_EQ(mixer.Volume(1, true), 60000u);
    EXPECT_TRUE(Audio_PlayRingTone(-1, false));
    EXPECT_EQ(mixer.Volume(1, true), 12345u);
    EXPECT_TRUE(link.Paths().empty());
    EXPECT_TRUE(waveOut.Writes().empty());
}

TEST_F(AudioServiceTest, RingTonePathsAndTheirLimits) {
    EXPECT_EQ(WideToUtf8(Audio_GetRingTonePath(0)), "C:\\Program Files\\Talvio\\waves\\ring0.wav");
    EXPECT_EQ(WideToUtf8(Audio_GetRingTonePath(16)), "C:\\Program Files\\Talvio\\waves\\ring16.wav");
    EXPECT_EQ(Audio_GetRingTonePath(17), nullptr);
    EXPECT_EQ(Audio_GetRingTonePath(-1), nullptr);
    EXPECT_FALSE(Audio_PlayRingTone(17, true));
    EXPECT_FALSE(Audio_PlayRingTone(-2, true));
    EXPECT_FALSE(Audio_PlayRingTone(3, true));  // no such file here
    EXPECT_FALSE(Audio_IsPlaying());
    EXPECT_TRUE(waveOut.Writes().empty());
    EXPECT_TRUE(mixer.Sets().empty());
}

TEST_F(AudioServiceTest, NullSourcesOnlyStop) {
    ASSERT_TRUE(PlayRing());
    EXPECT_FALSE(Audio_PlayResource(0, false, kTonePlain));
    EXPECT_FALSE(Audio_IsPlaying());
    ASSERT_TRUE(PlayRing());
    EXPECT_FALSE(Audio_PlayFile(nullptr, false, kTonePlain));
    EXPECT_FALSE(Audio_IsPlaying());
    EXPECT_FALSE(Audio_PlayResource(999, false, kTonePlain));  // missing
}

TEST_F(AudioServiceTest, VolumesRaiseRememberAndReselect) {
    mixer.SetStoredVolume(1, true, 100);
    mixer.SetStoredVolume(1, false, 40000);
    Audio_RaiseVolumes(3);
    EXPECT_EQ(mixer.Volume(1, true), 32767u);
    EXPECT_EQ(mixer.Volume(1, false), 40000u);
    unsigned volume = 0;
    EXPECT_TRUE(Audio_GetVolume(false, &volume));
    EXPECT_EQ(volume, 40000u);
    Audio_SetVolumeAndRemember(true, 50000);
    ASSERT_TRUE(PlayRing());
    Audio_Stop();
    EXPECT_EQ(mixer.Volume(1, true), 50000u);
    Audio_ReselectDevices();
    Audio_GetVolume(true, &volume);
    EXPECT_EQ(mixer.Opens(), (std::vector<unsigned>{1, 1}));
}

TEST_F(AudioServiceTest, DeviceNamesGoToEveryConnectorAndTheSetterIsQuoted) {
    std::vector<std::wstring> log;
    connectors.Append(std::make_unique<DeviceConnector>(connectors, log));
    connectors.Append(std::make_unique<DeviceConnector>(connectors, log));
    Audio_PublishDeviceNames();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"out USB Audio Device", L"ring USB Audio Device",
                                              L"out USB Audio Device", L"ring USB Audio Device",
                                              L"in USB Audio Device", L"in USB Audio Device"}));
    ASSERT_EQ(launcher.commandLines.size(), 1u);
    EXPECT_EQ(launcher.commandLines[0],
              "\"C:\\Program Files\\Talvio\\Sonvar.exe\" /o \"Realtek HD Audio\" /i \"Realtek Mic\"");
    settings.preferredUsb = 1;
    Audio_LaunchSetter();
    EXPECT_EQ(launcher.commandLines[1],
              "\"C:\\Program Files\\Talvio\\Sonvar.exe\" /o \"USB Audio Device\" /i \"USB Audio Device\"");
    waveIn.names.clear();
    Audio_LaunchSetter();
    EXPECT_EQ(launcher.commandLines[2],
              "\"C:\\Program Files\\Talvio\\Sonvar.exe\" /o \"USB Audio Device\" /i \"\"");
    // Without connectors the setter still runs.
    Audio_SetConnectors(nullptr);
    log.clear();
    Audio_PublishDeviceNames();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(launcher.commandLines.size(), 4u);
}

TEST_F(AudioServiceTest, WindowsSixOrLaterPublishesNothing) {
    std::vector<std::wstring> log;
    connectors.Append(std::make_unique<DeviceConnector>(connectors, log));
    version.major = 6;
    Audio_PublishDeviceNames();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(launcher.commandLines.empty());
}

TEST_F(AudioServiceTest, ARecordingFallbackOnDeviceZeroLeavesPlaybackAlone) {
    std::vector<std::wstring> log;
    connectors.Append(std::make_unique<DeviceConnector>(connectors, log));
    waveIn.names = {L"Realtek Mic"};
    Audio_PublishDeviceNames();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"out USB Audio Device", L"ring USB Audio Device",
                                              L"in Realtek Mic"}));
}

}  // namespace
}  // namespace talvio
