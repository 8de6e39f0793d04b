// The LCD handset as a telephone: handset reports through the handset link,
// the connector service and the LCD controller to the simulated Skype
// client, with a screen that records what call control asks of it and
// answers page keys as a test sets.
#include "handset_ui/call/lcd_controller.h"

#include <algorithm>
#include <map>

#include "handset/lcd_screen.h"
#include "handset_ui/call/call_screen.h"
#include "tests/call_control/support/call_control_fixture.h"

namespace talvio::testing {
namespace {

// What the screen was asked, in order, and the page's answers by page key.
struct ScreenLog {
    Strings calls;
    std::map<int, int> answers;
};
ScreenLog* g_screen = nullptr;

class RecordingCallScreen : public LcdScreen, public CallScreen {
public:
    void Start() override {}
    void Tick(std::uint32_t) override {}
    void Draw(LcdCanvas&) override {}
    void OnCallerText(const std::wstring&) override {}

    int PageKey(int key) override {
        Add("key " + std::to_string(key));
        const auto answer = g_screen->answers.find(key);
        return answer != g_screen->answers.end() ? answer->second : 0;
    }
    void ShowDialText(const std::wstring& text) override { Add("dial " + std::string(text.begin(), text.end())); }
    void ShowVolumePage() override { Add("volume"); }
    void PopToRoot() override { Add("root"); }
    void ShowCall(int kind, int callId, int connectorId) override { Add("show", kind, callId, connectorId); }
    int NotifyCall(int kind, int callId, int connectorId) override {
        Add("notify", kind, callId, connectorId);
        return 1;
    }
    void SetCallMark(bool on) override { Add(on ? "mark 1" : "mark 0"); }
    void SetConnectorId(int id) override { Add("connector " + std::to_string(id)); }

private:
    static void Add(const std::string& call) { g_screen->calls.push_back(call); }
    static void Add(const char* what, int kind, int callId, int connectorId) {
        Add(std::string(what) + " " + std::to_string(kind) + " " + std::to_string(callId) + " " +
            std::to_string(connectorId));
    }
};

std::unique_ptr<LcdScreen> MakeRecordingScreen(HandsetDevice&) {
    return std::make_unique<RecordingCallScreen>();
}

class LcdTest : public CallControlTest {
protected:
    void SetUp() override {
        g_screen = &screen;
        SetUpHandset(kLcdModelId, MakeRecordingScreen,
                     [](ConnectorRegistry& registry, CallTray& t, CallVolumePopup& p) {
                         return std::make_unique<LcdController>(registry, t, p);
                     });
    }
    void TearDown() override {
        CallControlTest::TearDown();
        g_screen = nullptr;
    }
    void Clear() override {
        CallControlTest::Clear();
        screen.calls.clear();
    }

    LcdController& lcd() { return static_cast<LcdController&>(*controller); }

    // The screen's calls since the last look, without the connector id the
    // status refreshes repeat.
    Strings Screen() {
        Strings calls;
        for (const std::string& call : screen.calls) {
            if (call.rfind("connector ", 0) != 0) calls.push_back(call);
        }
        screen.calls.clear();
        return calls;
    }

    // A live call of `connector` in `status`, incoming unless routing.
    static void LiveCall(VoipConnector& connector, int id, int status) {
        CallRecord& call = connector.calls.SetStatus(id, status);
        if (status != CallRecord::kRouting) call.type = CallRecord::kIncoming;
        call.partnerHandle = "carol";
    }

