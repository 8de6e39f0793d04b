#include "audio/sound_player.h"

#include <algorithm>
#include <memory>

#include "audio/device_choice.h"
#include "platform/platform.h"

namespace talvio {

SoundPlayer::SoundPlayer(WaveOut& waveOut, WaveResources& resources)
    : waveOut_(waveOut), resources_(resources), channel_(waveOut) {
    channel_.layoutBySize(kBufferBytes, 1);
}

SoundPlayer::~SoundPlayer() {
    stop();
    closeDevice();
    channel_.close();
}

WavReader* SoundPlayer::attach(ByteStream* stream) {
    stop();
    if (!stream) return nullptr;
    if (reader_.open(stream, false) != 1) return nullptr;
    current_ = &reader_;
    return &reader_;
}

WavReader* SoundPlayer::openFile(const std::wstring& path) {
    {
        FileStream probe;
        if (!probe.open(path)) return nullptr;
    }
    // The file stream is the playing sound's: stop before switching it.
    stop();
    if (!fileStream_.open(path)) return nullptr;
    return attach(&fileStream_);
}

WavReader* SoundPlayer::openResource(int id) {
    const void* data = nullptr;
    int size = 0;
    if (!resources_.find(id, &data, &size)) return nullptr;
    stop();
    memoryStream_.open(data, size, MemoryStream::Borrowed);
    return attach(&memoryStream_);
}

int SoundPlayer::play(SoundCompletion* callback, bool loop) {
    if (isRunning()) {
        if (loop_) stop();
        return 0;
    }
    loop_ = loop;
    callback_ = callback;
    start();
    return 0;
}

int SoundPlayer::stop() {
    const int result = WorkerThread::stop();
    current_ = nullptr;
    return result;
}

int SoundPlayer::selectUsbDevice() {
    const int found = FindUsbWaveOut(waveOut_);
    deviceId_ = found >= 0 ? found : 0;
    // The device belongs to the player thread while it runs: a playing sound
    // goes on, and the next one closes the device before opening the new id.
    if (isRunning()) reopen_ = true;
    else closeDevice();
    return found;
}

void SoundPlayer::closeDevice() {
    if (!deviceOpen_) return;
    channel_.close();
    deviceOpen_ = false;
}

bool SoundPlayer::openDevice(const WavDescription& description) {
    const int channels = description.stereo ? 2 : 1;
    const int rate = int(description.samplesPerSecond);
    if (reopen_.exchange(false)) closeDevice();
    if (deviceOpen_ && openChannels_ == channels && openRate_ == rate && openBits_ == 16 &&
        openTag_ == kWaveFormatPcm)
        return true;
    closeDevice();
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Id -1 is the wave mapper.
        if (channel_.open(unsigned(deviceId_.load()), channels, rate, 16, kWaveFormatPcm) ==
            kMmNoError) {
            deviceOpen_ = true;
            openChannels_ = channels;
            openRate_ = rate;
            openBits_ = 16;
            openTag_ = kWaveFormatPcm;
            return true;
        }
        os::Sleep(20);
    }
    return false;
}

void SoundPlayer::playStreamed(WavReader& decoder, unsigned char* buffer, const WavDescription& description) {
    channel_.layoutByCount(4);
    const std::uint32_t frame = description.stereo ? 4 : 2;
    const std::uint32_t chunk =
        std::max<std::uint32_t>(frame, (description.samplesPerSecond / 10 * 2) / frame * frame);
    std::uint32_t readOffset = 0;
    std::uint32_t fill = 0;
    bool exhausted = false;
    while (!stopRequested()) {
        if (fill < chunk) {
            const std::uint32_t writeOffset = (readOffset + fill) % kBufferBytes;
            const std::uint32_t space = writeOffset >= readOffset && fill < kBufferBytes
                                            ? kBufferBytes - writeOffset
                                            : readOffset - writeOffset;
            int length = int(space);
            decoder.read(buffer + writeOffset, &length);
            fill += std::uint32_t(length);
            exhausted = length == 0 && !loop_;
            if (length == 0 && loop_) decoder.seek(0, 1);
        }
        if (fill > 0) {
            const std::uint32_t piece = std::min({chunk, fill, kBufferBytes - readOffset});
            const unsigned char* source = buffer + readOffset;
            readOffset = (readOffset + piece) % kBufferBytes;
            fill -= piece;
            while (channel_.writeData(source, piece) == 0 && !stopRequested()) os::Sleep(10);
        }
        if (fill == 0 && exhausted) break;
        os::Sleep(10);
    }
    if (stopRequested()) channel_.stop();
}

void SoundPlayer::playOneShot(WavReader& decoder) {
    channel_.layoutBySize(kBufferBytes, 1);
    unsigned char* slot = channel_.slotData(0);
    std::uint32_t length = 0;
    while (length < channel_.slotSize()) {
        int piece = int(std::min<std::uint32_t>(1024, channel_.slotSize() - length));
        if (decoder.read(slot + length, &piece) <= 0) break;
        length += std::uint32_t(piece);
    }
    channel_.writeSlot(0, length, loop_);
}

unsigned SoundPlayer::run() {
    WavReader* const decoder = current_.load();
    if (!decoder) return 0;
    auto buffer = std::make_unique<unsigned char[]>(kBufferBytes);
    WavDescription description;
    decoder->describe(&description);
    if (openDevice(description)) {
        // The slot holds the decoded sound, which for 8-bit sources is twice
        // the file's data: only what fits whole plays from it.
        if (decoder->decodedSize() > std::uint64_t(kBufferBytes))
            playStreamed(*decoder, buffer.get(), description);
        else
            playOneShot(*decoder);
        while (!stopRequested() && !channel_.allDone()) os::Sleep(60);
        channel_.stop();
    }
    if (callback_) callback_->finished(this);
    return 0;
}

}  // namespace talvio
