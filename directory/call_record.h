// Calls as a client reports them: the record, the three call containers of
// a connector and the queries over them. Call ids are the client's call
// number plus one, so 0 never names a call. Main thread only.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace talvio {

class VoipConnector;

struct CallRecord {
    enum Status { kCreated = 1, kInProgress = 2, kRinging = 3, kRouting = 4, kOnHold = 5 };
    enum Type { kIncoming = 1, kOutgoing = 2 };
    enum EndReason { kFinished = 1, kMissed = 2, kRefused = 3, kFailed = 4, kUnplaced = 5 };

    int id = 0;
    int status = kCreated;
    int type = kIncoming;
    int endReason = 0;
    int autoReplyFlags = 0;  // bit 0 auto-busy reply armed, bit 1 carried out
    int conferenceId = -1;   // -1 not yet reported, 0 not in a conference
    std::string partnerHandle;
    std::string pstnNumber;
    std::string partnerDisplayName;
    int timestamp = 0;
    int duration = 0;
    int isPstn = -1;  // -1 until the call type is known
    int isNew = 0;
    VoipConnector* owner = nullptr;  // not owned
};

// Null-safe field reads for the handset screen; none gives empty or 0.
const std::string& CallPartnerName(const CallRecord* call);  // display name, else handle
const std::string& CallPartnerHandle(const CallRecord* call);
int CallId(const CallRecord* call);
int CallConferenceId(const CallRecord* call);
int CallTimestamp(const CallRecord* call);
int CallDuration(const CallRecord* call);

class CallLists {
public:
    // Ended calls with a time stamp, oldest first. Keyed by time stamp and
    // id, so two calls of the same second are both kept.
    using RecentIndex = std::map<std::pair<int, int>, CallRecord>;

    explicit CallLists(VoipConnector* owner = nullptr) : owner_(owner) {}
    CallLists(const CallLists&) = delete;
    CallLists& operator=(const CallLists&) = delete;

    VoipConnector* owner() const { return owner_; }  // not owned

    std::map<int, CallRecord> liveCalls;
    std::map<int, CallRecord> callHistory;
    RecentIndex recentCalls;  // changed only through CopyToRecent and Clear

    // Finds or creates the live call and sets its status; kRouting also
    // makes it outgoing.
    CallRecord& SetStatus(int id, int status);
    // Ends a live call with the reason: into callHistory (an existing
    // history record is kept), into recentCalls when it has a time stamp,
    // out of liveCalls. False when there is no such live call.
    bool MoveToHistory(int id, int endReason);
    // The history record with that id, created with status kRouting.
    CallRecord& FindOrAddHistoryCall(int id);
    // Stores a copy in recentCalls, replacing an earlier copy of that call;
    // calls without a time stamp are not indexed.
    void CopyToRecent(const CallRecord& call);
    // Ends every live call as its state suggests, for a client that can no
    // longer say: a ringing incoming call was missed, any other finished.
    void EndLiveCalls();
    // Brings a history call back as live with `status`; it leaves the
    // history and recentCalls. The live record; null when the history has
    // no such call.
    CallRecord* ReviveHistoryCall(int id, int status);
    void Clear();

    CallRecord* GetLiveCall(int id);
    CallRecord* GetHistoryCall(int id);

    // First live call (ascending id) other than skipId whose status is 2
    // (kind 1), 3 (kind 2) or 2..5 (kind 3); 0 for none or another kind.
    int FindOtherLiveCall(int kind, int skipId) const;
    // First live incoming call that rings; optionally only one whose
    // partner is known. 0 for none.
    int FindRingingIncomingCall(bool needPartner = false) const;
    int FindCallInProgress() const;  // first live call in progress, or 0

    // History by kind over recentCalls, newest first: 1 received, 2 dialled,
    // 3 missed (an incoming missed call counts for kind 3 only).
    int HistoryCount(int kind) const;
    // Stores the kind's count, clamps position into range and gives the
    // callHistory record of that entry; none when the kind has no entry.
    CallRecord* GetRecentCall(int kind, int& position, int& count);

    // Display names of the call's conference (or its partner's name when it
    // is in none), joined by ", " within 1000 bytes. Result 1 when the text
    // is complete and not empty, else 0.
    int GetConferenceText(const CallRecord* call, std::string& text) const;

private:
    static bool CountsForKind(const CallRecord& entry, int kind);

    VoipConnector* owner_;
    std::map<int, int> recentStampById_;  // where each call's copy sits in recentCalls
};

}  // namespace talvio
