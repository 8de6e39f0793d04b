// The commands a Voip-family connector sends for each connector operation
// where they differ from those both protocols share.
#include "connectors/voip_family/voip_family_connector.h"

#include "foundation/text_convert.h"

namespace talvio {

namespace {

constexpr std::string_view kCallQueries[] = {
    "PARTNER_DISPNAME", "STATUS", "TIMESTAMP", "DURATION", "TYPE", "PARTNER_HANDLE",
};
constexpr std::string_view kContactQueries[] = {
    "ONLINESTATUS", "COUNTRY",      "CITY",     "PROVINCE",    "SPEEDDIAL",  "PHONE_HOME",
    "PHONE_OFFICE", "PHONE_MOBILE", "FULLNAME", "DISPLAYNAME", "BUDDYSTATUS",
};
// The views NextView steps through, from the program's start view.
constexpr std::string_view kViews[] = {
    "OPEN START", "OPEN CONTACTS", "OPEN DIALPAD", "OPEN CALLHISTORY", "OPEN ACTIVE",
};

}  // namespace

const VoipFamilyIdentity VoipFamilyConnector::kPrograms[kProgramCount] = {
    {2, "VoipBuster", "voipbuster", 1},
    {3, "VoipStunt", "voipstunt", 2},
    {4, "VoipCheap", "voipcheap", 3},
    {5, "SparVoip", "sparvoip", 4},
    {6, "VoipDiscount", "voipdiscount", 5},
    {7, "InternetCalls", "internetcalls", 6},
    {8, "NetAppel", "netappel", 7},
    {11, "Poivy", "poivy", 11},
    {9, "FreeCall", "freecall", 8},
    {10, "VoipCheapCom", "voipcheapcom", 9},
    {12, "WebCallDirect", "webcalldirect", 10},
};

std::wstring VoipFamilyConnector::GetDisplayName() const { return Utf8ToWide(identity_.name); }
std::wstring VoipFamilyConnector::GetProgramKey() const { return Utf8ToWide(identity_.key); }

void VoipFamilyConnector::Send(std::string_view command, int priority) {
    if (IsAscii(command)) queue_.Enqueue(command, priority);
    else queue_.Enqueue(Utf8ToAnsi(command), priority);
}

void VoipFamilyConnector::HookOn() { PressButton("NO"); }
void VoipFamilyConnector::HookOff() { PressButton("YES"); }
void VoipFamilyConnector::Backspace() { PressButton("DELETE"); }
void VoipFamilyConnector::ShowContacts() { Send("OPEN CONTACTS"); }
void VoipFamilyConnector::ShowCallHistory() { Send("OPEN CALLHISTORY"); }
void VoipFamilyConnector::HideMainWindow() { Send("MINIMIZE"); }

void VoipFamilyConnector::NextView() {
    viewIndex_ = (viewIndex_ + 1) % static_cast<int>(std::size(kViews));
    Send(kViews[viewIndex_]);
}

// Always background, whatever the caller asks: a burst of them (the call
// list after an attach) never holds up the normal commands.
void VoipFamilyConnector::QueryCall(int callId, bool) {
    if (callId <= 0) return;
    SendQueries("GET CALL " + std::to_string(callId - 1) + " ", kCallQueries,
                CommandQueue::kBackground);
}

void VoipFamilyConnector::QueryContact(std::string_view handle) {
    SendQueries("GET USER " + std::string(handle) + " ", kContactQueries, CommandQueue::kBackground);
}

}  // namespace talvio
