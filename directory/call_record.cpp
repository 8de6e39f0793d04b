#include "directory/call_record.h"

namespace talvio {
namespace {

const std::string kNoText;
constexpr std::size_t kMaxConferenceText = 1000;

}  // namespace

const std::string& CallPartnerName(const CallRecord* call) {
    if (!call) return kNoText;
    return call->partnerDisplayName.empty() ? call->partnerHandle : call->partnerDisplayName;
}
const std::string& CallPartnerHandle(const CallRecord* call) {
    return call ? call->partnerHandle : kNoText;
}
int CallId(const CallRecord* call) { return call ? call->id : 0; }
int CallConferenceId(const CallRecord* call) { return call ? call->conferenceId : 0; }
int CallTimestamp(const CallRecord* call) { return call ? call->timestamp : 0; }
int CallDuration(const CallRecord* call) { return call ? call->duration : 0; }

CallRecord& CallLists::SetStatus(int id, int status) {
    auto [it, created] = liveCalls.try_emplace(id);
    CallRecord& call = it->second;
    if (created) {
        call.id = id;
        call.owner = owner_;
    }
    call.status = status;
    if (status == CallRecord::kRouting) call.type = CallRecord::kOutgoing;
    return call;
}

bool CallLists::MoveToHistory(int id, int endReason) {
    const auto live = liveCalls.find(id);
    if (live == liveCalls.end()) return false;
    CallRecord& call = live->second;
    call.status = CallRecord::kCreated;
    call.endReason = endReason;
    CallRecord& past = callHistory.try_emplace(id, call).first->second;
    past.status = endReason;
    past.endReason = endReason;
    CopyToRecent(past);
    liveCalls.erase(live);
    return true;
}

void CallLists::EndLiveCalls() {
    while (!liveCalls.empty()) {
        const CallRecord& call = liveCalls.begin()->second;
        const bool missed = call.status == CallRecord::kRinging && call.type == CallRecord::kIncoming;
        MoveToHistory(call.id, missed ? CallRecord::kMissed : CallRecord::kFinished);
    }
}

CallRecord* CallLists::ReviveHistoryCall(int id, int status) {
    const auto past = callHistory.find(id);
    if (past == callHistory.end()) return nullptr;
    const auto stamp = recentStampById_.find(id);
    if (stamp != recentStampById_.end()) {
        recentCalls.erase({stamp->second, id});
        recentStampById_.erase(stamp);
    }
    // A record that is live already has the fresher fields.
    CallRecord& call = liveCalls.try_emplace(id, std::move(past->second)).first->second;
    callHistory.erase(past);
    call.endReason = 0;
    SetStatus(id, status);
    return &call;
}

CallRecord& CallLists::FindOrAddHistoryCall(int id) {
    auto [it, created] = callHistory.try_emplace(id);
    if (created) {
        it->second.id = id;
        it->second.status = CallRecord::kRouting;
        it->second.owner = owner_;
    }
    return it->second;
}

void CallLists::CopyToRecent(const CallRecord& call) {
    if (call.timestamp == 0) return;
    const auto earlier = recentStampById_.find(call.id);
    if (earlier != recentStampById_.end()) {
        recentCalls.erase({earlier->second, call.id});
        earlier->second = call.timestamp;
    } else {
        recentStampById_.emplace(call.id, call.timestamp);
    }
    recentCalls.insert_or_assign({call.timestamp, call.id}, call);
}

void CallLists::Clear() {
    liveCalls.clear();
    callHistory.clear();
    recentCalls.clear();
    recentStampById_.clear();
}

CallRecord* CallLists::GetLiveCall(int id) {
    const auto it = liveCalls.find(id);
    return it == liveCalls.end() ? nullptr : &it->second;
}

CallRecord* CallLists::GetHistoryCall(int id) {
    const auto it = callHistory.find(id);
    return it == callHistory.end() ? nullptr : &it->second;
}

int CallLists::FindOtherLiveCall(int kind, int skipId) const {
    for (const auto& [id, call] : liveCalls) {
        if (id == skipId) continue;
        const bool matches = (kind == 1 && call.status == CallRecord::kInProgress) ||
                             (kind == 2 && call.status == CallRecord::kRinging) ||
                             (kind == 3 && call.status >= CallRecord::kInProgress &&
                              call.status <= CallRecord::kOnHold);
        if (matches) return id;
    }
    return 0;
}

int CallLists::FindRingingIncomingCall(bool needPartner) const {
    for (const auto& [id, call] : liveCalls)
        if (call.status == CallRecord::kRinging && call.type == CallRecord::kIncoming &&
            (!needPartner || !call.partnerHandle.empty()))
            return id;
    return 0;
}

int CallLists::FindCallInProgress() const {
    for (const auto& [id, call] : liveCalls)
        if (call.status == CallRecord::kInProgress) return id;
    return 0;
}

bool CallLists::CountsForKind(const CallRecord& entry, int kind) {
    if (entry.type == CallRecord::kIncoming && entry.endReason == CallRecord::kMissed)
        return kind == 3;
    return entry.type == kind;
}

int CallLists::HistoryCount(int kind) const {
    int count = 0;
    for (const auto& [key, entry] : recentCalls)
        if (CountsForKind(entry, kind)) ++count;
    return count;
}

CallRecord* CallLists::GetRecentCall(int kind, int& position, int& count) {
    count = HistoryCount(kind);
    if (count == 0) {
        position = 0;
        return nullptr;
    }
    if (position < 0) position = 0;
    if (position > count - 1) position = count - 1;
    int index = 0;
    for (auto it = recentCalls.rbegin(); it != recentCalls.rend(); ++it) {
        if (!CountsForKind(it->second, kind)) continue;
        if (index++ == position) return GetHistoryCall(it->second.id);
    }
    return nullptr;
}

int CallLists::GetConferenceText(const CallRecord* call, std::string& text) const {
    text.clear();
    if (!call) return 0;
    // -1 means the conference id was not reported yet; such calls are not
    // one conference, so they show their own partner like unconferenced ones.
    if (call->conferenceId <= 0) {
        text.assign(call->partnerDisplayName, 0, kMaxConferenceText);
        return text.empty() ? 0 : 1;
    }
    bool complete = true;
    for (const auto& [id, member] : liveCalls) {
        if (member.conferenceId != call->conferenceId) continue;
        if (member.partnerDisplayName.empty()) {
            complete = false;
            continue;
        }
        const std::size_t separator = text.empty() ? 0 : 2;
        if (text.size() + separator + member.partnerDisplayName.size() > kMaxConferenceText) {
            complete = false;
            continue;
        }
        if (separator) text.append(", ");
        text.append(member.partnerDisplayName);
    }
    return complete && !text.empty() ? 1 : 0;
}

}  // namespace talvio
