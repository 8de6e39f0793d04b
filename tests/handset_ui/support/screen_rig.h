// The handset screen on a device that draws it into a canvas, reading a
// real connector service whose two connectors (Skype, id 1, and VoipBuster,
// id 2) hold whatever directory the test fills in, and recording what the
// screen asks of them. Time is what the test gives the screen's Tick.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "connectors/connector_service.h"
#include "handset/handset_device.h"
#include "handset_ui/screen/handset_screen.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/handset_ui/support/fixed_clock.h"

namespace talvio::testing {

// A connector that logs the screen's requests and whose client's dial
// field and display name the test sets.
class ScreenConnector : public ScriptedConnector {
public:
    using ScriptedConnector::ScriptedConnector;

    std::wstring displayName;
    std::wstring dialText;

    void SetOnline(bool online) {
        SetClient(reinterpret_cast<os::Hwnd>(static_cast<std::uintptr_t>(0x100 + GetConnectorId())),
                  online ? kOnline : kOffline);
    }
    void SetLastDialled(std::string handle, std::wstring name) {
        lastDialledHandle_ = std::move(handle);
        lastDialledName_ = std::move(name);
    }

    std::wstring GetDisplayName() const override { return displayName; }
    bool SuppressesPageStep() const override { return GetConnectorId() != 1; }
    int GetDialText(std::wstring& text, int size) override {
        text = dialText.substr(0, static_cast<std::size_t>(size));
        return text.empty() ? 0 : 1;
    }
    void PressYes(int) override { log.push_back("PressYes"); }
    void AnswerCall(int id) override { Log("AnswerCall", id); }
    void RefuseCall(int id) override { Log("RefuseCall", id); }
    void FinishCall(int id) override { Log("FinishCall", id); }
    void HoldCall(int id) override { Log("HoldCall", id); }
    void ResumeCall(int id) override { Log("ResumeCall", id); }
    void PlayVoicemail(int id) override { Log("PlayVoicemail", id); }
    void StopVoicemail(int id) override { Log("StopVoicemail", id); }

private:
    void Log(const char* what, int id) { log.push_back(std::string(what) + " " + std::to_string(id)); }
};

// Draws the screen it holds into its own canvas on every render.
class ScreenDevice final : public HandsetDevice {
public:
    ScreenDevice() : HandsetDevice(HandsetContext{}) {}
    int GetModelId() const override { return kLcdModelId; }
    std::uint16_t GetProductId() const override { return kLcdProductId; }
    int HasFeature(int) override { return 0; }
    int RenderScreen(int) override {
        ++renders;
        canvas.ClearPixels();
        if (screen != nullptr) screen->Draw(canvas);
        return 0;
    }

    LcdScreen* screen = nullptr;
    LcdCanvas canvas{128, 64, 11, std::vector<int>(8, 8)};
    int renders = 0;
};

class ScreenAudio final : public ServiceAudio {
public:
    int volume = 32768;
    int GetSpeakerVolume() override { return volume; }
    void SetSpeakerVolume(int value) override { volume = value; }
};

struct ScreenRig {
    FixedClock clock;
    ScreenAudio audio;
    FakeServiceHandset handset;
    ConnectorService service{nullptr, handset, ServiceTray::None(), audio};
    ScreenDevice device;
    HandsetScreen screen{device, HandsetScreenContext{.clock = &clock}};
    ScreenConnector* skype = nullptr;
    ScreenConnector* buster = nullptr;

    ScreenRig() {
        skype = Add(1, L"Skype");
        buster = Add(2, L"VoipBuster");
        device.screen = &screen;
        // The service finds the screen on the handset, as it does on the LCD model.
        handset.present = true;
        handset.model = kLcdModelId;
        handset.screen = &screen;
        screen.Start();
        screen.SetDirectoryView(&service);
    }
    ~ScreenRig() {
        device.screen = nullptr;
        handset.screen = nullptr;
    }

    ScreenConnector* Add(int id, std::wstring name) {
        auto connector = std::make_unique<ScreenConnector>(service.Registry(), id);
        connector->displayName = std::move(name);
        ScreenConnector* added = connector.get();
        service.Registry().Append(std::move(connector));
        return added;
    }
};

}  // namespace talvio::testing
