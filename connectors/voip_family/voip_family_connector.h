// A client of the Voip family (VoipBuster and its ten siblings). The
// eleven instances differ only in their identity. The family's own text
// protocol is not built yet: a family connector creates its window and
// stays unattached, so it is never online and ignores every operation.
//
// Ownership and threading as VoipConnector.
#pragma once

#include <string>

#include "connectors/voip_connector.h"

namespace talvio {

struct VoipFamilyIdentity {
    int id;
    const char* name;  // display name and program name
    const char* key;   // lower case, matched against window titles
    int iconIndex;
};

class VoipFamilyConnector : public VoipConnector {
public:
    // The eleven family programs in registry order (Poivy, id 11, stands
    // eighth).
    static constexpr int kProgramCount = 11;
    static const VoipFamilyIdentity kPrograms[kProgramCount];

    VoipFamilyConnector(ConnectorRegistry& registry, const VoipFamilyIdentity& identity);

    int GetConnectorId() const override { return identity_.id; }
    std::wstring GetDisplayName() const override;
    int GetIconIndex() const override { return identity_.iconIndex; }

    virtual std::string GetProgramName() const { return identity_.name; }
    virtual std::wstring GetProgramKey() const;

private:
    const VoipFamilyIdentity& identity_;
};

}  // namespace talvio
