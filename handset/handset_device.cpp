#include "handset/handset_device.h"

#include <algorithm>

namespace talvio {

int HandsetDevice::NotSupported() {
    lastError_ = 2;
    return -1;
}

int HandsetDevice::Control(int, int) { return -1; }
int HandsetDevice::RequestAudioPath(int) { return -1; }
int HandsetDevice::Configure(int, int) { return NotSupported(); }
int HandsetDevice::SetRingerMode(int) { return NotSupported(); }
int HandsetDevice::SetOption(int) { return NotSupported(); }
int HandsetDevice::SetDisplayText(int, int, int, int, int, int) { return NotSupported(); }
int HandsetDevice::Reserved16(int, int, int) { return -1; }
int HandsetDevice::Reserved17(int, int, int) { return -1; }
int HandsetDevice::RenderScreen(int) { return -1; }

int HandsetDevice::WriteCommand(std::uint8_t command, std::uint8_t parameter) {
    if (!channel_) return -1;
    return channel_->WriteReportLocked(BuildCommandReport(outputLength(), command, parameter)) ? 0
                                                                                              : -1;
}

int HandsetDevice::SetLight(int, int on) { return SetLightFlag(on == 1 ? 1 : 0); }

int HandsetDevice::SetLightFlag(int on) {
    lightOn_ = on != 0;
    return WriteCommand(kCommandLight, lightOn_ ? 1 : 0);
}

int HandsetDevice::SetAudioPath(int on) {
    return WriteCommand(kCommandAudioRoute, on ? kRouteRing : kRouteTalk);
}

void HandsetDevice::OnSlowTimer() { WriteCommand(kCommandStatus, 0); }

int HandsetDevice::Open() {
    if (FindAndOpen() == -1) return -1;
    const int afterOpen = AfterOpen();
    os::SetTimer(context_.window, kPollTimerId, static_cast<std::uint32_t>(GetPollInterval()));
    os::SetTimer(context_.window, kSlowTimerId, kSlowTimerMs);
    return afterOpen == -1 ? -1 : 0;
}

int HandsetDevice::FindAndOpen() {
    channel_.reset();
    if (context_.bus == nullptr) return -1;
    std::unique_ptr<HidInterfaceList> list = context_.bus->ListPresent();
    if (!list) return -1;
    for (int index = 0; index < kOpenSearchLimit; ++index) {
        std::wstring path;
        if (list->GetPath(index, path) != HidPathResult::kOk) continue;
        std::unique_ptr<HidConnection> connection = context_.bus->Open(path);
        if (!connection) continue;
        HidAttributes attributes;
        if (!connection->GetAttributes(attributes) || attributes.vendorId != GetVendorId() ||
            attributes.productId != GetProductId()) {
            continue;
        }
        HidCapabilities capabilities;
        connection->GetCapabilities(capabilities);
        channel_ = std::make_shared<ReportChannel>(std::move(connection), capabilities);
        return 0;
    }
    return -1;
}

int HandsetDevice::ReadEvent() {
    if (!channel_) return event::kNoReport;
    // One buffer for every poll; zeroed each time, as a fresh one would be.
    const std::size_t length = channel_->inputReportLength();
    readBuffer_.assign(std::max(kReportBufferSize, length), 0);
    if (!channel_->ReadReport(readBuffer_)) return event::kNoReport;
    return DecodeInputReport(GetModelId(), input_, readBuffer_.data(), length);
}

void HandsetDevice::Poll(bool haveSink, std::vector<int>& raised) {
    PollBeforeRead(input_, haveSink, raised);
    const int code = ReadEvent();
    PollAfterRead(input_, code, haveSink, raised);
}

void HandsetDevice::Close() {
    WriteCommand(kCommandLight, 0);
    lightOn_ = false;
    channel_.reset();
}

void HandsetDevice::Retire() {
    os::KillTimer(context_.window, kPollTimerId);
    os::KillTimer(context_.window, kSlowTimerId);
    input_.ResetReported();
    Close();
}

}  // namespace talvio
