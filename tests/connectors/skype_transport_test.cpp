#include <algorithm>

#include "tests/connectors/skype_fixture.h"

namespace talvio::testing {
namespace {

using Commands = std::vector<std::string>;

int Count(const Commands& commands, std::string_view command) {
    return static_cast<int>(std::count(commands.begin(), commands.end(), command));
}

TEST_F(SkypeTest, StartBroadcastsDiscoveryAndAttachesWithTheFiveQueries) {
    client->Launch();
    ASSERT_TRUE(skype->Start());
    EXPECT_EQ(client->discoveries, 1);
    EXPECT_EQ(client->lastDiscoverer, skype->Hwnd());
    EXPECT_FALSE(skype->IsAttached());  // the reply is handled from the queue

    os::hosted::PumpMessages();
    EXPECT_EQ(skype->ClientWindow(), client->ApiWindow());
    EXPECT_FALSE(skype->IsOnline());
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{1}));
    EXPECT_EQ(host.deviceNamePublications, 1);
    EXPECT_EQ(Sent(), (Commands{"GET SKYPEVERSION", "SEARCH FRIENDS", "SEARCH CALLS",
                                "SEARCH VOICEMAILS", "GET USERSTATUS"}));
    EXPECT_EQ(skype->Pending().Entries().size(), 5u);

    Reply("USERSTATUS ONLINE");
    EXPECT_TRUE(skype->IsOnline());
    EXPECT_EQ(skype->Pending().Entries().size(), 4u);
}

TEST_F(SkypeTest, ClientStartingLaterAttachesOnceThroughItsAnnouncement) {
    ASSERT_TRUE(skype->Start());  // nobody answers yet
    client->Launch();
    client->AnnounceApi();
    os::hosted::PumpMessages();
    EXPECT_EQ(client->discoveries, 1);
    ASSERT_EQ(skype->ClientWindow(), client->ApiWindow());
    EXPECT_EQ(Count(Sent(), "SEARCH FRIENDS"), 1);

    // Further successes only restart the watch timer: no second attach.
    const os::Hwnd api = client->ApiWindow();
    for (int i = 0; i < 3; ++i) {
        os::PostMessage(skype->Hwnd(), skype->AttachMessage(), reinterpret_cast<os::WParam>(api), 0);
        os::hosted::PumpMessages();
    }
    EXPECT_EQ(Count(Sent(), "SEARCH FRIENDS"), 0);
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{1}));
}

TEST_F(SkypeTest, AClientBusyAtStartIsFoundByTheBroadcastTwelveSecondsLater) {
    client->Launch();
    client->SetHung(true);
    ASSERT_TRUE(skype->Start());
    client->SetHung(false);
    os::hosted::AdvanceTime(11900);
    EXPECT_EQ(client->discoveries, 1);
    EXPECT_FALSE(skype->IsAttached());
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(client->discoveries, 2);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->ClientWindow(), client->ApiWindow());
}

TEST_F(SkypeTest, OnlySuccessAndApiAvailableStatusesAreActedOn) {
    client->Launch();
    client->SetAttachStatus(1);  // pending authorisation
    ASSERT_TRUE(skype->Start());
    os::hosted::PumpMessages();
    EXPECT_FALSE(skype->IsAttached());
    client->SetAttachStatus(3);  // refused
    client->AnnounceApi();
    os::hosted::PumpMessages();
    EXPECT_EQ(client->discoveries, 2);
    EXPECT_FALSE(skype->IsAttached());

    // A success without a client window changes nothing.
    os::PostMessage(skype->Hwnd(), skype->AttachMessage(), 0, 0);
    os::hosted::PumpMessages();
    EXPECT_FALSE(skype->IsAttached());
}

TEST_F(SkypeTest, PendingQueriesRepeatAboutEverySixSecondsUntilAnswered) {
    Attach();
    Reply("SKYPEVERSION 3.8.0.115");
    Reply("USERS ");
    Reply("CALLS ");
    Reply("VOICEMAILS ");
    ASSERT_EQ(skype->Pending().Entries().size(), 1u);  // GET USERSTATUS

    // Pings are answered, so no re-discovery shifts the watch timer.
    std::vector<std::uint64_t> sentAt;
    client->onCommand = [&](const std::string& command) {
        if (command == "GET USERSTATUS") sentAt.push_back(os::hosted::Now());
        if (command == "PING") client->Reply(skype->Hwnd(), "PONG");
    };
    os::hosted::AdvanceTime(20000);
    ASSERT_GE(sentAt.size(), 3u);
    // First resend at the first 2 s tick past 5 s, then every 6 s.
    EXPECT_GE(sentAt[0], 6000u);
    EXPECT_LT(sentAt[0], 6200u);
    EXPECT_NEAR(static_cast<double>(sentAt[1] - sentAt[0]), 6000.0, 50.0);
    EXPECT_NEAR(static_cast<double>(sentAt[2] - sentAt[1]), 6000.0, 50.0);

    Reply("USERSTATUS AWAY");
    EXPECT_TRUE(skype->Pending().Entries().empty());
    sentAt.clear();
    os::hosted::AdvanceTime(20000);
    EXPECT_TRUE(sentAt.empty());
}

