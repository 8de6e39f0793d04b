#include "connectors/voip_family/voip_family_connector.h"

#include "foundation/text_convert.h"

namespace talvio {

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

VoipFamilyConnector::VoipFamilyConnector(ConnectorRegistry& registry,
                                         const VoipFamilyIdentity& identity)
    : VoipConnector(registry), identity_(identity) {
    userStatus_ = kLoggedOut;
}

std::wstring VoipFamilyConnector::GetDisplayName() const { return Utf8ToWide(identity_.name); }
std::wstring VoipFamilyConnector::GetProgramKey() const { return Utf8ToWide(identity_.key); }

}  // namespace talvio
