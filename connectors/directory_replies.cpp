// What the replies of both client protocols do alike to a connector's
// directory: call properties, the friend list and contact properties, the
// call list, the focused contact and the dial-field error.
#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "connectors/voip_connector.h"
#include "foundation/text_convert.h"

namespace talvio {

using reply_text::EqualsNoCase;
using reply_text::NextWord;
using reply_text::ParseDecimal;
using reply_text::SkipSpaces;

void VoipConnector::OnErrorReply(std::string_view rest) {
    const int error = ParseDecimal(SkipSpaces(rest));
    // The client refused a dial-field text it could not call.
    if (error == 91 || error == 92) ClearDialText();
}

bool VoipConnector::SetCallProperty(int callId, std::string_view property, std::string_view value) {
    CallRecord* live = calls.GetLiveCall(callId);
    CallRecord* history = live == nullptr ? calls.GetHistoryCall(callId) : nullptr;
    CallRecord* call = live != nullptr ? live : history;
    if (property == "PARTNER_DISPNAME") {
        if (call != nullptr) call->partnerDisplayName = std::string(value);
    } else if (EqualsNoCase(property, "PSTN_NUMBER")) {
        if (call != nullptr) call->pstnNumber = std::string(value);
    } else if (EqualsNoCase(property, "TIMESTAMP")) {
        if (call == nullptr) return true;
        call->timestamp = ParseDecimal(value);
        if (history != nullptr && history->timestamp != 0) calls.CopyToRecent(*history);
    } else if (EqualsNoCase(property, "DURATION")) {
        if (call != nullptr) call->duration = ParseDecimal(value);
    } else {
        return false;
    }
    return true;
}

bool VoipConnector::RaiseCallEvent(int callId, std::string_view word) {
    CallEventListener* listener = Host().Listener();
    if (word == "FAILED") {
        if (listener != nullptr) listener->OnCallFailed(*this, callId);
        else calls.MoveToHistory(callId, CallRecord::kFailed);
    } else if (word == "ROUTING") {
        if (listener != nullptr) listener->OnCallRouting(*this, callId);
        else calls.SetStatus(callId, CallRecord::kRouting);
    } else if (word == "INPROGRESS") {
        muteState_ = 2;
        if (listener != nullptr) listener->OnCallInProgress(*this, callId);
        else calls.SetStatus(callId, CallRecord::kInProgress);
    } else if (word == "ONHOLD") {
        if (listener != nullptr) listener->OnCallHeld(*this, callId);
        else calls.SetStatus(callId, CallRecord::kOnHold);
    } else if (word == "FINISHED") {
        if (listener != nullptr) listener->OnCallFinished(*this, callId);
        else calls.MoveToHistory(callId, CallRecord::kFinished);
    } else if (word == "MISSED") {
        if (listener != nullptr) {
            listener->OnCallMissed(*this, callId);
        } else {
            AutoAwayReply(callId);
            calls.MoveToHistory(callId, CallRecord::kMissed);
        }
    } else if (word == "REFUSED") {
        if (listener != nullptr) listener->OnCallRefused(*this, callId);
        else calls.MoveToHistory(callId, CallRecord::kRefused);
    } else {
        return false;
    }
    return true;
}

void VoipConnector::SetPastCallType(CallRecord& past, bool outgoing) {
    past.type = outgoing ? CallRecord::kOutgoing : CallRecord::kIncoming;
    if (past.timestamp != 0) calls.CopyToRecent(past);
}

void VoipConnector::OnFriendList(std::string_view list, bool commasSeparate) {
    for (ContactRecord& contact : contacts) contact.present = -1;
    reply_text::ForEachListedHandle(list, commasSeparate, [this](std::string_view handle) {
        AddContact(handle, true);
        if (ContactRecord* contact = contacts.FindContact(handle)) contact->present = 1;
    });
    contacts.RemoveIf([](const ContactRecord& contact) { return contact.present == -1; });
}

void VoipConnector::AddContact(std::string_view handle, bool create) {
    ContactRecord* contact = create ? &contacts.FindOrAddContact(handle, 1)
                                    : contacts.FindContact(handle);
    if (contact == nullptr) return;
    if (contact->present < 0) contact->present = 1;
    if (contact->displayName.empty()) QueryContact(handle);
}

void VoipConnector::OnContactProperty(std::string_view rest,
                                      std::span<const reply_text::WordValue> onlineWords,
                                      bool callForwarding) {
    const std::string_view handle = NextWord(rest);
    const std::string_view property = NextWord(rest);
    const std::string_view value = SkipSpaces(rest);
    if (handle.empty() || property.empty()) return;
    ContactRecord* contact = contacts.FindContact(handle);
    if (contact == nullptr) {
        if (EqualsNoCase(property, "BUDDYSTATUS")) {
            const int buddy = ParseDecimal(value);
            if (buddy == 2 || buddy == 3) AddContact(handle, true);
        }
        return;
    }
    if (value.empty()) return;
    const auto is = [&](std::string_view name) { return EqualsNoCase(property, name); };
    if (is("DISPLAYNAME")) {
        SetShownName(*contact, value);
    } else if (is("FULLNAME")) {
        if (contact->displayName.empty()) SetShownName(*contact, value);
    } else if (is("IS_CF_ACTIVE")) {
        if (callForwarding) contact->callForwardActive = EqualsNoCase(value, "TRUE") ? 1 : 0;
    } else if (is("SPEEDDIAL")) {
        contact->speedDial = ParseDecimal(value);
    } else if (is("PHONE_HOME")) {
        contact->phoneHome = std::string(value);
    } else if (is("PHONE_OFFICE")) {
        contact->phoneOffice = std::string(value);
    } else if (is("PHONE_MOBILE")) {
        contact->phoneMobile = std::string(value);
    } else if (is("COUNTRY")) {
        contact->country = std::string(value);
    } else if (is("CITY")) {
        contact->city = std::string(value);
    } else if (is("PROVINCE")) {
        contact->province = std::string(value);
    } else if (is("BUDDYSTATUS")) {
        const int buddy = ParseDecimal(value);
        contact->buddyStatus = buddy == 3 ? 1 : buddy == 2 ? -1 : 0;
    } else if (is("ONLINESTATUS")) {
        contact->onlineStatus = reply_text::LookUpWord(onlineWords, value, -1);
    }
}

void VoipConnector::OnCallList(std::string_view list) {
    reply_text::ForEachListedNumber(list, [this](int number) {
        const int id = number + 1;
        calls.FindOrAddHistoryCall(id).status = CallRecord::kRouting;
        QueryCall(id, true);
    });
}

void VoipConnector::OnFocusedContact(std::string_view handle) {
    if (Registry().GetActiveConnector() != this) return;
    Host().ShowFocusedContact(GetConnectorId(), Utf8ToWide(handle));
}

}  // namespace talvio
