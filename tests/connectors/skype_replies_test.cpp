#include "connectors/skype/client_version.h"
#include "foundation/text_convert.h"
#include "tests/connectors/skype_fixture.h"

namespace talvio::testing {
namespace {

using Commands = std::vector<std::string>;

Commands CallQueries(int number) {
    Commands commands;
    for (const char* property : {"CONF_ID", "PARTNER_DISPNAME", "STATUS", "TIMESTAMP", "DURATION",
                                 "TYPE", "PARTNER_HANDLE"}) {
        commands.push_back("GET CALL " + std::to_string(number) + " " + property);
    }
    return commands;
}

class SkypeRepliesTest : public SkypeTest {
protected:
    void SetUp() override {
        SkypeTest::SetUp();
        Attach();
        Reply("USERSTATUS ONLINE");
        client->Take();
    }
};

TEST_F(SkypeRepliesTest, RingingCallIsQueriedAtOnceAndAnnouncedWhenItsTypeArrives) {
    RecordingListener listener;
    host.listener = &listener;
    client->Reply(skype->Hwnd(), "CALL 12 STATUS RINGING");
    EXPECT_TRUE(client->commands.empty());  // parsed from the queue, not inside the send
    os::hosted::PumpMessages();
    EXPECT_EQ(client->Take(), CallQueries(12));  // sent at once, before any settling
    const CallRecord* call = skype->calls.GetLiveCall(13);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->status, CallRecord::kRinging);
    EXPECT_EQ(call->isNew, 1);
    EXPECT_EQ(call->isPstn, -1);
    EXPECT_TRUE(listener.events.empty());

    Reply("CALL 12 TYPE INCOMING_PSTN");
    EXPECT_EQ(call->type, CallRecord::kIncoming);
    EXPECT_EQ(call->isPstn, 1);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Ringing 13"}));

    // With a handset present, the partner's arrival refreshes the ring.
    host.handsetPresent = true;
    Reply("CALL 12 PARTNER_HANDLE bob");
    EXPECT_EQ(call->partnerHandle, "bob");
    EXPECT_EQ(listener.events.back(), "Refresh");
}

TEST_F(SkypeRepliesTest, StatusWordsWithoutListenerDoTheDefaultHandling) {
    Reply("CALL 3 STATUS ROUTING");
    ASSERT_NE(skype->calls.GetLiveCall(4), nullptr);
    EXPECT_EQ(skype->calls.GetLiveCall(4)->type, CallRecord::kOutgoing);
    Reply("CALL 3 STATUS INPROGRESS");
    EXPECT_EQ(skype->calls.GetLiveCall(4)->status, CallRecord::kInProgress);
    EXPECT_EQ(skype->MuteState(), 2);
    Reply("CALL 3 STATUS ONHOLD");
    EXPECT_EQ(skype->calls.GetLiveCall(4)->status, CallRecord::kOnHold);
    Reply("CALL 3 STATUS BUSY");
    Reply("CALL 3 STATUS UNPLACED");
    Reply("CALL 3 STATUS finished");  // status words are exact
    EXPECT_EQ(skype->calls.GetLiveCall(4)->status, CallRecord::kOnHold);
    Reply("CALL 3 STATUS REFUSED");
    EXPECT_EQ(skype->calls.GetLiveCall(4), nullptr);
    ASSERT_NE(skype->calls.GetHistoryCall(4), nullptr);
    EXPECT_EQ(skype->calls.GetHistoryCall(4)->endReason, CallRecord::kRefused);

    // Ends of calls never seen live only ask about them.
    client->Take();
    Reply("CALL 8 STATUS FAILED");
    EXPECT_EQ(client->Take(), CallQueries(8));
    EXPECT_EQ(skype->calls.GetLiveCall(9), nullptr);
    EXPECT_EQ(skype->calls.GetHistoryCall(9), nullptr);
}

TEST_F(SkypeRepliesTest, MissedCallGetsTheAwayReplyWhenTheSettingsAskForIt) {
    host.autoAnswer = true;
    host.autoAway = true;
    Reply("CALL 5 STATUS RINGING");
    Reply("CALL 5 PARTNER_HANDLE carol");
    client->Take();
    Reply("CALL 5 STATUS MISSED");
    EXPECT_EQ(client->Take(), (Commands{"MESSAGE carol away now"}));
    EXPECT_EQ(skype->calls.GetHistoryCall(6)->endReason, CallRecord::kMissed);
}

TEST_F(SkypeRepliesTest, ListenerReceivesTheEventsOfLiveCalls) {
    RecordingListener listener;
    host.listener = &listener;
    Reply("CALL 1 STATUS INPROGRESS");  // new: stored by the connector itself
    for (const char* word : {"ROUTING", "ONHOLD", "INPROGRESS", "FAILED", "FINISHED", "MISSED",
                             "REFUSED", "RINGING"}) {
        Reply(std::string("CALL 1 STATUS ") + word);
    }
    EXPECT_EQ(listener.events,
              (std::vector<std::string>{"Routing 2", "Held 2", "InProgress 2", "Failed 2",
                                        "Finished 2", "Missed 2", "Refused 2", "Ringing 2"}));
    // The listener keeps the live calls; the connector did not move it.
    EXPECT_NE(skype->calls.GetLiveCall(2), nullptr);
}

TEST_F(SkypeRepliesTest, HistoryCallsOnlyTakeAnEndReason) {
    RecordingListener listener;
    host.listener = &listener;
    Reply("CALLS 40, 41");
    EXPECT_EQ(skype->calls.GetHistoryCall(41)->status, CallRecord::kRouting);
    EXPECT_EQ(skype->calls.GetHistoryCall(42)->status, CallRecord::kRouting);
    Commands expected = CallQueries(40);
    const Commands second = CallQueries(41);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Sent(), expected);  // queued, in order

