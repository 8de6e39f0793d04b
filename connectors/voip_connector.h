// One VoIP client program as the handset side sees it: a fixed set of
// operations (call, answer, hang up, keypad, client-window automation,
// audio devices) over the client's window protocol, and the directory the
// client reports (contacts, live and past calls, voicemails).
//
// Both client protocols (Skype's and the Voip family's) are text commands
// and replies of the same shape: the operations whose commands they share,
// the command queue and the reply handling they share live here; each
// subclass overrides where its client differs.
//
// Ownership: owned by the ConnectorRegistry, which outlives it; the
// connector owns its hidden window (created by Start), its command queue
// and its directory. Threading: main thread only, except that the
// command-queue worker reads Hwnd() and ClientWindow(), which are atomic for
// that reason.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "connectors/command_queue.h"
#include "connectors/reply_text.h"
#include "directory/call_record.h"
#include "directory/contact_list.h"
#include "directory/voicemail_record.h"
#include "ui/window.h"

namespace talvio {

class ConnectorHost;
class ConnectorRegistry;

class VoipConnector : public Window {
public:
    // User status words of the clients, in this numbering.
    enum UserStatus {
        kUnknown = 0, kOnline, kOffline, kAway, kNotAvailable, kDoNotDisturb, kInvisible, kLoggedOut
    };
    // Private messages of the connector window: a received text is ready
    // to parse (1040), an attach reply arrived (1041).
    static constexpr std::uint32_t kTextReady = os::WM_USER + 16;
    static constexpr std::uint32_t kAttachReply = os::WM_USER + 17;
    // Timers of the connector window: the client watch every 2 s, and the
    // liveness check.
    static constexpr std::uintptr_t kWatchTimer = 1001;
    static constexpr std::uintptr_t kLivenessTimer = 1002;
    static constexpr std::uint32_t kWatchPeriodMs = 2000;
    // The longest text a client may send.
    static constexpr std::uint32_t kMaxTextBytes = 16383;
    // Keypad codes of PressKey besides the digits 0-9.
    static constexpr int kKeyStar = 20;
    static constexpr int kKeyHash = 21;
    static constexpr int kKeyPlus = 123;

    explicit VoipConnector(ConnectorRegistry& registry);
    ~VoipConnector() override;

    // Connector operations, in their fixed order.
    virtual int GetConnectorId() const;
    virtual std::wstring GetDisplayName() const;
    virtual bool Start();
    virtual int OnClientVersionKnown();
    virtual bool SuppressesPageStep() const;
    virtual void SetRingtone(const std::wstring& path);
    virtual void PressYes(int direct);
    virtual void PressNo();
    virtual void HookOn();
    virtual void HookOff();
    virtual void BringToFront();
    virtual void NextView();
    virtual void Backspace();
    virtual void PressKey(int code);
    virtual void PressButton(std::string_view name);
    virtual void ToggleMute();
    virtual void ShowContacts();
    virtual void ShowCallHistory();
    virtual void MoveFocus(int steps);
    virtual bool CloseTopPopup();
    virtual bool IsMainWindowShown();
    virtual void ClearDialText();
    virtual int SetDialText(const std::wstring& text);
    // At most `size` characters into `text`; nonzero when text was read.
    virtual int GetDialText(std::wstring& text, int size);
    virtual void HideMainWindow();
    virtual void PressDown();
    virtual void PressUp();
    virtual void Focus();
    virtual void SetAudioIn(const std::wstring& device);
    virtual void SetAudioOut(const std::wstring& device);
    virtual void SetRinger(const std::wstring& device);
    virtual void FinishCall(int callId);
    virtual void AnswerCall(int callId);
    virtual void RefuseCall(int callId);
    virtual void CallNumber(std::string_view target);
    virtual void HoldCall(int callId);
    virtual void ResumeCall(int callId);
    virtual void SendChatMessage(const std::wstring& user, const std::wstring& text);
    virtual void QueryCall(int callId, bool queued);
    virtual void QueryVoicemail(int id, bool queued);
    virtual void PlayVoicemail(int id);
    virtual void StopVoicemail(int id);
    virtual bool IsOnline() const;
    virtual bool IsAttached() const;
    virtual int GetIconIndex() const;

