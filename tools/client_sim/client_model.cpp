#include "tools/client_sim/client_model.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace talvio::clientsim {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A decimal id, or -1 when the word is not one.
int ParseId(std::string_view word) {
    if (word.empty() || word.size() > 9) return -1;
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

template <typename Map>
std::string JoinIds(const char* keyword, const Map& map) {
    std::string text = keyword;
    bool first = true;
    for (const auto& entry : map) {
        if (!first) text += ", ";
        text += std::to_string(entry.first);
        first = false;
    }
    return text;
}

const std::string kUnknownCommand = "ERROR 2 Unknown command";

bool IsIncomingRinging(const SimCall& call) {
    return call.status == "RINGING" && call.type.rfind("INCOMING", 0) == 0;
}

}  // namespace

std::string_view FirstWord(std::string_view text, std::string_view* rest) {
    const std::size_t space = text.find(' ');
    const std::string_view word = text.substr(0, space);
    if (rest != nullptr) {
        std::string_view after = space == std::string_view::npos ? std::string_view() : text.substr(space);
        while (!after.empty() && after.front() == ' ') after.remove_prefix(1);
        *rest = after;
    }
    return word;
}

void ClientModel::AddFriend(std::string_view handle) {
    if (std::find(friends_.begin(), friends_.end(), handle) == friends_.end()) {
        friends_.emplace_back(handle);
    }
    users_[std::string(handle)];
}

void ClientModel::RemoveFriend(std::string_view handle) {
    friends_.erase(std::remove(friends_.begin(), friends_.end(), handle), friends_.end());
}

void ClientModel::SetUserProperty(std::string_view handle, std::string_view property,
                                  std::string_view value) {
    users_[std::string(handle)][Upper(property)] = std::string(value);
}

std::vector<std::string> ClientModel::Handle(std::string_view command) {
    std::vector<std::string> out;
    std::string_view rest;
    const std::string_view word = FirstWord(command, &rest);
    std::string_view args;
    const std::string_view second = FirstWord(rest, &args);

    if (SameWord(word, "PING")) {
        out.push_back("PONG");
    } else if (SameWord(word, "PROTOCOL")) {
        const int asked = ParseId(rest);
        out.push_back("PROTOCOL " + std::to_string(asked > 0 ? std::min(asked, protocol) : protocol));
    } else if (SameWord(word, "NAME")) {
        out.push_back("OK");
    } else if (SameWord(word, "GET")) {
        std::string_view more;
        const std::string_view target = FirstWord(args, &more);
        if (SameWord(second, "SKYPEVERSION")) out.push_back("SKYPEVERSION " + version);
        else if (SameWord(second, "USERSTATUS")) out.push_back("USERSTATUS " + userStatus);
        else if (SameWord(second, "CURRENTUSERHANDLE")) out.push_back("CURRENTUSERHANDLE " + currentUser);
        else if (SameWord(second, "CONNSTATUS")) out.push_back("CONNSTATUS ONLINE");
        else if (SameWord(second, "MUTE") && !family) out.push_back(muted ? "MUTE ON" : "MUTE OFF");
        else if (SameWord(second, "USER") && !more.empty()) out.push_back(UserReply(target, more));
        else if (SameWord(second, "CALL") && !more.empty()) out.push_back(CallReply(ParseId(target), more));
        else if (SameWord(second, "VOICEMAIL") && !more.empty())
            out.push_back(VoicemailReply(ParseId(target), more));
        else out.push_back("ERROR 7 GET: invalid WHAT");
    } else if (SameWord(word, "SEARCH")) {
        if (SameWord(second, "FRIENDS")) {
            std::string text = "USERS ";
            for (std::size_t i = 0; i < friends_.size(); ++i) {
                if (i > 0) text += family ? "," : ", ";
                text += friends_[i];
            }
            out.push_back(text);
        } else if (SameWord(second, "CALLS") || SameWord(second, "ACTIVECALLS")) {
            out.push_back(JoinIds("CALLS ", calls));
        } else if (SameWord(second, "VOICEMAILS")) {
            out.push_back(JoinIds("VOICEMAILS ", voicemails));
        } else {
            out.push_back("ERROR 4 Unknown search");
        }
    } else if (SameWord(word, "SET")) {
        HandleSet(rest, out);
    } else if (SameWord(word, "CALL") && !rest.empty()) {
        out.push_back(PlaceCall(rest));
    } else if (SameWord(word, "BTN_PRESSED") || SameWord(word, "BTN_RELEASED")) {
        HandleButton(word, rest, out);
    } else if (SameWord(word, "MESSAGE") && !second.empty()) {
        out.push_back("MESSAGE " + std::to_string(nextMessage_++) + " STATUS SENDING");
    } else if (SameWord(word, "ALTER") && SameWord(second, "VOICEMAIL")) {
        std::string_view action;
        const int id = ParseId(FirstWord(args, &action));
        auto found = voicemails.find(id);
        if (found == voicemails.end()) {
            out.push_back("ERROR 7 Invalid voicemail id");
        } else {
            out.emplace_back(command);
            if (SameWord(action, "STARTPLAYBACK")) found->second.status = "PLAYING";
            else if (SameWord(action, "STOPPLAYBACK")) found->second.status = "PLAYED";
            out.push_back("VOICEMAIL " + std::to_string(id) + " STATUS " + found->second.status);
        }
    } else if (SameWord(word, "OPEN") || SameWord(word, "FOCUS") || SameWord(word, "HOOK") ||
               SameWord(word, "MINIMIZE")) {
        out.emplace_back(command);
    } else {
        out.push_back(kUnknownCommand);
    }
    return out;
}

