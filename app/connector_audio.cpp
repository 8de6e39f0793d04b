#include "app/connector_audio.h"

#include "audio/audio_service.h"

namespace talvio {

std::optional<std::wstring> ConnectorAudio::GetRingTonePath(int index) {
    const wchar_t* path = Audio_GetRingTonePath(index);
    if (path == nullptr) return std::nullopt;
    return std::wstring(path);
}

void ConnectorAudio::PlayKeyTone(int resource, int mode) { Audio_PlayKeyTone(resource, mode != 0); }

void ConnectorAudio::PublishDeviceNames() { Audio_PublishDeviceNames(); }

int ConnectorAudio::GetSpeakerVolume() {
    unsigned volume = 0;
    return Audio_GetVolume(true, &volume) ? static_cast<int>(volume) : kUnreadableVolume;
}

void ConnectorAudio::SetSpeakerVolume(int volume) {
    if (volume >= 0) Audio_SetVolume(true, static_cast<unsigned>(volume));
}

}  // namespace talvio
