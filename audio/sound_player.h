// Plays one sound at a time on a wave-out device from its own worker
// thread: sounds whose 16-bit samples fit 204800 bytes from one device
// buffer (looped by the device), longer ones streamed through a 200 KB
// circular buffer.
//
// Threading: play, stop, openFile, openResource, isPlaying and
// selectUsbDevice belong to one caller thread (the main thread); the
// completion callback runs on the player thread. The ports are not owned.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "audio/sound_out_channel.h"
#include "audio/system_ports.h"
#include "audio/wav_reader.h"
#include "foundation/byte_stream.h"
#include "foundation/worker_thread.h"

namespace talvio {

class SoundPlayer;

// Told on the player thread when a sound has ended or was stopped, also
// when the device could not be opened.
class SoundCompletion {
public:
    virtual void finished(SoundPlayer* player) = 0;

protected:
    ~SoundCompletion() = default;
};

class SoundPlayer : public WorkerThread {
public:
    static constexpr int kBufferBytes = 204800;

    SoundPlayer(WaveOut& waveOut, WaveResources& resources);
    ~SoundPlayer() override;

    // The decoder for the file or resource, or null. A source that cannot be
    // opened leaves a playing sound alone; one that opens has stopped it.
    WavReader* openFile(const std::wstring& path);
    WavReader* openResource(int id);
    // Starts the opened sound unless one plays; a looping one is stopped
    // instead. Always 0.
    int play(SoundCompletion* callback, bool loop);
    int stop() override;
    bool isPlaying() const { return isRunning(); }
    // Picks the USB wave-out device (else device 0) and closes the device;
    // while a sound plays, its thread closes it before the next sound. The
    // USB id, or -1.
    int selectUsbDevice();
    void closeDevice();
    int deviceId() const { return deviceId_; }

protected:
    unsigned run() override;

private:
    WavReader* attach(ByteStream* stream);
    bool openDevice(const WavDescription& description);
    void playStreamed(WavReader& decoder, unsigned char* buffer,
                      const WavDescription& description);
    void playOneShot(WavReader& decoder);

    WaveOut& waveOut_;
    WaveResources& resources_;
    FileStream fileStream_;
    MemoryStream memoryStream_;
    WavReader reader_;
    SoundOutChannel channel_;
    std::atomic<int> deviceId_{-1};  // read by the player thread
    std::atomic<bool> reopen_{false};
    // Cleared by stop(), which the completion may reach on the player thread.
    std::atomic<WavReader*> current_{nullptr};
    bool loop_ = false;
    SoundCompletion* callback_ = nullptr;
    bool deviceOpen_ = false;
    int openChannels_ = 0;
    int openRate_ = 0;
    int openBits_ = 0;
    int openTag_ = 0;
};

}  // namespace talvio
