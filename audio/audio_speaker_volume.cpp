#include "audio/audio_speaker_volume.h"

#include "audio/audio_service.h"
#include "audio/mixer_volume.h"

namespace talvio {
namespace {

class ServiceSpeaker final : public SpeakerVolume {
public:
    unsigned read() override {
        unsigned volume = MixerVolume::kUnknownVolume;
        if (!Audio_GetVolume(true, &volume)) volume = MixerVolume::kUnknownVolume;
        return volume;
    }
    void setAndRemember(unsigned volume) override { Audio_SetVolumeAndRemember(true, volume); }
};

}  // namespace

SpeakerVolume& Audio_SpeakerVolume() {
    static ServiceSpeaker speaker;
    return speaker;
}

}  // namespace talvio
