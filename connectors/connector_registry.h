// The twelve connectors in their fixed order, and which one is active (the
// one the handset's keys go to). Ids, not positions, name programs in the
// settings and the connector service; the positions matter for the order
// of every search and for the call-out program setting.
//
// Ownership: owns its connectors; the host is not owned and outlives the
// registry. Threading: main thread only.
#pragma once

#include <memory>
#include <string_view>

#include "connectors/connector_host.h"
#include "connectors/voip_connector.h"

namespace talvio {

class ConnectorRegistry {
public:
    static constexpr int kSlotCount = 20;
    static constexpr std::uint32_t kActivatePauseMs = 200;
    // Least-cost choice: no rate is this high, and one this low is free.
    static constexpr double kNoRate = 1e8;
    static constexpr double kFreeRate = 1e-7;

    explicit ConnectorRegistry(ConnectorHost& host = ConnectorHost::Standalone());
    ConnectorRegistry(const ConnectorRegistry&) = delete;
    ConnectorRegistry& operator=(const ConnectorRegistry&) = delete;
    ~ConnectorRegistry();

    // Replaces any existing connectors by the twelve; false at the first
    // one that cannot be created.
    bool CreateConnectors();
    // False when all slots are taken.
    bool Append(std::unique_ptr<VoipConnector> connector);
    void DestroyConnectors();
    // Starts every connector once, then activates the configured program.
    bool StartAll();

    // The active connector if online, else the first online one, else the
    // first attached one, else null.
    VoipConnector* GetActiveConnector() const;
    // The first online connector with a live call of `kind` (1 in progress,
    // 2 ringing, 3 any active), skipping `exclude` unless exceptCallId > 0,
    // in which case only that call of `exclude` is skipped.
    VoipConnector* FindOnlineWithCall(int kind, const VoipConnector* exclude,
                                      int exceptCallId) const;
    // Makes the connector at `index` active: the previous one's dial field
    // is cleared and its window hidden, the new one is brought to the front
    // and, after a pause for the client to come up, its dial field cleared.
    bool Activate(int index);
    bool ActivateById(int id);
    VoipConnector* FindById(int id) const;
    // The online program (Skype included) whose rates make `number` free,
    // the earliest in order among equally cheap ones; null when none does.
    // Leading '0' and '+' are not part of the number; a program's rate is
    // that of its longest prefix shorter than the number.
    VoipConnector* ChooseCheapest(std::string_view number) const;
    VoipConnector* At(int position) const;

    int Count() const { return count_; }
    int ActiveIndex() const { return activeIndex_; }
    bool Started() const { return started_; }
    ConnectorHost& Host() const { return host_; }

private:
    ConnectorHost& host_;
    std::unique_ptr<VoipConnector> slots_[kSlotCount];
    int count_ = 0;
    int activeIndex_ = -1;
    bool started_ = false;
};

}  // namespace talvio