    // Makes the connector service re-evaluate every connector; `id` is the
    // caller's id, or -1 when it lost its client.
    void NotifyStatusChanged(int id);
    // The ring-tone setting of this program; -1 for an id outside 1..12.
    int GetRingtoneSetting() const;

    // Ends a call the controller armed for the busy reply once its partner
    // is known, with the busy text when the settings ask for it.
    void AutoBusyReply(CallRecord& call, bool arm);
    // Sends the away text to the partner of a missed incoming call when the
    // settings ask for it.
    void AutoAwayReply(int callId);

    // Id of the first live call in progress, else 0.
    int CurrentCall() const { return calls.FindCallInProgress(); }
    // A live call other than `exceptId` in progress, ringing, routing or held.
    bool HasActiveCall(int exceptId) const { return calls.FindOtherLiveCall(3, exceptId) != 0; }
    int RingingIncomingCall() const { return calls.FindRingingIncomingCall(); }

    os::Hwnd Hwnd() const { return ownWindow_.load(); }
    os::Hwnd ClientWindow() const { return clientWindow_.load(); }
    int MuteState() const { return muteState_; }
    int UserStatus() const { return userStatus_; }
    const std::string& CurrentUser() const { return currentUser_; }
    const std::string& LastDialledHandle() const { return lastDialledHandle_; }
    const std::wstring& LastDialledName() const { return lastDialledName_; }
    ConnectorRegistry& Registry() const { return registry_; }
    ConnectorHost& Host() const;

    ContactList contacts{this};
    CallLists calls{this};
    VoicemailList voicemails{this};

protected:
    static constexpr int kSendTimeoutMs = 2000;

    // The never-shown overlapped window the clients talk to.
    bool CreateHiddenWindow();
    void onDestroy() override;
    void SetClientWindow(os::Hwnd window) { clientWindow_.store(window); }

    // Commands. Send hands a UTF-8 command to the queue; a client whose
    // protocol has another encoding converts it there.
    virtual void Send(std::string_view command, int priority = CommandQueue::kImmediate);
    void SendWide(std::string_view prefix, const std::wstring& text);
    // Calls are named to the client by their number, the stored id minus one.
    void SendCallCommand(int callId, std::string_view status);
    // "<prefix><property>" for each property, in order.
    void SendQueries(std::string_view prefix, std::span<const std::string_view> properties,
                     int priority);
    // The contact queries of the client's protocol, for a new contact.
    virtual void QueryContact(std::string_view handle);
    // An armed busy reply waits for its ringing call's partner: tried again
    // on every live ringing incoming call.
    void RetryBusyReplies();

    // Replies both protocols share.
    void OnErrorReply(std::string_view rest);
    // PARTNER_DISPNAME, PSTN_NUMBER, TIMESTAMP or DURATION of a live call,
    // else of a past one; false for any other property.
    bool SetCallProperty(int callId, std::string_view property, std::string_view value);
    // The call event of a status word (exact) both protocols raise alike:
    // FAILED, ROUTING, INPROGRESS, ONHOLD, FINISHED, MISSED, REFUSED; without
    // a listener the connector's own handling. False for any other word.
    bool RaiseCallEvent(int callId, std::string_view word);
    // TYPE of a past call.
    void SetPastCallType(CallRecord& past, bool outgoing);
    void OnFriendList(std::string_view list, bool commasSeparate);
    void AddContact(std::string_view handle, bool create);
    // "USER " replies; the client's ONLINESTATUS words, and whether it
    // reports IS_CF_ACTIVE.
    void OnContactProperty(std::string_view rest, std::span<const reply_text::WordValue> onlineWords,
                           bool callForwarding);
    void OnCallList(std::string_view list);
    void OnFocusedContact(std::string_view handle);

    int muteState_ = 0;  // 0 no report yet, 1 muted, 2 not muted
    std::string currentUser_;
    int userStatus_ = kUnknown;
    std::string lastDialledHandle_;
    std::wstring lastDialledName_;

    // Read by the command-queue worker while the main thread changes them.
    std::atomic<os::Hwnd> ownWindow_{nullptr};
    std::atomic<os::Hwnd> clientWindow_{nullptr};
    // After the two handles its worker reads, so it stops before they go.
    // A subclass stops it first in its own destructor when its members
    // must outlive every send.
    CommandQueue queue_;

private:
    ConnectorRegistry& registry_;
};

}  // namespace talvio
