#include "tests/audio/support/fake_audio_ports.h"

#include <algorithm>
#include <limits>

#include "platform/hosted/desktop.h"
#include "tools/tonegen/tone_synth.h"

namespace talvio::testing {

namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
constexpr WaveOut::Device kDevice = 0x5a;
constexpr unsigned kInvalidLine = 1025;  // MIXERR_INVALLINE
constexpr unsigned kWaveMapper = 0xFFFFFFFF;

std::uint64_t DurationMs(std::size_t bytes, std::uint32_t byteRate) {
    return byteRate ? (std::uint64_t(bytes) * 1000 + byteRate - 1) / byteRate : 0;
}

}  // namespace

unsigned FakeWaveOut::deviceCount() {
    std::lock_guard lock(mutex_);
    return unsigned(names_.size());
}

bool FakeWaveOut::deviceName(unsigned id, std::wstring* name) {
    std::lock_guard lock(mutex_);
    if (id >= names_.size()) return false;
    *name = names_[id];
    return true;
}

unsigned FakeWaveOut::open(Device* device, unsigned id, const WaveFormat& format) {
    std::lock_guard lock(mutex_);
    *device = 0;
    if (names_.empty() || (id >= names_.size() && id != kWaveMapper)) return kMmBadDeviceId;
    if (failOpens_ > 0) {
        --failOpens_;
        return kMmError;
    }
    opens_.push_back({id, format, os::hosted::Now()});
    open_ = true;
    format_ = format;
    *device = kDevice;
    return kMmNoError;
}

unsigned FakeWaveOut::prepare(Device device, WaveHeader* header) {
    std::lock_guard lock(mutex_);
    if (device != kDevice || !open_) return kMmError;
    prepared_[header] = true;
    active_.erase(header);
    return kMmNoError;
}

std::uint64_t FakeWaveOut::endOf(const Played& played) const {
    if (played.looping && !played.cut) return kNever;
    return played.end;
}

unsigned FakeWaveOut::unprepare(Device device, WaveHeader* header) {
    std::lock_guard lock(mutex_);
    if (device != kDevice) return kMmError;
    const auto it = active_.find(header);
    if (it != active_.end() && endOf(writes_[it->second]) > os::hosted::Now())
        return kWaveStillPlaying;
    prepared_.erase(header);
    active_.erase(header);
    return kMmNoError;
}

unsigned FakeWaveOut::write(Device device, WaveHeader* header) {
    std::lock_guard lock(mutex_);
    if (device != kDevice || !prepared_.count(header)) return kMmError;
    if (refuseWrites_) return kMmError;
    const std::uint64_t now = os::hosted::Now();
    std::uint64_t start = now;
    for (const Played& earlier : writes_)
        if (!earlier.cut) start = std::max(start, std::min(endOf(earlier), kNever - 1));
    Played played;
    played.data.assign(header->data, header->data + header->length);
    played.looping = header->loops == kLoopForever && (header->flags & kHeaderBeginLoop);
    played.start = start;
    played.byteRate = format_.averageBytesPerSecond;
    played.end = start + DurationMs(header->length, played.byteRate);
    played.cut = false;
    active_[header] = writes_.size();
    writes_.push_back(std::move(played));
    return kMmNoError;
}

std::uint32_t FakeWaveOut::status(Device, const WaveHeader* header) {
    std::lock_guard lock(mutex_);
    std::uint32_t flags = prepared_.count(header) ? kHeaderPrepared : 0;
    const auto it = active_.find(header);
    if (it == active_.end() || endOf(writes_[it->second]) <= os::hosted::Now()) flags |= kHeaderDone;
    return flags;
}

unsigned FakeWaveOut::reset(Device device) {
    std::lock_guard lock(mutex_);
    if (device != kDevice) return kMmError;
    const std::uint64_t now = os::hosted::Now();
    for (Played& played : writes_) {
        if (endOf(played) > now) {
            played.end = std::max(played.start, now);
            played.cut = true;
        }
    }
    return kMmNoError;
}

unsigned FakeWaveOut::close(Device device) {
    std::lock_guard lock(mutex_);
    if (device != kDevice || !open_) return kMmError;
    if (stillPlaying_ > 0) {
        --stillPlaying_;
        return kWaveStillPlaying;
    }
    const std::uint64_t now = os::hosted::Now();
    for (const Played& played : writes_)
        if (endOf(played) > now) return kWaveStillPlaying;
    open_ = false;
    ++closes_;
    prepared_.clear();
    active_.clear();
    return kMmNoError;
}

void FakeWaveOut::SetNames(std::vector<std::wstring> names) {
    std::lock_guard lock(mutex_);
    names_ = std::move(names);
}

void FakeWaveOut::FailOpens(int count) {
    std::lock_guard lock(mutex_);
    failOpens_ = count;
}

void FakeWaveOut::StillPlayingCloses(int count) {
    std::lock_guard lock(mutex_);
    stillPlaying_ = count;
}

void FakeWaveOut::RefuseWrites(bool refuse) {
    std::lock_guard lock(mutex_);
    refuseWrites_ = refuse;
}

std::vector<FakeWaveOut::Opened> FakeWaveOut::Opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

