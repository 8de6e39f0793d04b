// The call controller of the LCD handset (model 11): most keys go to the
// handset screen's current page first, whose answer decides what the
// client program is asked to do; call-state reports also show the call on
// the screen. Without a screen (none made, or the handset lost it) the
// screen's part of every handler is skipped.
//
// Ownership and threading: as HandsetController. The screen is owned by
// the handset link's device and looked up again for every use.
#pragma once

#include "handset_ui/call/call_screen.h"
#include "handset_ui/call/handset_controller.h"

namespace talvio {

class LcdController final : public HandsetController {
public:
    LcdController(ConnectorRegistry& registry, CallTray& tray, CallVolumePopup& popup);

    // Tells the screen the active connector's id, or 0.
    int OnConnectorStatus(int attachedCount, int onlineCount) override;

    void OnCallFailed(VoipConnector& connector, int callId) override;
    void OnCallUnplaced(VoipConnector& connector, int callId) override;
    void OnCallRouting(VoipConnector& connector, int callId) override;
    void OnCallRefused(VoipConnector& connector, int callId) override;
    void OnCallMissed(VoipConnector& connector, int callId) override;
    void OnCallFinished(VoipConnector& connector, int callId) override;
    void OnCallHeld(VoipConnector& connector, int callId) override;
    void OnCallInProgress(VoipConnector& connector, int callId) override;
    void OnCallRinging(VoipConnector& connector, int callId) override;

    // The call key as a page offers it (code 50: the left softkey, else the
    // clear key): the page acts first; outside a call the client's YES
    // button dials what the client holds.
    void OnCallKeyFromScreen(VoipConnector& target, int code);
    // The end of a call or of the user's dialling: the page may take the
    // key (PageKey 255); else the client's NO button. The client window is
    // put away when nothing is left in it (always after the handset went
    // down, code 70).
    void EndOrCloseClient(VoipConnector& target, int code);

protected:
    void OnKey(VoipConnector& target, int code) override;

private:
    static CallScreen* Screen();
    static int PageKey(int key);

    // Shows the call that matters most now: the active connector's, else
    // any online connector's; the indicator goes off after 5 s when there
    // is none.
    void ChooseCallPage();
    static void Notify(int kind, const VoipConnector& connector, int callId);

    void Digit(VoipConnector& target, int code);
    void StarOrHash(VoipConnector& target, int code);
    void LeftSoftkey(VoipConnector& target);
    void RightSoftkey(VoipConnector& target);
    void ClearKey(VoipConnector& target);
    void TalkKey(VoipConnector& target);
    void HandsetDown(VoipConnector& target);
    void HandsetUp(VoipConnector& target);
    // Key k to the volume page, shown first; the popup shows the new level.
    void VolumePageKey(VoipConnector& target, int key);
    // Off hook: the volume during a call, else the page's list, and the
    // client's contacts or history move with it.
    void Navigation(VoipConnector& target, int key);
    static void ShowActiveDialText(VoipConnector& target);
    // Answers the ringing call, else ends what the client holds.
    void AnswerOrEnd(VoipConnector& target);
    void SetHandsFree(bool on);
};

}  // namespace talvio
