#include "handset_ui/call/lcd_controller.h"

#include <string>
#include <utility>

#include "audio/audio_service.h"
#include "connectors/skype/skype_connector.h"
#include "handset/handset_link.h"
#include "handset/handset_protocol.h"

namespace talvio {
namespace {

// The call page kind of a live call's state; 0 for a state no page shows.
int KindOfState(int status) {
    switch (status) {
    case CallRecord::kInProgress: return kCallInProgress;
    case CallRecord::kRinging: return kCallRinging;
    case CallRecord::kRouting: return kCallOutgoing;
    case CallRecord::kOnHold: return kCallOnHold;
    default: return 0;
    }
}

// Model 11's clear key.
constexpr int kClearKey = 194;

// The wheel and the codes that share its handlers act only off hook.
bool IsWheelCode(int code) { return code >= 123 && code <= 126; }

}  // namespace

LcdController::LcdController(ConnectorRegistry& registry, CallTray& tray, CallVolumePopup& popup)
    : HandsetController(kLcdModelId, registry, tray, popup) {}

CallScreen* LcdController::Screen() { return CallScreenOf(HandsetLink_GetScreen()); }

int LcdController::PageKey(int key) {
    CallScreen* screen = Screen();
    return screen != nullptr ? screen->PageKey(key) : 0;
}

int LcdController::OnConnectorStatus(int, int) {
    if (CallScreen* screen = Screen()) {
        const VoipConnector* active = Registry().GetActiveConnector();
        screen->SetConnectorId(active != nullptr ? active->GetConnectorId() : 0);
    }
    return 1;
}

// Call states

void LcdController::Notify(int kind, const VoipConnector& connector, int callId) {
    if (CallScreen* screen = Screen()) screen->NotifyCall(kind, callId, connector.GetConnectorId());
}

void LcdController::ChooseCallPage() {
    CallScreen* screen = Screen();
    const auto show = [&](int kind, int callId, const VoipConnector& connector) {
        if (screen != nullptr) screen->ShowCall(kind, callId, connector.GetConnectorId());
    };
    // The first live call of `connector` with the kind of its state.
    const auto showFirstLive = [&](VoipConnector& connector) {
        const int live = FirstLiveCall(connector);
        const CallRecord* call = connector.calls.GetLiveCall(live);
        if (call == nullptr || KindOfState(call->status) == 0) return false;
        show(KindOfState(call->status), live, connector);
        return true;
    };

    if (VoipConnector* active = Registry().GetActiveConnector()) {
        if (const int call = active->CurrentCall(); call != 0) {
            return show(kCallInProgress, call, *active);
        }
        if (const int call = active->RingingIncomingCall(); call != 0) {
            return show(kCallRinging, call, *active);
        }
        if (showFirstLive(*active)) return;
    }
    if (const VoipConnector* talking = Registry().FindOnlineWithCall(1, nullptr, 0)) {
        return show(kCallInProgress, talking->CurrentCall(), *talking);
    }
    for (int i = 0; i < Registry().Count(); ++i) {
        const VoipConnector* connector = Registry().At(i);
        if (!connector->IsOnline()) continue;
        if (const int call = connector->RingingIncomingCall(); call != 0) {
            return show(kCallRinging, call, *connector);
        }
    }
    if (VoipConnector* live = Registry().FindOnlineWithCall(3, nullptr, 0)) {
        if (showFirstLive(*live)) return;
    }
    Tray().SetIndicator(3);
}

void LcdController::OnCallFailed(VoipConnector& connector, int callId) {
    connector.calls.MoveToHistory(callId, CallRecord::kFailed);
    Refresh();
    Notify(kCallEnded, connector, callId);
    ChooseCallPage();
}

void LcdController::OnCallUnplaced(VoipConnector& connector, int callId) {
    connector.calls.MoveToHistory(callId, CallRecord::kUnplaced);
    Refresh();
    Notify(kCallEnded, connector, callId);
    ChooseCallPage();
}

void LcdController::OnCallRouting(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    connector.calls.SetStatus(callId, CallRecord::kRouting);
    Notify(kCallOutgoing, connector, callId);
}

void LcdController::OnCallRefused(VoipConnector& connector, int callId) {
    Notify(kCallEnded, connector, callId);
    connector.calls.MoveToHistory(callId, CallRecord::kRefused);
    Refresh();
    ChooseCallPage();
}

void LcdController::OnCallMissed(VoipConnector& connector, int callId) {
    connector.AutoAwayReply(callId);
    const CallRecord* call = connector.calls.GetLiveCall(callId);
    // The idle page counts an incoming call it missed.
    const bool incoming = call != nullptr && call->type == CallRecord::kIncoming;
    Notify(incoming ? kCallMissed : kCallEnded, connector, callId);
    connector.calls.MoveToHistory(callId, CallRecord::kMissed);
    Refresh();
    ChooseCallPage();
}

void LcdController::OnCallFinished(VoipConnector& connector, int callId) {
    Notify(kCallEnded, connector, callId);
    connector.calls.MoveToHistory(callId, CallRecord::kFinished);
    Refresh();
    ChooseCallPage();
}

void LcdController::OnCallHeld(VoipConnector& connector, int callId) {
    connector.calls.SetStatus(callId, CallRecord::kOnHold);
    Notify(kCallOnHold, connector, callId);
}

void LcdController::OnCallInProgress(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    RouteRefreshAndRingStop();
    connector.calls.SetStatus(callId, CallRecord::kInProgress);
    Refresh();
    Notify(kCallInProgress, connector, callId);
}

void LcdController::OnCallRinging(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    const bool busy = AnotherLiveCall(connector, callId);
    connector.calls.SetStatus(callId, CallRecord::kRinging);
    if (busy) {
        BusyTreatment(connector, callId);
        return;
    }
    Refresh();
    Notify(kCallRinging, connector, callId);
}

// Keys

void LcdController::OnKey(VoipConnector& target, int code) {
    if (code != event::kOnHook && !(IsWheelCode(code) && OnHook())) Tray().SetIndicator(2);
    switch (code) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
        Digit(target, code);
        break;
    case VoipConnector::kKeyStar:
    case VoipConnector::kKeyHash:
        StarOrHash(target, code);
        break;
    case event::kCallKey:
    case 191:
        LeftSoftkey(target);
        break;
    case event::kEndKey:
    case 192:
        RightSoftkey(target);
        break;
    case 60:
        if (OnHook()) VolumePageKey(target, kPageKeyUp);
        else Navigation(target, kPageKeyDown);
        break;
    case 40:
        if (OnHook()) VolumePageKey(target, kPageKeyDown);
        else Navigation(target, kPageKeyUp);
        break;
    case event::kWheelUp:
    case 124:
        if (!OnHook()) VolumePageKey(target, kPageKeyDown);
        break;
    case event::kWheelDown:
    case 123:
        if (!OnHook()) VolumePageKey(target, kPageKeyUp);
        break;
    case 100:
        Click(target);
        Popup().startFade();
        target.ToggleMute();
        break;
    case 170: target.MoveFocus(-1); break;
    case 180: target.MoveFocus(+1); break;
    case kClearKey: ClearKey(target); break;
    case 120: TalkKey(target); break;
    case event::kOnHook: HandsetDown(target); break;
    case event::kOffHook: HandsetUp(target); break;
    case 198: MuteOrContacts(target); break;
    default:
        break;
    }
}

