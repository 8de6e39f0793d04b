// A connected handset: the model-independent part of the device object.
// Created by the factory (handset_factory.h), owned by the handset link and
// reached only through the locked HandsetLink_* functions. Main thread only,
// except where a model says otherwise.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "handset/handset_protocol.h"
#include "handset/hid_bus.h"
#include "handset/lcd_screen.h"
#include "handset/report_channel.h"
#include "platform/platform.h"

namespace talvio {

inline constexpr std::uintptr_t kPollTimerId = 1251;
inline constexpr std::uintptr_t kSlowTimerId = 1200;
inline constexpr std::uint32_t kSlowTimerMs = 200;
inline constexpr int kOpenSearchLimit = 127;

// What a device needs from the link; the pointers are not owned and outlive
// the device.
struct HandsetContext {
    HidBus* bus = nullptr;
    os::Hwnd window = nullptr;  // the device-notification window (timers)
    LcdScreenFactory screenFactory = nullptr;
};

class HandsetDevice {
public:
    explicit HandsetDevice(const HandsetContext& context) : context_(context) {}
    HandsetDevice(const HandsetDevice&) = delete;
    HandsetDevice& operator=(const HandsetDevice&) = delete;
    virtual ~HandsetDevice() = default;

    virtual int GetModelId() const = 0;
    virtual std::uint16_t GetVendorId() const { return kHandsetVendorId; }
    virtual std::uint16_t GetProductId() const = 0;
    virtual int GetReservedCode() { return 255; }
    // FindAndOpen, AfterOpen, then the poll and slow timers; 0 or -1.
    virtual int Open();
    virtual int QueryState() { return 0; }
    virtual int Control(int a, int b);
    // Indicator light on exactly when `on` is 1; 0 or -1.
    virtual int SetLight(int ignored, int on);
    virtual int GetRequestedAudioPath() { return 0; }
    virtual int RequestAudioPath(int value);
    virtual int Configure(int a, int b);
    virtual int SetRingerMode(int mode);
    virtual int SetOption(int mode);
    virtual int SetDisplayText(int a, int b, int c, int d, int e, int f);
    virtual int HasFeature(int feature) = 0;
    virtual int Reserved16(int a, int b, int c);
    virtual int Reserved17(int a, int b, int c);
    virtual int RenderScreen(int flags);
    virtual int GetPollInterval() { return 60; }
    // Command 1: the ring route (3) when on, the talk route (2) when not; 0 or -1.
    virtual int SetAudioPath(int on);
    virtual int SetLightFlag(int on);
    // Reads and decodes one input report: an event code, 254 or 255.
    virtual int ReadEvent();
    // Opens the first interface with this model's ids; 0 or -1.
    virtual int FindAndOpen();
    virtual void Close();
    virtual int AfterOpen() { return 0; }
    virtual void OnSlowTimer();

    // The poll of timer 1251; codes to raise are appended to `raised`.
    void Poll(bool haveSink, std::vector<int>& raised);
    // Kills the timers, forgets the reported input state, then Close().
    void Retire();

    int hook() const { return input_.hook; }
    int line() const { return input_.line; }
    int lastError() const { return lastError_; }
    LcdScreen* screen() const { return screen_.get(); }

protected:
    int NotSupported();
    int WriteCommand(std::uint8_t command, std::uint8_t parameter);
    std::uint16_t outputLength() const { return channel_ ? channel_->outputReportLength() : 0; }

    HandsetContext context_;
    int lastError_ = 0;
    HandsetInputState input_;
    std::shared_ptr<ReportChannel> channel_;  // null when closed
    std::unique_ptr<LcdScreen> screen_;
    bool lightOn_ = false;
    std::vector<std::uint8_t> readBuffer_;  // the poll's input report
};

}  // namespace talvio
