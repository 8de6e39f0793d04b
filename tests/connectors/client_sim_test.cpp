// The client simulator against the real Skype connector on the hosted
// desktop: attach variants, the attach queries and friend queries, liveness,
// crash and restart, calls, and the simulator's own replies and script.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connectors/connector_registry.h"
#include "connectors/skype/skype_connector.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/connectors/skype_fixture.h"
#include "tests/support/desktop_test.h"
#include "tools/client_sim/client_script.h"

namespace talvio::testing {
namespace {

using clientsim::ClientModel;
using clientsim::RunScriptLine;

// The Skype connector fixture with a scripted, answering client.
class ClientSimTest : public SkypeTest {
protected:
    void SetUp() override {
        SkypeTest::SetUp();
        client->SetAnswering(true);
        Script({"friend alice", "prop alice DISPLAYNAME Alice A", "prop alice ONLINESTATUS ONLINE",
                "friend bob"});
    }

    void Script(std::initializer_list<const char*> lines) {
        for (const char* line : lines) ASSERT_EQ(RunScriptLine(*client, line).reply, "ok") << line;
    }

    int Received(const std::string& text) const {
        return static_cast<int>(std::count_if(client->log.begin(), client->log.end(),
                                              [&](const auto& entry) { return entry.text == text; }));
    }
};

TEST_F(ClientSimTest, AttachSendsTheFiveQueriesThenAsksAboutEachFriend) {
    client->Launch();
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(1000);
    ASSERT_EQ(skype->ClientWindow(), client->ApiWindow());
    for (const char* query : {"GET SKYPEVERSION", "SEARCH FRIENDS", "SEARCH CALLS", "SEARCH VOICEMAILS",
                              "GET USERSTATUS"}) {
        EXPECT_EQ(Received(query), 1) << query;
    }
    EXPECT_GE(Received("GET USER alice DISPLAYNAME"), 1);
    EXPECT_GE(Received("GET USER bob ONLINESTATUS"), 1);
    EXPECT_TRUE(skype->IsOnline());
    ASSERT_NE(skype->contacts.FindContact("alice"), nullptr);
    EXPECT_EQ(skype->contacts.FindContact("alice")->displayName, "Alice A");
    EXPECT_EQ(skype->contacts.FindContact("alice")->onlineStatus, 1);
    // Every command is logged with the virtual time it arrived at.
    EXPECT_TRUE(std::is_sorted(client->log.begin(), client->log.end(),
                               [](const auto& a, const auto& b) { return a.time < b.time; }));
    EXPECT_LE(client->log.back().time, os::GetTickCount());
}

TEST_F(ClientSimTest, PendingAttachCompletesAfterTheSecondStatus) {
    Script({"attach pending", "launch"});
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(clientsim::SimulatedClient::kAttachStepMs - 100);
    EXPECT_FALSE(skype->IsAttached());
    os::hosted::AdvanceTime(200);
    EXPECT_TRUE(skype->IsAttached());
}

TEST_F(ClientSimTest, UnavailableClientAttachesOnceItStarts) {
    Script({"attach unavailable", "launch"});
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(1000);
    EXPECT_FALSE(skype->IsAttached());
    Script({"start"});
    os::hosted::AdvanceTime(1000);
    EXPECT_TRUE(skype->IsAttached());
    EXPECT_EQ(Received("GET SKYPEVERSION"), 1);
}

TEST_F(ClientSimTest, PollsKeepTheLinkAndACrashDetachesUntilTheClientIsBack) {
    client->Launch();
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(30000);
    // The answered mute poll every 2 s keeps the ping countdown from running out.
    EXPECT_GE(Received("GET MUTE"), 14);
    EXPECT_EQ(Received("PING"), 0);
    EXPECT_TRUE(skype->IsOnline());

    Script({"crash"});
    os::hosted::AdvanceTime(2100);
    EXPECT_FALSE(skype->IsAttached());
    EXPECT_EQ(host.statusRefreshes.back(), -1);

    const int queries = Received("GET SKYPEVERSION");
    Script({"launch"});
    os::hosted::AdvanceTime(12100);  // the unattached connector re-broadcasts every 12 s
    EXPECT_EQ(skype->ClientWindow(), client->ApiWindow());
    EXPECT_EQ(Received("GET SKYPEVERSION"), queries + 1);
}

TEST_F(ClientSimTest, AHungClientGoesOfflineAfterAnUnansweredRediscoveryAndComesBackLater) {
    client->Launch();
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(1000);  // attached at 0 s, liveness ticks every 3 s from then
    ASSERT_TRUE(skype->IsOnline());
    const int discoveries = client->discoveries;
    Script({"hang"});
    // Ticks at 3, 6 and 9 s run the countdown out (PING at 9 s); at 12 s the
    // client is discovered again, and has that one tick to answer.
    os::hosted::AdvanceTime(11500);
    EXPECT_EQ(Received("PING"), 1);
    EXPECT_EQ(client->discoveries, discoveries + 1);
    EXPECT_TRUE(skype->IsOnline());
    os::hosted::AdvanceTime(3000);
    EXPECT_FALSE(skype->IsAttached());
    EXPECT_FALSE(skype->IsOnline());
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kOffline);
    EXPECT_EQ(host.statusRefreshes.back(), -1);