void ClientModel::HandleSet(std::string_view rest, std::vector<std::string>& out) {
    std::string_view args;
    const std::string_view what = FirstWord(rest, &args);
    if (SameWord(what, "USERSTATUS") && !args.empty()) {
        out.push_back(SetUserStatus(args));
    } else if (SameWord(what, "MUTE") && !family && (SameWord(args, "ON") || SameWord(args, "OFF"))) {
        muted = SameWord(args, "ON");
        out.push_back(muted ? "MUTE ON" : "MUTE OFF");
    } else if (SameWord(what, "CALL")) {
        std::string_view more;
        const int id = ParseId(FirstWord(args, &more));
        std::string_view status;
        const std::string_view property = FirstWord(more, &status);
        if (calls.count(id) == 0) out.push_back("ERROR 11 Invalid call id");
        else if (!SameWord(property, "STATUS") || status.empty()) out.push_back("ERROR 12 Unknown property");
        else out.push_back(SetCallStatus(id, status));
    } else if (SameWord(what, "RINGTONE") || SameWord(what, "AUDIO_IN") || SameWord(what, "AUDIO_OUT") ||
               SameWord(what, "RINGER")) {
        // The value may be empty ("SET RINGTONE 1 "), which a client accepts.
        out.push_back(Upper(what) + " " + std::string(args));
    } else {
        out.push_back(kUnknownCommand);
    }
}

void ClientModel::HandleButton(std::string_view command, std::string_view key,
                               std::vector<std::string>& out) {
    out.push_back(Upper(command) + " " + std::string(key));
    if (!SameWord(command, "BTN_PRESSED")) return;
    for (auto& [id, call] : calls) {
        const bool ringingIn = IsIncomingRinging(call);
        if (SameWord(key, "YES") && ringingIn) {
            out.push_back(SetCallStatus(id, "INPROGRESS"));
            return;
        }
        if (SameWord(key, "NO") && (ringingIn || call.status == "INPROGRESS" || call.status == "ROUTING")) {
            out.push_back(SetCallStatus(id, ringingIn ? "REFUSED" : "FINISHED"));
            return;
        }
    }
}

