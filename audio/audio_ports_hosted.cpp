#include "audio/audio_ports.h"

namespace talvio {

namespace {

class NoWaveOut final : public WaveOut {
public:
    unsigned deviceCount() override { return 0; }
    bool deviceName(unsigned, std::wstring*) override { return false; }
    unsigned open(Device* device, unsigned, const WaveFormat&) override {
        *device = 0;
        return kMmBadDeviceId;
    }
    unsigned prepare(Device, WaveHeader*) override { return kMmNoDriver; }
    unsigned unprepare(Device, WaveHeader*) override { return kMmNoDriver; }
    unsigned write(Device, WaveHeader*) override { return kMmNoDriver; }
    std::uint32_t status(Device, const WaveHeader*) override { return kHeaderDone; }
    unsigned reset(Device) override { return kMmNoDriver; }
    unsigned close(Device) override { return kMmNoDriver; }
};

class NoWaveIn final : public WaveInCaps {
public:
    unsigned deviceCount() override { return 0; }
    bool deviceName(unsigned, std::wstring*) override { return false; }
};

class NoMixer final : public MixerPort {
public:
    unsigned deviceCount() override { return 0; }
    bool deviceName(unsigned, std::wstring*) override { return false; }
    unsigned open(Mixer* mixer, unsigned) override {
        *mixer = 0;
        return kMmBadDeviceId;
    }
    unsigned close(Mixer) override { return kMmNoDriver; }
    unsigned lineByComponent(Mixer, std::uint32_t, std::uint32_t*) override { return kMmNoDriver; }
    unsigned controlByType(Mixer, std::uint32_t, std::uint32_t, std::uint32_t*) override {
        return kMmNoDriver;
    }
    unsigned getValue(Mixer, std::uint32_t, std::uint32_t*) override { return kMmNoDriver; }
    unsigned setValue(Mixer, std::uint32_t, std::uint32_t) override { return kMmNoDriver; }
};

class NoLauncher final : public ProcessLauncher {
public:
    unsigned winExec(const std::string&) override { return 2; }  // ERROR_FILE_NOT_FOUND
};

class NoResources final : public WaveResources {
public:
    bool find(int, const void**, int*) override { return false; }
};

}  // namespace

AudioPorts SystemAudioPorts() {
    static NoWaveOut waveOut;
    static NoWaveIn waveIn;
    static NoMixer mixer;
    static NoLauncher launcher;
    static NoResources resources;
    return {&waveOut, &waveIn, &mixer, &SystemOsVersion(), &launcher, &resources};
}

}  // namespace talvio
