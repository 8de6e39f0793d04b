// Fakes of the audio ports for hosted-desktop tests. The wave-out fake
// plays on the virtual clock: a written header starts when the one before
// it ends and is done after its length at the format's byte rate (a
// looping header never is); a reset cuts what plays short. What a listener
// would have heard is kept. All fakes may be used from the player thread
// and the test thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "audio/audio_ports.h"

namespace talvio::testing {

class FakeWaveOut final : public WaveOut {
public:
    struct Opened {
        unsigned id;
        WaveFormat format;
        std::uint64_t time;
    };
    struct Played {
        std::vector<unsigned char> data;
        bool looping;
        std::uint64_t start;
        std::uint64_t end;  // UINT64_MAX while a loop goes on
        bool cut;           // ended by a reset
        std::uint32_t byteRate;
    };

    explicit FakeWaveOut(std::vector<std::wstring> names = {}) : names_(std::move(names)) {}

    unsigned deviceCount() override;
    bool deviceName(unsigned id, std::wstring* name) override;
    unsigned open(Device* device, unsigned id, const WaveFormat& format) override;
    unsigned prepare(Device device, WaveHeader* header) override;
    unsigned unprepare(Device device, WaveHeader* header) override;
    unsigned write(Device device, WaveHeader* header) override;
    std::uint32_t status(Device device, const WaveHeader* header) override;
    unsigned reset(Device device) override;
    unsigned close(Device device) override;

    void SetNames(std::vector<std::wstring> names);
    // The next `count` opens fail; the next `count` closes answer "still playing".
    void FailOpens(int count);
    void StillPlayingCloses(int count);
    void RefuseWrites(bool refuse);

    std::vector<Opened> Opens() const;
    std::vector<Played> Writes() const;
    int CloseCount() const;
    bool IsOpen() const;
    // The bytes played up to now, in order; a loop counts its repeats.
    std::vector<unsigned char> Heard() const;
    // Virtual time when the last header finished or was cut, 0 if none did.
    std::uint64_t LastEnd() const;

private:
    std::uint64_t endOf(const Played& played) const;

    mutable std::mutex mutex_;
    std::vector<std::wstring> names_;
    int failOpens_ = 0;
    int stillPlaying_ = 0;
    bool refuseWrites_ = false;
    bool open_ = false;
    WaveFormat format_;
    std::vector<Opened> opens_;
    std::vector<Played> writes_;
    std::map<const WaveHeader*, std::size_t> active_;  // header -> write
    std::map<const WaveHeader*, bool> prepared_;
    int closes_ = 0;
};

class FakeWaveIn final : public WaveInCaps {
public:
    explicit FakeWaveIn(std::vector<std::wstring> names = {}) : names(std::move(names)) {}
    unsigned deviceCount() override { return unsigned(names.size()); }
    bool deviceName(unsigned id, std::wstring* name) override;
    std::vector<std::wstring> names;
};

class FakeMixer final : public MixerPort {
public:
    struct Device {
        std::wstring name;
        bool speaker = true;
        bool microphone = true;
        unsigned speakerVolume = 20000;
        unsigned microphoneVolume = 10000;
    };
    struct Set {
        unsigned device;
        bool speaker;
        unsigned value;
    };

    explicit FakeMixer(std::vector<Device> devices = {}) : devices_(std::move(devices)) {}

    unsigned deviceCount() override;
    bool deviceName(unsigned id, std::wstring* name) override;
    unsigned open(Mixer* mixer, unsigned id) override;
    unsigned close(Mixer mixer) override;
    unsigned lineByComponent(Mixer mixer, std::uint32_t componentType,
                             std::uint32_t* lineId) override;
    unsigned controlByType(Mixer mixer, std::uint32_t lineId, std::uint32_t controlType,
                           std::uint32_t* controlId) override;
    unsigned getValue(Mixer mixer, std::uint32_t controlId, std::uint32_t* value) override;
    unsigned setValue(Mixer mixer, std::uint32_t controlId, std::uint32_t value) override;

    std::vector<unsigned> Opens() const;
    std::vector<Set> Sets() const;
    unsigned Volume(unsigned device, bool speaker) const;
    void SetStoredVolume(unsigned device, bool speaker, unsigned value);

private:
    mutable std::mutex mutex_;
    std::vector<Device> devices_;
    std::vector<unsigned> opens_;
    std::vector<Set> sets_;
};

class FakeOsVersion final : public OsVersion {
public:
    explicit FakeOsVersion(unsigned major) : major(major) {}
    unsigned majorVersion() override { return major; }
    unsigned major;
};

class FakeLauncher final : public ProcessLauncher {
public:
    unsigned winExec(const std::string& commandLine) override {
        commandLines.push_back(commandLine);
        return 33;
    }
    std::vector<std::string> commandLines;
};

class FakeResources final : public WaveResources {
public:
    bool find(int id, const void** data, int* size) override;
    // The program's own sounds, as tonegen makes them.
    void AddBuiltInSounds();
    std::map<int, std::vector<unsigned char>> sounds;
};

}  // namespace talvio::testing
