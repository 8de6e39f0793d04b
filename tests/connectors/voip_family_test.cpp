// Voip-family connectors against simulated family programs (tools/client_sim)
// on the hosted desktop: attachment by window title, the status watch and
// the ping, the commands and the dial field, replies in the ANSI code page
// and the call events.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connectors/connector_registry.h"
#include "connectors/skype/skype_connector.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "foundation/text_convert.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

using Commands = std::vector<std::string>;
using clientsim::SimulatedClient;

const VoipFamilyIdentity& Identity(int id) {
    return *std::find_if(std::begin(VoipFamilyConnector::kPrograms),
                         std::end(VoipFamilyConnector::kPrograms),
                         [&](const VoipFamilyIdentity& identity) { return identity.id == id; });
}

constexpr int kVoipCheap = 4;
constexpr int kVoipCheapCom = 10;

class FamilyTest : public DesktopTest {
protected:
    ~FamilyTest() override { registry.DestroyConnectors(); }

    VoipFamilyConnector* AddConnector(int id) {
        auto connector = std::make_unique<VoipFamilyConnector>(registry, Identity(id));
        VoipFamilyConnector* added = connector.get();
        EXPECT_TRUE(registry.Append(std::move(connector)));
        return added;
    }

    // A running program with its main window, answering from its model.
    SimulatedClient& AddProgram(int id) {
        const std::string name = Identity(id).name;
        programs.push_back(std::make_unique<SimulatedClient>(Utf8ToWide(name) + L".exe", name));
        SimulatedClient& program = *programs.back();
        program.SetAnswering(true);
        program.Launch();
        program.ShowMainWindow();
        return program;
    }

    // One VoipCheap connector attached to its online program; what the
    // attach sent is dropped.
    void AttachOne() {
        cheap = AddConnector(kVoipCheap);
        program = &AddProgram(kVoipCheap);
        ASSERT_TRUE(cheap->Start());
        os::hosted::AdvanceTime(500);
        ASSERT_EQ(cheap->ClientWindow(), program->ApiWindow());
        ASSERT_TRUE(cheap->IsOnline());
        program->Take();
        host.statusRefreshes.clear();
    }

    // Raw bytes from the program, as it sends them.
    void Reply(std::string_view text) {
        program->Reply(cheap->Hwnd(), text);
        os::hosted::PumpMessages();
    }

    // Commands that reached the program before the operation returned.
    template <typename Operation>
    Commands Immediate(Operation&& operation) {
        program->Take();
        operation();
        return program->Take();
    }

    Commands Sent() {
        os::hosted::AdvanceTime(500);
        return program->Take();
    }

    int Received(const SimulatedClient& from, const std::string& text) const {
        return static_cast<int>(std::count_if(from.log.begin(), from.log.end(),
                                              [&](const auto& entry) { return entry.text == text; }));
    }

    RecordingHost host;
    ConnectorRegistry registry{host};
    std::vector<std::unique_ptr<SimulatedClient>> programs;
    VoipFamilyConnector* cheap = nullptr;
    SimulatedClient* program = nullptr;
};

TEST_F(FamilyTest, EachConnectorAttachesOnlyToItsOwnProgram) {
    // VoipCheapCom answers first, and its title begins with "voipcheap".
    SimulatedClient& cheapCom = AddProgram(kVoipCheapCom);
    SimulatedClient& voipCheap = AddProgram(kVoipCheap);
    VoipFamilyConnector* cheapConnector = AddConnector(kVoipCheap);
    VoipFamilyConnector* cheapComConnector = AddConnector(kVoipCheapCom);
    ASSERT_TRUE(cheapConnector->Start());
    ASSERT_TRUE(cheapComConnector->Start());
    os::hosted::PumpMessages();

    EXPECT_EQ(cheapConnector->ClientWindow(), voipCheap.ApiWindow());
    EXPECT_EQ(cheapConnector->MainWindow(), voipCheap.MainWindow());
    EXPECT_EQ(cheapComConnector->ClientWindow(), cheapCom.ApiWindow());

    os::hosted::AdvanceTime(500);
    for (const SimulatedClient* each : {&voipCheap, &cheapCom}) {
        for (const char* query : {"GET USERSTATUS", "GET CURRENTUSERHANDLE", "SEARCH FRIENDS", "SEARCH CALLS"}) {
            EXPECT_EQ(Received(*each, query), 1) << each->Program() << ": " << query;
        }
    }
    EXPECT_TRUE(cheapConnector->IsOnline());
    EXPECT_EQ(cheapConnector->CurrentUser(), "simuser");
}

