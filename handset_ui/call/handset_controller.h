// The call controller of one handset model. It decides what a handset
// event means at the moment it happens: it picks the connector the event
// concerns and drives that client, the handset's audio route and ring, the
// indicator and the volume popup. It also takes the connectors' call-state
// reports, which is where the handset starts and stops ringing. This base
// holds what both models share: the choice of the target connector,
// Refresh (ring route, blink pattern), the volume keys without any
// connector, the line switch, the mute-or-contacts key and the busy
// treatment. Each model adds its key handlers and call-state actions.
//
// Ownership: the program owns the controllers and gives them to the
// connector service, which makes the one of the connected model its
// listener. The registry and the ports are not owned and outlive the
// controller. Threading: main thread only; the handset link and the audio
// service lock inside their own functions.
#pragma once

#include "connectors/connector_registry.h"
#include "connectors/service_ports.h"
#include "handset_ui/call/call_ports.h"

namespace talvio {

class HandsetController : public HandsetCallController {
public:
    // The key click of the handlers (a sound resource).
    static constexpr int kKeyClick = 147;
    // Dial-field reads take at most this many characters.
    static constexpr int kDialTextLimit = 1024;
    // PressYes for the handset's own YES key, not a press the client may reinterpret.
    static constexpr int kDirectPress = 1;

    HandsetController(int modelId, ConnectorRegistry& registry, CallTray& tray, CallVolumePopup& popup);
    HandsetController(const HandsetController&) = delete;
    HandsetController& operator=(const HandsetController&) = delete;
    virtual ~HandsetController() = default;

    int Model() const override { return modelId_; }
    // Set only during a call; while set, putting the handset down keeps the call.
    bool HandsFree() const { return handsFree_; }

    // The event goes to the connector it concerns; without any connector
    // only the volume and line codes have an effect.
    void HandleEvent(int code) override;
    // After every call-state change: a call in progress takes the talk
    // route, else the last ringing connector rings the handset, else
    // silence.
    void Refresh() override;
    int OnConnectorStatus(int attachedCount, int onlineCount) override;
    void OnServiceNotice(int, int) override {}
    void OnServiceNotice1(int) override {}
    void OnStop() override {}
    // A changed ring tone or volume applies to a ring already going on.
    void OnSettingsChanged() override { Refresh(); }

protected:
    // The handler of a code of the dispatch list (but the line switch's),
    // with its target.
    virtual void OnKey(VoipConnector& target, int code) = 0;

    ConnectorRegistry& Registry() const { return registry_; }
    CallTray& Tray() const { return tray_; }
    CallVolumePopup& Popup() const { return popup_; }

    static bool OnHook();
    static bool LineSelected();
    // The route follows the hook and line switches; a ring goes on.
    static void RouteRefresh();
    // The same, and a ring stops.
    static void RouteRefreshAndRingStop();
    // Quiet: no route change (a call in progress keeps its route).
    static void KeyClick(bool quiet);
    // The key click, quiet while the target has a call in progress.
    static void Click(const VoipConnector& target);
    static int FirstLiveCall(const VoipConnector& connector);
    static bool DialFieldEmpty(VoipConnector& connector);
    // "+" starts a number: a 0 on an empty dial field outside a call types it.
    static void TypeDigit(VoipConnector& target, int code);

    // Code 198: mute during a call, the contacts outside one.
    static void MuteOrContacts(VoipConnector& target);
    // A call that rings while the user is busy: ended, with the busy text
    // once its partner is known, if the settings ask for it.
    static void BusyTreatment(VoipConnector& connector, int callId);
    // Some online connector (this one included) has a live call other than callId.
    bool AnotherLiveCall(VoipConnector& connector, int callId) const;

    bool handsFree_ = false;
    // The handset was seen lifted since it appeared. The first report of a
    // handset that appears on hook (at start, or plugged in again) raises
    // the put-down code too: that only tells the hook state, and must not
    // refuse a ringing call or end one in progress.
    bool lifted_ = false;

private:
    VoipConnector* FindTarget() const;
    void VolumeWithoutConnector(int code);
    // Codes 71 and 81: unless a ring plays, the ring route on hook without
    // the telephone line, else the route follows the switches.
    static void OnLineChange();

    int modelId_;
    ConnectorRegistry& registry_;
    CallTray& tray_;
    CallVolumePopup& popup_;
};

}  // namespace talvio
