// Test doubles for the connectors' surroundings: a host recording what the
// connectors ask of the program, a recording call listener, a connector
// whose attachment and status a test sets, the handset link and LCD screen
// as the connector service sees them, the caller-id hook library, the
// simulated Skype client (tools/client_sim) in its own simulated process on
// the test's thread, and a family connector attached to its simulated
// program.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "connectors/hook_library.h"
#include "connectors/service_ports.h"
#include "connectors/voip_connector.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "handset/lcd_screen.h"
#include "platform/hosted/desktop.h"
#include "platform/platform.h"
#include "settings/rate_table.h"
#include "tools/client_sim/simulated_client.h"

namespace talvio::testing {

class RecordingHost : public ConnectorHost {
public:
    int activeProgram = 1;
    int callOutProgram = -1;
    bool callOutFree = true;
    std::map<int, RateList> rates;  // by program id
    bool autoAnswer = false;
    bool autoBusy = false;
    bool autoAway = false;
    std::wstring autoBusyText = L"busy now";
    std::wstring autoAwayText = L"away now";
    bool handsetPresent = false;
    bool lcdScreen = false;
    CallEventListener* listener = nullptr;

    std::vector<int> statusRefreshes;
    std::vector<std::pair<int, int>> keyTones;
    int deviceNamePublications = 0;
    std::vector<bool> muteIndicator;
    std::vector<std::pair<int, std::wstring>> focusedContacts;
    std::vector<int> pageRefreshes;
    std::vector<os::Hwnd> hookStarts;

    int ActiveProgram() override { return activeProgram; }
    int RingToneOf(int programId) override { return 100 + programId; }
    int CallOutProgram() override { return callOutProgram; }
    bool CallOutFree() override { return callOutFree; }
    const RateList* RatesOf(int programId) override {
        const auto found = rates.find(programId);
        return found != rates.end() ? &found->second : nullptr;
    }
    bool AutoAnswer() override { return autoAnswer; }
    bool AutoBusy() override { return autoBusy; }
    bool AutoAway() override { return autoAway; }
    std::wstring AutoBusyText() override { return autoBusyText; }
    std::wstring AutoAwayText() override { return autoAwayText; }
    bool HandsetPresent() override { return handsetPresent; }
    CallEventListener* Listener() override { return listener; }
    void RefreshStatus(int id) override { statusRefreshes.push_back(id); }
    void PlayKeyTone(int resource, int mode) override { keyTones.emplace_back(resource, mode); }
    void PublishDeviceNames() override { ++deviceNamePublications; }
    void SetMuteIndicator(bool muted) override { muteIndicator.push_back(muted); }
    void ShowFocusedContact(int id, const std::wstring& handle) override {
        focusedContacts.emplace_back(id, handle);
    }
    void RefreshScreenPage(int code) override { pageRefreshes.push_back(code); }
    bool StartCallerIdHook(os::Hwnd window) override {
        if (!lcdScreen) return false;
        hookStarts.push_back(window);
        return true;
    }
};

class RecordingListener : public CallEventListener {
public:
    std::vector<std::string> events;  // "Ringing 13", "Refresh", ...

    void Refresh() override { events.push_back("Refresh"); }
    int OnConnectorStatus(int attached, int online) override {
        events.push_back("Status " + std::to_string(attached) + " " + std::to_string(online));
        return 1;
    }
    void OnCallFailed(VoipConnector&, int id) override { Add("Failed", id); }
    void OnCallUnplaced(VoipConnector&, int id) override { Add("Unplaced", id); }
    void OnCallRouting(VoipConnector&, int id) override { Add("Routing", id); }
    void OnCallRefused(VoipConnector&, int id) override { Add("Refused", id); }
    void OnCallMissed(VoipConnector&, int id) override { Add("Missed", id); }
    void OnCallFinished(VoipConnector&, int id) override { Add("Finished", id); }
    void OnCallHeld(VoipConnector&, int id) override { Add("Held", id); }
    void OnCallInProgress(VoipConnector&, int id) override { Add("InProgress", id); }
    void OnCallRinging(VoipConnector&, int id) override { Add("Ringing", id); }

private:
    void Add(const char* name, int id) { events.push_back(std::string(name) + " " + std::to_string(id)); }
};

// A connector whose client and user status the test sets; it records the
// operations the registry and the Skype connector call on it.
class ScriptedConnector : public VoipConnector {
public:
    ScriptedConnector(ConnectorRegistry& registry, int id) : VoipConnector(registry), id_(id) {}

    void SetClient(os::Hwnd window, int userStatus) {
        SetClientWindow(window);
        userStatus_ = userStatus;
    }

