// Port to the Windows mixer API (mixer* in winmm), reduced to what volume
// control needs. Results are MMRESULT values.
#pragma once

#include <cstdint>
#include <string>

namespace talvio {

inline constexpr std::uint32_t kComponentSpeakers = 4;         // ..._DST_SPEAKERS
inline constexpr std::uint32_t kComponentMicrophone = 0x1003;  // ..._SRC_MICROPHONE
inline constexpr std::uint32_t kControlVolume = 0x50030001;    // ..._CONTROLTYPE_VOLUME

class MixerPort {
public:
    using Mixer = std::uintptr_t;  // 0: none

    virtual ~MixerPort() = default;
    virtual unsigned deviceCount() = 0;
    virtual bool deviceName(unsigned id, std::wstring* name) = 0;
    virtual unsigned open(Mixer* mixer, unsigned id) = 0;
    virtual unsigned close(Mixer mixer) = 0;
    // mixerGetLineInfoW by component type.
    virtual unsigned lineByComponent(Mixer mixer, std::uint32_t componentType,
                                     std::uint32_t* lineId) = 0;
    // mixerGetLineControlsW, one control by type.
    virtual unsigned controlByType(Mixer mixer, std::uint32_t lineId, std::uint32_t controlType,
                                   std::uint32_t* controlId) = 0;
    // mixerGet/SetControlDetails: one channel, one unsigned value.
    virtual unsigned getValue(Mixer mixer, std::uint32_t controlId, std::uint32_t* value) = 0;
    virtual unsigned setValue(Mixer mixer, std::uint32_t controlId, std::uint32_t value) = 0;
};

}  // namespace talvio