    // Unattached, the connector broadcasts every 12 s; the recovered client answers.
    Script({"resume"});
    os::hosted::AdvanceTime(12100);
    EXPECT_EQ(skype->ClientWindow(), client->ApiWindow());
    EXPECT_TRUE(skype->IsOnline());
}

TEST_F(ClientSimTest, CallsStillUnderWayAtAttachBecomeLiveAndCanBeEnded) {
    RecordingListener listener;
    host.listener = &listener;
    // Before the driver attaches: call 100 rings, 101 is in progress, 102 ended.
    for (const char* caller : {"alice", "bob", "carol"}) client->Ring(caller, false);
    Script({"callstatus 101 INPROGRESS", "callstatus 102 FINISHED"});
    client->Launch();
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(1500);

    // Stored ids are the client's call numbers plus one.
    ASSERT_NE(skype->calls.GetLiveCall(101), nullptr);
    ASSERT_NE(skype->calls.GetLiveCall(102), nullptr);
    EXPECT_EQ(skype->calls.GetLiveCall(101)->status, CallRecord::kRinging);
    EXPECT_EQ(skype->calls.GetLiveCall(101)->partnerHandle, "alice");
    EXPECT_EQ(skype->calls.GetLiveCall(102)->status, CallRecord::kInProgress);
    EXPECT_EQ(skype->calls.GetHistoryCall(101), nullptr);
    ASSERT_NE(skype->calls.GetHistoryCall(103), nullptr);
    EXPECT_EQ(skype->calls.GetHistoryCall(103)->endReason, CallRecord::kFinished);

    skype->FinishCall(102);
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Ringing 101", "InProgress 102", "Finished 102"}));
}

TEST_F(ClientSimTest, IncomingCallIsAnsweredWithTheYesButton) {
    FakeSkypeClient& sim = *client;
    sim.Launch();
    ASSERT_TRUE(skype->Start());
    os::hosted::AdvanceTime(1000);
    const std::string id = RunScriptLine(sim, "ring alice").reply;
    os::hosted::AdvanceTime(1000);
    const int callId = std::stoi(id) + 1;
    const CallRecord* call = skype->calls.GetLiveCall(callId);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->status, CallRecord::kRinging);
    EXPECT_EQ(call->partnerHandle, "alice");
    EXPECT_EQ(Received("GET CALL " + id + " TYPE"), 1);

    skype->PressYes(0);
    os::hosted::AdvanceTime(1000);
    ASSERT_NE(skype->calls.GetLiveCall(callId), nullptr);
    EXPECT_EQ(skype->calls.GetLiveCall(callId)->status, CallRecord::kInProgress);
}