TEST_F(FamilyTest, AProgramWithoutItsMainWindowIsNotAttached) {
    cheap = AddConnector(kVoipCheap);
    SimulatedClient running(L"VoipCheap.exe", "VoipCheap");
    running.Launch();  // the API window only
    ASSERT_TRUE(cheap->Start());
    os::hosted::PumpMessages();
    EXPECT_FALSE(cheap->IsAttached());

    // A program that starts later makes itself known.
    running.ShowMainWindow();
    running.AnnounceApi();
    os::hosted::PumpMessages();
    EXPECT_EQ(cheap->ClientWindow(), running.ApiWindow());
    // Not online before the program tells its user's status.
    EXPECT_FALSE(cheap->IsOnline());
}

TEST_F(FamilyTest, StatusIsPolledEveryTwoSecondsAndAnUnansweredPingReattaches) {
    AttachOne();  // attached at 0 ms, now at 500 ms
    os::hosted::AdvanceTime(9400);
    EXPECT_EQ(Received(*program, "GET USERSTATUS"), 1 + 4);  // the attach's, then at 2, 4, 6, 8 s
    EXPECT_EQ(Received(*program, "PING"), 0);
    os::hosted::AdvanceTime(200);
    EXPECT_EQ(Received(*program, "PING"), 1);
    EXPECT_FALSE(cheap->PingOutstanding());  // "PONG" came

    // The program goes quiet: it neither answers the next ping nor anything
    // else, but it still answers a discovery.
    program->SetAnswering(false);
    const int discoveries = program->discoveries;
    os::hosted::AdvanceTime(10000);
    EXPECT_EQ(Received(*program, "PING"), 2);
    EXPECT_TRUE(cheap->PingOutstanding());
    os::hosted::AdvanceTime(10000);
    EXPECT_EQ(program->discoveries, discoveries + 1);
    EXPECT_EQ(program->lastDiscoverer, cheap->Hwnd());
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{-1, kVoipCheap}));
    EXPECT_EQ(cheap->ClientWindow(), program->ApiWindow());
    os::hosted::AdvanceTime(500);
    EXPECT_EQ(Received(*program, "SEARCH FRIENDS"), 2);
}

TEST_F(FamilyTest, AProgramThatVanishesTakesItsCallsAndOurRingWithIt) {
    AttachOne();
    RecordingListener listener;
    host.listener = &listener;
    program->Ring("bob", false);
    os::hosted::AdvanceTime(500);
    ASSERT_EQ(cheap->RingingIncomingCall(), 101);
    listener.events.clear();

    program->Crash();
    os::hosted::AdvanceTime(2000);
    EXPECT_FALSE(cheap->IsAttached());
    EXPECT_TRUE(cheap->calls.liveCalls.empty());
    ASSERT_NE(cheap->calls.GetHistoryCall(101), nullptr);
    EXPECT_EQ(cheap->calls.GetHistoryCall(101)->endReason, CallRecord::kMissed);
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{-1}));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Refresh"}));
}

