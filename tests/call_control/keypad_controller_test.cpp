// The keypad handset as a telephone, from the handset's input reports on
// the fake HID bus through the handset link, the connector service and the
// keypad controller to the simulated Skype client, and back from the
// client's call states to the handset's route, ring and light.
#include "handset_ui/call/keypad_controller.h"

#include <algorithm>

#include "tests/call_control/support/call_control_fixture.h"

namespace talvio::testing {
namespace {

class KeypadTest : public CallControlTest {
protected:
    void SetUp() override {
        SetUpHandset(kKeypadModelId, nullptr,
                     [](ConnectorRegistry& registry, CallTray& t, CallVolumePopup& p) {
                         return std::make_unique<KeypadController>(registry, t, p);
                     });
    }

    KeypadController& keypad() { return static_cast<KeypadController&>(*controller); }
};

TEST_F(KeypadTest, AnIncomingCallRingsIsAnsweredByLiftingTakesDigitsAndEndsWhenPutDown) {
    Start();
    const int number = RingFromAlice();
    const std::string call = "CALL " + std::to_string(number);
    EXPECT_EQ(tray.calls.front(), "indicator 1");
    EXPECT_EQ(tray.LastBlink(), "blink 2");
    EXPECT_EQ(Route(), kRouteRing);
    // Skype rings by itself: the link only enters the silent ring state.
    ASSERT_FALSE(rings.rings.empty());
    EXPECT_EQ(rings.rings.back(), std::make_pair(-1, true));
    Commands();

    Lift();
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED YES", "BTN_RELEASED YES"}));
    // The client answered: talk route, steady light, ring state over.
    EXPECT_EQ(skype->CurrentCall(), number + 1);
    EXPECT_EQ(Route(), kRouteTalk);
    EXPECT_EQ(tray.LastBlink(), "blink 1");
    EXPECT_EQ(rings.rings.back(), std::make_pair(-1, false));

    Press(5);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "SET " + call + " DTMF 5"}));
    Press(0);  // a 0 in a call is a tone, not the "+" of a new number
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "SET " + call + " DTMF 0"}));

    PutDown();
    const Strings ended = Commands();
    ASSERT_GE(ended.size(), 2u);
    EXPECT_EQ(ended[0], "BTN_PRESSED NO");
    EXPECT_EQ(ended[1], "BTN_RELEASED NO");
    EXPECT_EQ(skype->CurrentCall(), 0);
    ASSERT_NE(skype->calls.GetHistoryCall(number + 1), nullptr);
    EXPECT_EQ(skype->calls.GetHistoryCall(number + 1)->endReason, CallRecord::kFinished);
    EXPECT_EQ(tray.LastBlink(), "blink 0");
    EXPECT_EQ(Route(), kRouteRing);  // on hook again
}

// The first report of a handset that appears raises its hook state as if
// it had just been put down: a ringing call must go on ringing.
TEST_F(KeypadTest, AHandsetPluggedInAgainDuringARingLeavesTheCallRinging) {
    Start();
    RingFromAlice();
    bus.Unplug(handset);
    Settle();
    handset = bus.PlugHandset(kKeypadModelId);
    Settle();
    const Strings replugged = Commands();
    EXPECT_EQ(std::count(replugged.begin(), replugged.end(), "BTN_PRESSED NO"), 0);
    EXPECT_NE(skype->RingingIncomingCall(), 0);
    EXPECT_EQ(Route(), kRouteRing);

    Lift();
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED YES", "BTN_RELEASED YES"}));
    PutDown();
    const Strings ended = Commands();
    ASSERT_FALSE(ended.empty());
    EXPECT_EQ(ended[0], "BTN_PRESSED NO");
}

TEST_F(KeypadTest, LiftingWithoutACallOnlyBringsTheClientForward) {
    Start();
    Lift();
    EXPECT_EQ(Commands(), (Strings{"FOCUS"}));
    EXPECT_EQ(Route(), kRouteTalk);
}

TEST_F(KeypadTest, PuttingDownInHandsFreeKeepsTheCallAndOnlyClearsTheMode) {
    Start();
    RingFromAlice();
    Lift();
    Press(122);
    EXPECT_TRUE(keypad().HandsFree());
    EXPECT_EQ(tray.LastBlink(), "blink 4");
    Commands();

    PutDown();
    EXPECT_EQ(Commands(), Strings{});
    EXPECT_FALSE(keypad().HandsFree());
    EXPECT_NE(skype->CurrentCall(), 0);
    EXPECT_EQ(tray.LastBlink(), "blink 1");

    Lift();
    PutDown();
    const Strings ended = Commands();
    ASSERT_FALSE(ended.empty());
    EXPECT_EQ(ended[0], "BTN_PRESSED NO");
    EXPECT_EQ(skype->CurrentCall(), 0);
}