TEST(ClientModelTest, RepliesLikeAClient) {
    ClientModel model;
    model.AddFriend("a");
    model.AddFriend("b");
    model.AddFriend("c");
    model.SetUserProperty("b", "fullname", "Bee");
    using Texts = std::vector<std::string>;
    EXPECT_EQ(model.Handle("PING"), Texts{"PONG"});
    EXPECT_EQ(model.Handle("SEARCH FRIENDS"), Texts{"USERS a, b, c"});
    EXPECT_EQ(model.Handle("GET USER b FULLNAME"), Texts{"USER b FULLNAME Bee"});
    EXPECT_EQ(model.Handle("GET USER b PHONE_HOME"), Texts{"USER b PHONE_HOME "});
    EXPECT_EQ(model.Handle("GET USER nobody FULLNAME"), Texts{"ERROR 26 Invalid user handle"});
    EXPECT_EQ(model.Handle("FROBNICATE"), Texts{"ERROR 2 Unknown command"});
    EXPECT_EQ(model.Handle(""), Texts{"ERROR 2 Unknown command"});
    EXPECT_EQ(model.Handle("SET RINGTONE 1 "), Texts{"RINGTONE 1 "});
    EXPECT_EQ(model.Handle("SET MUTE ON"), Texts{"MUTE ON"});
    EXPECT_EQ(model.Handle("GET MUTE"), Texts{"MUTE ON"});

    std::vector<std::string> out;
    const int id = model.Ring("+3581234", true, out);
    EXPECT_EQ(out, Texts{"CALL " + std::to_string(id) + " STATUS RINGING"});
    const std::string call = "CALL " + std::to_string(id);
    EXPECT_EQ(model.Handle("GET " + call + " TYPE"), Texts{call + " TYPE INCOMING_PSTN"});
    EXPECT_EQ(model.Handle("SET " + call + " STATUS INPROGRESS"), Texts{call + " STATUS INPROGRESS"});
    EXPECT_EQ(model.Handle("SET CALL 9999 STATUS INPROGRESS"), Texts{"ERROR 11 Invalid call id"});
    EXPECT_EQ(model.Handle("SEARCH CALLS"), Texts{"CALLS " + std::to_string(id)});
    EXPECT_EQ(model.Handle("BTN_PRESSED NO"), (Texts{"BTN_PRESSED NO", call + " STATUS FINISHED"}));
    EXPECT_EQ(model.Handle("CALL echo123"), Texts{"CALL " + std::to_string(id + 1) + " STATUS ROUTING"});
    EXPECT_EQ(model.Handle("SEARCH VOICEMAILS"), Texts{"VOICEMAILS "});
    EXPECT_EQ(model.Handle("ALTER VOICEMAIL 4 STARTPLAYBACK"), Texts{"ERROR 7 Invalid voicemail id"});
}

TEST_F(ClientSimTest, ScriptRefusesWhatItCannotDo) {
    EXPECT_EQ(RunScriptLine(*client, "  # a comment").reply, "");
    EXPECT_EQ(RunScriptLine(*client, "fly away").reply, "error: unknown command");
    EXPECT_EQ(RunScriptLine(*client, "wait soon").reply, "error: wait MS");
    EXPECT_EQ(RunScriptLine(*client, "callstatus 5 FINISHED").reply, "error: no such call");
    EXPECT_EQ(RunScriptLine(*client, "notify USERSTATUS AWAY").reply, "error: no program attached");
    EXPECT_EQ(RunScriptLine(*client, "wait 250").waitMs, 250u);
    EXPECT_TRUE(RunScriptLine(*client, "quit").quit);
    EXPECT_EQ(RunScriptLine(*client, "received PING").reply, "0");
}

TEST_F(ClientSimTest, WindowsFollowTheClientVersion) {
    Script({"version 2.5.0.100", "launch", "mainwindow", "popup Add a contact", "chatwindow"});
    EXPECT_EQ(os::GetClassName(client->DialField()), L"TFilterBarEdit");
    EXPECT_EQ(os::GetClassName(client->TabControl()), L"TSkypeTabControl");
    EXPECT_EQ(os::GetParent(client->DialField()), client->MainWindow());
    client->Crash();
    Script({"version 1.4.0.84", "launch", "mainwindow"});
    EXPECT_EQ(os::GetClassName(client->DialField()), L"Edit");
    EXPECT_EQ(os::GetClassName(client->TabControl()), L"PageControl");
}

}  // namespace
}  // namespace talvio::testing
