#include "connectors/connector_registry.h"

#include <new>

#include "connectors/skype/skype_connector.h"
#include "connectors/voip_family/voip_family_connector.h"

namespace talvio {

ConnectorRegistry::ConnectorRegistry(ConnectorHost& host) : host_(host) {}

ConnectorRegistry::~ConnectorRegistry() { DestroyConnectors(); }

void ConnectorRegistry::DestroyConnectors() {
    for (int i = count_ - 1; i >= 0; --i) slots_[i].reset();
    count_ = 0;
}

bool ConnectorRegistry::CreateConnectors() {
    DestroyConnectors();
    activeIndex_ = 0;
    if (!Append(std::unique_ptr<VoipConnector>(new (std::nothrow) SkypeConnector(*this)))) {
        return false;
    }
    for (const VoipFamilyIdentity& identity : VoipFamilyConnector::kPrograms) {
        if (!Append(std::unique_ptr<VoipConnector>(new (std::nothrow)
                                                       VoipFamilyConnector(*this, identity)))) {
            return false;
        }
    }
    return true;
}

bool ConnectorRegistry::Append(std::unique_ptr<VoipConnector> connector) {
    if (connector == nullptr || count_ >= kSlotCount) return false;
    slots_[count_++] = std::move(connector);
    return true;
}

bool ConnectorRegistry::StartAll() {
    if (started_) return true;
    for (int i = 0; i < count_; ++i) slots_[i]->Start();
    ActivateById(host_.ActiveProgram());
    started_ = true;
    return true;
}

VoipConnector* ConnectorRegistry::At(int position) const {
    return (position >= 0 && position < count_) ? slots_[position].get() : nullptr;
}

VoipConnector* ConnectorRegistry::GetActiveConnector() const {
    if (VoipConnector* active = At(activeIndex_); active != nullptr && active->IsOnline()) {
        return active;
    }
    for (int i = 0; i < count_; ++i) {
        if (slots_[i]->IsOnline()) return slots_[i].get();
    }
    for (int i = 0; i < count_; ++i) {
        if (slots_[i]->IsAttached()) return slots_[i].get();
    }
    return nullptr;
}

VoipConnector* ConnectorRegistry::FindOnlineWithCall(int kind, const VoipConnector* exclude,
                                                     int exceptCallId) const {
    if (exclude == nullptr) exceptCallId = 0;
    for (int i = 0; i < count_; ++i) {
        VoipConnector* connector = slots_[i].get();
        if (!connector->IsOnline()) continue;
        int skip = 0;
        if (connector == exclude) {
            if (exceptCallId <= 0) continue;
            skip = exceptCallId;
        }
        if (connector->calls.FindOtherLiveCall(kind, skip) != 0) return connector;
    }
    return nullptr;
}

bool ConnectorRegistry::Activate(int index) {
    VoipConnector* next = At(index);
    if (next == nullptr) return false;
    if (index != activeIndex_) {
        if (VoipConnector* previous = GetActiveConnector()) {
            previous->ClearDialText();
            previous->HideMainWindow();
        }
    }
    activeIndex_ = index;
    next->BringToFront();
    // The client needs a moment in the foreground before its dial field
    // takes input.
    os::Sleep(kActivatePauseMs);
    next->ClearDialText();
    return true;
}

bool ConnectorRegistry::ActivateById(int id) {
    for (int i = 0; i < count_; ++i) {
        if (slots_[i]->GetConnectorId() == id) return Activate(i);
    }
    return false;
}

VoipConnector* ConnectorRegistry::FindById(int id) const {
    for (int i = 0; i < count_; ++i) {
        if (slots_[i]->GetConnectorId() == id) return slots_[i].get();
    }
    return nullptr;
}

}  // namespace talvio