    int GetConnectorId() const override { return id_; }
    void BringToFront() override { log.push_back("BringToFront"); }
    void ClearDialText() override { log.push_back("ClearDialText"); }
    void HideMainWindow() override { log.push_back("HideMainWindow"); }
    void CallNumber(std::string_view number) override { log.push_back("CallNumber " + std::string(number)); }

    std::vector<std::string> log;

private:
    int id_;
};

// The handset link whose presence, model and screen the test sets.
class FakeServiceHandset : public ServiceHandset {
public:
    bool present = false;
    int model = 10;
    LcdScreen* screen = nullptr;
    HandsetEventSink* sink = nullptr;
    std::vector<std::string>* journal = nullptr;

    void Start(HandsetEventSink* s) override { sink = s; }
    void Stop() override {
        if (journal) journal->push_back("handset stopped");
        sink = nullptr;
    }
    bool IsPresent() override { return present; }
    int GetModel() override { return present ? model : 0; }
    LcdScreen* GetScreen() override { return present ? screen : nullptr; }
};

// An LCD screen recording what the connectors show on it.
class FakeScreen : public LcdScreen, public DirectoryScreen {
public:
    DirectoryView* view = nullptr;
    std::vector<std::wstring> shown;
    void Start() override {}
    void Tick(std::uint32_t) override {}
    void Draw(LcdCanvas&) override {}
    void OnCallerText(const std::wstring&) override {}
    void SetDirectoryView(DirectoryView* v) override { view = v; }
    void ShowLogoText(const std::wstring& text) override { shown.push_back(L"logo " + text); }
    void ShowDialText(const std::wstring& text) override { shown.push_back(L"dial " + text); }
    void ShowMuteState(bool muted) override { shown.push_back(muted ? L"muted" : L"unmuted"); }
    void ShowFocusedContact(int, const std::wstring& handle) override { shown.push_back(L"focus " + handle); }
    void RefreshPage(int) override {}
    void StartCallerIdHook(os::Hwnd window) override { hookWindows.push_back(window); }
    std::vector<os::Hwnd> hookWindows;
};

// The hook library: records the windows published and hooked and the
// hooks removed; every hook it gives is kHook. Any thread.
class FakeHookLibrary : public HookLibrary {
public:
    static constexpr std::uintptr_t kHook = 0x4A11;

    std::unique_ptr<SharedHookBlock> PublishWindow(os::Hwnd window) override {
        const std::lock_guard lock(mutex_);
        published_.push_back(window);
        return std::make_unique<SharedHookBlock>();
    }
    std::uintptr_t InsertHook(os::Hwnd target) override {
        const std::lock_guard lock(mutex_);
        hooked_.push_back(target);
        return kHook;
    }
    void RemoveHook(std::uintptr_t hook) override {
        const std::lock_guard lock(mutex_);
        removed_.push_back(hook);
    }
    std::vector<os::Hwnd> Published() const { return Copy(published_); }
    std::vector<os::Hwnd> Hooked() const { return Copy(hooked_); }
    std::vector<std::uintptr_t> Removed() const { return Copy(removed_); }

private:
    template <typename T>
    std::vector<T> Copy(const std::vector<T>& list) const {
        const std::lock_guard lock(mutex_);
        return list;
    }

    mutable std::mutex mutex_;
    std::vector<os::Hwnd> published_;
    std::vector<os::Hwnd> hooked_;
    std::vector<std::uintptr_t> removed_;
};

// A Skype client in its own simulated process, recording what it receives.
using FakeSkypeClient = clientsim::SimulatedClient;

// VoipBuster's connector, alone in its registry, attached to its simulated
// program with the main window shown. Hosted desktop, test thread only.
class AttachedFamily {
public:
    explicit AttachedFamily(ConnectorHost& host = ConnectorHost::Standalone())
        : registry(host), family(Append(registry)) {
        program.Launch();
        program.ShowMainWindow();
        family.Start();
        os::hosted::PumpMessages();
    }
    AttachedFamily(const AttachedFamily&) = delete;
    AttachedFamily& operator=(const AttachedFamily&) = delete;
    ~AttachedFamily() { registry.DestroyConnectors(); }

    ConnectorRegistry registry;
    VoipFamilyConnector& family;
    clientsim::SimulatedClient program{L"VoipBuster.exe", "VoipBuster"};

private:
    static VoipFamilyConnector& Append(ConnectorRegistry& registry) {
        auto owned = std::make_unique<VoipFamilyConnector>(registry, VoipFamilyConnector::kPrograms[0]);
        VoipFamilyConnector& connector = *owned;
        registry.Append(std::move(owned));
        return connector;
    }
};

}  // namespace talvio::testing
