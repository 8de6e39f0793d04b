#include "connectors/voip_connector.h"

#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "foundation/text_convert.h"

namespace talvio {

VoipConnector::VoipConnector(ConnectorRegistry& registry) : registry_(registry) {}

VoipConnector::~VoipConnector() {
    // Destroyed here rather than by the base, so the command queue of a
    // subclass is already stopped and WM_DESTROY still reaches onDestroy.
    if (window() != nullptr) os::DestroyWindow(window());
}

ConnectorHost& VoipConnector::Host() const { return registry_.Host(); }

int VoipConnector::GetConnectorId() const { return -1; }
std::wstring VoipConnector::GetDisplayName() const { return {}; }
bool VoipConnector::Start() { return CreateHiddenWindow(); }
int VoipConnector::OnClientVersionKnown() { return 1; }
bool VoipConnector::SuppressesPageStep() const { return true; }
void VoipConnector::SetRingtone(const std::wstring&) {}
void VoipConnector::PressYes(int) {}
void VoipConnector::PressNo() {}
void VoipConnector::HookOn() {}
void VoipConnector::HookOff() {}
void VoipConnector::BringToFront() {}
void VoipConnector::NextView() {}
void VoipConnector::Backspace() {}
void VoipConnector::PressKey(int) {}
void VoipConnector::PressButton(std::string_view) {}
void VoipConnector::ToggleMute() {}
void VoipConnector::ShowContacts() {}
void VoipConnector::ShowCallHistory() {}
void VoipConnector::MoveFocus(int) {}
bool VoipConnector::CloseTopPopup() { return false; }
bool VoipConnector::IsMainWindowShown() { return false; }
void VoipConnector::ClearDialText() {}
int VoipConnector::SetDialText(const std::wstring&) { return 0; }
int VoipConnector::GetDialText(std::wstring& text, int) {
    text.clear();
    return 0;
}
void VoipConnector::HideMainWindow() {}
void VoipConnector::PressDown() {}
void VoipConnector::PressUp() {}
void VoipConnector::Focus() {}
void VoipConnector::SetAudioIn(const std::wstring&) {}
void VoipConnector::SetAudioOut(const std::wstring&) {}
void VoipConnector::SetRinger(const std::wstring&) {}
void VoipConnector::FinishCall(int) {}
void VoipConnector::AnswerCall(int) {}
void VoipConnector::RefuseCall(int) {}
void VoipConnector::CallNumber(std::string_view) {}
void VoipConnector::HoldCall(int) {}
void VoipConnector::ResumeCall(int) {}
void VoipConnector::SendChatMessage(const std::wstring&, const std::wstring&) {}
void VoipConnector::QueryCall(int, bool) {}
void VoipConnector::QueryVoicemail(int, bool) {}
void VoipConnector::PlayVoicemail(int) {}
void VoipConnector::StopVoicemail(int) {}

bool VoipConnector::IsOnline() const {
    return ClientWindow() != nullptr && userStatus_ != kUnknown && userStatus_ != kOffline &&
           userStatus_ != kLoggedOut;
}

bool VoipConnector::IsAttached() const { return ClientWindow() != nullptr; }
int VoipConnector::GetIconIndex() const { return -1; }

void VoipConnector::NotifyStatusChanged(int id) { Host().RefreshStatus(id); }

int VoipConnector::GetRingtoneSetting() const {
    const int id = GetConnectorId();
    return (id >= 1 && id <= 12) ? Host().RingToneOf(id) : -1;
}

void VoipConnector::AutoBusyReply(CallRecord& call, bool arm) {
    if (call.autoReplyFlags & 2) return;
    if (arm) call.autoReplyFlags |= 1;
    if (!(call.autoReplyFlags & 1)) return;
    if (call.partnerHandle.empty()) return;
    call.autoReplyFlags = (call.autoReplyFlags & ~1) | 2;
    const int id = call.id;
    if (Host().AutoAnswer() && Host().AutoBusy()) {
        SendChatMessage(Utf8ToWide(call.partnerHandle), Host().AutoBusyText());
    }
    FinishCall(id);
}

void VoipConnector::AutoAwayReply(int callId) {
    const CallRecord* call = calls.GetLiveCall(callId);
    if (call == nullptr || call->type == CallRecord::kOutgoing) return;
    if (Host().AutoAnswer() && Host().AutoAway()) {
        SendChatMessage(Utf8ToWide(call->partnerHandle), Host().AutoAwayText());
    }
}

bool VoipConnector::CreateHiddenWindow() {
    if (window() == nullptr &&
        !create(0, {}, {}, os::WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, 0)) {
        return false;
    }
    ownWindow_.store(window());
    return true;
}

void VoipConnector::onDestroy() {
    ownWindow_.store(nullptr);
    Window::onDestroy();
}

}  // namespace talvio
