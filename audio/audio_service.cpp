#include "audio/audio_service.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "audio/device_choice.h"
#include "audio/mixer_volume.h"
#include "audio/sound_player.h"
#include "connectors/connector_registry.h"
#include "connectors/voip_connector.h"
#include "foundation/text_convert.h"
#include "handset/handset_link.h"
#include "settings/app_settings.h"
#include "settings/program_files.h"

namespace talvio {

int AudioHandsetLink::GetLineState() { return HandsetLink_GetLineState(); }
int AudioHandsetLink::SetAudioPath(int mode, int tone) {
    return HandsetLink_SetAudioPath(mode, tone);
}

namespace {

constexpr int kRingToneCount = 17;
constexpr unsigned kRaisedVolume = 0x7fff;

class DefaultHandsetLink final : public AudioHandsetLink {};

// The mode and the volume to restore are written by the player thread's
// completion and read by the main thread.
class ToneGuard final : public SoundCompletion {
public:
    void finished(SoundPlayer* player) override;

    std::atomic<int> mode{kTonePlain};
    std::atomic<unsigned> savedVolume{MixerVolume::kUnknownVolume};
};

// The handset link's way back into the service.
class RingTonePlayer final : public HandsetAudio {
public:
    bool PlayRingTone(int index, bool loop) override { return Audio_PlayRingTone(index, loop); }
};

class WaveOutNames final : public DeviceNames {
public:
    explicit WaveOutNames(WaveOut& port) : port_(port) {}
    unsigned count() override { return port_.deviceCount(); }
    bool name(unsigned id, std::wstring* name) override { return port_.deviceName(id, name); }

private:
    WaveOut& port_;
};

class WaveInNames final : public DeviceNames {
public:
    explicit WaveInNames(WaveInCaps& port) : port_(port) {}
    unsigned count() override { return port_.deviceCount(); }
    bool name(unsigned id, std::wstring* name) override { return port_.deviceName(id, name); }

private:
    WaveInCaps& port_;
};

struct Service {
    AudioPorts ports;
    const AppSettings* settings = nullptr;
    ConnectorRegistry* connectors = nullptr;
    AudioHandsetLink* handset = nullptr;
    bool ownLink = false;
    std::unique_ptr<SoundPlayer> player;
    // The completion restores the speaker from the player thread while the
    // main thread may be opening or using the mixer.
    std::mutex mixerLock;
    std::unique_ptr<MixerVolume> mixer;
    std::wstring ringTones[kRingToneCount];
};

DefaultHandsetLink g_defaultLink;
RingTonePlayer g_ringTonePlayer;
ToneGuard g_guard;
std::unique_ptr<Service> g_service;

bool PlayDtmf() { return g_service->settings && g_service->settings->playDtmf != 0; }
unsigned RingVolume() {
    return g_service->settings ? unsigned(g_service->settings->ringVolume) : 65535u;
}
bool PreferredUsb() { return g_service->settings && g_service->settings->preferredUsb != 0; }

// Runs `use` on the mixer, opened first if it is not.
template <typename Use>
auto WithMixer(Use use) {
    std::lock_guard lock(g_service->mixerLock);
    MixerVolume& mixer = *g_service->mixer;
    if (!mixer.isOpen()) mixer.selectUsb();
    return use(mixer);
}

void RestoreSavedVolume() {
    const int mode = g_guard.mode.load();
    if (mode == kToneRing || mode == kToneRingVolumeOnly)
        Audio_SetVolume(true, g_guard.savedVolume.load());
}

// Remembers the speaker volume and, unless the PSTN line carries the
// sound, raises it to the ring volume.
void SaveAndRaiseVolume(bool pstnLine) {
    unsigned volume = MixerVolume::kUnknownVolume;
    Audio_GetVolume(true, &volume);
    g_guard.savedVolume.store(volume);
    if (!pstnLine) Audio_SetVolume(true, RingVolume());
}

void ArmGuard(int mode) {
    g_guard.finished(nullptr);
    const bool pstnLine = g_service->handset->GetLineState() == 1;
    g_guard.mode.store(mode);
    if (mode != kToneRingVolumeOnly && !pstnLine) g_service->handset->SetAudioPath(2, 0);
    if (mode == kToneRing || mode == kToneRingVolumeOnly) SaveAndRaiseVolume(pstnLine);
}

template <typename Open>
bool PlayCommon(bool nullSource, Open open, bool loop, int mode) {
    if (!g_service) return false;
    SoundPlayer& player = *g_service->player;
    if (player.deviceId() < 0) player.selectUsbDevice();
    if (nullSource) {
        player.stop();
        return false;
    }
    if (!open(player)) return false;
    if (mode != kTonePlain) ArmGuard(mode);
    player.play(mode != kTonePlain ? &g_guard : nullptr, loop);
    return true;
}

}  // namespace

void ToneGuard::finished(SoundPlayer* player) {
    if (mode.load() != kToneRingVolumeOnly && player) g_service->handset->SetAudioPath(0, -1);
    RestoreSavedVolume();
    mode.store(kTonePlain);
}

void Audio_Start(const AudioServiceSetup& setup) {
    Audio_Shutdown();
    auto service = std::make_unique<Service>();
    service->ports = setup.ports;
    service->settings = setup.settings;
    service->connectors = setup.connectors;
    service->ownLink = setup.handset == nullptr;
    service->handset = setup.handset ? setup.handset : &g_defaultLink;
    service->player = std::make_unique<SoundPlayer>(*setup.ports.waveOut, *setup.ports.resources);
    service->mixer = std::make_unique<MixerVolume>(*setup.ports.mixer);
    // The folder separator follows the program's own path, which on the
    // hosted backend may use '/'.
    const std::wstring directory = ProgramDirectory();
    const wchar_t separator = directory.empty() ? L'\\' : directory.back();
    for (int i = 0; i < kRingToneCount; ++i)
        service->ringTones[i] = directory + L"waves" + separator + L"ring" +
                                Utf8ToWide(std::to_string(i)) + L".wav";
    g_guard.mode.store(kTonePlain);
    g_guard.savedVolume.store(MixerVolume::kUnknownVolume);
    g_service = std::move(service);
    if (g_service->ownLink) HandsetLink_SetAudio(&g_ringTonePlayer);
}

void Audio_Shutdown() {
    if (!g_service) return;
    if (g_service->ownLink) HandsetLink_SetAudio(nullptr);
    g_service->player->stop();
    g_service->player.reset();
    g_service->mixer.reset();
    g_service.reset();
}

void Audio_SetConnectors(ConnectorRegistry* connectors) {
    if (g_service) g_service->connectors = connectors;
}

bool Audio_PlayKeyTone(int resourceId, bool quiet) {
    if (!g_service || !PlayDtmf()) return false;
    return Audio_PlayResource(resourceId, false, quiet ? kTonePlain : kToneHandsetPath);
}

bool Audio_PlayResource(int resourceId, bool loop, int mode) {
    return PlayCommon(
        resourceId == 0, [&](SoundPlayer& player) { return player.openResource(resourceId); },
        loop, mode);
}

bool Audio_PlayFile(const wchar_t* path, bool loop, int mode) {
    return PlayCommon(
        path == nullptr, [&](SoundPlayer& player) { return player.openFile(path); }, loop, mode);
}

bool Audio_PlayRingTone(int index, bool loop) {
    if (!g_service) return false;
    if (index >= 0 && index < kRingToneCount)
        return Audio_PlayFile(g_service->ringTones[index].c_str(), loop, kToneRing);
    if (index != -1) return false;
    if (loop) {
        g_guard.finished(nullptr);
        const bool pstnLine = g_service->handset->GetLineState() == 1;
        g_guard.mode.store(kToneRingVolumeOnly);
        SaveAndRaiseVolume(pstnLine);
    } else {
        Audio_Stop();
        RestoreSavedVolume();
        g_guard.mode.store(kTonePlain);
    }
    return true;
}

const wchar_t* Audio_GetRingTonePath(int index) {
    if (!g_service || index < 0 || index >= kRingToneCount) return nullptr;
    return g_service->ringTones[index].c_str();
}

bool Audio_Stop() {
    if (g_service) g_service->player->stop();
    return true;
}

bool Audio_IsPlaying() { return g_service && g_service->player->isPlaying(); }

bool Audio_IsRinging() { return g_guard.mode.load() == kToneRing; }

bool Audio_GetVolume(bool speaker, unsigned* out) {
    const unsigned volume =
        g_service ? WithMixer([&](MixerVolume& mixer) { return mixer.getVolume(speaker); })
                  : MixerVolume::kUnknownVolume;
    if (out) *out = volume;
    return true;
}

bool Audio_SetVolume(bool speaker, unsigned value) {
    if (g_service) WithMixer([&](MixerVolume& mixer) { return mixer.setVolume(speaker, value); });
    return true;
}

bool Audio_SetVolumeAndRemember(bool speaker, unsigned value) {
    if (speaker) g_guard.savedVolume.store(value);
    return Audio_SetVolume(speaker, value);
}

void Audio_RaiseVolumes(int which) {
    if (!g_service) return;
    WithMixer([&](MixerVolume& mixer) {
        for (const bool speaker : {true, false}) {
            if (!(which & (speaker ? 1 : 2))) continue;
            if (mixer.getVolume(speaker) < kRaisedVolume) mixer.setVolume(speaker, kRaisedVolume);
        }
        return 0;
    });
}

void Audio_ReselectDevices() {
    if (!g_service) return;
    g_service->player->selectUsbDevice();
    std::lock_guard lock(g_service->mixerLock);
    g_service->mixer->close();
}

void Audio_PublishDeviceNames() {
    if (!g_service || g_service->ports.osVersion->majorVersion() >= 6) return;
    WaveOutNames playbackDevices(*g_service->ports.waveOut);
    WaveInNames recordingDevices(*g_service->ports.waveIn);
    const ChosenDevice playback = ChooseForConnectors(playbackDevices);
    const ChosenDevice recording = ChooseForConnectors(recordingDevices);
    if (ConnectorRegistry* registry = g_service->connectors) {
        for (int i = 0; playback.found && i < registry->Count(); ++i) {
            if (VoipConnector* connector = registry->At(i)) {
                connector->SetAudioOut(playback.name);
                connector->SetRinger(playback.name);
            }
        }
        for (int i = 0; recording.found && i < registry->Count(); ++i)
            if (VoipConnector* connector = registry->At(i)) connector->SetAudioIn(recording.name);
    }
    Audio_LaunchSetter();
}

std::wstring Audio_SetterCommandLine() {
    if (!g_service) return {};
    WaveOutNames playbackDevices(*g_service->ports.waveOut);
    WaveInNames recordingDevices(*g_service->ports.waveIn);
    const bool preferUsb = PreferredUsb();
    // Quoted: under "C:\Program Files\..." an unquoted path would make
    // WinExec try "C:\Program" first.
    return L"\"" + ProgramDirectory() + L"Sonvar.exe\" /o \"" +
           ChooseForSetter(playbackDevices, preferUsb) + L"\" /i \"" +
           ChooseForSetter(recordingDevices, preferUsb) + L"\"";
}

void Audio_LaunchSetter() {
    if (!g_service) return;
    g_service->ports.launcher->winExec(WideToAnsi(Audio_SetterCommandLine()));
}

}  // namespace talvio