TEST(PendingQueriesTest, ACommandIsPendingOnceAndSatisfiedByItsKeyword) {
    PendingQueries queries;
    EXPECT_TRUE(queries.Register("GET USERSTATUS", "USERSTATUS ", 0));
    EXPECT_FALSE(queries.Register("get userstatus", "USERSTATUS ", 10));
    EXPECT_TRUE(queries.Register("SEARCH FRIENDS", "USERS ", 0));
    EXPECT_EQ(queries.Entries().size(), 2u);
    queries.Satisfy("USER ");
    EXPECT_EQ(queries.Entries().size(), 2u);
    queries.Satisfy("USERSTATUS ");
    ASSERT_EQ(queries.Entries().size(), 1u);
    EXPECT_EQ(queries.Entries()[0].command, "SEARCH FRIENDS");

    // Ages are measured across the wrap of the 32-bit tick count.
    PendingQueries wrapping;
    wrapping.Register("GET SKYPEVERSION", "SKYPEVERSION ", 0xFFFFF000u);
    std::vector<std::string> resent;
    const auto take = [&](const std::string& command) { resent.push_back(command); };
    wrapping.ForEachOverdue(0x00000100u, 5000, take);
    EXPECT_TRUE(resent.empty());
    wrapping.ForEachOverdue(0x00000800u, 5000, take);
    EXPECT_EQ(resent, (std::vector<std::string>{"GET SKYPEVERSION"}));
    EXPECT_EQ(wrapping.Entries()[0].sentAt, 0x00000800u);
}

TEST_F(SkypeTest, PingKeepsTheLinkAndIsNeverSentDuringACall) {
    Attach();
    Reply("USERSTATUS ONLINE");
    client->onCommand = [&](const std::string& command) {
        if (command == "PING") client->Reply(skype->Hwnd(), "PONG");
    };
    os::hosted::AdvanceTime(3000 * 4);
    Commands sent = client->Take();
    EXPECT_EQ(Count(sent, "PING"), 1);
    EXPECT_GE(Count(sent, "GET MUTE"), 5);
    EXPECT_TRUE(skype->IsAttached());

    Reply("CALL 4 STATUS INPROGRESS");
    client->Take();
    os::hosted::AdvanceTime(3000 * 100);  // five minutes of call
    sent = client->Take();
    EXPECT_EQ(Count(sent, "PING"), 0);
    EXPECT_TRUE(skype->IsAttached());
    EXPECT_EQ(client->discoveries, 1);

    Reply("CALL 4 STATUS FINISHED");
    os::hosted::AdvanceTime(3000 * 4);
    EXPECT_EQ(Count(client->Take(), "PING"), 1);
}

TEST_F(SkypeTest, AnAnsweredRediscoveryKeepsAClientThatMissedItsPing) {
    Attach();  // the client answers discoveries, but no command
    os::hosted::AdvanceTime(3000 * 4);  // PING at 9 s, re-discovery at 12 s
    EXPECT_EQ(Count(client->Take(), "PING"), 1);
    EXPECT_EQ(client->discoveries, 2);
    EXPECT_EQ(client->lastDiscoverer, skype->Hwnd());
    EXPECT_EQ(skype->PingCountdown(), 3);

    // Its attach reply was the answer, so a whole new cycle follows; any
    // text of the client's before the next tick answers as well.
    client->SetAttachStatus(-1);
    os::hosted::AdvanceTime(3000 * 4);
    EXPECT_EQ(client->discoveries, 3);
    Reply("MUTE OFF");
    os::hosted::AdvanceTime(3000);
    EXPECT_TRUE(skype->IsAttached());
    EXPECT_TRUE(host.statusRefreshes.empty());
}

