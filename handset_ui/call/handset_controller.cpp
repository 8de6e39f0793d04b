#include "handset_ui/call/handset_controller.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "audio/audio_service.h"
#include "connectors/skype/skype_connector.h"
#include "handset/handset_link.h"
#include "handset/handset_protocol.h"

namespace talvio {
namespace {

// The codes that have a handler; every other code is dropped.
constexpr int kDispatched[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   20,  21,  50,
                               110, 30,  70,  80,  60,  40,  100, 111, 122, 124, 123, 125, 126,
                               121, 170, 180, 191, 192, 193, 194, 195, 197, 196, 120, 71,  81,
                               198};

bool IsDispatched(int code) {
    return std::find(std::begin(kDispatched), std::end(kDispatched), code) != std::end(kDispatched);
}

// A ringing incoming call that should ring the handset: its partner is
// known and it is not being answered busy (that call is on its way out).
bool RingsForUser(const VoipConnector& connector) {
    for (const auto& [id, call] : connector.calls.liveCalls) {
        if (call.status == CallRecord::kRinging && call.type == CallRecord::kIncoming &&
            !call.partnerHandle.empty() && call.autoReplyFlags == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

HandsetController::HandsetController(int modelId, ConnectorRegistry& registry, CallTray& tray,
                                     CallVolumePopup& popup)
    : modelId_(modelId), registry_(registry), tray_(tray), popup_(popup) {}

void HandsetController::HandleEvent(int code) {
    if (!IsDispatched(code)) return;
    // The line switch acts alike with and without a connector, on both models.
    if (code == event::kLineSelected || code == event::kLineReleased) {
        OnLineChange();
        return;
    }
    if (VoipConnector* target = FindTarget()) {
        OnKey(*target, code);
        return;
    }
    switch (code) {
    case 40:
    case 60:
    case 123:
    case 124:
        VolumeWithoutConnector(code);
        break;
    default:
        break;
    }
}

// The active connector when it has a call in progress, else the first one
// with a call in progress, else the active one when it has a live call,
// else the first with a live call, else the active one.
VoipConnector* HandsetController::FindTarget() const {
    VoipConnector* inProgress = registry_.FindOnlineWithCall(1, nullptr, 0);
    VoipConnector* live = registry_.FindOnlineWithCall(3, nullptr, 0);
    VoipConnector* active = registry_.GetActiveConnector();
    if (active != nullptr && active->CurrentCall() != 0) return active;
    if (inProgress != nullptr) return inProgress;
    if (active != nullptr && active->HasActiveCall(0)) return active;
    if (live != nullptr && live->IsAttached()) return live;
    return active;
}

void HandsetController::VolumeWithoutConnector(int code) {
    tray_.SetIndicator(2);
    popup_.show();
    // On hook the keys run one way, lifted the other.
    if ((code == 40 || code == 124) != OnHook()) popup_.volumeUp();
    else popup_.volumeDown();
    KeyClick(false);
}

void HandsetController::Refresh() {
    VoipConnector* ringing = nullptr;
    for (int i = 0; i < registry_.Count(); ++i) {
        VoipConnector* connector = registry_.At(i);
        if (connector->CurrentCall() != 0) {
            RouteRefreshAndRingStop();
            tray_.SetLedBlinkMode(handsFree_ ? 4 : connector->MuteState() == 1 ? 3 : 1);
            return;
        }
        if (RingsForUser(*connector) && connector->UserStatus() != VoipConnector::kDoNotDisturb) {
            ringing = connector;
        }
    }
    if (ringing != nullptr) {
        // Skype rings through the handset by itself; for the others the
        // handset loops the program's own ring tone.
        if (ringing->GetConnectorId() == SkypeConnector::kId) HandsetLink_SetAudioPath(2, 1);
        else HandsetLink_SetAudioPath(1, ringing->GetRingtoneSetting());
        tray_.SetLedBlinkMode(2);
        return;
    }
    tray_.SetLedBlinkMode(0);
    RouteRefreshAndRingStop();
}

int HandsetController::OnConnectorStatus(int attachedCount, int onlineCount) {
    if (attachedCount == 0 && onlineCount == 0) {
        tray_.SetIndicator(4);
        RouteRefreshAndRingStop();
    }
    return 1;
}

bool HandsetController::OnHook() { return HandsetLink_GetHookState() == 1; }
bool HandsetController::LineSelected() { return HandsetLink_GetLineState() == 1; }
void HandsetController::RouteRefresh() { HandsetLink_SetAudioPath(0, -2); }
void HandsetController::RouteRefreshAndRingStop() { HandsetLink_SetAudioPath(0, 0); }
void HandsetController::KeyClick(bool quiet) { Audio_PlayKeyTone(kKeyClick, quiet); }
void HandsetController::Click(const VoipConnector& target) { KeyClick(target.CurrentCall() != 0); }

int HandsetController::FirstLiveCall(const VoipConnector& connector) {
    return connector.calls.FindOtherLiveCall(3, 0);
}

bool HandsetController::DialFieldEmpty(VoipConnector& connector) {
    std::wstring text;
    connector.GetDialText(text, kDialTextLimit);
    return text.empty();
}

void HandsetController::TypeDigit(VoipConnector& target, int code) {
    if (code == 0 && target.CurrentCall() == 0 && DialFieldEmpty(target)) {
        target.PressKey(VoipConnector::kKeyPlus);
    } else {
        target.PressKey(code);
    }
}

void HandsetController::OnLineChange() {
    if (Audio_IsRinging()) return;
    if (OnHook() && !LineSelected()) HandsetLink_SetAudioPath(2, 0);
    else RouteRefresh();
}

void HandsetController::MuteOrContacts(VoipConnector& target) {
    if (target.CurrentCall() != 0) {
        KeyClick(true);
        target.BringToFront();
        target.ToggleMute();
        return;
    }
    if (target.RingingIncomingCall() != 0) return;
    KeyClick(false);
    target.BringToFront();
    target.ShowContacts();
}

void HandsetController::BusyTreatment(VoipConnector& connector, int callId) {
    if (CallRecord* call = connector.calls.GetLiveCall(callId)) connector.AutoBusyReply(*call, true);
}

bool HandsetController::AnotherLiveCall(VoipConnector& connector, int callId) const {
    return registry_.FindOnlineWithCall(3, &connector, callId) != nullptr;
}

}  // namespace talvio