void LcdController::ShowActiveDialText(VoipConnector& target) {
    CallScreen* screen = Screen();
    if (screen == nullptr) return;
    std::wstring text;
    target.GetDialText(text, kDialTextLimit);
    screen->ShowDialText(text);
}

void LcdController::Digit(VoipConnector& target, int code) {
    Popup().startFade();
    target.BringToFront();
    if (target.CurrentCall() != 0) {
        target.PressKey(code);  // a tone
        return;
    }
    if (target.RingingIncomingCall() != 0 || Screen() == nullptr) return;
    TypeDigit(target, code);
    ShowActiveDialText(target);
}

void LcdController::StarOrHash(VoipConnector& target, int code) {
    Popup().startFade();
    target.BringToFront();
    if (target.CurrentCall() != 0) {
        target.PressKey(code);
    } else if (Screen() != nullptr) {
        target.PressKey(code);
        ShowActiveDialText(target);
    }
}

void LcdController::LeftSoftkey(VoipConnector& target) {
    Click(target);
    if (PageKey(kPageKeyCall) == kAnswerDialChanged) ShowActiveDialText(target);
}

void LcdController::RightSoftkey(VoipConnector& target) {
    if (OnHook()) {
        if (const int ringing = target.RingingIncomingCall(); ringing != 0) target.AnswerCall(ringing);
        return;
    }
    Click(target);
    if (PageKey(kPageKeyRight) == kAnswerDialChanged) {
        target.ClearDialText();
        // The client empties its field later (the clear is a posted key):
        // read now it would still hold the old text and bring the dial
        // page back.
        if (CallScreen* screen = Screen()) screen->ShowDialText(std::wstring());
    }
}

