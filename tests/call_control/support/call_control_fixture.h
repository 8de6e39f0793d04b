// A handset of either model as a telephone: its input reports on the fake
// HID bus go through the handset link, the connector service and a call
// controller to the simulated Skype client (and a scripted family program),
// and the client's call states come back to the handset's route, ring and
// light. The tray's indicator and the volume popup are recording fakes.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connectors/connector_service.h"
#include "connectors/skype/skype_connector.h"
#include "handset/handset_link.h"
#include "handset/handset_protocol.h"
#include "handset_ui/call/handset_controller.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {

using Strings = std::vector<std::string>;

class RecordingTray : public CallTray {
public:
    Strings calls;
    void SetIndicator(int kind) override { calls.push_back("indicator " + std::to_string(kind)); }
    void SetLedBlinkMode(int mode) override { calls.push_back("blink " + std::to_string(mode)); }
    std::string Last(const std::string& prefix) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
            if (it->rfind(prefix, 0) == 0) return *it;
        }
        return "none";
    }
    std::string LastBlink() const { return Last("blink"); }
};

class RecordingPopup : public CallVolumePopup {
public:
    Strings calls;
    void show() override { calls.push_back("show"); }
    void startFade() override { calls.push_back("fade"); }
    void volumeUp() override { calls.push_back("up"); }
    void volumeDown() override { calls.push_back("down"); }
    // The volume steps only, in order.
    Strings Steps() const {
        Strings steps;
        for (const std::string& call : calls) {
            if (call == "up" || call == "down") steps.push_back(call);
        }
        return steps;
    }
};

// The ring side of the audio service as the handset link drives it.
class RecordingRings : public HandsetAudio {
public:
    std::vector<std::pair<int, bool>> rings;  // (index, loop)
    bool PlayRingTone(int index, bool loop) override {
        rings.emplace_back(index, loop);
        return true;
    }
};

class CallControlTest : public DesktopTest {
protected:
    using MakeController = std::function<std::unique_ptr<HandsetController>(
        ConnectorRegistry&, CallTray&, CallVolumePopup&)>;

    // A handset of `model` plugged (its screen from `screens`), Skype and
    // VoipBuster (id 2) registered, the controller made and added.
    void SetUpHandset(int model, LcdScreenFactory screens, const MakeController& make) {
        settings.autoBusyText = L"In a call";
        HandsetLink_SetBus(&bus);
        HandsetLink_SetAudio(&rings);
        HandsetLink_SetScreenFactory(screens);
        handset = bus.PlugHandset(model);
        service.emplace(&settings);
        auto connector = std::make_unique<SkypeConnector>(service->Registry());
        skype = connector.get();
        ASSERT_TRUE(service->Registry().Append(std::move(connector)));
        auto family = std::make_unique<ScriptedConnector>(service->Registry(), 2);
        voipBuster = family.get();
        ASSERT_TRUE(service->Registry().Append(std::move(family)));
        controller = make(service->Registry(), tray, popup);
        ASSERT_TRUE(service->AddController(controller.get()));
        client.emplace();
        client->SetAnswering(true);
    }

    void TearDown() override {
        HandsetLink_Stop();
        HandsetLink_SetAudio(nullptr);
        HandsetLink_SetScreenFactory(nullptr);
        service.reset();
        client.reset();
    }

    // The handset arrives with Skype running and its window shown; what
    // went out so far is dropped.
    void Start(bool skypeRuns = true) {
        if (skypeRuns) {
            client->Launch();
            client->ShowMainWindow();
        }
        service->StartHandsetLink();
        ASSERT_EQ(service->CurrentController(), controller.get());
        Settle();
        if (skypeRuns) {
            ASSERT_TRUE(skype->IsOnline());
        }
        Clear();
    }

    virtual void Clear() {
        client->Take();
        tray.calls.clear();
        popup.calls.clear();
        rings.rings.clear();
    }

    void Settle(std::uint32_t ms = 500) { os::hosted::AdvanceTime(ms); }

    // The handset's controls, each followed by the polls that read them.
    void Handset(const std::function<void(SimHandset&)>& action) {
        handset->With([&](SimHandset& sim) {
            action(sim);
            return 0;
        });
        Settle(300);
    }
    void Lift() { Handset([](SimHandset& sim) { sim.Lift(); }); }
    void PutDown() { Handset([](SimHandset& sim) { sim.HangUp(); }); }
    void Press(int eventCode) {
        Handset([&](SimHandset& sim) { ASSERT_TRUE(sim.HoldKeyFor(eventCode)); });
        Handset([](SimHandset& sim) { sim.ReleaseKey(); });
    }

    // The commands the client received, without the connector's own
    // periodic queries.
    Strings Commands() {
        Strings found;
        for (const std::string& text : client->Take()) {
            if (text.rfind("GET ", 0) != 0 && text != "PING") found.push_back(text);
        }
        return found;
    }

    std::uint8_t Route() {
        return handset->With([](SimHandset& sim) { return sim.audioRoute(); });
    }

    // An incoming call from "alice" rings through, partner known.
    int RingFromAlice() {
        const int number = client->Ring("alice", false);
        Settle();
        return number;
    }

    MemoryRegistry store;
    AppSettings settings{store, nullptr};
    FakeHidBus bus;
    RecordingRings rings;
    std::shared_ptr<FakeHandset> handset;
    RecordingTray tray;
    RecordingPopup popup;
    // Declared before the service, which holds it as its listener.
    std::unique_ptr<HandsetController> controller;
    std::optional<ConnectorService> service;
    SkypeConnector* skype = nullptr;
    ScriptedConnector* voipBuster = nullptr;
    std::optional<FakeSkypeClient> client;
};

}  // namespace talvio::testing