    Reply("CALL 40 STATUS FINISHED");
    EXPECT_EQ(skype->calls.GetHistoryCall(41)->endReason, CallRecord::kFinished);
    Reply("CALL 41 STATUS MISSED");
    EXPECT_EQ(skype->calls.GetHistoryCall(42)->endReason, CallRecord::kMissed);
    Reply("CALL 41 STATUS BUSY");
    EXPECT_EQ(skype->calls.GetHistoryCall(42)->endReason, CallRecord::kFinished);
    EXPECT_TRUE(listener.events.empty());
    EXPECT_TRUE(skype->calls.liveCalls.empty());

    Reply("CALL 40 TYPE OUTGOING_P2P");
    Reply("CALL 40 TIMESTAMP 1200000000");
    Reply("CALL 40 PARTNER_DISPNAME Dave D");
    Reply("CALL 40 PARTNER_HANDLE dave");
    Reply("CALL 40 DURATION 75");
    Reply("CALL 40 CONF_ID 9");
    const CallRecord* call = skype->calls.GetHistoryCall(41);
    EXPECT_EQ(call->type, CallRecord::kOutgoing);
    EXPECT_EQ(call->timestamp, 1200000000);
    EXPECT_EQ(call->partnerDisplayName, "Dave D");
    EXPECT_EQ(call->partnerHandle, "dave");
    EXPECT_EQ(call->duration, 75);
    EXPECT_EQ(call->conferenceId, -1);  // history records keep no conference
    EXPECT_EQ(skype->calls.HistoryCount(2), 1);
    EXPECT_TRUE(skype->LastDialledHandle().empty());  // only live calls set it
}

TEST_F(SkypeRepliesTest, MalformedCallNotificationsChangeNothing) {
    for (const char* text : {"CALL", "CALL ", "CALL x STATUS RINGING", "CALL -1 STATUS RINGING",
                             "CALL 2147483647 STATUS RINGING", "CALL 99999999999 STATUS RINGING",
                             "CALL 3", "CALL 3 ", "CALL 3 status RINGING", "CALL 3 STATUS"}) {
        Reply(text);
    }
    EXPECT_TRUE(skype->calls.liveCalls.empty());
    EXPECT_TRUE(skype->calls.callHistory.empty());
    EXPECT_TRUE(Sent().empty());

    Reply("CALL 2147483646 STATUS RINGING");  // the largest number that still fits
    EXPECT_NE(skype->calls.GetLiveCall(2147483647), nullptr);
}

