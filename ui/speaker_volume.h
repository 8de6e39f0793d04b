// The speaker volume the volume popup shows and turns, in mixer units
// 0-65535. The program's comes from the audio service. Main thread only.
#pragma once

namespace talvio {

class SpeakerVolume {
public:
    virtual unsigned read() = 0;  // 32768 when it cannot be read
    virtual void setAndRemember(unsigned volume) = 0;

protected:
    ~SpeakerVolume() = default;
};

}  // namespace talvio
