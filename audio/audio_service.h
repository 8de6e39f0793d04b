// The audio service: the one sound player and mixer of the program, the
// ring-tone table, the key-tone switch and the tone guard, behind the
// Audio_* functions the rest of the program calls.
//
// Threading: every Audio_* function runs on the caller's thread, in
// practice the main thread; two threads must not start or stop sounds at
// once. The tone guard's completion runs on the player thread and reaches
// the handset link (which locks) and the mixer.
#pragma once

#include <string>

#include "audio/audio_ports.h"

namespace talvio {

class AppSettings;
class ConnectorRegistry;

enum ToneMode { kTonePlain = 0, kToneHandsetPath = 1, kToneRing = 2, kToneRingVolumeOnly = 3 };

// What the tone guard needs from the handset link; by default the
// HandsetLink_* functions. Called from the main and the player thread.
class AudioHandsetLink {
public:
    virtual int GetLineState();
    virtual int SetAudioPath(int mode, int tone);

protected:
    ~AudioHandsetLink() = default;
};

// Neither pointer is owned; each outlives the service. Null settings read
// as the defaults (key tones off, ring volume 65535, no USB preference);
// null connectors get no device names; a null handset link means the real
// one, which then also gets the service as its ring-tone player.
struct AudioServiceSetup {
    AudioPorts ports;
    const AppSettings* settings = nullptr;
    ConnectorRegistry* connectors = nullptr;
    AudioHandsetLink* handset = nullptr;
};

// Creates the player and the mixer and builds the ring-tone table from the
// program's directory. Main thread, before any other Audio_* call.
void Audio_Start(const AudioServiceSetup& setup);
// Stops playback, closes the devices, uninstalls from the handset link.
void Audio_Shutdown();
// The connectors Audio_PublishDeviceNames tells (not owned; null for none),
// for a registry created after Audio_Start. Main thread.
void Audio_SetConnectors(ConnectorRegistry* connectors);

bool Audio_PlayKeyTone(int resourceId, bool quiet);
bool Audio_PlayResource(int resourceId, bool loop, int mode);
bool Audio_PlayFile(const wchar_t* path, bool loop, int mode);
bool Audio_PlayRingTone(int index, bool loop);
// Null outside 0-16; the text lives as long as the service.
const wchar_t* Audio_GetRingTonePath(int index);
bool Audio_Stop();
bool Audio_IsPlaying();
bool Audio_IsRinging();
bool Audio_GetVolume(bool speaker, unsigned* out);
bool Audio_SetVolume(bool speaker, unsigned value);
bool Audio_SetVolumeAndRemember(bool speaker, unsigned value);
// Bit 0 speaker, bit 1 microphone: each raised to at least 32767.
void Audio_RaiseVolumes(int which);
void Audio_ReselectDevices();

// Before Windows 6: tells every connector the playback and recording
// device, then starts the setter tool.
void Audio_PublishDeviceNames();
// Starts the setter tool with the devices PreferredUSB asks for.
void Audio_LaunchSetter();
// The setter's command line as it is started (before the ANSI conversion).
std::wstring Audio_SetterCommandLine();

}  // namespace talvio
