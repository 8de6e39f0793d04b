#include <gtest/gtest.h>

#include "settings/memory_registry.h"
#include "tools/sonvar/sound_mapper.h"

namespace talvio {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

class SoundMapperTest : public ::testing::Test {
protected:
    std::optional<RegistryValue> mapper(const wchar_t* name) const {
        return registry.get(kUser, kSoundMapperPath, name);
    }
    void run(std::wstring_view commandLine) {
        SetPreferredDevices(ScanSonvarCommandLine(commandLine), registry);
    }

    MemoryRegistry registry;
};

TEST_F(SoundMapperTest, WritesBothDevicesAndPreferredOnly) {
    run(L"Sonvar.exe /o \"USB Audio\" /i 'USB Mic'");
    EXPECT_EQ(mapper(L"Playback"), StringValue(L"USB Audio", true)) << "NUL included in the size";
    EXPECT_EQ(mapper(L"Record"), StringValue(L"USB Mic", true));
    EXPECT_EQ(mapper(L"PreferredOnly"), DwordValue(0));
}

TEST_F(SoundMapperTest, CopiesTheMachinesPreferredDeviceCount) {
    const RegistryValue count = DwordValue(3);
    registry.put(RegistryRoot::LocalMachine, kPreferredDevicesPath,
                 L"SetupPreferredAudioDevicesCount", count);
    registry.refuseWrites(RegistryRoot::LocalMachine, true);
    run(L"Sonvar.exe");
    EXPECT_EQ(mapper(L"SetupPreferredAudioDevicesCount"), count)
        << "reading needs no write access to the machine's key";
    EXPECT_FALSE(mapper(L"Playback"));
    EXPECT_EQ(mapper(L"PreferredOnly"), DwordValue(0));
}

TEST_F(SoundMapperTest, ACountLargerThanFourBytesIsNotCopied) {
    registry.put(RegistryRoot::LocalMachine, kPreferredDevicesPath,
                 L"SetupPreferredAudioDevicesCount", RegistryValue{3, {1, 2, 3, 4, 5}});
    run(L"Sonvar.exe");
    EXPECT_FALSE(mapper(L"SetupPreferredAudioDevicesCount"));
}

TEST_F(SoundMapperTest, UsbOnlyReplacesOnlyUsbDevices) {
    registry.put(kUser, kSoundMapperPath, L"Playback", StringValue(L"Realtek HD", true));
    registry.put(kUser, kSoundMapperPath, L"Record", StringValue(L"Old USB Mic", true));
    run(L"Sonvar.exe /a /o \"New USB\"");
    EXPECT_EQ(mapper(L"Playback"), StringValue(L"Realtek HD", true));
    EXPECT_EQ(mapper(L"Record"), StringValue(L"Old USB Mic", true)) << "no /i: never changes";

    registry.put(kUser, kSoundMapperPath, L"Playback", StringValue(L"Old USB Speaker", true));
    run(L"Sonvar.exe /a /o \"New USB\"");
    EXPECT_EQ(mapper(L"Playback"), StringValue(L"New USB", true));

    registry.put(kUser, kSoundMapperPath, L"Playback", StringValue(L"old usb", true));
    run(L"Sonvar.exe /a /o Other");
    EXPECT_EQ(mapper(L"Playback"), StringValue(L"old usb", true)) << "USB is case-sensitive";
}

TEST_F(SoundMapperTest, UsbOnlyWithoutACurrentValueWritesNothing) {
    run(L"Sonvar.exe /a /o \"USB Audio\" /i Mic");
    EXPECT_FALSE(mapper(L"Playback"));
    EXPECT_FALSE(mapper(L"Record"));
    EXPECT_EQ(mapper(L"PreferredOnly"), DwordValue(0));
}

TEST_F(SoundMapperTest, AnEmptyQuotedValueLeavesTheDeviceButWritesPreferredOnly) {
    registry.put(kUser, kSoundMapperPath, L"Playback", StringValue(L"Speakers", true));
    run(L"Sonvar.exe /o \"\"");
    EXPECT_EQ(mapper(L"Playback"), StringValue(L"Speakers", true));
    EXPECT_EQ(mapper(L"PreferredOnly"), DwordValue(0));
}

TEST_F(SoundMapperTest, NoKeyNoWrites) {
    registry.refuseWrites(kUser, true);
    run(L"Sonvar.exe /o USB");
    registry.refuseWrites(kUser, false);
    EXPECT_FALSE(registry.hasKey(kUser, kSoundMapperPath));
}

}  // namespace
}  // namespace talvio