    ScreenLog screen;
};

TEST_F(LcdTest, AnIncomingCallIsShownRingingThenInProgressAndTheIdleStateFollowsItsEnd) {
    Start();
    const int number = RingFromAlice();
    const std::string id = std::to_string(number + 1);
    // Skype may report the ringing more than once; each shows the same call.
    const Strings ringing = Screen();
    ASSERT_FALSE(ringing.empty());
    EXPECT_EQ(ringing, Strings(ringing.size(), "notify 10 " + id + " 1"));
    EXPECT_EQ(Route(), kRouteRing);
    EXPECT_EQ(tray.LastBlink(), "blink 2");
    Commands();

    Lift();
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED YES", "BTN_RELEASED YES"}));
    EXPECT_EQ(Screen(), (Strings{"mark 0", "notify 6 " + id + " 1"}));
    EXPECT_EQ(Route(), kRouteTalk);

    // Down: the page may take the end first; it does not, so the client's
    // NO button ends the call, and with nothing left the light goes out.
    PutDown();
    const Strings ended = Commands();
    ASSERT_FALSE(ended.empty());
    EXPECT_EQ(ended[0], "BTN_PRESSED NO");
    EXPECT_EQ(Screen(), (Strings{"key 255", "notify 5 " + id + " 1"}));
    EXPECT_EQ(tray.Last("indicator"), "indicator 3");
    EXPECT_EQ(tray.LastBlink(), "blink 0");
}

TEST_F(LcdTest, AHandsetPluggedInAgainDuringARingLeavesTheCallRinging) {
    Start();
    RingFromAlice();
    bus.Unplug(handset);
    Settle();
    handset = bus.PlugHandset(kLcdModelId);
    Settle();
    const Strings replugged = Commands();
    EXPECT_EQ(std::count(replugged.begin(), replugged.end(), "BTN_PRESSED NO"), 0);
    EXPECT_NE(skype->RingingIncomingCall(), 0);
}

TEST_F(LcdTest, EachCallStateReportTellsTheScreenItsKind) {
    Start();
    lcd().OnCallRouting(*skype, 20);
    lcd().OnCallHeld(*skype, 20);
    lcd().OnCallInProgress(*skype, 20);
    EXPECT_EQ(Screen(), (Strings{"notify 9 20 1", "notify 7 20 1", "notify 6 20 1"}));
    lcd().OnCallFinished(*skype, 20);
    EXPECT_EQ(Screen(), Strings{"notify 5 20 1"});

    // A missed incoming call is counted by the idle page (8); a missed
    // outgoing one only ends (5).
    LiveCall(*skype, 21, CallRecord::kRinging);
    lcd().OnCallMissed(*skype, 21);
    LiveCall(*skype, 22, CallRecord::kRouting);
    lcd().OnCallMissed(*skype, 22);
    EXPECT_EQ(Screen(), (Strings{"notify 8 21 1", "notify 5 22 1"}));
    // Refused: the page is told before the call leaves; the page then
    // shows the call still ringing.
    LiveCall(*skype, 23, CallRecord::kRinging);
    LiveCall(*skype, 24, CallRecord::kRinging);
    lcd().OnCallRefused(*skype, 23);
    EXPECT_EQ(Screen(), (Strings{"notify 5 23 1", "show 10 24 1"}));
    lcd().OnCallFailed(*skype, 24);
    LiveCall(*skype, 25, CallRecord::kRouting);
    lcd().OnCallUnplaced(*skype, 25);
    EXPECT_EQ(Screen(), (Strings{"notify 5 24 1", "notify 5 25 1"}));
    EXPECT_EQ(skype->calls.GetHistoryCall(21)->endReason, CallRecord::kMissed);
    EXPECT_EQ(skype->calls.GetHistoryCall(25)->endReason, CallRecord::kUnplaced);
    EXPECT_TRUE(skype->calls.liveCalls.empty());
}

TEST_F(LcdTest, AfterACallEndsTheActiveProgramsCallIsShownBeforeAnyOtherProgramsCall) {
    Start();
    voipBuster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    LiveCall(*voipBuster, 40, CallRecord::kOnHold);
    LiveCall(*voipBuster, 41, CallRecord::kRouting);
    LiveCall(*skype, 7, CallRecord::kInProgress);

    // Skype (active) has nothing left: VoipBuster's first live call, held.
    lcd().OnCallFinished(*skype, 7);
    EXPECT_EQ(Screen(), (Strings{"notify 5 7 1", "show 7 40 2"}));

    // A ringing call of the active program goes before another program's.
    LiveCall(*skype, 8, CallRecord::kRinging);
    lcd().OnCallFinished(*voipBuster, 40);
    EXPECT_EQ(Screen(), (Strings{"notify 5 40 2", "show 10 8 1"}));
    lcd().OnCallRefused(*skype, 8);
    EXPECT_EQ(Screen(), (Strings{"notify 5 8 1", "show 9 41 2"}));

    lcd().OnCallFinished(*voipBuster, 41);
    EXPECT_EQ(Screen(), Strings{"notify 5 41 2"});
    EXPECT_EQ(tray.Last("indicator"), "indicator 3");
}

TEST_F(LcdTest, ACallRingingWhileAnotherProgramHasALiveCallIsNotShownAndGetsTheBusyTextOnce) {
    settings.autoAnswer = 1;
    settings.autoBusy = 1;
    Start();
    voipBuster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    LiveCall(*voipBuster, 40, CallRecord::kOnHold);

    const int number = client->Ring("alice", false);
    Settle(300);
    client->Notify("CALL " + std::to_string(number) + " STATUS RINGING");
    Settle(5000);

    // Never shown ringing; once ended busy, the held call is shown again.
    EXPECT_EQ(Screen(), (Strings{"notify 5 " + std::to_string(number + 1) + " 1", "show 7 40 2"}));
    EXPECT_TRUE(std::none_of(rings.rings.begin(), rings.rings.end(),
                             [](const auto& ring) { return ring.second; }));
    const Strings sent = Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "MESSAGE alice In a call"), 1);
}