TEST_F(SkypeRepliesTest, OutgoingPartnerBecomesTheLastDialled) {
    Reply("CALL 7 STATUS ROUTING");
    Reply("CALL 7 PARTNER_DISPNAME " + std::string("J\xC3\xBCrgen"));
    Reply("CALL 7 PARTNER_HANDLE juergen");
    EXPECT_EQ(skype->LastDialledHandle(), "juergen");
    EXPECT_EQ(skype->LastDialledName(), W("J\xC3\xBCrgen"));
    Reply("CALL 7 CONF_ID 3");
    Reply("call 7 pstn_number +4930123");
    EXPECT_EQ(skype->calls.GetLiveCall(8)->conferenceId, 3);
    EXPECT_EQ(skype->calls.GetLiveCall(8)->pstnNumber, "+4930123");
}

class RedirectTest : public SkypeRepliesTest {
protected:
    void SetUp() override {
        SkypeRepliesTest::SetUp();
        auto connector = std::make_unique<ScriptedConnector>(registry, 2);
        buster = connector.get();
        ASSERT_TRUE(registry.Append(std::move(connector)));
        buster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
        host.handsetPresent = true;
    }

    void DialOut() {
        Reply("CALL 20 STATUS ROUTING");
        client->Take();
        Reply("CALL 20 PARTNER_HANDLE +4412345");
    }

    ScriptedConnector* buster = nullptr;
};

TEST_F(RedirectTest, SkypeOutCallGoesToTheCallOutProgram) {
    host.callOutProgram = 0;
    DialOut();
    EXPECT_EQ(client->Take(), (Commands{"SET CALL 20 STATUS FINISHED"}));
    EXPECT_EQ(buster->log, (std::vector<std::string>{"BringToFront", "CallNumber +4412345"}));
}

TEST_F(RedirectTest, AProgramThatCallsTheNumberFreeComesFirstWhenAsked) {
    auto connector = std::make_unique<ScriptedConnector>(registry, 3);
    ScriptedConnector* stunt = connector.get();
    ASSERT_TRUE(registry.Append(std::move(connector)));
    stunt->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    host.rates[3].add("44", 0.0);
    host.callOutProgram = 0;
    DialOut();
    EXPECT_EQ(client->Take(), (Commands{"SET CALL 20 STATUS FINISHED"}));
    EXPECT_EQ(stunt->log, (std::vector<std::string>{"BringToFront", "CallNumber +4412345"}));
    EXPECT_TRUE(buster->log.empty());

    stunt->log.clear();
    host.callOutFree = false;
    DialOut();
    EXPECT_TRUE(stunt->log.empty());
    EXPECT_EQ(buster->log, (std::vector<std::string>{"BringToFront", "CallNumber +4412345"}));

    // Cheapest through Skype itself: the call stays, the call-out program
    // is not asked.
    buster->log.clear();
    host.callOutFree = true;
    host.rates[1].add("4", -1.0);
    DialOut();
    EXPECT_TRUE(client->Take().empty());
    EXPECT_TRUE(stunt->log.empty());
    EXPECT_TRUE(buster->log.empty());
}

TEST_F(RedirectTest, SkypeOutCallStaysWithoutUsableCallOutProgram) {
    host.callOutProgram = -1;  // position 0 is Skype itself
    DialOut();
    host.callOutProgram = 5;   // beyond the registry
    DialOut();
    host.callOutProgram = 0;
    buster->SetClient(client->ApiWindow(), VoipConnector::kOffline);
    DialOut();
    buster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    host.handsetPresent = false;
    DialOut();
    host.handsetPresent = true;
    Reply("CALL 20 PARTNER_HANDLE +441");  // too short for a number
    EXPECT_TRUE(client->Take().empty());
    EXPECT_TRUE(buster->log.empty());
    EXPECT_NE(skype->calls.GetLiveCall(21), nullptr);
}

