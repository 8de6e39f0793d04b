// In-process HID bus for hosted tests: simulated handsets of either model
// and unrelated HID devices that a test plugs and unplugs (announced to the
// registered window with WM_DEVICECHANGE, sent on the calling thread).
// Records every output report with its virtual time, and every read that
// waited in vain. Safe to use from the LCD writer thread and the test
// thread at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "handset/hid_bus.h"
#include "tools/handset_sim/sim_handset.h"

namespace talvio::testing {

struct OutputRecord {
    std::uint64_t time = 0;
    std::vector<std::uint8_t> bytes;
};

struct MissedRead {
    std::uint64_t time = 0;
    std::uint32_t waitedMs = 0;
};

class FakeHandset {
public:
    explicit FakeHandset(int modelId) : sim_(modelId) {}

    // Runs `action` on the simulated handset under the handset's lock.
    template <typename Action>
    auto With(Action&& action) {
        std::lock_guard<std::mutex> lock(mutex_);
        return action(sim_);
    }
    std::vector<OutputRecord> Outputs();
    std::vector<MissedRead> MissedReads();
    int Opens();
    void ClearRecords();
    void SetWritesFail(bool fail);
    // Its ids stay readable, but opening it for reports fails.
    void SetOpenFails(bool fail);
    bool openFails();

    // Called by the fake connections.
    bool Write(const std::uint8_t* data, std::size_t length);
    bool TakeReport(std::uint8_t* buffer, std::size_t length);
    void RecordMissedRead(std::uint32_t waitedMs);
    void RecordOpen();
    bool plugged();
    void SetPlugged(bool plugged);

private:
    std::mutex mutex_;
    SimHandset sim_;
    bool plugged_ = true;
    bool writesFail_ = false;
    bool openFails_ = false;
    int opens_ = 0;
    std::vector<OutputRecord> outputs_;
    std::vector<MissedRead> missedReads_;
};

class FakeHidBus : public HidBus {
public:
    std::shared_ptr<FakeHandset> PlugHandset(int modelId);
    void Unplug(const std::shared_ptr<FakeHandset>& handset);
    // An unrelated device (opens, has ids, never matches a handset).
    void PlugOther(std::uint16_t vendorId, std::uint16_t productId, std::wstring path);
    void UnplugOther(const std::wstring& path);
    // An interface whose path cannot be read.
    void AddUnreadableInterface();
    void SetListFails(bool fail) { listFails_ = fail; }

    int errorBoxes() const { return static_cast<int>(errors_.size()); }
    const std::vector<std::wstring>& errors() const { return errors_; }
    bool registered() const { return window_ != nullptr; }

    std::unique_ptr<HidInterfaceList> ListPresent() override;
    bool QueryAttributes(const std::wstring& path, HidAttributes& attributes) override;
    std::unique_ptr<HidConnection> Open(const std::wstring& path) override;
    std::unique_ptr<HidNotification> RegisterNotification(os::Hwnd window) override;
    void ShowError(const std::wstring& text, const std::wstring& title) override;

    struct Entry {
        std::wstring path;
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        std::shared_ptr<FakeHandset> handset;
        bool unreadable = false;
    };

private:
    void Announce(os::WParam kind);
    const Entry* Find(const std::wstring& path) const;

    std::vector<Entry> entries_;
    int nextSerial_ = 1;
    bool listFails_ = false;
    os::Hwnd window_ = nullptr;
    std::vector<std::wstring> errors_;
};

}  // namespace talvio::testing
