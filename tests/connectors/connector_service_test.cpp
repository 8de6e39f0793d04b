// The connector service on the hosted desktop: ring tones and tray state
// as handset and clients come and go, the controller chosen by handset
// model, connector state, and the DirectoryView over the containers.
#include "connectors/connector_service.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connectors/skype/skype_connector.h"
#include "platform/hosted/desktop.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

class FakeTray : public ServiceTray {
public:
    std::vector<std::string> states;
    int audioTimers = 0;
    int SetTrayReady() override { return Record("ready", 11); }
    int SetTrayNoClient() override { return Record("no client", 12); }
    int SetTrayNoDevice() override { return Record("no device", 13); }
    void StartAudioSetupTimer() override { ++audioTimers; }

private:
    int Record(const char* state, int result) {
        states.push_back(state);
        return result;
    }
};

class FakeAudio : public ServiceAudio {
public:
    int volume = kUnreadableVolume;
    std::optional<std::wstring> GetRingTonePath(int index) override {
        if (index < 0 || index > 16) return std::nullopt;
        return L"C:\\Talvio\\waves\\ring" + std::to_wstring(index) + L".wav";
    }
    int GetSpeakerVolume() override { return volume; }
    void SetSpeakerVolume(int v) override { volume = v; }
};

class FakeController : public HandsetCallController {
public:
    explicit FakeController(int model, std::vector<std::string>& journal) : model_(model), journal_(journal) {}
    int Model() const override { return model_; }
    void HandleEvent(int code) override { Note("event " + std::to_string(code)); }
    void OnServiceNotice(int a, int b) override { Note("notice " + std::to_string(a) + " " + std::to_string(b)); }
    void OnServiceNotice1(int a) override { Note("notice1 " + std::to_string(a)); }
    void OnStop() override { Note("stop"); }
    void OnSettingsChanged() override { Note("settings"); }
    void Refresh() override {}
    int OnConnectorStatus(int attached, int online) override {
        Note("status " + std::to_string(attached) + " " + std::to_string(online));
        return 100 + attached * 10 + online;
    }
    void OnCallFailed(VoipConnector&, int) override {}
    void OnCallUnplaced(VoipConnector&, int) override {}
    void OnCallRouting(VoipConnector&, int) override {}
    void OnCallRefused(VoipConnector&, int) override {}
    void OnCallMissed(VoipConnector&, int) override {}
    void OnCallFinished(VoipConnector&, int) override {}
    void OnCallHeld(VoipConnector&, int) override {}
    void OnCallInProgress(VoipConnector&, int) override {}
    void OnCallRinging(VoipConnector&, int) override {}

private:
    void Note(const std::string& text) { journal_.push_back("model " + std::to_string(model_) + " " + text); }
    int model_;
    std::vector<std::string>& journal_;
};

class ServiceTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        handset.journal = &journal;
        service.emplace(&settings, handset, tray, audio);
        auto connector = std::make_unique<SkypeConnector>(service->Registry());
        skype = connector.get();
        ASSERT_TRUE(service->Registry().Append(std::move(connector)));
        auto family = std::make_unique<ScriptedConnector>(service->Registry(), 5);
        sparVoip = family.get();
        ASSERT_TRUE(service->Registry().Append(std::move(family)));
        client.emplace();
        client->SetAnswering(true);
    }

    void TearDown() override {
        service.reset();
        client.reset();
        DesktopTest::TearDown();
    }

    // The simulated client runs with its user online and the connector
    // attached to it; what it received so far is dropped.
    void AttachSkype() {
        client->Launch();
        ASSERT_TRUE(skype->Start());
        Settle();
        ASSERT_TRUE(skype->IsOnline());
        client->Take();
    }

    void Settle(std::uint32_t ms = 500) { os::hosted::AdvanceTime(ms); }

    std::vector<std::string> RingtoneCommands() {
        Settle();
        std::vector<std::string> found;
        for (const std::string& text : client->Take()) {
            if (text.rfind("SET RINGTONE", 0) == 0) found.push_back(text);
        }
        return found;
    }

    MemoryRegistry registryStore;
    AppSettings settings{registryStore, nullptr};
    std::vector<std::string> journal;
    FakeServiceHandset handset;
    FakeTray tray;
    FakeAudio audio;
    std::optional<ConnectorService> service;
    SkypeConnector* skype = nullptr;
    ScriptedConnector* sparVoip = nullptr;
    std::optional<FakeSkypeClient> client;
};

