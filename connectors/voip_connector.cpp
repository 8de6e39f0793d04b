#include "connectors/voip_connector.h"

#include <cstdio>
#include <vector>

#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "foundation/text_convert.h"

namespace talvio {

namespace {

// Key tones of the local sound resources.
constexpr int kDigitToneBase = 133;
constexpr int kStarTone = 146;
constexpr int kHashTone = 144;

}  // namespace

VoipConnector::VoipConnector(ConnectorRegistry& registry) : registry_(registry) {
    queue_.SetOwner(&clientWindow_, &ownWindow_);
}

VoipConnector::~VoipConnector() {
    // Destroyed here rather than by the base, so no send is under way and
    // WM_DESTROY still reaches onDestroy.
    queue_.stop();
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
void VoipConnector::PressNo() { PressButton("NO"); }
void VoipConnector::HookOn() {}
void VoipConnector::HookOff() {}
void VoipConnector::BringToFront() {}
void VoipConnector::NextView() {}
void VoipConnector::Backspace() {}
void VoipConnector::PressKey(int code) {
    char key = 0;
    int tone = 0;
    if (code >= 0 && code <= 9) {
        key = static_cast<char>('0' + code);
        tone = kDigitToneBase + code;
    } else if (code == kKeyStar) {
        key = '*';
        tone = kStarTone;
    } else if (code == kKeyHash) {
        key = '#';
        tone = kHashTone;
    } else if (code == kKeyPlus) {
        key = '+';
        tone = kHashTone;
    } else {
        return;
    }
    if (const int call = CurrentCall(); call != 0) {
        // Formatted on the stack: a tone during a call allocates nothing.
        char text[48];
        const int length = std::snprintf(text, sizeof text, "SET CALL %d DTMF %c", call - 1, key);
        Send(std::string_view(text, static_cast<std::size_t>(length)));
        return;
    }
    PressButton(std::string_view(&key, 1));
    Host().PlayKeyTone(tone, 0);
}
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
void VoipConnector::PressDown() { PressButton("DOWN"); }
void VoipConnector::PressUp() { PressButton("UP"); }
void VoipConnector::Focus() { Send("FOCUS"); }
void VoipConnector::SetAudioIn(const std::wstring& device) { SendWide("SET AUDIO_IN ", device); }
void VoipConnector::SetAudioOut(const std::wstring& device) { SendWide("SET AUDIO_OUT ", device); }
void VoipConnector::SetRinger(const std::wstring& device) { SendWide("SET RINGER ", device); }
void VoipConnector::FinishCall(int callId) { SendCallCommand(callId, "FINISHED"); }
void VoipConnector::AnswerCall(int callId) { SendCallCommand(callId, "INPROGRESS"); }
void VoipConnector::RefuseCall(int callId) { SendCallCommand(callId, "FINISHED"); }
void VoipConnector::HoldCall(int callId) { SendCallCommand(callId, "ONHOLD"); }
void VoipConnector::ResumeCall(int callId) { SendCallCommand(callId, "INPROGRESS"); }

void VoipConnector::CallNumber(std::string_view target) {
    if (target.empty()) return;
    Send("CALL " + std::string(target));
}

void VoipConnector::SendChatMessage(const std::wstring& user, const std::wstring& text) {
    if (user.empty()) return;
    Send("MESSAGE " + WideToUtf8(user) + " " + WideToUtf8(text));
}
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

void VoipConnector::Send(std::string_view command, int priority) { queue_.Enqueue(command, priority); }

void VoipConnector::SendWide(std::string_view prefix, const std::wstring& text) {
    Send(std::string(prefix) + WideToUtf8(text));
}

void VoipConnector::SendCallCommand(int callId, std::string_view status) {
    if (callId <= 0) return;
    Send("SET CALL " + std::to_string(callId - 1) + " STATUS " + std::string(status));
}

void VoipConnector::SendQueries(std::string_view prefix, std::span<const std::string_view> properties,
                                int priority) {
    std::string command(prefix);
    for (const std::string_view property : properties) {
        command.resize(prefix.size());
        command.append(property);
        Send(command, priority);
    }
}

void VoipConnector::QueryContact(std::string_view) {}

void VoipConnector::RetryBusyReplies() {
    // Ids first: a reply ends its call.
    std::vector<int> ringing;
    for (const auto& [id, call] : calls.liveCalls) {
        if (call.status == CallRecord::kRinging && call.type == CallRecord::kIncoming) {
            ringing.push_back(id);
        }
    }
    for (const int id : ringing) {
        if (CallRecord* call = calls.GetLiveCall(id)) AutoBusyReply(*call, false);
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
