// Writes the preferred playback and recording devices into the Windows
// sound mapper's per-user values. Registry failures are silent.
#pragma once

#include "tools/sonvar/command_line.h"

namespace talvio {

class Registry;

inline constexpr wchar_t kSoundMapperPath[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
inline constexpr wchar_t kPreferredDevicesPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\MediaResources\\SetupPreferredAudioDevices";

void SetPreferredDevices(const SonvarOptions& options, Registry& registry);

}  // namespace talvio