// During a call: answers a second caller and toggles hands-free; outside
// one: deletes the last character of the dial text.
void LcdController::ClearKey(VoipConnector& target) {
    if (target.CurrentCall() != 0) {
        if (const int ringing = target.RingingIncomingCall(); ringing != 0) target.AnswerCall(ringing);
        Click(target);
        if (FirstLiveCall(target) != 0) SetHandsFree(!handsFree_);
        return;
    }
    Click(target);
    if (PageKey(kPageKeyClear) == kAnswerBackspace) target.Backspace();
}

void LcdController::AnswerOrEnd(VoipConnector& target) {
    if (const int ringing = target.RingingIncomingCall(); ringing != 0) target.AnswerCall(ringing);
    else EndOrCloseClient(target, event::kEndKey);
}

void LcdController::TalkKey(VoipConnector& target) {
    const int inProgress = target.CurrentCall();
    const bool ringing = target.RingingIncomingCall() != 0;
    const bool live = FirstLiveCall(target) != 0;
    if (OnHook() && inProgress == 0) {
        if (!ringing && !live && !target.IsMainWindowShown()) {
            Click(target);
            target.BringToFront();
        } else {
            AnswerOrEnd(target);
        }
    } else if (inProgress != 0) {
        target.FinishCall(inProgress);
    } else if (!ringing && !live) {
        PageKey(kPageKeyTalk);
    } else {
        AnswerOrEnd(target);
    }
}

void LcdController::HandsetDown(VoipConnector& target) {
    const bool wasLifted = std::exchange(lifted_, false);
    Tray().SetIndicator(4);
    if (!Audio_IsRinging()) RouteRefresh();
    if (handsFree_) SetHandsFree(false);
    else if (wasLifted) EndOrCloseClient(target, event::kOnHook);
}

void LcdController::HandsetUp(VoipConnector& target) {
    lifted_ = true;
    Popup().startFade();
    SetHandsFree(false);
    if (!Audio_IsRinging()) RouteRefresh();
    if (FirstLiveCall(target) != 0) {
        if (target.RingingIncomingCall() != 0) {
            target.BringToFront();
            target.PressYes(kDirectPress);
        }
        return;
    }
    target.BringToFront();
    if (CallScreen* screen = Screen()) screen->PopToRoot();
}

// The mark on the call page and the light's pattern follow the mode.
void LcdController::SetHandsFree(bool on) {
    handsFree_ = on;
    if (CallScreen* screen = Screen()) screen->SetCallMark(on);
    Refresh();
}

void LcdController::VolumePageKey(VoipConnector& target, int key) {
    Click(target);
    if (CallScreen* screen = Screen()) {
        screen->ShowVolumePage();
        screen->PageKey(key);
    }
    Popup().show();
}

void LcdController::Navigation(VoipConnector& target, int key) {
    if (target.CurrentCall() != 0) {
        if (CallScreen* screen = Screen()) {
            screen->ShowVolumePage();
            screen->PageKey(key);
        }
        KeyClick(true);
        Popup().show();
        return;
    }
    if (target.RingingIncomingCall() == 0) Click(target);
    target.BringToFront();
    switch (PageKey(key)) {
    case kAnswerNothing:
    case kAnswerContacts:
        target.ShowContacts();
        break;
    case kAnswerHistory:
        target.ShowCallHistory();
        // Skype's history list takes no focus steps.
        if (target.GetConnectorId() == SkypeConnector::kId) return;
        break;
    default:
        return;
    }
    if (key == kPageKeyUp) target.PressUp();
    else target.PressDown();
}

void LcdController::OnCallKeyFromScreen(VoipConnector& target, int code) {
    Popup().startFade();
    Click(target);
    const int answer = PageKey(code == event::kCallKey ? kPageKeyLeft : kPageKeyClear);
    target.BringToFront();
    if ((FirstLiveCall(target) == 0 && answer != 0) || !target.IsMainWindowShown()) return;
    target.PressYes(kDirectPress);
}

void LcdController::EndOrCloseClient(VoipConnector& target, int code) {
    Popup().startFade();
    if (code == event::kEndKey) Click(target);
    const bool dialWasEmpty = DialFieldEmpty(target);
    if (PageKey(kPageKeyEndCall) == 0) target.PressNo();
    target.ClearDialText();
    if (target.CloseTopPopup()) return;
    if (code != event::kOnHook && (FirstLiveCall(target) != 0 || !dialWasEmpty)) return;
    target.HideMainWindow();
}

}  // namespace talvio
