#include "handset_ui/call/keypad_controller.h"

#include <string>
#include <utility>
#include <vector>

#include "audio/audio_service.h"
#include "handset/handset_protocol.h"
#include "platform/platform.h"

namespace talvio {

KeypadController::KeypadController(ConnectorRegistry& registry, CallTray& tray, CallVolumePopup& popup)
    : HandsetController(kKeypadModelId, registry, tray, popup) {}

// Call states

void KeypadController::OnCallFailed(VoipConnector& connector, int callId) {
    connector.calls.MoveToHistory(callId, CallRecord::kFailed);
    Refresh();
    connector.ClearDialText();
    os::Sleep(kFailedTonePauseMs);
    Audio_PlayResource(kFailedTone, false, kTonePlain);
}

void KeypadController::OnCallUnplaced(VoipConnector& connector, int callId) {
    connector.calls.MoveToHistory(callId, CallRecord::kUnplaced);
    Refresh();
}

void KeypadController::OnCallRouting(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    RouteRefreshAndRingStop();
    connector.calls.SetStatus(callId, CallRecord::kRouting);
}

void KeypadController::OnCallRefused(VoipConnector& connector, int callId) {
    connector.calls.MoveToHistory(callId, CallRecord::kRefused);
    if (FirstLiveCall(connector) == 0) Refresh();
}

void KeypadController::OnCallMissed(VoipConnector& connector, int callId) {
    connector.AutoAwayReply(callId);
    connector.calls.MoveToHistory(callId, CallRecord::kMissed);
    Refresh();
}

void KeypadController::OnCallFinished(VoipConnector& connector, int callId) {
    RouteRefreshAndRingStop();
    connector.calls.MoveToHistory(callId, CallRecord::kFinished);
    Refresh();
}

void KeypadController::OnCallHeld(VoipConnector& connector, int callId) {
    connector.calls.SetStatus(callId, CallRecord::kOnHold);
}

void KeypadController::OnCallInProgress(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    RouteRefreshAndRingStop();
    connector.calls.SetStatus(callId, CallRecord::kInProgress);
    Refresh();
    // One call at a time: another caller gets the busy treatment, a call
    // still being placed is dropped. Ids first, as both end calls.
    std::vector<int> ringing;
    std::vector<int> routing;
    for (const auto& [id, call] : connector.calls.liveCalls) {
        if (id == callId) continue;
        if (call.status == CallRecord::kRinging && call.type == CallRecord::kIncoming) ringing.push_back(id);
        if (call.status == CallRecord::kRouting) routing.push_back(id);
    }
    for (const int id : ringing) BusyTreatment(connector, id);
    for (const int id : routing) connector.FinishCall(id);
}

void KeypadController::OnCallRinging(VoipConnector& connector, int callId) {
    Tray().SetIndicator(1);
    const bool busy = AnotherLiveCall(connector, callId);
    connector.calls.SetStatus(callId, CallRecord::kRinging);
    if (busy) BusyTreatment(connector, callId);
    else Refresh();
}

// Keys

void KeypadController::OnKey(VoipConnector& target, int code) {
    switch (code) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
        Digit(target, code);
        break;
    case VoipConnector::kKeyStar:
    case VoipConnector::kKeyHash:
        Popup().startFade();
        target.BringToFront();
        target.PressKey(code);
        break;
    case event::kCallKey: CallKey(target); break;
    case 110: ClearKey(target); break;
    case event::kEndKey: EndKey(target, code); break;
    case 120: TalkKey(target); break;
    case event::kOnHook: HandsetDown(target); break;
    case event::kOffHook: HandsetUp(target); break;
    case 40:
    case 60:
        NavigationKey(target, code);
        break;
    case 123: Volume(target, OnHook()); break;
    case 124: Volume(target, !OnHook()); break;
    case event::kWheelDown: Volume(target, true); break;
    case event::kWheelUp: Volume(target, false); break;
    case 122: HandsFreeKey(target); break;
    case 170:
        Click(target);
        target.MoveFocus(-1);
        break;
    case 180:
        Click(target);
        target.MoveFocus(+1);
        break;
    case 198: MuteOrContacts(target); break;
    default:
        break;
    }
}