TEST_F(SkypeRepliesTest, UserStatusWordsAreExact) {
    host.statusRefreshes.clear();
    Reply("USERSTATUS online");
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kOnline);  // unchanged from the set-up
    Reply("USERSTATUS AWAY");
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kAway);
    Reply("USERSTATUS INVISIBLE");
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kInvisible);
    Reply("userstatus OFFLINE");  // prefixes match in any case
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kOffline);
    EXPECT_FALSE(skype->IsOnline());
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(SkypeRepliesTest, MuteRepliesRefreshOnlyOnAChange) {
    RecordingListener listener;
    host.listener = &listener;
    Reply("MUTE ON");
    Reply("MUTE ON");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Refresh"}));
    EXPECT_EQ(host.muteIndicator, (std::vector<bool>{true}));
    Reply("mute off");
    EXPECT_EQ(skype->MuteState(), 2);
    EXPECT_EQ(host.muteIndicator, (std::vector<bool>{true, false}));
}

TEST_F(SkypeRepliesTest, FriendListAddsQueriesAndDropsContacts) {
    Reply("USERS alice, bob carol");
    ASSERT_EQ(skype->contacts.count(), 3);
    Commands sent = Sent();
    ASSERT_EQ(sent.size(), 36u);
    EXPECT_EQ(sent[0], "GET USER alice ONLINESTATUS");
    EXPECT_EQ(sent[11], "GET USER alice BUDDYSTATUS");
    EXPECT_EQ(sent[24], "GET USER carol ONLINESTATUS");
    EXPECT_EQ(skype->contacts.FindContact("bob")->listed, 1);

    Reply("USER alice DISPLAYNAME Alice A");
    Reply("USER alice FULLNAME Alice Anderson");
    Reply("USER carol FULLNAME Carol C");
    Reply("USER carol DISPLAYNAME");  // an empty value changes nothing
    EXPECT_EQ(skype->contacts.FindContact("alice")->displayName, "Alice A");
    EXPECT_EQ(skype->contacts.FindContact("carol")->displayName, "Carol C");

    // A second list keeps named contacts unqueried and drops the missing.
    Reply("USERS alice, dave");
    EXPECT_EQ(skype->contacts.count(), 2);
    EXPECT_EQ(skype->contacts.FindContact("bob"), nullptr);
    EXPECT_EQ(skype->contacts.FindContact("carol"), nullptr);
    EXPECT_EQ(skype->contacts.FindContact("alice")->displayName, "Alice A");
    sent = Sent();
    EXPECT_EQ(sent.size(), 12u);
    EXPECT_EQ(sent[0], "GET USER dave ONLINESTATUS");

    // A comma without a space is part of the handle; an empty list empties.
    Reply("USERS alice,dave");
    EXPECT_EQ(skype->contacts.count(), 1);
    EXPECT_NE(skype->contacts.FindContact("alice,dave"), nullptr);
    Reply("USERS ");
    EXPECT_EQ(skype->contacts.count(), 0);
}