std::string ClientModel::UserReply(std::string_view handle, std::string_view property) {
    auto user = users_.find(handle);
    const std::string name = Upper(property);
    if (user == users_.end()) return "ERROR 26 Invalid user handle";
    auto value = user->second.find(name);
    return "USER " + std::string(handle) + " " + name + " " +
           (value != user->second.end() ? value->second : std::string());
}

std::string ClientModel::CallReply(int id, std::string_view property) {
    auto found = calls.find(id);
    if (found == calls.end()) return "ERROR 11 Invalid call id";
    const SimCall& call = found->second;
    const std::string name = Upper(property);
    std::string value;
    if (name == "STATUS") value = call.status;
    else if (name == "TYPE") value = call.type;
    else if (name == "PARTNER_HANDLE") value = call.partnerHandle;
    else if (name == "PARTNER_DISPNAME") value = call.partnerDisplayName;
    else if (name == "PSTN_NUMBER") value = call.pstnNumber;
    else if (name == "CONF_ID") value = std::to_string(call.confId);
    else if (name == "TIMESTAMP") value = std::to_string(call.timestamp);
    else if (name == "DURATION") value = std::to_string(call.duration);
    else return "ERROR 12 Unknown property";
    return "CALL " + std::to_string(id) + " " + name + " " + value;
}

std::string ClientModel::VoicemailReply(int id, std::string_view property) {
    auto found = voicemails.find(id);
    if (found == voicemails.end()) return "ERROR 7 Invalid voicemail id";
    const SimVoicemail& voicemail = found->second;
    const std::string name = Upper(property);
    std::string value;
    if (name == "TYPE") value = voicemail.type;
    else if (name == "STATUS") value = voicemail.status;
    else if (name == "PARTNER_HANDLE") value = voicemail.partnerHandle;
    else if (name == "PARTNER_DISPNAME") value = voicemail.partnerDisplayName;
    else if (name == "TIMESTAMP") value = std::to_string(voicemail.timestamp);
    else if (name == "DURATION") value = std::to_string(voicemail.duration);
    else return "ERROR 12 Unknown property";
    return "VOICEMAIL " + std::to_string(id) + " " + name + " " + value;
}

int ClientModel::NewCall(SimCall call) {
    const int id = nextCall_++;
    calls[id] = std::move(call);
    return id;
}

std::string ClientModel::PlaceCall(std::string_view target) {
    SimCall call;
    const bool pstn = !target.empty() && (target.front() == '+' || std::isdigit(static_cast<unsigned char>(target.front())));
    call.type = pstn ? "OUTGOING_PSTN" : "OUTGOING_P2P";
    // A call to a telephone number has the number as its partner too.
    call.partnerHandle = std::string(target);
    if (pstn) call.pstnNumber = std::string(target);
    return "CALL " + std::to_string(NewCall(call)) + " STATUS ROUTING";
}

bool ClientModel::HasIncomingRinging() const {
    return std::any_of(calls.begin(), calls.end(), [](const auto& entry) { return IsIncomingRinging(entry.second); });
}

int ClientModel::Ring(std::string_view handle, bool pstn, std::vector<std::string>& out) {
    SimCall call;
    call.status = "RINGING";
    call.type = pstn ? "INCOMING_PSTN" : "INCOMING_P2P";
    call.partnerHandle = std::string(handle);
    if (pstn) call.pstnNumber = std::string(handle);
    auto user = users_.find(handle);
    if (user != users_.end()) {
        auto name = user->second.find("DISPLAYNAME");
        if (name != user->second.end()) call.partnerDisplayName = name->second;
    }
    const int id = NewCall(call);
    out.push_back("CALL " + std::to_string(id) + " STATUS RINGING");
    return id;
}

std::string ClientModel::SetCallStatus(int id, std::string_view status) {
    calls[id].status = Upper(status);
    return "CALL " + std::to_string(id) + " STATUS " + calls[id].status;
}

std::string ClientModel::SetUserStatus(std::string_view status) {
    userStatus = Upper(status);
    return "USERSTATUS " + userStatus;
}

}  // namespace talvio::clientsim