TEST_F(LcdTest, OnHookTheNavigationKeysTurnTheVolumePageAndLiftedTheyFollowThePagesAnswer) {
    Start();
    Press(60);
    Press(40);
    EXPECT_EQ(Screen(), (Strings{"volume", "key 5", "volume", "key 6"}));
    EXPECT_EQ(popup.calls, (Strings{"show", "show"}));
    EXPECT_EQ(Commands(), Strings{});
    // The wheel does nothing on hook (the handset does not even report it).
    Handset([](SimHandset& sim) { sim.TurnWheel(5); });
    EXPECT_EQ(Screen(), Strings{});

    Lift();
    EXPECT_EQ(Commands(), Strings{"FOCUS"});
    EXPECT_EQ(Screen(), (Strings{"mark 0", "root"}));

    // Answer 0: the client's contacts (which focus the client again), one step down.
    Press(60);
    EXPECT_EQ(Commands(),
              (Strings{"FOCUS", "FOCUS", "OPEN CONTACTS", "BTN_PRESSED DOWN", "BTN_RELEASED DOWN"}));
    // Answer 2 on Skype: its history, without a step.
    screen.answers[6] = 2;
    Press(60);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "FOCUS", "OPEN CALLHISTORY"}));
    // Another answer: the page moved by itself.
    screen.answers[5] = 1;
    Press(40);
    EXPECT_EQ(Commands(), Strings{"FOCUS"});
    EXPECT_EQ(Screen(), (Strings{"key 6", "key 6", "key 5"}));

    // Lifted, the wheel turns the volume page the other way round.
    Handset([](SimHandset& sim) { sim.TurnWheel(5); });
    EXPECT_EQ(Screen(), (Strings{"volume", "key 6"}));
}

TEST_F(LcdTest, DialledDigitsReachTheDialPageAndTheClearKeyDeletesWhenThePageSaysSo) {
    Start();
    Lift();
    Clear();
    Press(0);
    Press(7);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED +", "BTN_RELEASED +", "FOCUS", "BTN_PRESSED 7",
                                   "BTN_RELEASED 7"}));
    EXPECT_EQ(Screen(), (Strings{"dial +", "dial +7"}));

    screen.answers[2] = 7;
    Press(194);
    EXPECT_EQ(Screen(), Strings{"key 2"});
    EXPECT_EQ(client->DialText(), L"+");

    // The right softkey empties the dial field when the page answers 6.
    screen.answers[4] = 6;
    Press(30);
    EXPECT_EQ(Screen(), (Strings{"key 4", "dial "}));
    EXPECT_EQ(client->DialText(), L"");
}

TEST_F(LcdTest, TheClearKeyInACallTogglesHandsFreeWhichKeepsTheCallWhenTheHandsetGoesDown) {
    Start();
    RingFromAlice();
    Lift();
    ASSERT_NE(skype->CurrentCall(), 0);
    Clear();

    Press(194);
    EXPECT_TRUE(lcd().HandsFree());
    EXPECT_EQ(tray.LastBlink(), "blink 4");
    PutDown();
    EXPECT_EQ(Commands(), Strings{});
    EXPECT_NE(skype->CurrentCall(), 0);
    EXPECT_EQ(Screen(), (Strings{"mark 1", "mark 0"}));
    EXPECT_EQ(tray.LastBlink(), "blink 1");

    // The page takes the end of the call: no NO button.
    Lift();
    screen.answers[255] = 6;
    PutDown();
    const Strings sent = Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "BTN_PRESSED NO"), 0);
}

}  // namespace
}  // namespace talvio::testing
