// What the LCD model's call controller does with the handset screen. The
// handset screen implements it beside LcdScreen; the controller finds it on
// the screen the handset link owns (CallScreenOf). The screen never calls
// back into the controller: a page's answer to PageKey tells the caller what
// is left to do.
//
// Ownership: the device owns the screen; do not keep the pointer past the
// message that found it (the handset may be unplugged in between). Main
// thread only.
#pragma once

#include <string>

#include "handset/lcd_screen.h"

namespace talvio {

// Page keys given to PageKey.
enum PageKeyCode : int {
    kPageKeyLeft = 1,
    kPageKeyClear = 2,
    kPageKeyCall = 3,  // the call key; pages treat it as the left softkey
    kPageKeyRight = 4,
    kPageKeyUp = 5,
    kPageKeyDown = 6,
    kPageKeyTalk = 9,
    kPageKeyEndCheck = 254,
    kPageKeyEndCall = 255,
};

// Answers of PageKey that call control acts on; other values are informational.
enum PageAnswer : int {
    kAnswerNothing = 0,
    kAnswerHistory = 2,      // open the client's call history
    kAnswerContacts = 3,     // open the client's contacts
    kAnswerDialChanged = 6,  // the dial text changed
    kAnswerBackspace = 7,    // delete one character in the client's dial field
};

// Kinds of ShowCall and NotifyCall.
enum CallPageKind : int {
    kCallEnded = 5,
    kCallInProgress = 6,
    kCallOnHold = 7,
    kCallMissed = 8,
    kCallOutgoing = 9,
    kCallRinging = 10,
};

class CallScreen {
public:
    // Key k to the current page; its answer, 0 without a current page.
    virtual int PageKey(int k) = 0;
    // The client's dial field after a key went to it: the dial page follows
    // it. A text that does not start with a digit, a letter, '#', '*' or '+'
    // counts as empty.
    virtual void ShowDialText(const std::wstring& text) = 0;
    virtual void ShowVolumePage() = 0;
    // Back to the idle page, the way back from every error or end of call.
    virtual void PopToRoot() = 0;
    // The call page for `callId` of connector `connectorId`, alone above the idle page.
    virtual void ShowCall(int kind, int callId, int connectorId) = 0;
    // A call-state change (kinds 5 to 10) for the current page; kind 8 also
    // marks a missed call on the idle page. Result 1 when a page took it.
    virtual int NotifyCall(int kind, int callId, int connectorId) = 0;
    // The call page's hands-free mark.
    virtual void SetCallMark(bool on) = 0;
    // The program the screen shows (its logo); 0 returns to the idle page.
    virtual void SetConnectorId(int id) = 0;

protected:
    ~CallScreen() = default;
};

// The call side of an LCD screen; null for none.
inline CallScreen* CallScreenOf(LcdScreen* screen) { return dynamic_cast<CallScreen*>(screen); }

}  // namespace talvio
