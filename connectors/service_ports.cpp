#include "connectors/service_ports.h"

#include "handset/handset_link.h"
#include "settings/program_files.h"

namespace talvio {

ServiceTray& ServiceTray::None() {
    static ServiceTray tray;
    return tray;
}

ServiceAudio& ServiceAudio::Default() {
    static ServiceAudio audio;
    return audio;
}

std::optional<std::wstring> ServiceAudio::GetRingTonePath(int index) {
    if (index < 0 || index >= kRingToneCount) return std::nullopt;
    return ProgramDirectory() + L"waves\\ring" + std::to_wstring(index) + L".wav";
}

ServiceHandset& ServiceHandset::Link() {
    static ServiceHandset handset;
    return handset;
}

void ServiceHandset::Start(HandsetEventSink* sink) { HandsetLink_Start(sink); }
void ServiceHandset::Stop() { HandsetLink_Stop(); }
bool ServiceHandset::IsPresent() { return HandsetLink_IsPresent() == 1; }
int ServiceHandset::GetModel() { return HandsetLink_GetModel(); }
LcdScreen* ServiceHandset::GetScreen() { return HandsetLink_GetScreen(); }

}  // namespace talvio