TEST_F(SkypeTest, VanishedClientWindowDetachesFilesItsCallsAndTheConnectorRebroadcasts) {
    RecordingListener listener;
    host.listener = &listener;
    Attach();
    Reply("USERSTATUS ONLINE");
    Reply("CALL 1 STATUS RINGING");
    Reply("CALL 2 STATUS INPROGRESS");
    Reply("CALL 3 STATUS ROUTING");
    host.statusRefreshes.clear();
    listener.events.clear();
    client->Crash();
    os::hosted::AdvanceTime(2000);
    EXPECT_FALSE(skype->IsAttached());
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kOffline);
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{-1}));
    // Nothing is left to ring or to aim at: the ringing incoming call was
    // missed, the others finished, and the controller re-evaluates.
    EXPECT_TRUE(skype->calls.liveCalls.empty());
    EXPECT_EQ(listener.events, (std::vector<std::string>{"Refresh"}));
    const std::pair<int, int> expected[] = {{2, CallRecord::kMissed},
                                            {3, CallRecord::kFinished},
                                            {4, CallRecord::kFinished}};
    for (const auto& [id, endReason] : expected) {
        ASSERT_NE(skype->calls.GetHistoryCall(id), nullptr) << id;
        EXPECT_EQ(skype->calls.GetHistoryCall(id)->endReason, endReason) << id;
    }

    // Unattached, the liveness timer broadcasts every fourth tick (12 s).
    client->Launch();
    client->discoveries = 0;
    os::hosted::AdvanceTime(12000);
    EXPECT_EQ(client->discoveries, 1);
    EXPECT_EQ(skype->ClientWindow(), client->ApiWindow());
    EXPECT_TRUE(skype->calls.liveCalls.empty());
}

TEST_F(SkypeTest, LoggedOutConnectionDetaches) {
    Attach();
    Reply("USERSTATUS ONLINE");
    Reply("CALL 2 STATUS INPROGRESS");
    Reply("CONNSTATUS loggedout");
    EXPECT_FALSE(skype->IsAttached());
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kLoggedOut);
    EXPECT_TRUE(skype->calls.liveCalls.empty());
    EXPECT_EQ(host.statusRefreshes.back(), -1);

    Attach();
    Reply("CONNSTATUS ONLINE");
    EXPECT_TRUE(skype->IsAttached());
}

TEST_F(SkypeTest, ReceivedTextsAreCopiedIntoThePoolOrTheHeap) {
    Attach();
    const std::string shortText = "USERSTATUS ONLINE";
    const std::string longText = "CURRENTUSERHANDLE " + std::string(600, 'x');

    os::CopyDataStruct data;
    data.cbData = static_cast<std::uint32_t>(shortText.size() + 1);
    data.lpData = shortText.c_str();
    const auto sender = reinterpret_cast<os::WParam>(client->ApiWindow());
    {
        os::hosted::ProcessScope scope(client->Process());
        for (int i = 0; i < ReceivePool::kBufferCount; ++i) {
            os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, sender, reinterpret_cast<os::LParam>(&data));
        }
    }
    EXPECT_EQ(skype->Pool().BuffersInUse(), 50);
    EXPECT_EQ(skype->Pool().HeapCopies(), 0);
    // The fifty-first, as short as a text can be, takes a heap copy.
    const std::string shortest = "MUTE ON";
    os::CopyDataStruct oneByte;
    oneByte.cbData = 1;
    oneByte.lpData = shortest.c_str();
    {
        os::hosted::ProcessScope scope(client->Process());
        os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, sender, reinterpret_cast<os::LParam>(&oneByte));
    }
    EXPECT_EQ(skype->Pool().HeapCopies(), 1);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->Pool().BuffersInUse(), 0);
    EXPECT_EQ(skype->Pool().HeapCopies(), 0);
    EXPECT_TRUE(skype->IsOnline());

    client->Reply(skype->Hwnd(), longText);
    EXPECT_EQ(skype->Pool().BuffersInUse(), 0);
    EXPECT_EQ(skype->Pool().HeapCopies(), 1);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->CurrentUser(), std::string(600, 'x'));
}

TEST_F(SkypeTest, ReceiveRefusesEmptyOversizedAndForeignTexts) {
    Attach();
    const auto sender = reinterpret_cast<os::WParam>(client->ApiWindow());
    const std::string big = "CURRENTUSERHANDLE " + std::string(16400, 'y');
    os::CopyDataStruct data;
    data.lpData = big.c_str();
    for (const std::uint32_t size : {0u, 16384u, 16399u}) {
        data.cbData = size;
        EXPECT_EQ(os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, sender,
                                  reinterpret_cast<os::LParam>(&data)),
                  1);
    }
    EXPECT_EQ(os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, sender, 0), 1);
    EXPECT_EQ(skype->Pool().HeapCopies() + skype->Pool().BuffersInUse(), 0);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->CurrentUser(), "");

    data.cbData = 16383;  // the largest accepted
    EXPECT_EQ(os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, sender,
                              reinterpret_cast<os::LParam>(&data)),
              1);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->CurrentUser().size(), 16383u - 18u);

    // A text from any window but the client's, our own included, is neither
    // parsed nor taken as a sign of the client's life.
    os::hosted::AdvanceTime(3000 * 2);
    ASSERT_EQ(skype->PingCountdown(), 1);
    const std::string status = "USERSTATUS DND";
    data.cbData = static_cast<std::uint32_t>(status.size() + 1);
    data.lpData = status.c_str();
    os::SendMessage(skype->Hwnd(), os::WM_COPYDATA, reinterpret_cast<os::WParam>(skype->Hwnd()),
                    reinterpret_cast<os::LParam>(&data));
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->PingCountdown(), 1);
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kUnknown);
}

