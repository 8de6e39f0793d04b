#include "tools/handset_sim/sim_handset.h"

#include <utility>

#include "handset/handset_protocol.h"

namespace talvio {

SimHandset::SimHandset(int modelId) : modelId_(modelId == kLcdModelId ? kLcdModelId : kKeypadModelId) {}

std::uint16_t SimHandset::vendorId() const { return kHandsetVendorId; }

std::uint16_t SimHandset::productId() const {
    return modelId_ == kLcdModelId ? kLcdProductId : kKeypadProductId;
}

std::vector<std::uint8_t> SimHandset::Report(std::uint8_t wheel) const {
    std::uint8_t lineByte;
    if (modelId_ == kLcdModelId) {
        lineByte = line_ ? kLcdLineSelected : 0x00;
    } else {
        lineByte = line_ ? 0x00 : kKeypadLineReleased;
    }
    std::vector<std::uint8_t> report(kInputReportLength, 0);
    report[0] = kReportId;
    report[1] = key_;
    report[2] = onHook_ ? kHookOnCradle : 0x00;
    report[3] = wheel;
    report[4] = lineByte;
    return report;
}

std::vector<std::uint8_t> SimHandset::StateReport() const { return Report(0); }

void SimHandset::Queue(std::uint8_t wheel) {
    if (silent_) return;
    if (pending_.size() >= kQueueLimit) pending_.pop_front();
    pending_.push_back(Report(wheel));
}

void SimHandset::HoldKey(std::uint8_t keyCode) {
    key_ = keyCode;
    Queue(0);
}

bool SimHandset::HoldKeyFor(int eventCode) {
    const std::uint8_t key = KeyCodeForEvent(modelId_, eventCode);
    if (key == 0) return false;
    HoldKey(key);
    return true;
}

void SimHandset::ReleaseKey() { HoldKey(0); }

void SimHandset::Lift() {
    onHook_ = false;
    Queue(0);
}

void SimHandset::HangUp() {
    onHook_ = true;
    Queue(0);
}

void SimHandset::SetLine(bool selected) {
    line_ = selected;
    Queue(0);
}

void SimHandset::TurnWheel(int steps) {
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
        Queue(steps < 0 ? kWheelStepDown : kWheelStepUp);
    }
}

void SimHandset::SetSilent(bool silent) { silent_ = silent; }

void SimHandset::QueueState() { Queue(0); }

bool SimHandset::NextInputReport(std::vector<std::uint8_t>& report) {
    if (silent_ || pending_.empty()) return false;
    report = std::move(pending_.front());
    pending_.pop_front();
    return true;
}

void SimHandset::AcceptOutputReport(const std::uint8_t* data, std::size_t length) {
    if (data == nullptr || length < 3 || data[0] != kReportId) {
        ++rejectedReports_;
        return;
    }
    switch (data[1]) {
    case kCommandAudioRoute:
        if (data[2] != kRouteRing && data[2] != kRouteTalk) {
            ++rejectedReports_;
            return;
        }
        audioRoute_ = data[2];
        ++routeCommands_;
        chunkRun_ = 0;
        Record("route=" + std::to_string(audioRoute_));
        return;
    case kCommandLight:
        light_ = data[2] == 1;
        ++lightCommands_;
        chunkRun_ = 0;
        Record(light_ ? "light=1" : "light=0");
        return;
    case kCommandStatus:
        ++statusCommands_;
        return;
    case kCommandLcdChunk: {
        if (modelId_ != kLcdModelId || length < kLcdChunkDataOffset + kLcdChunkWidth ||
            data[2] != 0x01 || data[3] >= kLcdPages || data[4] >= kLcdDeviceColumns) {
            ++rejectedReports_;
            return;
        }
        ++chunkReports_;
        for (int i = 0; i < kLcdChunkWidth && data[4] + i < kLcdDeviceColumns; ++i) {
            const int column = data[4] + i;
            const std::uint8_t value = data[kLcdChunkDataOffset + i];
            if (column < kLcdBlankColumns && value != 0) marginWritten_ = true;
            std::uint8_t& cell = display_[data[3]][column];
            litBytes_ += (value != 0 ? 1 : 0) - (cell != 0 ? 1 : 0);
            cell = value;
        }
        std::string run = "lcd=" + std::to_string(++chunkRun_) + (litBytes_ == 0 ? ":blank" : ":lit");
        if (chunkRun_ > 1) history_.back() = std::move(run);
        else Record(std::move(run));
        return;
    }
    default:
        ++rejectedReports_;
    }
}

void SimHandset::Record(std::string entry) {
    if (history_.size() == kHistoryLimit) history_.pop_front();
    history_.push_back(std::move(entry));
}

bool SimHandset::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return false;
    // The LCD is mounted turned by 180 degrees: picture page k is device
    // page 7 - k, picture column x is device column 4 + 127 - x, and the
    // page's top row is bit 7.
    const int devicePage = kLcdPages - 1 - y / 8;
    const int column = kLcdBlankColumns + (kWidth - 1 - x);
    return (display_[devicePage][column] >> (7 - y % 8)) & 1;
}

int SimHandset::LitPixels() const {
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) lit += Pixel(x, y) ? 1 : 0;
    }
    return lit;
}

bool SimHandset::Blank() const { return litBytes_ == 0; }

}  // namespace talvio
