// Model 10 (0x04B4/0x0406): keypad, no display. Main thread only.
#pragma once

#include "handset/handset_device.h"

namespace talvio {

class KeypadHandset : public HandsetDevice {
public:
    explicit KeypadHandset(const HandsetContext& context) : HandsetDevice(context) {}

    int GetModelId() const override { return kKeypadModelId; }
    std::uint16_t GetProductId() const override { return kKeypadProductId; }
    int GetRequestedAudioPath() override { return requestedAudioPath_; }
    // Stores the value; the PSTN channel, while selected, keeps the talk route.
    int RequestAudioPath(int value) override;
    int HasFeature(int feature) override { return feature == 3 || feature == 6 ? 1 : 0; }

private:
    int requestedAudioPath_ = 0;
};

}  // namespace talvio
