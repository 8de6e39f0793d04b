// Event sink that records what the handset link reports.
#pragma once

#include <functional>
#include <vector>

#include "handset/handset_event_sink.h"

namespace talvio::testing {

class RecordingSink : public HandsetEventSink {
public:
    void OnHandsetEvent(int code) override {
        events.push_back(code);
        if (onEvent) onEvent(code);
    }
    void OnDevicePresence(int present, int reserved) override {
        presence.push_back(present);
        reservedValues.push_back(reserved);
    }

    std::vector<int> events;
    std::vector<int> presence;
    std::vector<int> reservedValues;
    std::function<void(int)> onEvent;
};

}  // namespace talvio::testing
