#include "tests/handset/support/fake_hid_bus.h"

#include <algorithm>
#include <cstring>

#include "platform/hosted/desktop.h"

namespace talvio::testing {
namespace {

class FakeList : public HidInterfaceList {
public:
    explicit FakeList(std::vector<FakeHidBus::Entry> entries) : entries_(std::move(entries)) {}
    HidPathResult GetPath(int index, std::wstring& path) override {
        if (index < 0 || index >= static_cast<int>(entries_.size())) return HidPathResult::kNoInterface;
        if (entries_[index].unreadable) return HidPathResult::kFailed;
        path = entries_[index].path;
        return HidPathResult::kOk;
    }

private:
    std::vector<FakeHidBus::Entry> entries_;
};

class FakeConnection : public HidConnection {
public:
    FakeConnection(FakeHidBus::Entry entry) : entry_(std::move(entry)) {}
    bool GetAttributes(HidAttributes& attributes) override {
        attributes = {entry_.vendorId, entry_.productId};
        return true;
    }
    bool GetCapabilities(HidCapabilities& capabilities) override {
        capabilities = {SimHandset::kInputReportLength, SimHandset::kOutputReportLength};
        return true;
    }
    bool Write(const std::uint8_t* data, std::size_t length) override {
        return entry_.handset && entry_.handset->Write(data, length);
    }
    bool Read(std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override {
        if (!entry_.handset || !entry_.handset->plugged()) return false;
        if (entry_.handset->TakeReport(buffer, length)) return true;
        entry_.handset->RecordMissedRead(timeoutMs);
        os::Sleep(timeoutMs);
        return false;
    }

private:
    FakeHidBus::Entry entry_;
};

class FakeNotification : public HidNotification {
public:
    explicit FakeNotification(os::Hwnd* slot) : slot_(slot) {}
    ~FakeNotification() override { *slot_ = nullptr; }

private:
    os::Hwnd* slot_;
};

}  // namespace

std::vector<OutputRecord> FakeHandset::Outputs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return outputs_;
}

std::vector<MissedRead> FakeHandset::MissedReads() {
    std::lock_guard<std::mutex> lock(mutex_);
    return missedReads_;
}

int FakeHandset::Opens() {
    std::lock_guard<std::mutex> lock(mutex_);
    return opens_;
}

void FakeHandset::ClearRecords() {
    std::lock_guard<std::mutex> lock(mutex_);
    outputs_.clear();
    missedReads_.clear();
}

void FakeHandset::SetWritesFail(bool fail) {
    std::lock_guard<std::mutex> lock(mutex_);
    writesFail_ = fail;
}

void FakeHandset::SetOpenFails(bool fail) {
    std::lock_guard<std::mutex> lock(mutex_);
    openFails_ = fail;
}

bool FakeHandset::openFails() {
    std::lock_guard<std::mutex> lock(mutex_);
    return openFails_;
}

bool FakeHandset::Write(const std::uint8_t* data, std::size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_ || writesFail_) return false;
    outputs_.push_back({os::hosted::Now(), std::vector<std::uint8_t>(data, data + length)});
    sim_.AcceptOutputReport(data, length);
    return true;
}

bool FakeHandset::TakeReport(std::uint8_t* buffer, std::size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::uint8_t> report;
    if (!sim_.NextInputReport(report)) return false;
    std::memcpy(buffer, report.data(), std::min(length, report.size()));
    return true;
}

void FakeHandset::RecordMissedRead(std::uint32_t waitedMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    missedReads_.push_back({os::hosted::Now(), waitedMs});
}

void FakeHandset::RecordOpen() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++opens_;
    // A new handle sees no earlier reports, only the current state.
    sim_.DiscardReports();
    sim_.QueueState();
}

bool FakeHandset::plugged() {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

void FakeHandset::SetPlugged(bool plugged) {
    std::lock_guard<std::mutex> lock(mutex_);
    plugged_ = plugged;
}

std::shared_ptr<FakeHandset> FakeHidBus::PlugHandset(int modelId) {
    auto handset = std::make_shared<FakeHandset>(modelId);
    Entry entry;
    entry.path = L"\\\\?\\hid#vid_04b4&pid_040" + std::to_wstring(modelId == 11 ? 7 : 6) + L"#" +
                 std::to_wstring(nextSerial_++);
    handset->With([&](SimHandset& sim) {
        entry.vendorId = sim.vendorId();
        entry.productId = sim.productId();
        return 0;
    });
    entry.handset = handset;
    entries_.push_back(entry);
    Announce(kDeviceArrival);
    return handset;
}

void FakeHidBus::Unplug(const std::shared_ptr<FakeHandset>& handset) {
    handset->SetPlugged(false);
    std::erase_if(entries_, [&](const Entry& e) { return e.handset == handset; });
    Announce(kDeviceRemoveComplete);
}

void FakeHidBus::PlugOther(std::uint16_t vendorId, std::uint16_t productId, std::wstring path) {
    Entry entry;
    entry.path = std::move(path);
    entry.vendorId = vendorId;
    entry.productId = productId;
    entries_.insert(entries_.begin(), entry);
    Announce(kDeviceArrival);
}

void FakeHidBus::UnplugOther(const std::wstring& path) {
    std::erase_if(entries_, [&](const Entry& e) { return e.path == path && !e.handset; });
    Announce(kDeviceRemoveComplete);
}

void FakeHidBus::AddUnreadableInterface() {
    Entry entry;
    entry.unreadable = true;
    entries_.push_back(entry);
}

void FakeHidBus::Announce(os::WParam kind) {
    if (window_) os::SendMessage(window_, os::WM_DEVICECHANGE, kind, 0);
}

const FakeHidBus::Entry* FakeHidBus::Find(const std::wstring& path) const {
    for (const Entry& entry : entries_) {
        if (!entry.unreadable && entry.path == path) return &entry;
    }
    return nullptr;
}

std::unique_ptr<HidInterfaceList> FakeHidBus::ListPresent() {
    if (listFails_) return nullptr;
    return std::make_unique<FakeList>(entries_);
}

bool FakeHidBus::QueryAttributes(const std::wstring& path, HidAttributes& attributes) {
    const Entry* entry = Find(path);
    if (!entry) return false;
    attributes = {entry->vendorId, entry->productId};
    return true;
}

std::unique_ptr<HidConnection> FakeHidBus::Open(const std::wstring& path) {
    const Entry* entry = Find(path);
    if (!entry) return nullptr;
    if (entry->handset && entry->handset->openFails()) return nullptr;
    if (entry->handset) entry->handset->RecordOpen();
    return std::make_unique<FakeConnection>(*entry);
}

std::unique_ptr<HidNotification> FakeHidBus::RegisterNotification(os::Hwnd window) {
    window_ = window;
    return std::make_unique<FakeNotification>(&window_);
}

void FakeHidBus::ShowError(const std::wstring& text, const std::wstring& title) {
    errors_.push_back(title + L": " + text);
}

}  // namespace talvio::testing