TEST_F(ServiceTest, RingToneFollowsTheHandsetAndIsEmptiedOnceItIsUnplugged) {
    settings.programs[0].ringTone = 4;
    AttachSkype();
    EXPECT_EQ(tray.states.back(), "no device");

    handset.present = true;
    service->OnDevicePresence(1, 0);
    EXPECT_EQ(RingtoneCommands(), (std::vector<std::string>{"SET RINGTONE 1 C:\\Talvio\\waves\\ring4.wav"}));
    EXPECT_EQ(tray.states.back(), "ready");
    EXPECT_EQ(tray.audioTimers, 1);

    handset.present = false;
    service->OnDevicePresence(0, 0);
    EXPECT_EQ(RingtoneCommands(), (std::vector<std::string>{"SET RINGTONE 1 "}));
    EXPECT_EQ(tray.states.back(), "no device");
}

TEST_F(ServiceTest, TrayShowsNoClientWhenOnlyAttachedOrNothingRuns) {
    handset.present = true;
    EXPECT_EQ(service->RefreshStatus(), 12);
    EXPECT_EQ(tray.states.back(), "no client");

    client->Launch();
    sparVoip->SetClient(client->ApiWindow(), VoipConnector::kOffline);
    EXPECT_EQ(service->RefreshStatus(), 12);
    sparVoip->SetClient(client->ApiWindow(), VoipConnector::kAway);
    EXPECT_EQ(service->RefreshStatus(), 11);
    EXPECT_EQ(tray.states.back(), "ready");
}

TEST_F(ServiceTest, ConnectorStateIsMinusOneZeroOrOne) {
    EXPECT_EQ(service->GetConnectorState(7), -1);  // no such connector
    EXPECT_EQ(service->GetConnectorState(5), -1);  // client not running
    client->Launch();
    sparVoip->SetClient(client->ApiWindow(), VoipConnector::kOffline);
    EXPECT_EQ(service->GetConnectorState(5), 0);
    sparVoip->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    EXPECT_EQ(service->GetConnectorState(5), 1);
}

TEST_F(ServiceTest, ControllerIsChosenByHandsetModelAndGetsTheEvents) {
    FakeController keypad(10, journal);
    FakeController lcd(11, journal);
    ASSERT_TRUE(service->AddController(&keypad));
    ASSERT_TRUE(service->AddController(&lcd));

    service->OnHandsetEvent(80);  // no handset, no listener: dropped
    handset.present = true;
    handset.model = 11;
    service->OnDevicePresence(1, 0);
    EXPECT_EQ(service->CurrentController(), &lcd);
    service->OnHandsetEvent(80);
    service->OnHandsetNotice(3, 4);
    service->OnHandsetNotice1(9);
    service->NotifySettingsChanged();
    // The controller's answer to the counts is RefreshStatus's result.
    EXPECT_EQ(service->RefreshStatus(), 100);

    handset.present = false;
    service->OnDevicePresence(0, 0);
    EXPECT_EQ(service->CurrentController(), nullptr);
    service->OnHandsetEvent(70);
    EXPECT_EQ(journal, (std::vector<std::string>{"model 11 status 0 0", "model 11 event 80",
                                                 "model 11 notice 3 4", "model 11 notice1 9",
                                                 "model 11 settings", "model 11 status 0 0"}));
}

TEST_F(ServiceTest, ControllerTableHoldsTwentyAtMost) {
    std::vector<std::unique_ptr<FakeController>> controllers;
    for (int i = 0; i < ConnectorService::kControllerSlots; ++i) {
        controllers.push_back(std::make_unique<FakeController>(i, journal));
        EXPECT_TRUE(service->AddController(controllers.back().get()));
    }
    FakeController extra(99, journal);
    EXPECT_FALSE(service->AddController(&extra));
    EXPECT_FALSE(service->AddController(nullptr));
}

TEST_F(ServiceTest, FirstHandsetArrivalStartsConnectorsThatStartUpDidNotStart) {
    client->Launch();
    ASSERT_FALSE(service->Registry().Started());
    service->OnDevicePresence(0, 0);
    EXPECT_FALSE(service->Registry().Started());
    handset.present = true;
    service->OnDevicePresence(1, 0);
    EXPECT_TRUE(service->Registry().Started());
    Settle();
    EXPECT_TRUE(skype->IsOnline());
    const int discoveries = client->discoveries;
    service->OnDevicePresence(1, 0);
    EXPECT_EQ(client->discoveries, discoveries);  // started once only
}

