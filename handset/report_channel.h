// The transport of one opened handset: the HID connection, its report
// lengths and the write lock that serialises every output report. Shared
// (std::shared_ptr) between the device and the LCD writer thread, so an
// abandoned writer never outlives what it uses.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/mutex.h"
#include "handset/hid_bus.h"

namespace talvio {

class ReportChannel {
public:
    ReportChannel(std::unique_ptr<HidConnection> connection, HidCapabilities capabilities)
        : connection_(std::move(connection)), capabilities_(capabilities) {}

    std::uint16_t inputReportLength() const { return capabilities_.inputReportLength; }
    std::uint16_t outputReportLength() const { return capabilities_.outputReportLength; }

    // The first outputReportLength bytes of `report` (a report buffer);
    // true when all of them were written. Callers hold writeLock.
    bool WriteReport(const std::vector<std::uint8_t>& report);
    bool WriteReportLocked(const std::vector<std::uint8_t>& report);
    // One input report into `buffer` (a zeroed report buffer) within 50 ms.
    bool ReadReport(std::vector<std::uint8_t>& buffer);

    // Taken inside the device lock, never the other way round.
    Mutex writeLock;

private:
    std::unique_ptr<HidConnection> connection_;
    HidCapabilities capabilities_;
};

inline constexpr std::uint32_t kReadTimeoutMs = 50;

}  // namespace talvio