// Another process posting to the connector window: 1040 and 1042 carry no
// data between processes, so their lParam is never read as memory, and a
// copy is handed over once only.
TEST_F(SkypeTest, PrivateMessagesFromAnotherProcessAreDroppedAndTheClientStillAttaches) {
    client->SetAttachStatus(-1);
    client->Launch();
    ASSERT_TRUE(skype->Start());
    const auto clientWindow = reinterpret_cast<os::WParam>(client->ApiWindow());
    const std::string text = "USERSTATUS DND";
    os::CopyDataStruct plausible;  // what a same-process pointer would look like
    plausible.cbData = static_cast<std::uint32_t>(text.size() + 1);
    plausible.lpData = text.c_str();
    unsigned char fakeCopy[64] = {};
    const os::LParam junk[] = {1, -1, 0x7FFFFFFF, 0x1000, 0x00010080, 0x12345678,
                               reinterpret_cast<os::LParam>(&plausible),
                               reinterpret_cast<os::LParam>(fakeCopy)};
    const auto postJunk = [&] {
        os::hosted::ProcessScope scope(os::hosted::CreateProcess(L"intruder.exe"));
        for (const os::LParam value : junk) {
            for (const std::uint32_t message : {SkypeConnector::kTextReady, SkypeConnector::kCopyData}) {
                os::PostMessage(skype->Hwnd(), message, clientWindow, value);
            }
        }
    };
    postJunk();
    os::hosted::PumpMessages();
    client->SetAttachStatus(FakeSkypeClient::kAttachSuccess);
    client->AnnounceApi();
    os::hosted::PumpMessages();
    ASSERT_NE(client->ApiWindow(), nullptr);
    ASSERT_EQ(skype->ClientWindow(), client->ApiWindow());
    postJunk();
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->UserStatus(), VoipConnector::kUnknown);
    EXPECT_EQ(skype->Pool().BuffersInUse() + skype->Pool().HeapCopies(), 0);

    // A genuine copy is parsed once; its message replayed, under either
    // number, names a copy that is gone.
    for (const std::string& reply : {std::string("USERSTATUS AWAY"), "USERSTATUS " + std::string(600, 'x')}) {
        host.statusRefreshes.clear();
        client->Reply(skype->Hwnd(), reply);
        os::Msg posted;
        ASSERT_TRUE(os::PeekMessage(posted, true));
        ASSERT_EQ(posted.message, SkypeConnector::kTextReady);
        os::DispatchMessage(posted);
        os::PostMessage(skype->Hwnd(), SkypeConnector::kTextReady, posted.wParam, posted.lParam);
        os::PostMessage(skype->Hwnd(), SkypeConnector::kCopyData, posted.wParam, posted.lParam);
        os::hosted::PumpMessages();
        EXPECT_EQ(host.statusRefreshes, (std::vector<int>{1}));
        EXPECT_EQ(skype->Pool().BuffersInUse() + skype->Pool().HeapCopies(), 0);
    }
    Reply("USERSTATUS ONLINE");
    EXPECT_TRUE(skype->IsOnline());
}

TEST_F(SkypeTest, TextWithoutTerminatorIsParsedWithinItsBytes) {
    Attach();
    client->Reply(skype->Hwnd(), "CURRENTUSERHANDLE alice", false);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->CurrentUser(), "alice");
    client->Reply(skype->Hwnd(), std::string("CURRENTUSERHANDLE bob\0junk", 26), false);
    os::hosted::PumpMessages();
    EXPECT_EQ(skype->CurrentUser(), "bob");
}

TEST_F(SkypeTest, DestroyingTheConnectorFreesCopiesStillQueued) {
    Attach();
    const std::string longText = "CURRENTUSERHANDLE " + std::string(700, 'z');
    client->Reply(skype->Hwnd(), longText);
    EXPECT_EQ(skype->Pool().HeapCopies(), 1);
    registry.DestroyConnectors();  // the leak check of the sanitizer build watches this
    EXPECT_EQ(registry.Count(), 0);
}

}  // namespace
}  // namespace talvio::testing
