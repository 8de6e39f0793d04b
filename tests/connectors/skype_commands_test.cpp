#include "foundation/text_convert.h"
#include "tests/connectors/skype_fixture.h"

namespace talvio::testing {
namespace {

using Commands = std::vector<std::string>;

class SkypeCommandsTest : public SkypeTest {
protected:
    void SetUp() override {
        SkypeTest::SetUp();
        Attach();
    }

    // Commands that must have been delivered before the operation returned.
    template <typename Operation>
    Commands Immediate(Operation&& operation) {
        client->Take();
        operation();
        return client->Take();
    }
};

TEST_F(SkypeCommandsTest, ButtonsAndSimpleCommandsAreSentAtOnce) {
    EXPECT_EQ(Immediate([&] { skype->PressYes(0); }), (Commands{"BTN_PRESSED YES", "BTN_RELEASED YES"}));
    EXPECT_EQ(Immediate([&] { skype->PressNo(); }), (Commands{"BTN_PRESSED NO", "BTN_RELEASED NO"}));
    EXPECT_EQ(Immediate([&] { skype->PressUp(); }), (Commands{"BTN_PRESSED UP", "BTN_RELEASED UP"}));
    EXPECT_EQ(Immediate([&] { skype->PressDown(); }), (Commands{"BTN_PRESSED DOWN", "BTN_RELEASED DOWN"}));
    EXPECT_EQ(Immediate([&] { skype->NextView(); }), (Commands{"BTN_PRESSED SKYPE", "BTN_RELEASED SKYPE"}));
    EXPECT_EQ(Immediate([&] { skype->HookOn(); }), (Commands{"HOOK ON"}));
    EXPECT_EQ(Immediate([&] { skype->HookOff(); }), (Commands{"HOOK OFF"}));
    EXPECT_EQ(Immediate([&] { skype->Focus(); }), (Commands{"FOCUS"}));
    EXPECT_EQ(Immediate([&] { skype->BringToFront(); }), (Commands{"FOCUS"}));
    EXPECT_EQ(Immediate([&] { skype->CallNumber("+358401234"); }), (Commands{"CALL +358401234"}));
    EXPECT_EQ(Immediate([&] { skype->CallNumber(""); }), (Commands{}));
    EXPECT_EQ(Immediate([&] { skype->PlayVoicemail(4); }), (Commands{"OPEN VOICEMAIL 4"}));
    EXPECT_EQ(Immediate([&] { skype->StopVoicemail(4); }), (Commands{"ALTER VOICEMAIL 4 STOPPLAYBACK"}));
}

TEST_F(SkypeCommandsTest, ViewsAndFocusStepsGoThroughTheClientsApiOnNewClients) {
    Reply("SKYPEVERSION 3.8.0.115");
    EXPECT_EQ(Immediate([&] { skype->ShowContacts(); }), (Commands{"FOCUS", "OPEN CONTACTS"}));
    EXPECT_EQ(Immediate([&] { skype->ShowCallHistory(); }), (Commands{"FOCUS", "OPEN CALLHISTORY"}));
    EXPECT_EQ(Immediate([&] { skype->MoveFocus(2); }),
              (Commands{"BTN_PRESSED SKYPE", "BTN_RELEASED SKYPE", "BTN_PRESSED SKYPE",
                        "BTN_RELEASED SKYPE"}));
}

TEST_F(SkypeCommandsTest, CallCommandsNameTheClientsCallNumber) {
    EXPECT_EQ(Immediate([&] { skype->FinishCall(13); }), (Commands{"SET CALL 12 STATUS FINISHED"}));
    EXPECT_EQ(Immediate([&] { skype->RefuseCall(13); }), (Commands{"SET CALL 12 STATUS FINISHED"}));
    EXPECT_EQ(Immediate([&] { skype->AnswerCall(13); }), (Commands{"SET CALL 12 STATUS INPROGRESS"}));
    EXPECT_EQ(Immediate([&] { skype->ResumeCall(1); }), (Commands{"SET CALL 0 STATUS INPROGRESS"}));
    EXPECT_EQ(Immediate([&] { skype->HoldCall(13); }), (Commands{"SET CALL 12 STATUS ONHOLD"}));
    EXPECT_EQ(Immediate([&] { skype->FinishCall(0); }), (Commands{}));  // 0 names no call
    EXPECT_EQ(Immediate([&] { skype->QueryCall(-3, false); }), (Commands{}));

    // Queued queries wait for the worker; immediate ones do not.
    EXPECT_EQ(Immediate([&] { skype->QueryCall(6, true); }), (Commands{}));
    EXPECT_EQ(Sent().size(), 7u);
    EXPECT_EQ(Immediate([&] { skype->QueryVoicemail(6, false); }),
              (Commands{"GET VOICEMAIL 6 PARTNER_DISPNAME", "GET VOICEMAIL 6 TYPE",
                        "GET VOICEMAIL 6 STATUS", "GET VOICEMAIL 6 TIMESTAMP",
                        "GET VOICEMAIL 6 DURATION", "GET VOICEMAIL 6 PARTNER_HANDLE"}));
    skype->QueryVoicemail(2, true);
    const Commands queued = Sent();
    ASSERT_EQ(queued.size(), 6u);
    EXPECT_EQ(queued.front(), "GET VOICEMAIL 2 PARTNER_DISPNAME");
}

TEST_F(SkypeCommandsTest, KeysDialAsButtonsOutsideACallAndAsDtmfDuringOne) {
    EXPECT_EQ(Immediate([&] { skype->PressKey(7); }), (Commands{"BTN_PRESSED 7", "BTN_RELEASED 7"}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(VoipConnector::kKeyStar); }),
              (Commands{"BTN_PRESSED *", "BTN_RELEASED *"}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(VoipConnector::kKeyHash); }),
              (Commands{"BTN_PRESSED #", "BTN_RELEASED #"}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(VoipConnector::kKeyPlus); }),
              (Commands{"BTN_PRESSED +", "BTN_RELEASED +"}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(10); }), (Commands{}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(-1); }), (Commands{}));
    EXPECT_EQ(host.keyTones, (std::vector<std::pair<int, int>>{{140, 0}, {146, 0}, {144, 0}, {144, 0}}));

    Reply("CALL 2 STATUS RINGING");  // ringing is not a call under way
    EXPECT_EQ(Immediate([&] { skype->PressKey(0); }), (Commands{"BTN_PRESSED 0", "BTN_RELEASED 0"}));
    Reply("CALL 4 STATUS INPROGRESS");
    host.keyTones.clear();
    EXPECT_EQ(Immediate([&] { skype->PressKey(5); }), (Commands{"SET CALL 4 DTMF 5"}));
    EXPECT_EQ(Immediate([&] { skype->PressKey(VoipConnector::kKeyHash); }), (Commands{"SET CALL 4 DTMF #"}));
    EXPECT_TRUE(host.keyTones.empty());
}