TEST_F(ServiceTest, ShutdownGivesTheStopNoticeBeforeTheHandsetStops) {
    FakeController keypad(10, journal);
    service->AddController(&keypad);
    EXPECT_EQ(service->StartHandsetLink(), 1);
    EXPECT_EQ(handset.sink, service.operator->());
    handset.present = true;
    service->OnDevicePresence(1, 0);
    journal.clear();
    service->ShutdownHandset();
    EXPECT_EQ(journal, (std::vector<std::string>{"model 10 stop", "handset stopped"}));
    EXPECT_EQ(service->CurrentController(), nullptr);
}

TEST_F(ServiceTest, SetActiveProgramNeedsAKnownIdAndRefreshesOnce) {
    settings.activeProgram = 1;
    EXPECT_EQ(service->SetActiveProgram(9), 0);
    EXPECT_EQ(settings.activeProgram, 1);
    EXPECT_EQ(service->SetActiveProgram(5), 13);  // RefreshStatus's tray result
    EXPECT_EQ(settings.activeProgram, 5);
    EXPECT_EQ(service->Registry().ActiveIndex(), 1);
    EXPECT_EQ(sparVoip->log.front(), "BringToFront");

    // Each online client hears its ring tone once per switch.
    handset.present = true;
    AttachSkype();
    ASSERT_EQ(service->SetActiveProgram(1), 11);  // the tray's "ready"
    EXPECT_EQ(RingtoneCommands(), (std::vector<std::string>{"SET RINGTONE 1 C:\\Talvio\\waves\\ring0.wav"}));
}

