#include "audio/mixer_volume.h"

#include "audio/device_choice.h"

namespace talvio {

unsigned MixerVolume::open(unsigned mixerId) {
    close();
    deviceCount_ = port_.deviceCount();
    return port_.open(&handle_, mixerId);
}

void MixerVolume::close() {
    if (handle_) port_.close(handle_);
    handle_ = 0;
    deviceCount_ = 0;
}

unsigned MixerVolume::selectUsb() {
    const unsigned count = port_.deviceCount();
    for (unsigned id = 0; id < count; ++id) {
        std::wstring name;
        if (port_.deviceName(id, &name) && IsUsbAudioName(LowerName(name))) return open(id);
    }
    return open(0);
}

bool MixerVolume::findControl(bool speaker, std::uint32_t* controlId) {
    if (!handle_) return false;
    std::uint32_t lineId = 0;
    if (port_.lineByComponent(handle_, speaker ? kComponentSpeakers : kComponentMicrophone,
                              &lineId) != 0)
        return false;
    return port_.controlByType(handle_, lineId, kControlVolume, controlId) == 0;
}

unsigned MixerVolume::getVolume(bool speaker) {
    std::uint32_t control = 0, value = 0;
    if (!findControl(speaker, &control)) return kUnknownVolume;
    if (port_.getValue(handle_, control, &value) != 0) return kUnknownVolume;
    return value;
}

int MixerVolume::setVolume(bool speaker, unsigned value) {
    std::uint32_t control = 0;
    if (findControl(speaker, &control)) port_.setValue(handle_, control, value);
    return 1;
}

}  // namespace talvio