TEST_F(SkypeCommandsTest, MuteTogglesOnlyDuringACallWithAKnownState) {
    EXPECT_EQ(Immediate([&] { skype->ToggleMute(); }), (Commands{}));
    Reply("CALL 4 STATUS INPROGRESS");
    EXPECT_EQ(Immediate([&] { skype->ToggleMute(); }), (Commands{}));  // no mute report yet
    Reply("MUTE OFF");
    EXPECT_EQ(Immediate([&] { skype->ToggleMute(); }), (Commands{"Set MUTE ON"}));
    Reply("MUTE ON");
    EXPECT_EQ(Immediate([&] { skype->ToggleMute(); }), (Commands{"SET MUTE OFF"}));
    EXPECT_EQ(host.keyTones, (std::vector<std::pair<int, int>>{{147, 1}, {147, 1}}));
}

TEST_F(SkypeCommandsTest, WideTextsGoOutAsUtf8) {
    const std::wstring path = W("C:\\T\xC3\xA4lvio\\waves\\ring3.wav");
    EXPECT_EQ(Immediate([&] { skype->SetRingtone(path); }),
              (Commands{"SET RINGTONE 1 C:\\T\xC3\xA4lvio\\waves\\ring3.wav"}));
    EXPECT_EQ(Immediate([&] { skype->SetRingtone(L""); }), (Commands{"SET RINGTONE 1 "}));
    EXPECT_EQ(Immediate([&] { skype->SetAudioIn(W("USB \xE9\x9F\xB3")); }),
              (Commands{"SET AUDIO_IN USB \xE9\x9F\xB3"}));
    EXPECT_EQ(Immediate([&] { skype->SetAudioOut(L"USB Audio"); }), (Commands{"SET AUDIO_OUT USB Audio"}));
    EXPECT_EQ(Immediate([&] { skype->SetRinger(L"USB Audio"); }), (Commands{"SET RINGER USB Audio"}));
    EXPECT_EQ(Immediate([&] { skype->SendChatMessage(L"nina", W("Gr\xC3\xBC\xC3\x9F" "e")); }),
              (Commands{"MESSAGE nina Gr\xC3\xBC\xC3\x9F" "e"}));
}

TEST_F(SkypeCommandsTest, PriorityTwoOvertakesAndNormalOvertakesBackground) {
    skype->QueryCall(9, true);
    EXPECT_EQ(Immediate([&] { skype->HookOff(); }), (Commands{"HOOK OFF"}));
    const Commands queued = Sent();
    ASSERT_EQ(queued.size(), 7u);
    EXPECT_EQ(queued.front(), "GET CALL 8 CONF_ID");

    // The watch tick at 6 s queues "GET MUTE" (background) and then the five
    // unanswered attach queries (normal): those go first.
    os::hosted::AdvanceTime(5900 - static_cast<std::uint32_t>(os::hosted::Now()));
    client->Take();
    os::hosted::AdvanceTime(300);
    EXPECT_EQ(client->Take(), (Commands{"GET SKYPEVERSION", "SEARCH FRIENDS", "SEARCH CALLS",
                                        "SEARCH VOICEMAILS", "GET USERSTATUS", "GET MUTE"}));
}

TEST_F(SkypeCommandsTest, NothingReachesADetachedClient) {
    Reply("CONNSTATUS LOGGEDOUT");
    EXPECT_EQ(Immediate([&] { skype->HookOn(); }), (Commands{}));
    skype->QueryCall(3, true);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace talvio::testing
