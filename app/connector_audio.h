// The audio service as the connector service reaches it: ring-tone paths,
// key tones, device names and the handset speaker volume through Audio_*.
// Main thread only, between Audio_Start and Audio_Shutdown.
#pragma once

#include "connectors/service_ports.h"

namespace talvio {

class ConnectorAudio final : public ServiceAudio {
public:
    std::optional<std::wstring> GetRingTonePath(int index) override;
    void PlayKeyTone(int resource, int mode) override;
    void PublishDeviceNames() override;
    int GetSpeakerVolume() override;
    void SetSpeakerVolume(int volume) override;
};

}  // namespace talvio
