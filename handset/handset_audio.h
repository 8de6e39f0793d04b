// The part of the audio service that the handset link's audio-path rules
// call. The audio service installs its implementation with
// HandsetLink_SetAudio; until then a do-nothing default is used.
#pragma once

namespace talvio {

class HandsetAudio {
public:
    virtual ~HandsetAudio() = default;
    // Audio_PlayRingTone: index 0-16 plays that ring tone; -1 with loop true
    // enters the ring state without sound, with loop false ends it (stops a
    // ring and restores the speaker volume).
    virtual bool PlayRingTone(int index, bool loop) {
        (void)index;
        (void)loop;
        return false;
    }
};

}  // namespace talvio