std::vector<FakeWaveOut::Played> FakeWaveOut::Writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

int FakeWaveOut::CloseCount() const {
    std::lock_guard lock(mutex_);
    return closes_;
}

bool FakeWaveOut::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

std::vector<unsigned char> FakeWaveOut::Heard() const {
    std::lock_guard lock(mutex_);
    const std::uint64_t now = os::hosted::Now();
    std::vector<unsigned char> heard;
    for (const Played& played : writes_) {
        if (played.data.empty() || played.start >= now) continue;
        const std::uint64_t end = std::min(endOf(played), now);
        std::uint64_t bytes = (end - played.start) * played.byteRate / 1000;
        if (!played.looping) bytes = std::min<std::uint64_t>(bytes, played.data.size());
        bytes &= ~std::uint64_t(1);
        for (std::uint64_t i = 0; i < bytes; ++i)
            heard.push_back(played.data[std::size_t(i % played.data.size())]);
    }
    return heard;
}

std::uint64_t FakeWaveOut::LastEnd() const {
    std::lock_guard lock(mutex_);
    std::uint64_t last = 0;
    for (const Played& played : writes_)
        if (endOf(played) != kNever) last = std::max(last, played.end);
    return last;
}

bool FakeWaveIn::deviceName(unsigned id, std::wstring* name) {
    if (id >= names.size()) return false;
    *name = names[id];
    return true;
}

unsigned FakeMixer::deviceCount() {
    std::lock_guard lock(mutex_);
    return unsigned(devices_.size());
}

bool FakeMixer::deviceName(unsigned id, std::wstring* name) {
    std::lock_guard lock(mutex_);
    if (id >= devices_.size()) return false;
    *name = devices_[id].name;
    return true;
}

// A mixer handle is its id + 1; a line id is its component type; a
// control id is its line id.
unsigned FakeMixer::open(Mixer* mixer, unsigned id) {
    std::lock_guard lock(mutex_);
    *mixer = 0;
    if (id >= devices_.size()) return kMmBadDeviceId;
    opens_.push_back(id);
    *mixer = id + 1;
    return kMmNoError;
}

unsigned FakeMixer::close(Mixer mixer) {
    std::lock_guard lock(mutex_);
    return mixer >= 1 && mixer <= devices_.size() ? kMmNoError : kMmError;
}

unsigned FakeMixer::lineByComponent(Mixer mixer, std::uint32_t componentType,
                                    std::uint32_t* lineId) {
    std::lock_guard lock(mutex_);
    if (mixer < 1 || mixer > devices_.size()) return kMmError;
    const Device& device = devices_[mixer - 1];
    const bool present = (componentType == kComponentSpeakers && device.speaker) ||
                         (componentType == kComponentMicrophone && device.microphone);
    if (!present) return kInvalidLine;
    *lineId = componentType;
    return kMmNoError;
}

unsigned FakeMixer::controlByType(Mixer mixer, std::uint32_t lineId, std::uint32_t controlType,
                                  std::uint32_t* controlId) {
    std::lock_guard lock(mutex_);
    if (mixer < 1 || mixer > devices_.size() || controlType != kControlVolume) return kMmError;
    *controlId = lineId;
    return kMmNoError;
}

unsigned FakeMixer::getValue(Mixer mixer, std::uint32_t controlId, std::uint32_t* value) {
    std::lock_guard lock(mutex_);
    if (mixer < 1 || mixer > devices_.size()) return kMmError;
    const Device& device = devices_[mixer - 1];
    *value = controlId == kComponentSpeakers ? device.speakerVolume : device.microphoneVolume;
    return kMmNoError;
}

unsigned FakeMixer::setValue(Mixer mixer, std::uint32_t controlId, std::uint32_t value) {
    std::lock_guard lock(mutex_);
    if (mixer < 1 || mixer > devices_.size()) return kMmError;
    Device& device = devices_[mixer - 1];
    const bool speaker = controlId == kComponentSpeakers;
    (speaker ? device.speakerVolume : device.microphoneVolume) = value;
    sets_.push_back({unsigned(mixer - 1), speaker, value});
    return kMmNoError;
}

std::vector<unsigned> FakeMixer::Opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

std::vector<FakeMixer::Set> FakeMixer::Sets() const {
    std::lock_guard lock(mutex_);
    return sets_;
}

unsigned FakeMixer::Volume(unsigned device, bool speaker) const {
    std::lock_guard lock(mutex_);
    return speaker ? devices_.at(device).speakerVolume : devices_.at(device).microphoneVolume;
}

void FakeMixer::SetStoredVolume(unsigned device, bool speaker, unsigned value) {
    std::lock_guard lock(mutex_);
    (speaker ? devices_.at(device).speakerVolume : devices_.at(device).microphoneVolume) = value;
}

bool FakeResources::find(int id, const void** data, int* size) {
    const auto it = sounds.find(id);
    if (it == sounds.end()) return false;
    *data = it->second.data();
    *size = int(it->second.size());
    return true;
}

void FakeResources::AddBuiltInSounds() {
    for (int id : tonegen::SoundIds()) sounds[id] = tonegen::WaveFile(tonegen::Sound(id));
}

}  // namespace talvio::testing