void KeypadController::Digit(VoipConnector& target, int code) {
    Popup().startFade();
    target.BringToFront();
    TypeDigit(target, code);  // during a call a 0 is a tone like any other digit
}

void KeypadController::CallKey(VoipConnector& target) {
    Popup().startFade();
    const bool inProgress = target.CurrentCall() != 0;
    // No click over a ring.
    if (inProgress || target.RingingIncomingCall() == 0) KeyClick(inProgress);
    if (const int live = FirstLiveCall(target); live != 0) {
        target.BringToFront();
        target.AnswerCall(live);
    } else if (!target.IsMainWindowShown()) {
        target.BringToFront();
    } else {
        target.BringToFront();
        target.PressYes(kDirectPress);
    }
}

void KeypadController::ClearKey(VoipConnector& target) {
    Popup().startFade();
    if (target.CurrentCall() == 0) KeyClick(false);
    if (FirstLiveCall(target) != 0) {
        target.BringToFront();
        target.Backspace();
        return;
    }
    // Clearing an empty dial field puts the client away.
    std::wstring before;
    std::wstring after;
    target.GetDialText(before, kDialTextLimit);
    target.Backspace();
    os::Sleep(kBackspaceSettleMs);
    target.GetDialText(after, kDialTextLimit);
    if (!after.empty() || after != before) target.BringToFront();
    else target.HideMainWindow();
}

void KeypadController::TalkKey(VoipConnector& target) {
    if (FirstLiveCall(target) != 0) {
        if (target.RingingIncomingCall() != 0 && target.CurrentCall() == 0) CallKey(target);
        else EndKey(target, 120);
    } else if (target.IsMainWindowShown()) {
        EndKey(target, 120);
    } else {
        KeyClick(false);
        target.BringToFront();
    }
}

void KeypadController::HandsetDown(VoipConnector& target) {
    const bool wasLifted = std::exchange(lifted_, false);
    if (!Audio_IsRinging()) RouteRefresh();
    if (handsFree_) {
        handsFree_ = false;
        Refresh();
    } else if (wasLifted) {
        EndKey(target, event::kOnHook);
    }
}

void KeypadController::HandsetUp(VoipConnector& target) {
    lifted_ = true;
    Popup().startFade();
    handsFree_ = false;
    Refresh();
    if (!Audio_IsRinging()) RouteRefresh();
    if (FirstLiveCall(target) == 0) {
        target.BringToFront();
    } else if (target.RingingIncomingCall() != 0) {
        target.BringToFront();
        target.PressYes(kDirectPress);
    }
}

// On hook 60 raises the volume and 40 lowers it; lifted, during a call the
// other way round, outside a call they move down and up the contact list.
void KeypadController::NavigationKey(VoipConnector& target, int code) {
    if (OnHook()) {
        Volume(target, code == 60);
    } else if (target.CurrentCall() != 0) {
        Volume(target, code == 40);
    } else {
        target.ShowContacts();
        if (code == 60) target.PressDown();
        else target.PressUp();
        Click(target);
    }
}

void KeypadController::HandsFreeKey(VoipConnector& target) {
    if (const int ringing = target.RingingIncomingCall(); ringing != 0) {
        target.AnswerCall(ringing);
    } else if (target.CurrentCall() != 0) {
        KeyClick(true);
        handsFree_ = true;
        Refresh();
    } else {
        KeyClick(false);
        target.MoveFocus(+1);
    }
}

void KeypadController::Volume(VoipConnector& target, bool up) {
    Popup().show();
    if (up) Popup().volumeUp();
    else Popup().volumeDown();
    if (target.RingingIncomingCall() == 0) Click(target);
}

void KeypadController::EndKey(VoipConnector& target, int code) {
    Popup().startFade();
    if (code == event::kEndKey || code == 120) Click(target);
    const bool dialWasEmpty = DialFieldEmpty(target);
    target.PressNo();
    target.ClearDialText();
    if (target.CloseTopPopup()) return;
    if (code == event::kOnHook) {
        target.HideMainWindow();
    } else if (code == 120 && OnHook() && FirstLiveCall(target) == 0 && dialWasEmpty) {
        target.HideMainWindow();
    }
}

}  // namespace talvio
