#include "audio/device_choice.h"

namespace talvio {

std::wstring LowerName(std::wstring_view name) {
    std::wstring lower(name);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return lower;
}

int IsUsbAudioName(std::wstring_view lowerName) {
    if (lowerName == L"usb audio device") return 3;
    if (lowerName.find(L"usb audio device") != std::wstring_view::npos) return 2;
    if (lowerName.find(L"usb") != std::wstring_view::npos) return 1;
    return 0;
}

int FindUsbWaveOut(WaveOut& waveOut) {
    const unsigned count = waveOut.deviceCount();
    for (unsigned id = 0; id < count; ++id) {
        std::wstring name;
        if (waveOut.deviceName(id, &name) && IsUsbAudioName(LowerName(name))) return int(id);
    }
    return -1;
}

ChosenDevice ChooseForConnectors(DeviceNames& devices) {
    ChosenDevice chosen;
    const unsigned count = devices.count();
    for (unsigned id = 0; id < count; ++id) {
        std::wstring name;
        if (!devices.name(id, &name)) continue;
        if (id == 0) {
            chosen = {true, 0, name};
            continue;
        }
        if (IsUsbAudioName(LowerName(name))) {
            chosen = {true, id, name};
            break;
        }
    }
    return chosen;
}

std::wstring ChooseForSetter(DeviceNames& devices, bool preferUsb) {
    const unsigned count = devices.count();
    for (unsigned id = 0; id < count; ++id) {
        std::wstring name;
        if (!devices.name(id, &name)) continue;
        const std::wstring lower = LowerName(name);
        const bool usb = IsUsbAudioName(lower) != 0;
        if (preferUsb ? usb : !usb && lower.find(L"virtual") == std::wstring::npos) return name;
    }
    return {};
}

}  // namespace talvio