TEST_F(SkypeRepliesTest, ContactPropertiesFillTheRecord) {
    Reply("USERS echo123 erin");
    Reply("USER erin ONLINESTATUS SKYPEOUT");
    Reply("USER erin BUDDYSTATUS 2");
    Reply("USER erin IS_CF_ACTIVE true");
    Reply("USER erin SPEEDDIAL 7");
    Reply("USER erin PHONE_HOME +1 555 0100");
    Reply("USER erin PHONE_OFFICE 2");
    Reply("USER erin PHONE_MOBILE 3");
    Reply("USER erin COUNTRY Finland");
    Reply("USER erin CITY Oulu");
    Reply("USER erin PROVINCE North");
    Reply("USER erin MOOD happy");
    const ContactRecord* erin = skype->contacts.FindContact("erin");
    EXPECT_EQ(erin->onlineStatus, 6);
    EXPECT_EQ(erin->buddyStatus, -1);
    EXPECT_EQ(erin->callForwardActive, 1);
    EXPECT_EQ(erin->speedDial, 7);
    EXPECT_EQ(erin->phoneHome, "+1 555 0100");
    EXPECT_EQ(erin->phoneOffice, "2");
    EXPECT_EQ(erin->phoneMobile, "3");
    EXPECT_EQ(erin->country, "Finland");
    EXPECT_EQ(erin->city, "Oulu");
    EXPECT_EQ(erin->province, "North");
    Reply("USER erin ONLINESTATUS dnd");
    EXPECT_EQ(erin->onlineStatus, 3);
    Reply("USER erin ONLINESTATUS SLEEPING");
    EXPECT_EQ(erin->onlineStatus, -1);
    Reply("USER erin BUDDYSTATUS 3");
    EXPECT_EQ(erin->buddyStatus, 1);
    Reply("USER erin IS_CF_ACTIVE FALSE");
    EXPECT_EQ(erin->callForwardActive, 0);

    Reply("USER echo123 DISPLAYNAME Echo Sound Service");
    EXPECT_EQ(skype->contacts.FindContact("echo123")->displayName, "Skype Call Testing");

    // Strangers become contacts only as (pending) buddies.
    Sent();
    Reply("USER frank ONLINESTATUS ONLINE");
    Reply("USER frank BUDDYSTATUS 1");
    EXPECT_EQ(skype->contacts.FindContact("frank"), nullptr);
    Reply("USER frank BUDDYSTATUS 3");
    ASSERT_NE(skype->contacts.FindContact("frank"), nullptr);
    EXPECT_EQ(Sent().size(), 12u);
}

TEST_F(SkypeRepliesTest, ErrorsNinetyOneAndTwoClearTheDialField) {
    client->ShowMainWindow();
    for (const char* text : {"ERROR 7 something", "ERROR x", "ERROR", "ERROR 910"}) Reply(text);
    EXPECT_TRUE(client->dialFieldKeys.empty());
    Reply("ERROR 91 cannot call");
    Reply("ERROR   92");
    EXPECT_EQ(client->dialFieldKeys, (std::vector<os::WParam>{0x1B, 0x1B}));  // VK_ESCAPE

    // Not while a call is under way: the field shows the call then.
    client->dialFieldKeys.clear();
    Reply("CALL 1 STATUS ONHOLD");
    Reply("ERROR 91");
    EXPECT_TRUE(client->dialFieldKeys.empty());
}

TEST_F(SkypeRepliesTest, VoicemailsAreListedAndDescribed) {
    Reply("VOICEMAILS 3, 5 ,8");
    EXPECT_EQ(skype->voicemails.count(), 3);
    EXPECT_TRUE(Sent().empty());  // properties wait for the handset
    Reply("VOICEMAIL 5 TYPE incoming");
    Reply("VOICEMAIL 5 STATUS UNPLAYED");
    Reply("VOICEMAIL 5 PARTNER_HANDLE gina");
    Reply("VOICEMAIL 5 PARTNER_DISPNAME Gina G");
    Reply("VOICEMAIL 5 TIMESTAMP 1300000000");
    Reply("VOICEMAIL 5 DURATION 31");
    Reply("VOICEMAIL 5 TYPE NONSENSE");
    Reply("VOICEMAIL 0 TYPE OUTGOING");
    Reply("VOICEMAIL -2 TYPE OUTGOING");
    const VoicemailRecord* voicemail = skype->voicemails.GetVoicemail(5);
    ASSERT_NE(voicemail, nullptr);
    EXPECT_EQ(voicemail->type, VoicemailRecord::kIncoming);
    EXPECT_EQ(voicemail->status, VoicemailRecord::kUnplayed);
    EXPECT_EQ(voicemail->partnerHandle, "gina");
    EXPECT_EQ(voicemail->partnerDisplayName, "Gina G");
    EXPECT_EQ(voicemail->timestamp, 1300000000);
    EXPECT_EQ(voicemail->duration, 31);
    EXPECT_EQ(skype->voicemails.count(), 3);

    Reply("VOICEMAIL 9 STATUS PLAYED");  // unknown ids are created
    EXPECT_EQ(skype->voicemails.count(), 4);
    Reply("VOICEMAIL 5 STATUS DELETING");
    EXPECT_EQ(skype->voicemails.GetVoicemail(5), nullptr);
    EXPECT_EQ(host.pageRefreshes, (std::vector<int>{4}));

    // Voicemails survive a re-attach; the rest of the directory does not.
    Reply("USERS henry");
    Reply("CALL 1 STATUS RINGING");
    client->Crash();
    os::hosted::AdvanceTime(2000);
    ASSERT_FALSE(skype->IsAttached());
    Attach();
    EXPECT_EQ(skype->voicemails.count(), 3);
    EXPECT_EQ(skype->contacts.count(), 0);
    EXPECT_TRUE(skype->calls.liveCalls.empty());
}

