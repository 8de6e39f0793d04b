// The Skype client's side of the desktop API as a test peer sees it: the
// user, friends and their properties, calls, voicemails and mute, and the
// replies and notifications a client gives to each command. A Voip-family
// program answers the same way, except that it lists friends split by
// bare commas and has no mute. No windows and no clock: SimulatedClient
// carries the texts. Single-threaded.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::clientsim {

struct SimCall {
    std::string status = "ROUTING";
    std::string type = "OUTGOING_P2P";
    std::string partnerHandle;
    std::string partnerDisplayName;
    std::string pstnNumber;
    int confId = 0;
    int timestamp = 0;
    int duration = 0;
};

struct SimVoicemail {
    std::string type = "INCOMING";
    std::string status = "UNPLAYED";
    std::string partnerHandle;
    std::string partnerDisplayName;
    int timestamp = 0;
    int duration = 0;
};

class ClientModel {
public:
    std::string version = "3.8.0.115";
    std::string currentUser = "simuser";
    std::string userStatus = "ONLINE";
    bool muted = false;
    int protocol = 5;
    bool family = false;

    // Friend handles in the order SEARCH FRIENDS lists them; properties by
    // their protocol names (DISPLAYNAME, ONLINESTATUS, ...).
    void AddFriend(std::string_view handle);
    void RemoveFriend(std::string_view handle);
    void SetUserProperty(std::string_view handle, std::string_view property, std::string_view value);
    const std::vector<std::string>& Friends() const { return friends_; }

    std::map<int, SimCall> calls;
    std::map<int, SimVoicemail> voicemails;

    // The texts a client sends back for one received command, in order.
    std::vector<std::string> Handle(std::string_view command);

    // An incoming call from `handle` (PSTN when `pstn`): its number, and
    // the notification that announces it.
    int Ring(std::string_view handle, bool pstn, std::vector<std::string>& out);
    // An outgoing call to a handle or number: the notification that
    // announces it.
    std::string PlaceCall(std::string_view target);
    bool HasIncomingRinging() const;
    // Changes a call's status and gives the notification.
    std::string SetCallStatus(int id, std::string_view status);
    std::string SetUserStatus(std::string_view status);

private:
    std::string UserReply(std::string_view handle, std::string_view property);
    std::string CallReply(int id, std::string_view property);
    std::string VoicemailReply(int id, std::string_view property);
    void HandleSet(std::string_view rest, std::vector<std::string>& out);
    void HandleButton(std::string_view command, std::string_view key, std::vector<std::string>& out);
    int NewCall(SimCall call);

    std::vector<std::string> friends_;
    std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> users_;
    int nextCall_ = 100;
    int nextMessage_ = 500;
};

// The first word of `text` (up to a space) and the rest after the spaces.
std::string_view FirstWord(std::string_view text, std::string_view* rest = nullptr);

}  // namespace talvio::clientsim