TEST_F(KeypadTest, ZeroOnAnEmptyDialFieldTypesPlusThenDigits) {
    Start();
    Lift();
    Commands();
    Press(0);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED +", "BTN_RELEASED +"}));
    EXPECT_EQ(client->DialText(), L"+");
    Press(0);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "BTN_PRESSED 0", "BTN_RELEASED 0"}));
    EXPECT_EQ(client->DialText(), L"+0");
}

TEST_F(KeypadTest, ACallWhileAnotherClientHasALiveCallDoesNotRingAndGetsTheBusyTextOnce) {
    settings.autoAnswer = 1;
    settings.autoBusy = 1;
    Start();
    voipBuster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    voipBuster->calls.SetStatus(40, CallRecord::kOnHold);

    const int number = client->Ring("alice", false);
    // The call is ringing again before its busy reply went out.
    Settle(300);
    client->Notify("CALL " + std::to_string(number) + " STATUS RINGING");
    Settle(5000);

    // The link never entered a ring state (on hook the route is the ring
    // route anyway).
    EXPECT_TRUE(std::none_of(rings.rings.begin(), rings.rings.end(),
                             [](const auto& ring) { return ring.second; }));
    const Strings sent = Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "MESSAGE alice In a call"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(),
                         "SET CALL " + std::to_string(number) + " STATUS FINISHED"),
              1);
    EXPECT_EQ(tray.LastBlink(), "blink 0");
}

TEST_F(KeypadTest, NavigationKeysTurnTheVolumeOnHookAndMoveInTheListWhenLifted) {
    Start();
    Press(60);
    Press(40);
    EXPECT_EQ(popup.Steps(), (Strings{"up", "down"}));
    EXPECT_EQ(Commands(), Strings{});

    Lift();
    Commands();
    Press(60);
    Press(40);
    EXPECT_EQ(Commands(), (Strings{"FOCUS", "OPEN CONTACTS", "BTN_PRESSED DOWN", "BTN_RELEASED DOWN",
                                   "FOCUS", "OPEN CONTACTS", "BTN_PRESSED UP", "BTN_RELEASED UP"}));

    // During a call, lifted: the reverse of the on-hook direction.
    PutDown();
    RingFromAlice();
    Lift();
    popup.calls.clear();
    Press(60);
    Press(40);
    EXPECT_EQ(popup.Steps(), (Strings{"down", "up"}));

    // Wheel steps made while a key is held are raised right after it.
    popup.calls.clear();
    Handset([](SimHandset& sim) { ASSERT_TRUE(sim.HoldKeyFor(40)); });
    Handset([](SimHandset& sim) { sim.TurnWheel(5); });
    Handset([](SimHandset& sim) { sim.ReleaseKey(); });
    EXPECT_EQ(popup.Steps(), (Strings{"up", "down"}));
}

TEST_F(KeypadTest, WithoutAnyClientOnlyTheVolumeAndLineKeysAct) {
    Start(false);
    Press(60);
    EXPECT_EQ(tray.calls, (Strings{"indicator 2"}));
    EXPECT_EQ(popup.calls, (Strings{"show", "up"}));
    Lift();
    Press(60);
    EXPECT_EQ(popup.Steps(), (Strings{"up", "down"}));
    popup.calls.clear();
    Press(5);
    Press(50);
    EXPECT_EQ(popup.calls, Strings{});
    EXPECT_EQ(client->Take(), Strings{});
}

TEST_F(KeypadTest, AFamilyProgramRingsWithItsOwnToneUnlessItsUserIsNotToBeDisturbed) {
    settings.programs[1].ringTone = 7;  // VoipBuster, id 2
    Start();
    voipBuster->SetClient(client->ApiWindow(), VoipConnector::kOnline);
    CallRecord& call = voipBuster->calls.SetStatus(31, CallRecord::kRinging);
    call.partnerHandle = "bob";
    keypad().OnCallRinging(*voipBuster, 31);
    EXPECT_EQ(rings.rings.back(), std::make_pair(7, true));
    EXPECT_EQ(Route(), kRouteRing);
    EXPECT_EQ(tray.LastBlink(), "blink 2");

    voipBuster->SetClient(client->ApiWindow(), VoipConnector::kDoNotDisturb);
    keypad().Refresh();
    EXPECT_EQ(rings.rings.back(), std::make_pair(-1, false));
    EXPECT_EQ(tray.LastBlink(), "blink 0");
}

}  // namespace
}  // namespace talvio::testing