TEST_F(SkypeRepliesTest, FocusedContactGoesToTheScreenOnlyForTheActiveConnector) {
    Reply("CONTACTS FOCUSED ivan");
    ASSERT_EQ(host.focusedContacts.size(), 1u);
    EXPECT_EQ(host.focusedContacts[0].first, 1);
    EXPECT_EQ(host.focusedContacts[0].second, L"ivan");

    auto connector = std::make_unique<ScriptedConnector>(registry, 2);
    ScriptedConnector* other = connector.get();
    ASSERT_TRUE(registry.Append(std::move(connector)));
    other->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    ASSERT_TRUE(registry.Activate(1));
    Reply("CONTACTS FOCUSED judy");
    EXPECT_EQ(host.focusedContacts.size(), 1u);
}

TEST_F(SkypeRepliesTest, VersionAndUserHandleAreKept) {
    Reply("CURRENTUSERHANDLE kim.k");
    EXPECT_EQ(skype->CurrentUser(), "kim.k");
    host.lcdScreen = true;
    Reply("SKYPEVERSION 1.10.0.1");  // below "1.4.0" as text
    EXPECT_EQ(skype->ClientVersion(), "1.10.0.1");
    EXPECT_EQ(host.hookStarts, (std::vector<os::Hwnd>{client->ApiWindow()}));
    Reply("SKYPEVERSION 2.5.0.130");
    EXPECT_EQ(host.hookStarts.size(), 1u);
    EXPECT_TRUE(VersionBelow("1.3.9.99", "1.4.0"));
    EXPECT_FALSE(VersionBelow("1.4.0", "1.4.0"));
    EXPECT_TRUE(VersionBelow("1.4", "1.4.0"));
}

TEST_F(SkypeRepliesTest, ArmedBusyReplyWaitsForThePartner) {
    host.autoAnswer = true;
    host.autoBusy = true;
    Reply("CALL 30 STATUS RINGING");
    Reply("CALL 30 TYPE INCOMING_P2P");
    client->Take();
    CallRecord* call = skype->calls.GetLiveCall(31);
    skype->AutoBusyReply(*call, true);
    EXPECT_EQ(call->autoReplyFlags, 1);
    EXPECT_TRUE(client->Take().empty());

    Reply("CALL 30 PARTNER_HANDLE lena");
    os::hosted::AdvanceTime(2000);  // the watch timer carries it out
    Commands sent = client->Take();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "MESSAGE lena busy now");
    EXPECT_EQ(sent[1], "SET CALL 30 STATUS FINISHED");
    EXPECT_EQ(call->autoReplyFlags, 2);

    os::hosted::AdvanceTime(2000);  // once only
    for (const std::string& command : client->Take()) EXPECT_NE(command, "SET CALL 30 STATUS FINISHED");

    // Without the settings the armed call is still ended, silently.
    host.autoBusy = false;
    Reply("CALL 32 STATUS RINGING");
    Reply("CALL 32 PARTNER_HANDLE mona");
    client->Take();
    skype->AutoBusyReply(*skype->calls.GetLiveCall(33), true);
    EXPECT_EQ(client->Take(), (Commands{"SET CALL 32 STATUS FINISHED"}));
}

}  // namespace
}  // namespace talvio::testing
