// Finding the handset's USB audio device among the Windows audio devices
// by product name. Main thread (and the player thread for FindUsbWaveOut).
#pragma once

#include <string>
#include <string_view>

#include "audio/wave_out.h"

namespace talvio {

// ASCII lower case, as the names are compared with ASCII words only.
std::wstring LowerName(std::wstring_view name);

// 3 the name is "usb audio device", 2 it contains that, 1 it contains
// "usb", else 0. Callers use it as true/false.
int IsUsbAudioName(std::wstring_view lowerName);

// The first wave-out id whose name passes IsUsbAudioName, or -1.
int FindUsbWaveOut(WaveOut& waveOut);

// A device list to scan: wave-out or wave-in names.
class DeviceNames {
public:
    virtual ~DeviceNames() = default;
    virtual unsigned count() = 0;
    virtual bool name(unsigned id, std::wstring* name) = 0;
};

struct ChosenDevice {
    bool found = false;
    unsigned id = 0;
    std::wstring name;  // as Windows reports it
};

// Device 0 unless a later device passes IsUsbAudioName (device 0 itself is
// not tested); nothing when the list is empty.
ChosenDevice ChooseForConnectors(DeviceNames& devices);
// The first device that passes IsUsbAudioName (preferUsb), or the first that
// neither passes nor contains "virtual"; an empty name when none does.
std::wstring ChooseForSetter(DeviceNames& devices, bool preferUsb);

}  // namespace talvio