TEST_F(ServiceTest, ListOnlineConnectorsWritesWhatFits) {
    AttachSkype();
    sparVoip->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    int ids[4] = {};
    int count = 4;
    EXPECT_TRUE(service->ListOnlineConnectors(ids, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 5);
    count = 1;
    EXPECT_FALSE(service->ListOnlineConnectors(ids, count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(service->GetActiveConnectorId(), 1);
}

TEST_F(ServiceTest, LcdScreenGetsTheViewTheLogoAndTheDialText) {
    FakeScreen screen;
    handset.screen = &screen;
    handset.present = true;
    handset.model = 11;
    settings.lcdLogo = L"Talvio";
    AttachSkype();
    client->ShowMainWindow();
    service->OnDevicePresence(1, 0);
    EXPECT_EQ(screen.view, static_cast<DirectoryView*>(&*service));
    ASSERT_FALSE(screen.shown.empty());
    EXPECT_EQ(screen.shown.back(), L"logo Talvio");

    client->TypeDialText(L"0123");
    screen.view->ShowActiveDialText();
    EXPECT_EQ(screen.shown.back(), L"dial 0123");
}

TEST_F(ServiceTest, OnlyASkypeClientBelowVersion140AsksTheLcdScreenForTheCallerIdHook) {
    FakeScreen screen;
    handset.screen = &screen;
    handset.present = true;
    handset.model = 11;
    client->model.version = "1.4.0";
    AttachSkype();
    EXPECT_TRUE(screen.hookWindows.empty());

    ASSERT_TRUE(client->Notify("SKYPEVERSION 1.3.9.99"));
    Settle();
    EXPECT_EQ(screen.hookWindows, std::vector<os::Hwnd>{client->ApiWindow()});

    // The keypad handset has no screen to show callers on.
    handset.model = 10;
    handset.screen = nullptr;
    ASSERT_TRUE(client->Notify("SKYPEVERSION 1.3.9.99"));
    Settle();
    EXPECT_EQ(screen.hookWindows.size(), 1u);
}

TEST_F(ServiceTest, CallOperationsReachTheConnectorNamed) {
    AttachSkype();
    skype->calls.SetStatus(13, CallRecord::kInProgress);
    skype->calls.SetStatus(14, CallRecord::kOnHold);
    service->ToggleHold(13, 1);
    service->ToggleHold(14, 1);
    service->ToggleHold(13, 7);  // no connector: nothing
    EXPECT_EQ(service->PressYes(7), 0);
    EXPECT_EQ(service->PressYes(1), 1);
    service->FinishCall(13, 1);
    Settle();
    EXPECT_EQ(client->Take(), (std::vector<std::string>{"SET CALL 12 STATUS ONHOLD", "SET CALL 13 STATUS INPROGRESS",
                                                      "BTN_PRESSED YES", "BTN_RELEASED YES",
                                                      "SET CALL 12 STATUS FINISHED"}));
    EXPECT_EQ(service->GetDisplayName(7), L"");
    EXPECT_EQ(service->GetLastDialledHandle(7), "");
    EXPECT_TRUE(service->SuppressesPageStep(7));
    service->SetSpeakerVolume(4000);
    EXPECT_EQ(service->GetSpeakerVolume(), 4000);
}

TEST_F(ServiceTest, RingToneOutsideTheTableIsSentEmpty) {
    settings.programs[0].ringTone = 17;
    AttachSkype();
    handset.present = true;
    service->RefreshStatus();
    EXPECT_EQ(RingtoneCommands(), (std::vector<std::string>{"SET RINGTONE 1 "}));
}

// Positions 16 to 36 and 41 to 48 over the Skype connector's containers.
TEST_F(ServiceTest, DirectoryQueriesReadTheNamedConnectorsContainers) {
    AttachSkype();
    ContactList& contacts = skype->contacts;
    SetShownName(contacts.FindOrAddContact("zed", 1), "Zed");
    ContactRecord& amy = contacts.FindOrAddContact("amy", 1);
    SetShownName(amy, "Amy");
    amy.onlineStatus = 1;
    amy.city = "Oulu";
    amy.country = "Finland";
    contacts.FindOrAddContact("kim");  // known only, not listed

    ContactRecord* first = service->GetFirstContact(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(service->GetContactShownName(first), "Amy");  // online first
    EXPECT_EQ(service->GetContactIcon(first), 0);
    EXPECT_EQ(service->GetContactLocation(first), "Oulu,Finland");
    EXPECT_EQ(service->GetContactHandle(service->GetNextContact("amy", 1)), "kim");
    EXPECT_EQ(service->GetPreviousContact("amy", 1), nullptr);
    EXPECT_EQ(service->GetContactPosition(contacts.FindContact("zed"), 1), 2);
    EXPECT_EQ(service->FindListedContact("kim", 1), nullptr);
    int online = -1;
    EXPECT_EQ(service->GetContactCounts(online, 1), 3);
    EXPECT_EQ(online, 1);
    EXPECT_EQ(service->GetContactCounts(online, 7), 0);
    EXPECT_EQ(online, 0);
    EXPECT_EQ(service->GetFirstContact(7), nullptr);

    // An unknown id searches the active program and reports which it was.
    int id = 42;
    EXPECT_EQ(service->FindContactByName("Zed", id), contacts.FindContact("zed"));
    EXPECT_EQ(id, 1);

    CallRecord& live = skype->calls.SetStatus(21, CallRecord::kInProgress);
    live.partnerHandle = "amy";
    live.conferenceId = 0;
    EXPECT_EQ(service->GetCallPartnerName(&live), "amy") << "the handle until a name is known";
    live.partnerDisplayName = "Amy";
    EXPECT_EQ(service->GetLiveCall(21, 1), &live);
    EXPECT_EQ(service->GetLiveCall(21, 5), nullptr);
    std::string text;
    EXPECT_EQ(service->GetConferenceText(&live, 1, text), 1);
    EXPECT_EQ(text, "Amy");
    live.timestamp = 1000;
    skype->calls.MoveToHistory(21, CallRecord::kFinished);
    const CallRecord* ended = service->GetHistoryCall(21, 1);
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ(service->GetCallPartnerName(ended), "Amy");
    EXPECT_EQ(service->GetCallTimestamp(ended), 1000);
    int position = 5;
    int count = -1;
    EXPECT_EQ(service->GetRecentCall(1, position, count, 1), ended);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(service->GetRecentCall(1, position, count, 9), nullptr);
    EXPECT_EQ(count, 0);

    VoicemailRecord& heard = skype->voicemails.FindOrAddVoicemail(3);
    heard.type = VoicemailRecord::kIncoming;
    heard.status = VoicemailRecord::kPlayed;
    VoicemailRecord& fresh = skype->voicemails.FindOrAddVoicemail(8);
    fresh.type = VoicemailRecord::kIncoming;
    fresh.status = VoicemailRecord::kUnplayed;
    fresh.partnerHandle = "zed";
    skype->voicemails.FindOrAddVoicemail(5).type = VoicemailRecord::kOutgoing;
    int unplayed = -1;
    int total = -1;
    position = 9;
    const VoicemailRecord* entry = service->GetVoicemailList(unplayed, position, total, 1);
    EXPECT_EQ(total, 2);
    EXPECT_EQ(unplayed, 1);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(service->GetVoicemailId(entry), 8);
    EXPECT_EQ(service->GetVoicemailPartnerHandle(entry), "zed");
    EXPECT_EQ(service->GetVoicemailPlayState(entry), 0);
    EXPECT_EQ(service->GetVoicemailPlayState(service->GetVoicemail(3, 1)), 2);
    EXPECT_EQ(service->GetVoicemail(3, 5), nullptr);
    EXPECT_EQ(service->GetVoicemailList(unplayed, position, total, 5), nullptr);
    EXPECT_EQ(total, 0);
}

}  // namespace
}  // namespace talvio::testing
