// The speaker or microphone volume of one mixer device, normally the
// handset's USB audio device. Not thread-safe: the audio service, whose
// completion also sets the speaker volume from the player thread, serialises
// its use. The port is not owned.
#pragma once

#include <cstdint>

#include "audio/mixer_port.h"

namespace talvio {

class MixerVolume {
public:
    static constexpr unsigned kUnknownVolume = 32768;

    explicit MixerVolume(MixerPort& port) : port_(port) {}
    MixerVolume(const MixerVolume&) = delete;
    MixerVolume& operator=(const MixerVolume&) = delete;
    ~MixerVolume() { close(); }

    unsigned open(unsigned mixerId);
    void close();
    // Opens the first mixer with a USB audio name, else mixer 0.
    unsigned selectUsb();
    bool isOpen() const { return handle_ != 0; }
    unsigned deviceCount() const { return deviceCount_; }

    // 32768 when the mixer is not open or any step fails.
    unsigned getVolume(bool speaker);
    // Always 1; failures are silent.
    int setVolume(bool speaker, unsigned value);

private:
    bool findControl(bool speaker, std::uint32_t* controlId);

    MixerPort& port_;
    unsigned deviceCount_ = 0;
    MixerPort::Mixer handle_ = 0;
};

}  // namespace talvio
