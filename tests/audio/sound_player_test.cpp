#include "audio/sound_player.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/hosted/desktop.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/audio/support/wav_builder.h"
#include "tests/support/desktop_test.h"
#include "tools/tonegen/tone_synth.h"

namespace talvio {
namespace {

using testing::FakeResources;
using testing::FakeWaveOut;
using testing::WavBuilder;
using Bytes = std::vector<unsigned char>;

class CountingCompletion final : public SoundCompletion {
public:
    void finished(SoundPlayer*) override {
        ++calls;
        time = os::hosted::Now();
    }
    std::atomic<int> calls{0};
    std::atomic<std::uint64_t> time{0};
};

Bytes SamplesOf(int id) {
    const auto samples = tonegen::Sound(id);
    Bytes out;
    for (std::int16_t s : samples) WavBuilder::Put16(out, std::uint16_t(s));
    return out;
}

// A 44.1 kHz stereo ramp whose every 4-byte frame is distinct.
Bytes StereoRamp(int seconds) {
    Bytes out;
    const int frames = 44100 * seconds;
    out.reserve(std::size_t(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        WavBuilder::Put16(out, std::uint16_t(i));
        WavBuilder::Put16(out, std::uint16_t(i >> 16));
    }
    return out;
}

class SoundPlayerTest : public talvio::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        resources.AddBuiltInSounds();
        stream = StereoRamp(10);
        resources.sounds[900] = WavBuilder().Format(1, 2, 44100, 16).Data(stream).Bytes();
        player = std::make_unique<SoundPlayer>(waveOut, resources);
    }
    void TearDown() override {
        player.reset();
        DesktopTest::TearDown();
    }
    // Steps the clock 1 ms at a time until the thread ended; its end time.
    std::uint64_t RunUntilIdle(std::uint32_t limitMs) {
        for (std::uint32_t t = 0; t < limitMs && player->isPlaying(); ++t)
            os::hosted::AdvanceTime(1);
        EXPECT_FALSE(player->isPlaying());
        return os::hosted::Now();
    }

    FakeWaveOut waveOut{{L"Realtek HD Audio", L"USB Audio Device"}};
    FakeResources resources;
    Bytes stream;
    std::unique_ptr<SoundPlayer> player;
    CountingCompletion done;
};

TEST_F(SoundPlayerTest, KeyToneIsOneBufferAndTheThreadEndsSoonAfterItIsDone) {
    EXPECT_EQ(player->selectUsbDevice(), 1);
    ASSERT_NE(player->openResource(135), nullptr);
    player->play(&done, false);
    const std::uint64_t ended = RunUntilIdle(1000);

    const auto opens = waveOut.Opens();
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].id, 1u);
    EXPECT_EQ(opens[0].format.samplesPerSecond, 8000u);
    EXPECT_EQ(opens[0].format.channels, 1);
    EXPECT_EQ(opens[0].format.bitsPerSample, 16);
    EXPECT_EQ(opens[0].format.averageBytesPerSecond, 16000u);
    const auto writes = waveOut.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_FALSE(writes[0].looping);
    EXPECT_EQ(writes[0].data, SamplesOf(135));
    EXPECT_EQ(waveOut.Heard(), SamplesOf(135));
    EXPECT_EQ(waveOut.LastEnd(), 80u);
    EXPECT_GE(ended, 80u);
    EXPECT_LE(ended, 80u + 62);
    EXPECT_EQ(done.calls, 1);
    // The device stays open for the next sound of the same format.
    EXPECT_TRUE(waveOut.IsOpen());
    ASSERT_NE(player->openResource(147), nullptr);
    player->play(&done, false);
    RunUntilIdle(1000);
    EXPECT_EQ(waveOut.Opens().size(), 1u);
    EXPECT_EQ(done.calls, 2);
}

TEST_F(SoundPlayerTest, OpeningRetriesThreeTimesThenEndsQuietlyWithTheCompletion) {
    player->selectUsbDevice();
    waveOut.FailOpens(2);
    ASSERT_NE(player->openResource(133), nullptr);
    player->play(&done, false);
    RunUntilIdle(1000);
    ASSERT_EQ(waveOut.Opens().size(), 1u);
    EXPECT_EQ(waveOut.Opens()[0].time, 40u);  // two failures, 20 ms apart
    EXPECT_EQ(done.calls, 1);

    player->closeDevice();
    waveOut.FailOpens(3);
    ASSERT_NE(player->openResource(133), nullptr);
    player->play(&done, false);
    RunUntilIdle(1000);
    EXPECT_EQ(waveOut.Opens().size(), 1u);
    EXPECT_EQ(waveOut.Writes().size(), 1u);
    EXPECT_EQ(done.calls, 2);
}

