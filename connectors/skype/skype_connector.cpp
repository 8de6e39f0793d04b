// The commands the Skype connector sends for each connector operation.
#include <cstdio>
#include <string>

#include "connectors/connector_host.h"
#include "connectors/skype/skype_connector.h"
#include "foundation/text_convert.h"

namespace talvio {

namespace {

// Key tones of the local sound resources.
constexpr int kDigitToneBase = 133;
constexpr int kStarTone = 146;
constexpr int kHashTone = 144;
constexpr int kMuteTone = 147;

constexpr std::string_view kCallQueries[] = {
    "CONF_ID", "PARTNER_DISPNAME", "STATUS", "TIMESTAMP", "DURATION", "TYPE", "PARTNER_HANDLE",
};
constexpr std::string_view kVoicemailQueries[] = {
    "PARTNER_DISPNAME", "TYPE", "STATUS", "TIMESTAMP", "DURATION", "PARTNER_HANDLE",
};

}  // namespace

void SkypeConnector::SendWide(std::string_view prefix, const std::wstring& text) {
    Send(std::string(prefix) + WideToUtf8(text));
}

// Calls are named to the client by their number, the stored id minus one.
void SkypeConnector::SendCallCommand(int callId, std::string_view status) {
    if (callId <= 0) return;
    Send("SET CALL " + std::to_string(callId - 1) + " STATUS " + std::string(status));
}

void SkypeConnector::PressButton(std::string_view name) {
    if (name.empty()) return;
    Send("BTN_PRESSED " + std::string(name));
    Send("BTN_RELEASED " + std::string(name));
}

void SkypeConnector::PressYes(int) { PressButton("YES"); }
void SkypeConnector::PressNo() { PressButton("NO"); }
void SkypeConnector::PressDown() { PressButton("DOWN"); }
void SkypeConnector::PressUp() { PressButton("UP"); }
void SkypeConnector::NextView() { PressButton("SKYPE"); }
void SkypeConnector::HookOn() { Send("HOOK ON"); }
void SkypeConnector::HookOff() { Send("HOOK OFF"); }
void SkypeConnector::Focus() { Send("FOCUS"); }
void SkypeConnector::BringToFront() { Send("FOCUS"); }

void SkypeConnector::PressKey(int code) {
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
    PressButton(std::string(1, key));
    Host().PlayKeyTone(tone, 0);
}

void SkypeConnector::ToggleMute() {
    if (CurrentCall() == 0) return;
    if (muteState_ == 1) Send("SET MUTE OFF");
    else if (muteState_ == 2) Send("Set MUTE ON");  // this exact spelling is deliberate
    else return;
    Host().PlayKeyTone(kMuteTone, 1);
}

void SkypeConnector::SetRingtone(const std::wstring& path) { SendWide("SET RINGTONE 1 ", path); }
void SkypeConnector::SetAudioIn(const std::wstring& device) { SendWide("SET AUDIO_IN ", device); }
void SkypeConnector::SetAudioOut(const std::wstring& device) { SendWide("SET AUDIO_OUT ", device); }
void SkypeConnector::SetRinger(const std::wstring& device) { SendWide("SET RINGER ", device); }

void SkypeConnector::FinishCall(int callId) { SendCallCommand(callId, "FINISHED"); }
void SkypeConnector::RefuseCall(int callId) { SendCallCommand(callId, "FINISHED"); }
void SkypeConnector::AnswerCall(int callId) { SendCallCommand(callId, "INPROGRESS"); }
void SkypeConnector::ResumeCall(int callId) { SendCallCommand(callId, "INPROGRESS"); }
void SkypeConnector::HoldCall(int callId) { SendCallCommand(callId, "ONHOLD"); }

void SkypeConnector::CallNumber(std::string_view target) {
    if (target.empty()) return;
    Send("CALL " + std::string(target));
}

void SkypeConnector::SendChatMessage(const std::wstring& user, const std::wstring& text) {
    if (user.empty()) return;
    Send("MESSAGE " + WideToUtf8(user) + " " + WideToUtf8(text));
}

void SkypeConnector::QueryCall(int callId, bool queued) {
    if (callId <= 0) return;
    const std::string prefix = "GET CALL " + std::to_string(callId - 1) + " ";
    const int priority = queued ? CommandQueue::kNormal : CommandQueue::kImmediate;
    for (const std::string_view property : kCallQueries) {
        Send(prefix + std::string(property), priority);
    }
}

void SkypeConnector::QueryVoicemail(int id, bool queued) {
    if (id <= 0) return;
    const std::string prefix = "GET VOICEMAIL " + std::to_string(id) + " ";
    const int priority = queued ? CommandQueue::kNormal : CommandQueue::kImmediate;
    for (const std::string_view property : kVoicemailQueries) {
        Send(prefix + std::string(property), priority);
    }
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
