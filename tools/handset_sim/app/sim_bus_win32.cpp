#include "tools/handset_sim/app/sim_bus_win32.h"

#include <dbt.h>

#include <algorithm>
#include <atomic>
#include <deque>

namespace talvio::sim {

constexpr wchar_t kDriverWindowClass[] = L"QmxUsbPhoneWndClass2005";
constexpr DWORD kPipeBuffer = 4096;
constexpr DWORD kWriteWaitMs = 200;
// The driver opens the path twice in a row: instances must already be
// listening, or the second open fails with ERROR_PIPE_BUSY.
constexpr int kListeningInstances = 4;

// One client handle of the device path. Output reports come in by an
// overlapped read; input reports go out from a queue. A client that never
// reads (the driver's write handle) fills its pipe buffer and then simply
// stops receiving.
class PipeConnection {
public:
    PipeConnection(SimBus& bus, HANDLE pipe, HANDLE stop) : bus_(bus), pipe_(pipe), stop_(stop) {
        wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        thread_ = std::thread([this] { Run(); });
    }
    ~PipeConnection() {
        if (thread_.joinable()) thread_.join();
        CloseHandle(wake_);
        CloseHandle(pipe_);
    }

    void Push(const std::vector<std::uint8_t>& report) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stalled_) return;
            queue_.push_back(report);
        }
        SetEvent(wake_);
    }
    bool finished() const { return finished_; }

private:
    bool WriteOne(const std::uint8_t* data, DWORD length) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = writeEvent_;
        DWORD written = 0;
        if (WriteFile(pipe_, data, length, &written, &overlapped)) return true;
        if (GetLastError() != ERROR_IO_PENDING) return false;
        if (WaitForSingleObject(writeEvent_, kWriteWaitMs) != WAIT_OBJECT_0) {
            CancelIoEx(pipe_, &overlapped);
            GetOverlappedResult(pipe_, &overlapped, &written, TRUE);
            std::lock_guard<std::mutex> lock(mutex_);
            stalled_ = true;
            queue_.clear();
            return true;
        }
        return GetOverlappedResult(pipe_, &overlapped, &written, FALSE) != 0;
    }

    void Run() {
        writeEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE readEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::uint8_t hello[kHelloLength];
        EncodeHello(bus_.hello(), hello);
        bool alive = WriteOne(hello, kHelloLength);
        if (alive) {
            const std::vector<std::uint8_t> state = bus_.StateReport();
            if (!state.empty()) Push(state);
        }
        std::uint8_t buffer[256];
        OVERLAPPED overlapped = {};
        bool reading = false;
        while (alive) {
            if (!reading) {
                overlapped = {};
                overlapped.hEvent = readEvent;
                DWORD got = 0;
                if (ReadFile(pipe_, buffer, sizeof(buffer), &got, &overlapped)) {
                    bus_.AcceptOutput(buffer, got);
                    continue;
                }
                if (GetLastError() != ERROR_IO_PENDING) break;
                reading = true;
            }
            HANDLE handles[] = {readEvent, wake_, stop_};
            const DWORD wait = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
            if (wait == WAIT_OBJECT_0) {
                DWORD got = 0;
                reading = false;
                if (!GetOverlappedResult(pipe_, &overlapped, &got, FALSE)) break;
                bus_.AcceptOutput(buffer, got);
            } else if (wait == WAIT_OBJECT_0 + 1) {
                std::deque<std::vector<std::uint8_t>> pending;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    pending.swap(queue_);
                }
                for (const auto& report : pending) {
                    if (!WriteOne(report.data(), static_cast<DWORD>(report.size()))) {
                        alive = false;
                        break;
                    }
                }
            } else {
                break;
            }
        }
        // Cancelling and waiting first: the read still owns buffer and overlapped.
        if (reading) {
            CancelIoEx(pipe_, &overlapped);
            DWORD got = 0;
            GetOverlappedResult(pipe_, &overlapped, &got, TRUE);
        }
        DisconnectNamedPipe(pipe_);
        CloseHandle(readEvent);
        CloseHandle(writeEvent_);
        finished_ = true;
    }

    SimBus& bus_;
    HANDLE pipe_;
    HANDLE stop_;
    HANDLE wake_ = nullptr;
    HANDLE writeEvent_ = nullptr;
    std::mutex mutex_;
    std::deque<std::vector<std::uint8_t>> queue_;
    bool stalled_ = false;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

SimBus::SimBus() {
    listingLock_ = CreateMutexW(nullptr, FALSE, kListingLockName);
    listing_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(BusListing), kListingName);
    PublishListing();
}

SimBus::~SimBus() {
    Unplug();
    for (std::thread& announcer : announcers_) announcer.join();
    decoy_ = false;
    PublishListing();
    if (listing_) CloseHandle(listing_);
    if (listingLock_) CloseHandle(listingLock_);
}

Hello SimBus::hello() {
    std::lock_guard<std::mutex> lock(mutex_);
    Hello hello;
    if (handset_) {
        hello = {handset_->vendorId(), handset_->productId(), SimHandset::kInputReportLength,
                 SimHandset::kOutputReportLength};
    }
    return hello;
}

std::vector<std::uint8_t> SimBus::StateReport() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!handset_ || handset_->silent()) return {};
    return handset_->StateReport();
}

void SimBus::AcceptOutput(const std::uint8_t* data, std::size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!handset_) return;
    const int commands = handset_->routeCommands() + handset_->lightCommands();
    handset_->AcceptOutputReport(data, length);
    if (observer_ && handset_->routeCommands() + handset_->lightCommands() != commands) {
        observer_(handset_->history().back());
    }
}

