// The call controller of the keypad handset (model 10), which has no
// display: its keys work the client program's own window (dial field,
// YES and NO buttons, contact list) and the PC-side volume popup.
//
// Ownership and threading: as HandsetController.
#pragma once

#include <cstdint>

#include "handset_ui/call/handset_controller.h"

namespace talvio {

class KeypadController final : public HandsetController {
public:
    // The tone of a failed call, and the pause before it.
    static constexpr int kFailedTone = 2132;
    static constexpr std::uint32_t kFailedTonePauseMs = 100;
    // The client's time to act on a backspace before the dial field is read again.
    static constexpr std::uint32_t kBackspaceSettleMs = 10;

    KeypadController(ConnectorRegistry& registry, CallTray& tray, CallVolumePopup& popup);

    void OnCallFailed(VoipConnector& connector, int callId) override;
    void OnCallUnplaced(VoipConnector& connector, int callId) override;
    void OnCallRouting(VoipConnector& connector, int callId) override;
    void OnCallRefused(VoipConnector& connector, int callId) override;
    void OnCallMissed(VoipConnector& connector, int callId) override;
    void OnCallFinished(VoipConnector& connector, int callId) override;
    void OnCallHeld(VoipConnector& connector, int callId) override;
    void OnCallInProgress(VoipConnector& connector, int callId) override;
    void OnCallRinging(VoipConnector& connector, int callId) override;

protected:
    void OnKey(VoipConnector& target, int code) override;

private:
    void Digit(VoipConnector& target, int code);
    void CallKey(VoipConnector& target);
    void ClearKey(VoipConnector& target);
    void TalkKey(VoipConnector& target);
    void HandsetDown(VoipConnector& target);
    void HandsetUp(VoipConnector& target);
    void NavigationKey(VoipConnector& target, int code);
    void HandsFreeKey(VoipConnector& target);
    // The popup's show, the step, and a click unless a call rings.
    void Volume(VoipConnector& target, bool up);
    // The client's NO button and an emptied dial field; the client window
    // is hidden when the handset went down, or for the talk key on hook
    // with nothing to end.
    void EndKey(VoipConnector& target, int code);
};

}  // namespace talvio
