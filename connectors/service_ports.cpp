#include "connectors/service_ports.h"

#include "handset/handset_link.h"

namespace talvio {

ServiceTray& ServiceTray::None() {
    static ServiceTray tray;
    return tray;
}

ServiceAudio& ServiceAudio::None() {
    static ServiceAudio audio;
    return audio;
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
