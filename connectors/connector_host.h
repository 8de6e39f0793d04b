// What the connectors need from the rest of the program: the settings they
// read, the handset side (presence, listener, screen, key tones) and the
// status re-evaluation. The connector service implements it; until one is
// installed, ConnectorHost::Standalone() answers as a program without
// handset, listener or settings file would. Main thread only; the host is
// not owned by the connectors and outlives them.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace talvio {

class CallEventListener;
class RateList;

class ConnectorHost {
public:
    static ConnectorHost& Standalone();

    // Settings (AppSettings values).
    virtual int ActiveProgram() = 0;
    virtual int RingToneOf(int programId) = 0;  // ids 1..12
    virtual int CallOutProgram() = 0;           // registry position - 1, -1 none
    virtual bool CallOutFree() = 0;
    // The rates of a program (ids 1..12); null for none.
    virtual const RateList* RatesOf(int programId) = 0;
    virtual bool AutoAnswer() = 0;
    virtual bool AutoBusy() = 0;
    virtual bool AutoAway() = 0;
    virtual std::wstring AutoBusyText() = 0;
    virtual std::wstring AutoAwayText() = 0;

    // Handset side.
    virtual bool HandsetPresent() = 0;
    virtual CallEventListener* Listener() = 0;  // null when there is none
    virtual void RefreshStatus(int connectorId) = 0;
    virtual void PlayKeyTone(int resource, int mode) = 0;
    // Gives every connector the handset's sound devices (SetAudioOut,
    // SetRinger, SetAudioIn).
    virtual void PublishDeviceNames() = 0;
    virtual void SetMuteIndicator(bool muted) = 0;
    virtual void ShowFocusedContact(int connectorId, const std::wstring& handle) = 0;
    virtual void RefreshScreenPage(int pageCode) = 0;
    // Attaches the caller-id hook for old clients; false when there is no
    // LCD handset screen.
    virtual bool StartCallerIdHook(os::Hwnd clientWindow) = 0;

protected:
    ~ConnectorHost() = default;
};

}  // namespace talvio