TEST_F(SoundPlayerTest, WithoutAnyDeviceTheCompletionIsStillCalled) {
    FakeWaveOut none;
    SoundPlayer silent(none, resources);
    EXPECT_EQ(silent.selectUsbDevice(), -1);
    EXPECT_EQ(silent.deviceId(), 0);
    ASSERT_NE(silent.openResource(147), nullptr);
    silent.play(&done, false);
    for (int t = 0; t < 500 && silent.isPlaying(); ++t) os::hosted::AdvanceTime(1);
    EXPECT_FALSE(silent.isPlaying());
    EXPECT_EQ(done.calls, 1);
    EXPECT_TRUE(none.Writes().empty());
}

TEST_F(SoundPlayerTest, ALongSoundStreamsInFullThroughFourDeviceBuffers) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(900), nullptr);
    player->play(&done, false);
    os::hosted::AdvanceTime(9000);
    EXPECT_TRUE(player->isPlaying());
    RunUntilIdle(3000);
    ASSERT_EQ(waveOut.Opens().size(), 1u);
    EXPECT_EQ(waveOut.Opens()[0].format.blockAlign, 4);
    EXPECT_EQ(waveOut.Opens()[0].format.averageBytesPerSecond, 176400u);
    const auto writes = waveOut.Writes();
    ASSERT_GT(writes.size(), 100u);
    for (const auto& w : writes) {
        EXPECT_LE(w.data.size(), 8820u);
        EXPECT_EQ(w.data.size() % 4, 0u);
        EXPECT_FALSE(w.looping);
    }
    EXPECT_EQ(waveOut.Heard(), stream);
    EXPECT_EQ(done.calls, 1);
    EXPECT_GE(waveOut.LastEnd(), 10000u);
    EXPECT_LE(os::hosted::Now(), waveOut.LastEnd() + 62);
}

TEST_F(SoundPlayerTest, ALoopingStreamRestartsFromTheBeginningUntilStopped) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(900), nullptr);
    player->play(&done, true);
    os::hosted::AdvanceTime(25000);
    EXPECT_TRUE(player->isPlaying());
    const Bytes heard = waveOut.Heard();
    ASSERT_GT(heard.size(), 2 * stream.size());
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), heard.begin()));
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), heard.begin() + std::ptrdiff_t(stream.size())));
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(done.calls, 1);
    const std::size_t atStop = waveOut.Heard().size();
    os::hosted::AdvanceTime(2000);
    EXPECT_EQ(waveOut.Heard().size(), atStop);  // the device was reset
}

TEST_F(SoundPlayerTest, PlayDuringALoopStopsItAndStartsNothing) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(2132), nullptr);
    player->play(&done, true);
    os::hosted::AdvanceTime(6000);
    ASSERT_EQ(waveOut.Writes().size(), 1u);
    EXPECT_TRUE(waveOut.Writes()[0].looping);
    EXPECT_GT(waveOut.Heard().size(), SamplesOf(2132).size());  // looped by the device
    player->play(&done, false);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(done.calls, 1);
    os::hosted::AdvanceTime(500);
    EXPECT_EQ(waveOut.Writes().size(), 1u);
}

TEST_F(SoundPlayerTest, PlayDuringAOneShotSoundDoesNothing) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(2132), nullptr);
    player->play(&done, false);
    os::hosted::AdvanceTime(100);
    player->play(&done, false);
    EXPECT_TRUE(player->isPlaying());
    RunUntilIdle(6000);
    EXPECT_EQ(waveOut.Writes().size(), 1u);
    EXPECT_EQ(waveOut.Heard(), SamplesOf(2132));
}

TEST_F(SoundPlayerTest, AFullOneShotPlaysAfterAStreamedSound) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(900), nullptr);
    player->play(&done, false);
    RunUntilIdle(12000);
    ASSERT_NE(player->openResource(2132), nullptr);
    player->play(&done, false);
    const std::uint64_t start = os::hosted::Now();
    RunUntilIdle(6000);
    const auto writes = waveOut.Writes();
    EXPECT_EQ(writes.back().data, SamplesOf(2132));
    EXPECT_EQ(writes.back().data.size(), 76000u);
    EXPECT_GE(os::hosted::Now() - start, 4750u);
    // The format changed (stereo 44.1 kHz to mono 8 kHz): a second open.
    EXPECT_EQ(waveOut.Opens().size(), 2u);
    EXPECT_EQ(done.calls, 2);
}

