// The devices the audio subsystem reaches, bundled for injection. None is
// owned by the holder; each outlives the audio service.
#pragma once

#include "audio/mixer_port.h"
#include "audio/system_ports.h"
#include "audio/wave_out.h"

namespace talvio {

struct AudioPorts {
    WaveOut* waveOut = nullptr;
    WaveInCaps* waveIn = nullptr;
    MixerPort* mixer = nullptr;
    OsVersion* osVersion = nullptr;
    ProcessLauncher* launcher = nullptr;
    WaveResources* resources = nullptr;
};

// The machine's own: winmm and kernel32 on Windows; on the hosted backend
// a machine without sound devices, resources or programs to start. Both
// report the platform's Windows version (6 on the hosted desktop unless a
// test sets another).
AudioPorts SystemAudioPorts();

}  // namespace talvio