TEST_F(FamilyTest, KeysTypeIntoTheDialFieldAndOtherButtonsGoToTheProgram) {
    AttachOne();
    program->TypeDialText(L"12");
    EXPECT_EQ(Immediate([&] { cheap->PressButton("5"); }), Commands{});
    EXPECT_EQ(program->DialText(), L"125");
    EXPECT_EQ(os::hosted::EditSelection(program->DialField()).start, 3);
    EXPECT_EQ(os::hosted::EditSelection(program->DialField()).end, 3);
    EXPECT_EQ(Immediate([&] { cheap->PressKey(VoipConnector::kKeyHash); }), Commands{});
    EXPECT_EQ(program->DialText(), L"125#");
    EXPECT_EQ(host.keyTones, (std::vector<std::pair<int, int>>{{144, 0}}));
    std::wstring read;
    EXPECT_EQ(cheap->GetDialText(read, 1024), 1);
    EXPECT_EQ(read, L"125#");

    EXPECT_EQ(Immediate([&] { cheap->Backspace(); }), (Commands{"BTN_PRESSED DELETE"}));
    EXPECT_EQ(Immediate([&] { cheap->HookOn(); }), (Commands{"BTN_PRESSED NO"}));
    EXPECT_EQ(Immediate([&] { cheap->PressYes(0); }), (Commands{"BTN_PRESSED YES"}));

    // With nothing to call, YES steps down the program's list instead.
    cheap->ClearDialText();
    EXPECT_EQ(program->DialText(), L"");
    EXPECT_EQ(Immediate([&] { cheap->PressYes(0); }), Commands{});
    EXPECT_EQ(program->dialFieldKeys, (std::vector<os::WParam>{0x28}));  // VK_DOWN
    EXPECT_EQ(program->dialFieldKeyUps, (std::vector<os::WParam>{0x28}));
    EXPECT_EQ(Immediate([&] { cheap->PressYes(1); }), (Commands{"BTN_PRESSED YES"}));
    EXPECT_EQ(cheap->SetDialText(L"+4930"), 1);
    EXPECT_EQ(os::hosted::EditSelection(program->DialField()).start, 5);
}

TEST_F(FamilyTest, ViewsWindowsAndQueries) {
    AttachOne();
    Commands views;
    for (int i = 0; i < 6; ++i) {
        for (std::string& command : Immediate([&] { cheap->NextView(); })) views.push_back(command);
    }
    EXPECT_EQ(views, (Commands{"OPEN CONTACTS", "OPEN DIALPAD", "OPEN CALLHISTORY", "OPEN ACTIVE",
                               "OPEN START", "OPEN CONTACTS"}));
    EXPECT_EQ(Immediate([&] { cheap->ShowCallHistory(); }), (Commands{"OPEN CALLHISTORY"}));
    // No mute in the family's API, even during a call.
    Reply("CALL 4 STATUS INPROGRESS");
    ASSERT_EQ(cheap->MuteState(), 2);
    EXPECT_EQ(Immediate([&] { cheap->ToggleMute(); }), Commands{});

    // A minimised program is asked to come up; a shown one is raised.
    EXPECT_EQ(Immediate([&] { cheap->HideMainWindow(); }), (Commands{"MINIMIZE"}));
    EXPECT_FALSE(cheap->IsMainWindowShown());
    EXPECT_EQ(Immediate([&] { cheap->BringToFront(); }), (Commands{"FOCUS"}));
    EXPECT_TRUE(cheap->IsMainWindowShown());
    EXPECT_EQ(Immediate([&] { cheap->BringToFront(); }), Commands{});
    EXPECT_EQ(os::GetForegroundWindow(), program->MainWindow());

    // Queries wait in the background queue, even when asked for at once.
    EXPECT_EQ(Immediate([&] { cheap->QueryCall(8, false); }), Commands{});
    EXPECT_EQ(Sent(), (Commands{"GET CALL 7 PARTNER_DISPNAME", "GET CALL 7 STATUS", "GET CALL 7 TIMESTAMP",
                                "GET CALL 7 DURATION", "GET CALL 7 TYPE", "GET CALL 7 PARTNER_HANDLE"}));

    const os::Hwnd popup = program->ShowPopup(L"Add contact");
    EXPECT_TRUE(cheap->CloseTopPopup());
    os::hosted::PumpMessages();
    EXPECT_FALSE(os::IsWindow(popup));
    EXPECT_FALSE(cheap->CloseTopPopup());
}

