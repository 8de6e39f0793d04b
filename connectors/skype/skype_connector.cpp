// The commands the Skype connector sends for each connector operation.
#include <string>

#include "connectors/connector_host.h"
#include "connectors/skype/skype_connector.h"
#include "foundation/text_convert.h"

namespace talvio {

namespace {

constexpr int kMuteTone = 147;

constexpr std::string_view kCallQueries[] = {
    "CONF_ID", "PARTNER_DISPNAME", "STATUS", "TIMESTAMP", "DURATION", "TYPE", "PARTNER_HANDLE",
};
constexpr std::string_view kVoicemailQueries[] = {
    "PARTNER_DISPNAME", "TYPE", "STATUS", "TIMESTAMP", "DURATION", "PARTNER_HANDLE",
};

}  // namespace

void SkypeConnector::PressButton(std::string_view name) {
    if (name.empty()) return;
    Send("BTN_PRESSED " + std::string(name));
    Send("BTN_RELEASED " + std::string(name));
}

void SkypeConnector::PressYes(int) { PressButton("YES"); }
void SkypeConnector::NextView() { PressButton("SKYPE"); }
void SkypeConnector::HookOn() { Send("HOOK ON"); }
void SkypeConnector::HookOff() { Send("HOOK OFF"); }
void SkypeConnector::BringToFront() { Send("FOCUS"); }

void SkypeConnector::ToggleMute() {
    if (CurrentCall() == 0) return;
    if (muteState_ == 1) Send("SET MUTE OFF");
    else if (muteState_ == 2) Send("Set MUTE ON");  // this exact spelling is deliberate
    else return;
    Host().PlayKeyTone(kMuteTone, 1);
}

void SkypeConnector::SetRingtone(const std::wstring& path) { SendWide("SET RINGTONE 1 ", path); }
void SkypeConnector::QueryCall(int callId, bool queued) {
    if (callId <= 0) return;
    SendQueries("GET CALL " + std::to_string(callId - 1) + " ", kCallQueries,
                queued ? CommandQueue::kNormal : CommandQueue::kImmediate);
}

void SkypeConnector::QueryVoicemail(int id, bool queued) {
    if (id <= 0) return;
    SendQueries("GET VOICEMAIL " + std::to_string(id) + " ", kVoicemailQueries,
                queued ? CommandQueue::kNormal : CommandQueue::kImmediate);
}

void SkypeConnector::PlayVoicemail(int id) { Send("OPEN VOICEMAIL " + std::to_string(id)); }

void SkypeConnector::StopVoicemail(int id) {
    Send("ALTER VOICEMAIL " + std::to_string(id) + " STOPPLAYBACK");
}

void SkypeConnector::Backspace() { automation_.Backspace(); }
void SkypeConnector::ClearDialText() { automation_.ClearDialText(); }
int SkypeConnector::SetDialText(const std::wstring& text) { return automation_.SetDialText(text); }

int SkypeConnector::GetDialText(std::wstring& text, int size) {
    return automation_.GetDialText(text, size) ? 1 : 0;
}

bool SkypeConnector::CloseTopPopup() { return automation_.CloseTopPopup(); }
bool SkypeConnector::IsMainWindowShown() { return automation_.IsMainWindowShown(); }
void SkypeConnector::HideMainWindow() { automation_.HideMainWindow(); }
void SkypeConnector::MoveFocus(int steps) { automation_.MoveFocus(steps); }
void SkypeConnector::ShowContacts() { automation_.ShowContacts(); }
void SkypeConnector::ShowCallHistory() { automation_.ShowCallHistory(); }

}  // namespace talvio
