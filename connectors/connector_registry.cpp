#include "connectors/connector_registry.h"

#include <algorithm>
#include <new>

#include "connectors/skype/skype_connector.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "settings/rate_table.h"

namespace talvio {

namespace {

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// The entry of the longest prefix of `number` that is shorter than it.
// In the sorted list the entries that begin with the number's first k
// characters stand together, the one of exactly those k first; each further
// character narrows that run by two binary searches within it, and an empty
// run ends the search: no longer prefix can follow.
const RateEntry* LongestPrefix(const RateList& rates, std::string_view number) {
    const std::vector<RateEntry>& entries = rates.entries();
    auto first = entries.begin();
    auto last = entries.end();
    const RateEntry* match = nullptr;
    for (std::size_t length = 1; length < number.size() && first != last; ++length) {
        const std::size_t at = length - 1;
        const unsigned char wanted = Folded(number[at]);
        first = std::partition_point(first, last, [&](const RateEntry& entry) {
            return entry.prefix.size() <= at || Folded(entry.prefix[at]) < wanted;
        });
        last = std::partition_point(first, last, [&](const RateEntry& entry) {
            return Folded(entry.prefix[at]) == wanted;
        });
        if (first != last && first->prefix.size() == length) match = &*first;
    }
    return match;
}

}  // namespace

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

VoipConnector* ConnectorRegistry::ChooseCheapest(std::string_view number) const {
    // Written with "+", with "00" or with neither, a number is the same.
    const std::size_t start = number.find_first_not_of("0+");
    if (start == std::string_view::npos) return nullptr;
    number.remove_prefix(start);
    VoipConnector* best = nullptr;
    double bestRate = kNoRate;
    for (int i = 0; i < count_; ++i) {
        VoipConnector* connector = slots_[i].get();
        const int id = connector->GetConnectorId();
        if (id < 1 || id > 12 || !connector->IsOnline()) continue;
        const RateList* rates = host_.RatesOf(id);
        const RateEntry* match = rates != nullptr ? LongestPrefix(*rates, number) : nullptr;
        if (match != nullptr && match->rate < bestRate) {
            best = connector;
            bestRate = match->rate;
        }
    }
    return bestRate <= kFreeRate ? best : nullptr;
}

}  // namespace talvio
