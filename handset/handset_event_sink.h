// Receiver of the handset link's events (the connector service in the
// program). Called on the main thread, never with the device lock held.
#pragma once

namespace talvio {

class HandsetEventSink {
public:
    // Codes: handset_protocol.h (0-9, 20, 21, 30, 40, 50, 60, 70, 71, 80, 81,
    // 100, 120, 122, 125, 126, 194, 195, 198).
    virtual void OnHandsetEvent(int code) = 0;
    // present 1 or 0; reserved always 0.
    virtual void OnDevicePresence(int present, int reserved) = 0;

protected:
    ~HandsetEventSink() = default;
};

}  // namespace talvio
