// The simulator's side of the HID bus: one plugged handset served on a
// named pipe (every CreateFile of its path is one connection), the shared
// interface listing read by the test setupapi.dll, and WM_DEVICECHANGE
// announcements to the driver's device-notification window.
// Thread-safe: the GUI, the control pipe and the script call it at once.
#pragma once

#include "platform/win32/windows_api.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/handset_sim/sim_bus_shared.h"
#include "tools/handset_sim/sim_commands.h"

namespace talvio::sim {

class PipeConnection;

class SimBus : public SimControlTarget {
public:
    SimBus();
    ~SimBus();

    bool Plug(int modelId) override;
    bool Unplug() override;
    void SetDecoy(bool on) override;
    bool Apply(const std::function<void(SimHandset&)>& action) override;
    // Told each route and light command the plugged handset receives
    // ("route=3", "light=0"), on the connection's thread, under the bus lock.
    void SetCommandObserver(std::function<void(const std::string&)> observer) {
        observer_ = std::move(observer);
    }

    // Called by connections.
    void AcceptOutput(const std::uint8_t* data, std::size_t length);
    Hello hello();
    std::vector<std::uint8_t> StateReport();

private:
    void ListenLoop(std::wstring pipeName, HANDLE stop);
    void Distribute();  // moves queued input reports to every connection
    void PublishListing();
    void Announce(WPARAM kind);
    void StopDevice();

    std::mutex mutex_;
    std::function<void(const std::string&)> observer_;
    std::unique_ptr<SimHandset> handset_;
    std::wstring pipeName_;
    bool decoy_ = false;
    int serial_ = 0;
    HANDLE stop_ = nullptr;
    std::vector<std::thread> listeners_;
    std::vector<std::thread> announcers_;
    std::vector<std::shared_ptr<PipeConnection>> connections_;
    HANDLE listing_ = nullptr;
    HANDLE listingLock_ = nullptr;
};

}  // namespace talvio::sim
