#include "audio/audio_ports.h"

#include <cstring>

#include "platform/win32/windows_api.h"

#include <mmsystem.h>

namespace talvio {

namespace {

static_assert(sizeof(WAVEHDR) <= sizeof(WaveHeader::native), "WAVEHDR must fit the header");

WAVEHDR* Native(WaveHeader* header) { return reinterpret_cast<WAVEHDR*>(header->native); }
HWAVEOUT Hwo(WaveOut::Device device) { return reinterpret_cast<HWAVEOUT>(device); }
HMIXEROBJ Hmx(MixerPort::Mixer mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

// Product names are at most 31 characters and NUL-terminated.
std::wstring NameOf(const WCHAR* name) { return std::wstring(name, wcsnlen(name, MAXPNAMELEN)); }

class SystemWaveOut final : public WaveOut {
public:
    unsigned deviceCount() override { return waveOutGetNumDevs(); }
    bool deviceName(unsigned id, std::wstring* name) override {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        *name = NameOf(caps.szPname);
        return true;
    }
    unsigned open(Device* device, unsigned id, const WaveFormat& format) override {
        WAVEFORMATEX wfx{};
        wfx.wFormatTag = format.formatTag;
        wfx.nChannels = format.channels;
        wfx.nSamplesPerSec = format.samplesPerSecond;
        wfx.nAvgBytesPerSec = format.averageBytesPerSecond;
        wfx.nBlockAlign = format.blockAlign;
        wfx.wBitsPerSample = format.bitsPerSample;
        HWAVEOUT handle = nullptr;
        const MMRESULT result = waveOutOpen(&handle, id, &wfx, 0, 0, CALLBACK_NULL);
        *device = result == MMSYSERR_NOERROR ? reinterpret_cast<Device>(handle) : 0;
        return result;
    }
    unsigned prepare(Device device, WaveHeader* header) override {
        WAVEHDR* hdr = Native(header);
        std::memset(hdr, 0, sizeof *hdr);
        hdr->lpData = reinterpret_cast<LPSTR>(header->data);
        hdr->dwBufferLength = header->length;
        hdr->dwUser = reinterpret_cast<DWORD_PTR>(header);
        hdr->dwFlags = header->flags;
        hdr->dwLoops = header->loops;
        return waveOutPrepareHeader(Hwo(device), hdr, sizeof *hdr);
    }
    unsigned unprepare(Device device, WaveHeader* header) override {
        return waveOutUnprepareHeader(Hwo(device), Native(header), sizeof(WAVEHDR));
    }
    unsigned write(Device device, WaveHeader* header) override {
        return waveOutWrite(Hwo(device), Native(header), sizeof(WAVEHDR));
    }
    std::uint32_t status(Device, const WaveHeader* header) override {
        // The driver sets WHDR_DONE from its own thread.
        return reinterpret_cast<const volatile WAVEHDR*>(header->native)->dwFlags;
    }
    unsigned reset(Device device) override { return waveOutReset(Hwo(device)); }
    unsigned close(Device device) override { return waveOutClose(Hwo(device)); }
};

class SystemWaveIn final : public WaveInCaps {
public:
    unsigned deviceCount() override { return waveInGetNumDevs(); }
    bool deviceName(unsigned id, std::wstring* name) override {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        *name = NameOf(caps.szPname);
        return true;
    }
};

class SystemMixer final : public MixerPort {
public:
    unsigned deviceCount() override { return mixerGetNumDevs(); }
    bool deviceName(unsigned id, std::wstring* name) override {
        MIXERCAPSW caps{};
        if (mixerGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        *name = NameOf(caps.szPname);
        return true;
    }
    unsigned open(Mixer* mixer, unsigned id) override {
        HMIXER handle = nullptr;
        const MMRESULT result = mixerOpen(&handle, id, 0, 0, 0);
        *mixer = result == MMSYSERR_NOERROR ? reinterpret_cast<Mixer>(handle) : 0;
        return result;
    }
    unsigned close(Mixer mixer) override { return mixerClose(reinterpret_cast<HMIXER>(mixer)); }
    unsigned lineByComponent(Mixer mixer, std::uint32_t componentType,
                             std::uint32_t* lineId) override {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = componentType;
        const MMRESULT result = mixerGetLineInfoW(
            Hmx(mixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
        if (result == MMSYSERR_NOERROR) *lineId = line.dwLineID;
        return result;
    }
    unsigned controlByType(Mixer mixer, std::uint32_t lineId, std::uint32_t controlType,
                           std::uint32_t* controlId) override {
        MIXERCONTROLW control{};
        MIXERLINECONTROLSW controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = lineId;
        controls.dwControlType = controlType;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        const MMRESULT result = mixerGetLineControlsW(
            Hmx(mixer), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
        if (result == MMSYSERR_NOERROR) *controlId = control.dwControlID;
        return result;
    }
    unsigned getValue(Mixer mixer, std::uint32_t controlId, std::uint32_t* value) override {
        MIXERCONTROLDETAILS_UNSIGNED detail{};
        MIXERCONTROLDETAILS details = Details(controlId, &detail);
        const MMRESULT result = mixerGetControlDetailsW(
            Hmx(mixer), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result == MMSYSERR_NOERROR) *value = detail.dwValue;
        return result;
    }
    unsigned setValue(Mixer mixer, std::uint32_t controlId, std::uint32_t value) override {
        MIXERCONTROLDETAILS_UNSIGNED detail{};
        detail.dwValue = value;
        MIXERCONTROLDETAILS details = Details(controlId, &detail);
        return mixerSetControlDetails(Hmx(mixer), &details,
                                      MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }

private:
    static MIXERCONTROLDETAILS Details(std::uint32_t controlId,
                                       MIXERCONTROLDETAILS_UNSIGNED* detail) {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = controlId;
        details.cChannels = 1;  // uniform across channels
        details.cbDetails = sizeof *detail;
        details.paDetails = detail;
        return details;
    }
};

class SystemLauncher final : public ProcessLauncher {
public:
    unsigned winExec(const std::string& ansiCommandLine) override {
        return WinExec(ansiCommandLine.c_str(), SW_SHOWNORMAL);
    }
};

class SystemResources final : public WaveResources {
public:
    bool find(int id, const void** data, int* size) override {
        // Resource handles of a loaded module need no freeing.
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"WAVE");
        if (!info) return false;
        HGLOBAL loaded = LoadResource(module, info);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes) return false;
        *data = bytes;
        *size = int(SizeofResource(module, info));
        return true;
    }
};

}  // namespace

AudioPorts SystemAudioPorts() {
    static SystemWaveOut waveOut;
    static SystemWaveIn waveIn;
    static SystemMixer mixer;
    static SystemLauncher launcher;
    static SystemResources resources;
    return {&waveOut, &waveIn, &mixer, &SystemOsVersion(), &launcher, &resources};
}

}  // namespace talvio
