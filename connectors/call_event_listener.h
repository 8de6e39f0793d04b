// Receiver of the connectors' call events: the current handset call
// controller. When one is registered the connectors leave the update of
// their live calls for these events to it. Called on the main thread only.
#pragma once

namespace talvio {

class VoipConnector;

class CallEventListener {
public:
    virtual void Refresh() = 0;
    virtual int OnConnectorStatus(int attachedCount, int onlineCount) = 0;
    virtual void OnCallFailed(VoipConnector& connector, int callId) = 0;
    virtual void OnCallUnplaced(VoipConnector& connector, int callId) = 0;
    virtual void OnCallRouting(VoipConnector& connector, int callId) = 0;
    virtual void OnCallRefused(VoipConnector& connector, int callId) = 0;
    virtual void OnCallMissed(VoipConnector& connector, int callId) = 0;
    virtual void OnCallFinished(VoipConnector& connector, int callId) = 0;
    virtual void OnCallHeld(VoipConnector& connector, int callId) = 0;
    virtual void OnCallInProgress(VoipConnector& connector, int callId) = 0;
    virtual void OnCallRinging(VoipConnector& connector, int callId) = 0;

protected:
    ~CallEventListener() = default;
};

}  // namespace talvio