TEST_F(FamilyTest, FocusStepsAreTabsAfterOneTabWithCtrlAndShiftForBackward) {
    AttachOne();
    os::hosted::SetKeyDelivery(false);
    cheap->MoveFocus(-2);
    std::vector<std::pair<int, bool>> keys;
    for (const os::hosted::KeyEvent& key : os::hosted::KeyLog()) {
        keys.emplace_back(key.virtualKey, (key.flags & os::KEYEVENTF_KEYUP) != 0);
        EXPECT_EQ(key.foreground, program->MainWindow());
    }
    const int tab = 0x09, shift = 0x10, control = 0x11;
    EXPECT_EQ(keys, (std::vector<std::pair<int, bool>>{{tab, false}, {tab, true}, {control, false},
                                                       {shift, false}, {tab, false}, {tab, true},
                                                       {tab, false}, {tab, true}, {shift, true},
                                                       {control, true}}));
}

TEST_F(FamilyTest, RepliesInTheAnsiPageReachTheRecordsAsUtf8WithNeighboursIntact) {
    AttachOne();
    // Windows-1252: F6 is ö, 80 is €, 81 is undefined in the page.
    Reply("USERS ann,j\xF6rg,\x81x bob");
    ASSERT_EQ(cheap->contacts.count(), 4);
    EXPECT_NE(cheap->contacts.FindContact("ann"), nullptr);
    ASSERT_NE(cheap->contacts.FindContact("j\xC3\xB6rg"), nullptr);
    EXPECT_NE(cheap->contacts.FindContact("\xC2\x81x"), nullptr);
    EXPECT_NE(cheap->contacts.FindContact("bob"), nullptr);
    // Each contact is asked about with the eleven queries, in the page's bytes.
    const Commands asked = Sent();
    EXPECT_EQ(std::count_if(asked.begin(), asked.end(),
                            [](const std::string& c) { return c.rfind("GET USER j\xC3\xB6rg ", 0) == 0; }),
              11);
    EXPECT_EQ(Received(*program, "GET USER ann IS_CF_ACTIVE"), 0);

    Reply("USER j\xF6rg DISPLAYNAME J\xF6rg \x80 Berg");
    Reply("USER j\xF6rg ONLINESTATUS SKYPEOUT");
    Reply("USER ann ONLINESTATUS DND");
    Reply("USER ann IS_CF_ACTIVE TRUE");
    const ContactRecord* jorg = cheap->contacts.FindContact("j\xC3\xB6rg");
    EXPECT_EQ(jorg->displayName, "J\xC3\xB6rg \xE2\x82\xAC Berg");
    EXPECT_EQ(jorg->onlineStatus, -1);
    EXPECT_EQ(cheap->contacts.FindContact("ann")->onlineStatus, 3);
    EXPECT_EQ(cheap->contacts.FindContact("ann")->callForwardActive, 0);

    program->Ring("j\xC3\xB6rg", false);
    os::hosted::AdvanceTime(500);
    const CallRecord* call = cheap->calls.GetLiveCall(101);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->partnerHandle, "j\xC3\xB6rg");

    // Texts for the program go out in the page; what it lacks becomes '?'.
    EXPECT_EQ(Immediate([&] { cheap->SendChatMessage(W("j\xC3\xB6rg"), W("Gr\xC3\xBC\xC3\x9F" "e \xE4\xB8\xAD")); }),
              (Commands{"MESSAGE j\xC3\xB6rg Gr\xC3\xBC\xC3\x9F" "e ?"}));
}

TEST_F(FamilyTest, StatusWordsRaiseTheirEventsForAnyCall) {
    AttachOne();
    RecordingListener listener;
    host.listener = &listener;
    EXPECT_EQ(Immediate([&] { Reply("CALL 12 STATUS RINGING"); }), Commands{});  // queries wait
    const CallRecord* ringing = cheap->calls.GetLiveCall(13);
    ASSERT_NE(ringing, nullptr);
    EXPECT_EQ(ringing->status, CallRecord::kRinging);
    EXPECT_EQ(Sent().size(), 6u);
    Reply("CALL 12 TYPE INCOMING_PSTN");
    Reply("CALL 12 PARTNER_HANDLE +3581234");
    Reply("CALL 12 CONF_ID 4");
    Reply("CALL 40 STATUS UNPLACED");
    Reply("CALL 41 STATUS BUSY");
    Reply("CALL 12 STATUS FINISHED");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Ringing 13", "Refresh", "Unplaced 41", "Finished 13"}));
    EXPECT_EQ(ringing->isPstn, 1);
    EXPECT_EQ(ringing->conferenceId, -1);

    // Without a listener the connector files the calls itself.
    host.listener = nullptr;
    Reply("CALL 12 STATUS UNPLACED");
    ASSERT_NE(cheap->calls.GetHistoryCall(13), nullptr);
    EXPECT_EQ(cheap->calls.GetHistoryCall(13)->endReason, CallRecord::kUnplaced);
    // An empty value about a call nobody knows is dropped.
    Reply("CALL 60 STATUS ");
    Reply("CALL 60 TYPE ");
    EXPECT_EQ(cheap->calls.GetLiveCall(61), nullptr);
    EXPECT_EQ(cheap->calls.GetHistoryCall(61), nullptr);
}