bool SimBus::Apply(const std::function<void(SimHandset&)>& action) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!handset_) return false;
        action(*handset_);
    }
    Distribute();
    return true;
}

void SimBus::Distribute() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!handset_) return;
    std::erase_if(connections_, [](const auto& c) { return c->finished(); });
    std::vector<std::uint8_t> report;
    while (handset_->NextInputReport(report)) {
        for (const auto& connection : connections_) connection->Push(report);
    }
}

void SimBus::ListenLoop(std::wstring pipeName, HANDLE stop) {
    HANDLE connected = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (;;) {
        HANDLE pipe = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                       PIPE_UNLIMITED_INSTANCES, kPipeBuffer, kPipeBuffer, 0,
                                       nullptr);
        if (pipe == INVALID_HANDLE_VALUE) break;
        OVERLAPPED overlapped = {};
        overlapped.hEvent = connected;
        ResetEvent(connected);
        bool ok = ConnectNamedPipe(pipe, &overlapped) != 0;
        if (!ok && GetLastError() == ERROR_PIPE_CONNECTED) ok = true;
        if (!ok && GetLastError() == ERROR_IO_PENDING) {
            HANDLE handles[] = {connected, stop};
            if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) {
                DWORD unused = 0;
                ok = GetOverlappedResult(pipe, &overlapped, &unused, FALSE) != 0;
            } else {
                CancelIoEx(pipe, &overlapped);
                DWORD unused = 0;
                GetOverlappedResult(pipe, &overlapped, &unused, TRUE);
                CloseHandle(pipe);
                break;
            }
        }
        if (!ok) {
            CloseHandle(pipe);
            continue;
        }
        auto connection = std::make_shared<PipeConnection>(*this, pipe, stop);
        std::lock_guard<std::mutex> lock(mutex_);
        std::erase_if(connections_, [](const auto& c) { return c->finished(); });
        connections_.push_back(std::move(connection));
    }
    CloseHandle(connected);
}

bool SimBus::Plug(int modelId) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (handset_) return false;
        handset_ = std::make_unique<SimHandset>(modelId);
        pipeName_ = L"\\\\.\\pipe\\talvio-handset-sim-" + std::to_wstring(GetCurrentProcessId()) +
                    L"-" + std::to_wstring(++serial_);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (int i = 0; i < kListeningInstances; ++i) {
            listeners_.emplace_back([this, name = pipeName_, stop = stop_] { ListenLoop(name, stop); });
        }
    }
    PublishListing();
    Announce(DBT_DEVICEARRIVAL);
    return true;
}

void SimBus::StopDevice() {
    HANDLE stop;
    std::vector<std::shared_ptr<PipeConnection>> connections;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop = stop_;
        stop_ = nullptr;
    }
    if (!stop) return;
    SetEvent(stop);
    for (std::thread& listener : listeners_) listener.join();
    listeners_.clear();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connections.swap(connections_);
    }
    connections.clear();  // joins each connection thread
    CloseHandle(stop);
}

bool SimBus::Unplug() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!handset_) return false;
    }
    StopDevice();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handset_.reset();
        pipeName_.clear();
    }
    PublishListing();
    Announce(DBT_DEVICEREMOVECOMPLETE);
    return true;
}

void SimBus::SetDecoy(bool on) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        decoy_ = on;
    }
    PublishListing();
}

void SimBus::PublishListing() {
    if (!listing_) return;
    auto* listing = static_cast<BusListing*>(
        MapViewOfFile(listing_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(BusListing)));
    if (!listing) return;
    std::vector<std::wstring> paths;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Longer than the 256-byte detail blocks that some enumerations use.
        if (decoy_) paths.push_back(L"\\\\?\\hid#vid_1234&pid_5678&mi_00&col01#" +
                                    std::wstring(200, L'7') + L"#{4d1e55b2-f16f-11cf-88cb-001111000030}");
        if (!pipeName_.empty()) paths.push_back(pipeName_);
    }
    WaitForSingleObject(listingLock_, 5000);
    listing->magic = kListingMagic;
    listing->count = static_cast<std::uint32_t>(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::size_t units = std::min<std::size_t>(paths[i].size(), kMaxPathUnits - 1);
        for (std::size_t u = 0; u < units; ++u) listing->paths[i][u] = static_cast<char16_t>(paths[i][u]);
        listing->paths[i][units] = 0;
    }
    ReleaseMutex(listingLock_);
    UnmapViewOfFile(listing);
}

void SimBus::Announce(WPARAM kind) {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kDriverWindowClass, nullptr)) != nullptr) {
        windows.push_back(window);
    }
    // A device change carries a pointer, so it can only be sent, not posted.
    // Sent from a thread of its own: the driver may be waiting for a reply
    // of ours meanwhile.
    std::lock_guard<std::mutex> lock(mutex_);
    const std::wstring name = pipeName_;
    announcers_.emplace_back([windows, kind, name] {
        struct {
            DEV_BROADCAST_DEVICEINTERFACE_W header;
            wchar_t rest[kMaxPathUnits];
        } notice = {};
        notice.header.dbcc_size = sizeof(notice);
        notice.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        notice.header.dbcc_classguid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
        name.copy(notice.header.dbcc_name, kMaxPathUnits - 1);
        for (HWND target : windows) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(target, WM_DEVICECHANGE, kind, reinterpret_cast<LPARAM>(&notice),
                                SMTO_ABORTIFHUNG, 5000, &result);
        }
    });
}

}  // namespace talvio::sim
