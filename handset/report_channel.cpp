#include "handset/report_channel.h"

namespace talvio {

bool ReportChannel::WriteReport(const std::vector<std::uint8_t>& report) {
    const std::size_t length = capabilities_.outputReportLength;
    if (!connection_ || length == 0 || report.size() < length) return false;
    return connection_->Write(report.data(), length);
}

bool ReportChannel::WriteReportLocked(const std::vector<std::uint8_t>& report) {
    MutexLock lock(writeLock);
    return WriteReport(report);
}

bool ReportChannel::ReadReport(std::vector<std::uint8_t>& buffer) {
    const std::size_t length = capabilities_.inputReportLength;
    if (!connection_ || length == 0 || buffer.size() < length) return false;
    return connection_->Read(buffer.data(), length, kReadTimeoutMs);
}

}  // namespace talvio
