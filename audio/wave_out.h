// Port to the Windows wave-out devices (waveOut* in winmm), with the
// capability names of the wave-in devices. Results are MMRESULT values.
// The adapter is used by the player thread and, for names, the main thread.
#pragma once

#include <cstdint>
#include <string>

namespace talvio {

inline constexpr unsigned kMmNoError = 0;
inline constexpr unsigned kMmError = 1;
inline constexpr unsigned kMmBadDeviceId = 2;
inline constexpr unsigned kMmNoDriver = 6;
inline constexpr unsigned kWaveStillPlaying = 33;

inline constexpr std::uint32_t kHeaderDone = 0x01;       // WHDR_DONE
inline constexpr std::uint32_t kHeaderPrepared = 0x02;   // WHDR_PREPARED
inline constexpr std::uint32_t kHeaderBeginLoop = 0x04;  // WHDR_BEGINLOOP
inline constexpr std::uint32_t kHeaderEndLoop = 0x08;    // WHDR_ENDLOOP
inline constexpr std::uint32_t kLoopForever = 0xFFFFFFFF;

struct WaveFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 8000;
    std::uint32_t averageBytesPerSecond = 16000;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;
};

// One buffer handed to the device. The caller fills data, length, flags
// and loops before prepare(); while prepared the header must stay in place
// and the adapter keeps its own record in `native` (the device updates that
// one, so read the live state with WaveOut::status).
struct WaveHeader {
    unsigned char* data = nullptr;
    std::uint32_t length = 0;
    std::uint32_t flags = 0;
    std::uint32_t loops = 0;
    alignas(8) unsigned char native[64] = {};
};

class WaveOut {
public:
    using Device = std::uintptr_t;  // 0: none

    virtual ~WaveOut() = default;
    virtual unsigned deviceCount() = 0;
    // The product name as the driver reports it; false for a bad id.
    virtual bool deviceName(unsigned id, std::wstring* name) = 0;
    // Opened without a callback; the caller polls the headers.
    virtual unsigned open(Device* device, unsigned id, const WaveFormat& format) = 0;
    virtual unsigned prepare(Device device, WaveHeader* header) = 0;
    virtual unsigned unprepare(Device device, WaveHeader* header) = 0;
    virtual unsigned write(Device device, WaveHeader* header) = 0;
    virtual std::uint32_t status(Device device, const WaveHeader* header) = 0;
    virtual unsigned reset(Device device) = 0;
    virtual unsigned close(Device device) = 0;
};

// Names of the recording devices (waveInGetNumDevs, waveInGetDevCapsW).
class WaveInCaps {
public:
    virtual ~WaveInCaps() = default;
    virtual unsigned deviceCount() = 0;
    virtual bool deviceName(unsigned id, std::wstring* name) = 0;
};

}  // namespace talvio
