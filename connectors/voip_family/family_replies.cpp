// What a Voip-family connector does with its program's replies and
// notifications. They come in the system ANSI code page and are parsed as
// UTF-8, the records' encoding: each run of text between separators is
// converted apart, so a name that does not convert spoils only itself.
#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "foundation/text_convert.h"

namespace talvio {

using reply_text::EqualsNoCase;
using reply_text::NextWord;
using reply_text::StartsWithNoCase;

namespace {

constexpr reply_text::WordValue kOnlineStatusWords[] = {
    {"ONLINE", 1}, {"OFFLINE", 0}, {"NA", 4}, {"AWAY", 2}, {"DND", 3},
};

}  // namespace

void VoipFamilyConnector::HandleReply(std::string_view text) {
    if (IsAscii(text)) HandleUtf8Reply(text);
    else HandleUtf8Reply(AnsiToUtf8(text));
}

void VoipFamilyConnector::HandleUtf8Reply(std::string_view text) {
    const auto rest = [&](std::string_view prefix) { return text.substr(prefix.size()); };
    if (StartsWithNoCase(text, "CALL ")) {
        OnCallNotification(rest("CALL "));
    } else if (StartsWithNoCase(text, "ERROR ")) {
        OnErrorReply(rest("ERROR "));
    } else if (StartsWithNoCase(text, "USERSTATUS ")) {
        std::string_view value = rest("USERSTATUS ");
        OnUserStatusWord(NextWord(value));
    } else if (StartsWithNoCase(text, "CONNSTATUS ")) {
        // A program that logs out stays attached, and reports its user's
        // status again once logged in.
        std::string_view value = rest("CONNSTATUS ");
        if (EqualsNoCase(NextWord(value), "LOGGEDOUT")) OnUserStatusWord("LOGGEDOUT");
    } else if (StartsWithNoCase(text, "CURRENTUSERHANDLE ")) {
        currentUser_ = std::string(rest("CURRENTUSERHANDLE "));
    } else if (StartsWithNoCase(text, "USER ")) {
        OnContactProperty(rest("USER "), kOnlineStatusWords, false);
    } else if (StartsWithNoCase(text, "USERS ")) {
        OnFriendList(rest("USERS "), true);
    } else if (StartsWithNoCase(text, "SKYPEVERSION ")) {
        clientVersion_ = std::string(rest("SKYPEVERSION "));
        OnClientVersionKnown();
    } else if (StartsWithNoCase(text, "CALLS ")) {
        OnCallList(rest("CALLS "));
    } else if (StartsWithNoCase(text, "CONTACTS FOCUSED ")) {
        std::string_view value = rest("CONTACTS FOCUSED ");
        OnFocusedContact(NextWord(value));
    }
}

void VoipFamilyConnector::OnUserStatusWord(std::string_view word) {
    const auto status = reply_text::UserStatusOf(word);
    if (!status || *status == userStatus_) return;
    userStatus_ = *status;
    NotifyStatusChanged(identity_.id);
}

void VoipFamilyConnector::OnCallNotification(std::string_view rest) {
    const auto notice = reply_text::ParseCallNotice(rest);
    if (!notice) return;
    const auto [id, property, value] = *notice;
    CallRecord* live = calls.GetLiveCall(id);
    CallRecord* history = live == nullptr ? calls.GetHistoryCall(id) : nullptr;
    if (value.empty() && live == nullptr && history == nullptr) return;

    if (property == "STATUS") {
        OnCallStatus(id, value);
    } else if (property == "PARTNER_HANDLE") {
        if (live == nullptr) {
            if (history != nullptr) history->partnerHandle = std::string(value);
            return;
        }
        live->partnerHandle = std::string(value);
        if (live->status == CallRecord::kRinging && live->type == CallRecord::kIncoming) {
            if (CallEventListener* listener = Host().Listener()) listener->Refresh();
        }
    } else if (EqualsNoCase(property, "TYPE")) {
        const auto [outgoing, pstn] = reply_text::ParseCallType(value);
        if (live == nullptr) {
            if (history != nullptr) SetPastCallType(*history, outgoing);
            return;
        }
        live->type = outgoing ? CallRecord::kOutgoing : CallRecord::kIncoming;
        live->isPstn = pstn ? 1 : 0;
        if (live->status == CallRecord::kRinging && !outgoing) {
            if (CallEventListener* listener = Host().Listener()) listener->OnCallRinging(*this, id);
        }
    } else {
        SetCallProperty(id, property, value);
    }
}

// Events are raised for any call id; the listener keeps the live calls.
void VoipFamilyConnector::OnCallStatus(int id, std::string_view word) {
    CallEventListener* listener = Host().Listener();
    if (word == "UNPLACED") {
        if (listener != nullptr) listener->OnCallUnplaced(*this, id);
        else calls.MoveToHistory(id, CallRecord::kUnplaced);
    } else if (word == "RINGING") {
        if (calls.GetLiveCall(id) != nullptr) {
            if (listener != nullptr) listener->OnCallRinging(*this, id);
            return;
        }
        QueryCall(id, false);
        calls.SetStatus(id, CallRecord::kRinging);
    } else {
        RaiseCallEvent(id, word);
    }
}

}  // namespace talvio