TEST_F(FamilyTest, UserStatusNotifiesOnlyAChange) {
    AttachOne();
    Reply("USERSTATUS ONLINE");
    Reply("USERSTATUS online");
    Reply("USERSTATUS BUSY");
    EXPECT_TRUE(host.statusRefreshes.empty());
    Reply("USERSTATUS AWAY");
    EXPECT_EQ(cheap->UserStatus(), VoipConnector::kAway);
    Reply("CONNSTATUS LOGGEDOUT");
    EXPECT_EQ(cheap->UserStatus(), VoipConnector::kLoggedOut);
    EXPECT_TRUE(cheap->IsAttached());
    EXPECT_FALSE(cheap->IsOnline());
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{kVoipCheap, kVoipCheap}));
}

TEST_F(FamilyTest, OnlyTheAttachedProgramIsHeardAndJunkTicketsAreDropped) {
    AttachOne();
    SimulatedClient stranger(L"Other.exe", "VoipBuster");
    stranger.Launch();
    stranger.Reply(cheap->Hwnd(), "USERSTATUS AWAY");
    os::hosted::PumpMessages();
    EXPECT_EQ(cheap->UserStatus(), VoipConnector::kOnline);

    // Any process may post 1040; a value that names no text of ours is not
    // a pointer to follow.
    {
        os::hosted::ProcessScope as(stranger.Process());
        os::PostMessage(cheap->Hwnd(), VoipFamilyConnector::kTextReady, 0, 0x12345678);
        os::PostMessage(cheap->Hwnd(), VoipFamilyConnector::kTextReady, 0, -1);
    }
    os::hosted::PumpMessages();
    EXPECT_EQ(cheap->TextsWaiting(), 0);
    EXPECT_TRUE(cheap->IsOnline());
}

TEST_F(FamilyTest, ASkypeTelephoneCallGoesOutThroughTheProgramThatCallsItFree) {
    auto owned = std::make_unique<SkypeConnector>(registry);
    SkypeConnector* skype = owned.get();
    ASSERT_TRUE(registry.Append(std::move(owned)));
    VoipFamilyConnector* buster = AddConnector(2);
    SimulatedClient& busterProgram = AddProgram(2);
    SimulatedClient skypeClient;
    skypeClient.SetAnswering(true);
    skypeClient.Launch();
    skypeClient.ShowMainWindow();
    host.handsetPresent = true;
    host.rates[1].add("44", 0.02);
    host.rates[2].add("44", 0.0);
    ASSERT_TRUE(skype->Start());
    ASSERT_TRUE(buster->Start());
    os::hosted::AdvanceTime(3000);
    ASSERT_TRUE(skype->IsOnline());
    ASSERT_TRUE(buster->IsOnline());

    // The user calls a number in London through Skype.
    skype->CallNumber("+441234567");
    os::hosted::AdvanceTime(2500);  // the family's watch asks about the new call
    ASSERT_EQ(skypeClient.model.calls.count(100), 1u);
    EXPECT_EQ(skypeClient.model.calls.at(100).status, "FINISHED");
    EXPECT_EQ(Received(busterProgram, "CALL +441234567"), 1);
    const CallRecord* placed = buster->calls.GetLiveCall(101);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->status, CallRecord::kRouting);
    EXPECT_EQ(placed->partnerHandle, "+441234567");
}

}  // namespace
}  // namespace talvio::testing