TEST_F(SoundPlayerTest, TheOneBufferIsChosenByTheWidenedSize) {
    // 15 s of 8 kHz 8-bit PCM: 120,000 bytes in the file, 240,000 widened.
    resources.sounds[901] = WavBuilder().Format(1, 1, 8000, 8).Data(Bytes(120000, 0xFF)).Bytes();
    // 12.8 s of 8 kHz 16-bit PCM: exactly one 204,800-byte buffer.
    Bytes fits;
    for (int i = 0; i < 102400; ++i) WavBuilder::Put16(fits, std::uint16_t(i));
    resources.sounds[902] = WavBuilder().Format(1, 1, 8000, 16).Data(fits).Bytes();
    player->selectUsbDevice();

    ASSERT_NE(player->openResource(901), nullptr);
    player->play(&done, false);
    RunUntilIdle(17000);
    const Bytes heard = waveOut.Heard();
    ASSERT_EQ(heard.size(), 240000u) << "cut short by the one buffer";
    EXPECT_EQ(heard[239998], 0xFF);  // 255 widens to 32767
    EXPECT_EQ(heard[239999], 0x7F);

    const std::size_t before = waveOut.Writes().size();
    ASSERT_NE(player->openResource(902), nullptr);
    player->play(&done, false);
    RunUntilIdle(14000);
    const auto writes = waveOut.Writes();
    ASSERT_EQ(writes.size(), before + 1) << "a sound that fits is not streamed";
    EXPECT_EQ(writes.back().data, fits);
}

TEST_F(SoundPlayerTest, SourcesThatCannotBeOpenedLeaveTheSoundPlaying) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(2132), nullptr);
    player->play(&done, true);
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(player->openResource(12345), nullptr);
    EXPECT_EQ(player->openFile(L"/nonexistent/ring3.wav"), nullptr);
    EXPECT_TRUE(player->isPlaying());
    // One that opens but is no usable wave has stopped it.
    resources.sounds[901] = Bytes(64, 'x');
    EXPECT_EQ(player->openResource(901), nullptr);
    EXPECT_FALSE(player->isPlaying());
    player->play(&done, false);  // no decoder: the thread ends at once
    os::hosted::AdvanceTime(10);
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(SoundPlayerTest, ClosingRetriesWhileTheDeviceStillPlays) {
    player->selectUsbDevice();
    ASSERT_NE(player->openResource(133), nullptr);
    player->play(&done, false);
    RunUntilIdle(500);
    waveOut.StillPlayingCloses(2);
    player->closeDevice();
    EXPECT_FALSE(waveOut.IsOpen());
    EXPECT_EQ(waveOut.CloseCount(), 1);
}

TEST_F(SoundPlayerTest, ReselectingWhilePlayingKeepsTheSoundAndMovesTheNextOne) {
    EXPECT_EQ(player->selectUsbDevice(), 1);
    ASSERT_NE(player->openResource(2132), nullptr);
    player->play(&done, true);
    os::hosted::AdvanceTime(100);
    waveOut.SetNames({L"Realtek HD Audio"});  // the handset was unplugged
    EXPECT_EQ(player->selectUsbDevice(), -1);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(waveOut.CloseCount(), 0);
    player->stop();
    ASSERT_NE(player->openResource(133), nullptr);
    player->play(&done, false);
    RunUntilIdle(1000);
    const auto opens = waveOut.Opens();
    ASSERT_EQ(opens.size(), 2u);  // same format, yet reopened on the new id
    EXPECT_EQ(opens[1].id, 0u);
    EXPECT_EQ(waveOut.CloseCount(), 1);
}

TEST(SoundOutChannel, RingLayoutsAndBusySlots) {
    FakeWaveOut waveOut{{L"Speakers"}};
    SoundOutChannel channel(waveOut);
    channel.layoutByCount(4);
    EXPECT_EQ(channel.slotCount(), 4);
    EXPECT_EQ(channel.slotSize(), (204800u / 4 - 32) & ~3u);
    channel.layoutByCount(4096);  // 18-byte slots: halved until above 100
    EXPECT_EQ(channel.slotCount(), 1024);
    EXPECT_EQ(channel.slotSize(), 168u);
    channel.layoutBySize(100, 2);
    EXPECT_EQ(channel.slotSize(), 100u);
    ASSERT_EQ(channel.open(0, 1, 8000, 16, 1), kMmNoError);
    const unsigned char piece[100] = {1, 2, 3};
    EXPECT_EQ(channel.writeSlot(0, 100, false), 1);
    EXPECT_EQ(channel.writeSlot(0, 100, false), 0);  // busy
    EXPECT_FALSE(channel.allDone());
    channel.stop();
    EXPECT_TRUE(channel.allDone());
    waveOut.RefuseWrites(true);
    EXPECT_EQ(channel.writeSlot(1, 100, false), -1);
    EXPECT_EQ(channel.writeData(piece, 100), 1);  // a refused write counts as written
    EXPECT_TRUE(channel.allDone());               // and leaves no slot busy
}

}  // namespace
}  // namespace talvio
