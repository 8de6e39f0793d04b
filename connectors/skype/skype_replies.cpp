// What the Skype connector does with the client's replies and
// notifications: the directory, the status fields and the call events.
#include <string>

#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "connectors/reply_text.h"
#include "connectors/skype/client_version.h"
#include "connectors/skype/skype_connector.h"
#include "foundation/text_convert.h"

namespace talvio {

using reply_text::EqualsNoCase;
using reply_text::LookUpWord;
using reply_text::NextWord;
using reply_text::ParseDecimal;
using reply_text::SkipSpaces;
using reply_text::StartsWithNoCase;

namespace {

using reply_text::WordValue;

constexpr WordValue kOnlineStatusWords[] = {
    {"ONLINE", 1}, {"SKYPEOUT", 6}, {"OFFLINE", 0}, {"NA", 4},
    {"AWAY", 2},   {"DND", 3},      {"SKYPEME", 5},
};
constexpr WordValue kVoicemailTypeWords[] = {
    {"INCOMING", 0}, {"OUTGOING", 1}, {"DEFAULT_GREETING", 2}, {"CUSTOM_GREETING", 3},
    {"UNKNOWN", 4},
};
constexpr WordValue kVoicemailStatusWords[] = {
    {"NOTDOWNLOADED", 0}, {"DOWNLOADING", 1}, {"UNPLAYED", 2}, {"BUFFERING", 3},
    {"PLAYING", 4},       {"PLAYED", 5},      {"BLANK", 6},    {"RECORDING", 7},
    {"RECORDED", 8},      {"UPLOADING", 9},   {"UPLOADED", 10}, {"DELETING", 11},
    {"FAILED", 12},       {"UNKNOWN", 13},
};
constexpr std::string_view kContactQueries[] = {
    "ONLINESTATUS", "COUNTRY",      "CITY",         "PROVINCE", "SPEEDDIAL",    "PHONE_HOME",
    "PHONE_OFFICE", "PHONE_MOBILE", "FULLNAME",     "DISPLAYNAME", "IS_CF_ACTIVE", "BUDDYSTATUS",
};

// End reasons of a history call, by its status word (exact).
int EndReasonOf(std::string_view word) {
    if (word == "FAILED") return CallRecord::kFailed;
    if (word == "MISSED") return CallRecord::kMissed;
    if (word == "REFUSED") return CallRecord::kRefused;
    return CallRecord::kFinished;
}

// The live status a status word puts a call in, or 0 for an ending or
// unknown word (exact).
int LiveStatusOf(std::string_view word) {
    if (word == "ROUTING") return CallRecord::kRouting;
    if (word == "RINGING") return CallRecord::kRinging;
    if (word == "INPROGRESS") return CallRecord::kInProgress;
    if (word == "ONHOLD") return CallRecord::kOnHold;
    return 0;
}

}  // namespace

void SkypeConnector::HandleReply(std::string_view text, os::Hwnd sender) {
    if (sender == nullptr || sender != ClientWindow()) return;
    const auto rest = [&](std::string_view prefix) { return text.substr(prefix.size()); };
    if (StartsWithNoCase(text, "MUTE OFF")) {
        OnMuteReply(2);
    } else if (StartsWithNoCase(text, "MUTE ON")) {
        OnMuteReply(1);
    } else if (StartsWithNoCase(text, "CALL ")) {
        OnCallNotification(rest("CALL "));
    } else if (StartsWithNoCase(text, "ERROR ")) {
        OnErrorReply(rest("ERROR "));
    } else if (StartsWithNoCase(text, "USERSTATUS ")) {
        OnUserStatus(rest("USERSTATUS "));
        pendingQueries_.Satisfy("USERSTATUS ");
    } else if (StartsWithNoCase(text, "CONNSTATUS ")) {
        std::string_view value = rest("CONNSTATUS ");
        if (EqualsNoCase(NextWord(value), "LOGGEDOUT")) Detach();
    } else if (StartsWithNoCase(text, "CURRENTUSERHANDLE ")) {
        currentUser_ = std::string(rest("CURRENTUSERHANDLE "));
    } else if (StartsWithNoCase(text, "USER ")) {
        OnContactProperty(rest("USER "), kOnlineStatusWords, true);
    } else if (StartsWithNoCase(text, "USERS ")) {
        OnFriendList(rest("USERS "), false);
        pendingQueries_.Satisfy("USERS ");
    } else if (StartsWithNoCase(text, "SKYPEVERSION ")) {
        clientVersion_ = std::string(rest("SKYPEVERSION "));
        pendingQueries_.Satisfy("SKYPEVERSION ");
        OnClientVersionKnown();
    } else if (StartsWithNoCase(text, "CALLS ")) {
        OnCallList(rest("CALLS "));
        pendingQueries_.Satisfy("CALLS ");
    } else if (StartsWithNoCase(text, "CONTACTS FOCUSED ")) {
        std::string_view value = rest("CONTACTS FOCUSED ");
        OnFocusedContact(NextWord(value));
    } else if (StartsWithNoCase(text, "VOICEMAILS ")) {
        OnVoicemailList(rest("VOICEMAILS "));
        pendingQueries_.Satisfy("VOICEMAILS ");
    } else if (StartsWithNoCase(text, "VOICEMAIL ")) {
        OnVoicemailProperty(rest("VOICEMAIL "));
    }
}

int SkypeConnector::OnClientVersionKnown() {
    // Old clients do not report the caller in their API; the hook library
    // reads it from their window instead.
    if (VersionBelow(clientVersion_, "1.4.0") && IsAttached()) {
        Host().StartCallerIdHook(ClientWindow());
    }
    return 1;
}

void SkypeConnector::OnMuteReply(int state) {
    if (state == muteState_) return;
    muteState_ = state;
    if (CallEventListener* listener = Host().Listener()) listener->Refresh();
    Host().SetMuteIndicator(state == 1);
}

void SkypeConnector::OnUserStatus(std::string_view rest) {
    if (const auto status = reply_text::UserStatusOf(NextWord(rest))) userStatus_ = *status;
    NotifyStatusChanged(kId);
}

void SkypeConnector::Detach() {
    pingCountdown_ = 0;
    LoseClient(kLoggedOut);
}

void SkypeConnector::OnCallNotification(std::string_view rest) {
    const auto notice = reply_text::ParseCallNotice(rest);
    if (!notice) return;
    const auto [id, property, value] = *notice;

    if (property == "STATUS") {
        OnCallStatus(id, value);
        return;
    }
    if (property == "PARTNER_HANDLE") {
        OnCallPartnerHandle(id, value);
        return;
    }
    if (EqualsNoCase(property, "TYPE")) {
        OnCallType(id, value);
        return;
    }
    if (SetCallProperty(id, property, value)) return;
    if (EqualsNoCase(property, "CONF_ID")) {
        if (CallRecord* live = calls.GetLiveCall(id)) live->conferenceId = ParseDecimal(value);
    }
}

void SkypeConnector::OnCallStatus(int id, std::string_view word) {
    const int live = LiveStatusOf(word);
    if (CallRecord* history = calls.GetHistoryCall(id)) {
        // A call the attach listed among the past ones may still be under
        // way; it must become live to be seen and ended. Its queued queries
        // bring the type, which announces it.
        if (live != 0) calls.ReviveHistoryCall(id, live)->isNew = 1;
        else history->endReason = EndReasonOf(word);
        return;
    }
    if (calls.GetLiveCall(id) != nullptr) {
        OnLiveCallStatus(id, word);
        return;
    }
    if (word == "FAILED" || word == "FINISHED" || word == "MISSED" || word == "REFUSED") {
        QueryCall(id, false);
        return;
    }
    if (live == 0) return;
    QueryCall(id, false);
    calls.SetStatus(id, live).isNew = 1;
}

void SkypeConnector::OnLiveCallStatus(int id, std::string_view word) {
    if (word != "RINGING") {
        RaiseCallEvent(id, word);
        return;
    }
    const CallRecord* call = calls.GetLiveCall(id);
    if (call != nullptr && call->type == CallRecord::kIncoming) {
        if (CallEventListener* listener = Host().Listener()) listener->OnCallRinging(*this, id);
    }
}

void SkypeConnector::OnCallPartnerHandle(int id, std::string_view value) {
    CallRecord* live = calls.GetLiveCall(id);
    if (live == nullptr) {
        if (CallRecord* history = calls.GetHistoryCall(id)) history->partnerHandle = std::string(value);
        return;
    }
    live->partnerHandle = std::string(value);
    if (live->type == CallRecord::kOutgoing) {
        lastDialledHandle_ = live->partnerHandle;
        lastDialledName_ = Utf8ToWide(live->partnerDisplayName);
    }
    if (!Host().HandsetPresent()) return;
    if (live->status == CallRecord::kRouting && value.size() >= 5 && value[0] == '+') {
        TryLeastCostRedirect(id, value);
    } else if (live->status == CallRecord::kRinging && live->type == CallRecord::kIncoming) {
        if (CallEventListener* listener = Host().Listener()) listener->Refresh();
    }
}

// To the program that calls the number free, else to the call-out program;
// never to Skype itself nor to a program that is not online.
void SkypeConnector::TryLeastCostRedirect(int id, std::string_view number) {
    VoipConnector* target = Host().CallOutFree() ? Registry().ChooseCheapest(number) : nullptr;
    if (target == nullptr) target = Registry().At(Host().CallOutProgram() + 1);
    if (target == nullptr || target->GetConnectorId() == kId || !target->IsOnline()) return;
    const std::string dialled(number);
    FinishCall(id);
    target->BringToFront();
    target->CallNumber(dialled);
}

void SkypeConnector::OnCallType(int id, std::string_view value) {
    const auto [outgoing, pstn] = reply_text::ParseCallType(value);
    if (CallRecord* live = calls.GetLiveCall(id)) {
        live->type = outgoing ? CallRecord::kOutgoing : CallRecord::kIncoming;
        live->isPstn = pstn ? 1 : 0;
        switch (live->status) {
            case CallRecord::kRinging:
                OnLiveCallStatus(id, outgoing ? "ROUTING" : "RINGING");
                break;
            case CallRecord::kRouting: OnLiveCallStatus(id, "ROUTING"); break;
            case CallRecord::kOnHold: OnLiveCallStatus(id, "ONHOLD"); break;
            case CallRecord::kInProgress: OnLiveCallStatus(id, "INPROGRESS"); break;
            default: break;
        }
    } else if (CallRecord* history = calls.GetHistoryCall(id)) {
        SetPastCallType(*history, outgoing);
    }
}

void SkypeConnector::QueryContact(std::string_view handle) {
    SendQueries("GET USER " + std::string(handle) + " ", kContactQueries, CommandQueue::kNormal);
}

void SkypeConnector::OnVoicemailList(std::string_view list) {
    reply_text::ForEachListedNumber(list, [this](int id) { voicemails.FindOrAddVoicemail(id); });
}

void SkypeConnector::OnVoicemailProperty(std::string_view rest) {
    const auto id = reply_text::ParseCallNumber(NextWord(rest));
    if (!id || *id <= 0) return;
    const std::string_view property = NextWord(rest);
    const std::string_view value = SkipSpaces(rest);
    VoicemailRecord& voicemail = voicemails.FindOrAddVoicemail(*id);
    const auto is = [&](std::string_view name) { return EqualsNoCase(property, name); };
    if (is("TIMESTAMP")) {
        voicemail.timestamp = ParseDecimal(value);
    } else if (is("DURATION")) {
        voicemail.duration = ParseDecimal(value);
    } else if (is("PARTNER_HANDLE")) {
        voicemail.partnerHandle = std::string(value);
    } else if (is("PARTNER_DISPNAME")) {
        voicemail.partnerDisplayName = std::string(value);
    } else if (is("TYPE")) {
        voicemail.type = LookUpWord(kVoicemailTypeWords, value, voicemail.type);
    } else if (is("STATUS")) {
        voicemail.status = LookUpWord(kVoicemailStatusWords, value, voicemail.status);
        if (voicemail.status == VoicemailRecord::kDeleting) {
            voicemails.RemoveVoicemail(*id);
            Host().RefreshScreenPage(4);
        }
    }
}

}  // namespace talvio
