// The LCD handset screen over a real connector service: its pages drawn
// against pictures composed independently (snapshots/compose_pages.py), the
// page stack, the timed returns, and the directory changing under a page.
#include "handset_ui/screen/handset_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/handset_ui/support/lcd_picture.h"
#include "tests/handset_ui/support/screen_rig.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

std::string Dark(const os::Rect& area) {
    std::string rows;
    for (int y = area.top; y < area.bottom; ++y) rows += std::string(area.right - area.left, '.') + '\n';
    return rows;
}

const std::string kDarkIcon = Dark({0, 0, 16, 16});

bool Logged(const ScreenConnector& connector, const std::string& entry) {
    return std::find(connector.log.begin(), connector.log.end(), entry) != connector.log.end();
}

class HandsetScreenTest : public DesktopTest {
protected:
    // 200 ms ticks up to `until`, as the LCD model's slow timer gives them.
    void TickTo(std::uint32_t until) {
        while (now + 200 <= until) {
            now += 200;
            screen.Tick(now);
        }
    }
    std::string Shown() const { return Picture(rig.device.canvas); }
    std::string Area(const os::Rect& area) const { return Picture(rig.device.canvas, area); }

    CallRecord& LiveCall(ScreenConnector& connector, int id, int status, const char* name) {
        CallRecord& call = connector.calls.SetStatus(id, status);
        call.partnerDisplayName = name;
        call.partnerHandle = std::string(name).substr(0, 4);
        call.conferenceId = 0;
        return call;
    }

    ScreenRig rig;
    HandsetScreen& screen = rig.screen;
    std::uint32_t now = 0;
};

TEST_F(HandsetScreenTest, MissedCallShowsThreeSecondsThenTheIdlePageCarriesTheMark) {
    rig.skype->SetOnline(true);
    screen.SetConnectorId(1);
    screen.SetLogoText(L"Talvio");
    TickTo(200);
    LiveCall(*rig.skype, 14, CallRecord::kRinging, "Anna Berg");
    rig.skype->calls.MoveToHistory(14, CallRecord::kMissed);

    EXPECT_EQ(screen.NotifyCall(kCallMissed, 14, 1), 1);
    EXPECT_EQ(screen.CurrentPageId(), kCallPage);
    EXPECT_EQ(screen.rightSoftkey().text(), L"Cancel");
    TickTo(3000);
    EXPECT_EQ(screen.CurrentPageId(), kCallPage);
    TickTo(3200);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
    EXPECT_EQ(screen.depth(), 1);
    EXPECT_EQ(Shown(), Snapshot("page_idle_missed"));

    // Looking at the missed calls clears the mark.
    screen.ShowHistoryList(kHistoryMissed, 1);
    screen.PopToRoot();
    EXPECT_EQ(Area({17, 0, 33, 16}), kDarkIcon);
}

TEST_F(HandsetScreenTest, DialPageFollowsTheClientsDialField) {
    rig.skype->SetOnline(true);
    screen.SetConnectorId(1);
    rig.skype->dialText = L"+44 20 7946";
    TickTo(200);
    EXPECT_EQ(screen.CurrentPageId(), kDialPage);
    EXPECT_EQ(Shown(), Snapshot("page_dial"));

    EXPECT_EQ(screen.PageKey(kPageKeyClear), kAnswerBackspace);
    EXPECT_EQ(screen.CurrentPageId(), kDialPage);

    // A field that starts with punctuation other than # * + shows nothing.
    rig.skype->dialText = L"(030) 1234";
    TickTo(400);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
    rig.skype->dialText = L".5";
    TickTo(600);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);

    rig.skype->dialText = L"#31#";
    TickTo(800);
    EXPECT_EQ(screen.CurrentPageId(), kDialPage);
    EXPECT_EQ(screen.PageKey(kPageKeyCall), 1);
    EXPECT_TRUE(Logged(*rig.skype, "PressYes"));
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
}

TEST_F(HandsetScreenTest, VolumePageStepsTheSpeakerAndClosesFiveSecondsAfterTheLastChange) {
    screen.SetConnectorId(1);
    rig.audio.volume = 45056;
    TickTo(1000);
    screen.ShowMainMenu();
    screen.ShowVolumePage();
    EXPECT_EQ(Shown(), Snapshot("page_volume"));

    TickTo(3000);
    EXPECT_EQ(screen.PageKey(kPageKeyUp), 5);
    EXPECT_EQ(rig.audio.volume, 49151);  // level 12: 12 * 65535 / 16
    TickTo(7800);
    EXPECT_EQ(screen.CurrentPageId(), kVolumePage);
    TickTo(8000);
    EXPECT_EQ(screen.CurrentPageId(), kMainMenuPage);

    rig.audio.volume = 65535;
    screen.ShowVolumePage();
    screen.PageKey(kPageKeyUp);
    EXPECT_EQ(rig.audio.volume, 65535);
    rig.audio.volume = 0;
    screen.PageKey(kPageKeyDown);
    EXPECT_EQ(rig.audio.volume, 0);
}

TEST_F(HandsetScreenTest, RingingCallShowsTheCallerAndItsTimerAndAnswersOrRefuses) {
    rig.skype->SetOnline(true);
    screen.SetConnectorId(1);
    TickTo(10000);
    LiveCall(*rig.skype, 13, CallRecord::kRinging, "Anna Berg");
    screen.ShowCall(kCallRinging, 13, 1);
    // Bell frames advance every 400 ms from the first tick: the eighth step
    // at 13000 lands on the third frame.
    TickTo(13000);
    EXPECT_EQ(Shown(), Snapshot("page_call_ringing"));

    EXPECT_EQ(screen.PageKey(kPageKeyLeft), 1);
    EXPECT_EQ(screen.PageKey(kPageKeyRight), 1);
    EXPECT_EQ(rig.skype->log, (std::vector<std::string>{"AnswerCall 13", "RefuseCall 13"}));
}

TEST_F(HandsetScreenTest, CallInProgressAndOnHoldKeepOneTimerAndTheirMarksAndKeys) {
    rig.skype->SetOnline(true);
    screen.SetConnectorId(1);
    TickTo(1000);
    LiveCall(*rig.skype, 21, CallRecord::kInProgress, "Bo");
    screen.ShowCall(kCallInProgress, 21, 1);
    EXPECT_EQ(screen.leftSoftkey().text(), L"Hold");
    EXPECT_EQ(screen.rightSoftkey().text(), L"HangUp");
    TickTo(3000);
    const os::Rect muteArea{34, 0, 50, 16};
    const os::Rect handsFreeArea{51, 0, 67, 16};
    EXPECT_EQ(Area(muteArea), kDarkIcon);
    screen.ShowMuteState(true);
    TickTo(3200);
    EXPECT_NE(Area(muteArea), kDarkIcon);
    screen.SetCallMark(true);
    EXPECT_NE(Area(handsFreeArea), kDarkIcon);

    rig.skype->calls.SetStatus(21, CallRecord::kOnHold);
    screen.ShowCall(kCallOnHold, 21, 1);
    EXPECT_EQ(screen.leftSoftkey().text(), L"Resume");
    EXPECT_EQ(Area(handsFreeArea), kDarkIcon);
    EXPECT_EQ(screen.PageKey(kPageKeyLeft), 1);
    EXPECT_EQ(screen.PageKey(kPageKeyRight), 1);
    EXPECT_EQ(rig.skype->log, (std::vector<std::string>{"ResumeCall 21", "FinishCall 21"}));
    // Hold and resume do not restart the talk time.
    rig.skype->calls.SetStatus(21, CallRecord::kInProgress);
    screen.ShowCall(kCallInProgress, 21, 1);
    TickTo(5000);
    EXPECT_EQ(Area({0, 32, 128, 48}), Snapshot("timer_0_04"));

    // Only Skype holds calls from the handset.
    rig.buster->SetOnline(true);
    LiveCall(*rig.buster, 3, CallRecord::kInProgress, "Cy");
    screen.ShowCall(kCallInProgress, 3, 2);
    EXPECT_EQ(screen.leftSoftkey().text(), L"");
}

TEST_F(HandsetScreenTest, PageStackEmptiesAtTheIdlePageAndKeepsTheNewestTen) {
    screen.ShowMainMenu();
    screen.ShowHistoryMenu();
    screen.ShowHistoryList(kHistoryIncoming, 1);
    EXPECT_EQ(screen.depth(), 4);
    screen.PopToRoot();
    EXPECT_EQ(screen.depth(), 1);

    const int renders = rig.device.renders;
    screen.Back();
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
    EXPECT_EQ(screen.depth(), 1);
    EXPECT_EQ(rig.device.renders, renders + 1);

    // Past ten entries the newest page takes the tenth place.
    for (int i = 0; i < 8; ++i) i % 2 ? screen.ShowMainMenu() : screen.ShowHistoryMenu();
    screen.ShowContactPage();
    EXPECT_EQ(screen.depth(), 10);
    screen.ShowProgramList();
    screen.Push(*screen.Current());  // entering the current page again adds nothing
    EXPECT_EQ(screen.depth(), 10);
    screen.Back();
    EXPECT_EQ(screen.CurrentPageId(), kMainMenuPage);
    EXPECT_EQ(screen.depth(), 9);
}

TEST_F(HandsetScreenTest, ProgramLogoOnlyForProgramsOneToNine) {
    for (int id : {1, 9}) {
        screen.SetConnectorId(id);
        EXPECT_NE(Area({0, 0, 16, 16}), kDarkIcon) << id;
    }
    for (int id : {10, 12}) {
        screen.SetConnectorId(id);
        EXPECT_EQ(Area({0, 0, 16, 16}), kDarkIcon) << id;
    }
    screen.ShowMainMenu();
    screen.SetConnectorId(0);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
}

TEST_F(HandsetScreenTest, ProgramListSelectsTheActiveProgramAndSwitchesPrograms) {
    rig.Add(3, L"VoipStunt")->SetOnline(true);
    rig.Add(5, L"SparVoip")->SetOnline(true);
    rig.skype->SetOnline(true);
    rig.buster->SetOnline(true);
    rig.service.SetActiveProgram(5);
    ASSERT_EQ(rig.service.GetActiveConnectorId(), 5);

    EXPECT_EQ(screen.PageKey(kPageKeyCall), 1);  // "Menu"
    EXPECT_EQ(screen.CurrentPageId(), kMainMenuPage);
    screen.PageKey(kPageKeyDown);
    screen.PageKey(kPageKeyLeft);  // "Active VOIP"
    EXPECT_EQ(screen.CurrentPageId(), kProgramListPage);
    EXPECT_EQ(Shown(), Snapshot("page_programs"));

    screen.PageKey(kPageKeyUp);
    screen.PageKey(kPageKeyLeft);
    EXPECT_EQ(rig.service.GetActiveConnectorId(), 3);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
}

TEST_F(HandsetScreenTest, HistoryListAndDetailLookEntriesUpAgainAfterTheDirectoryChanged) {
    for (auto [id, name, stamp] : {std::tuple{3, "Carl", 1700000000}, std::tuple{5, "Dora", 1700003600}}) {
        CallRecord& call = LiveCall(*rig.skype, id, CallRecord::kInProgress, name);
        call.timestamp = stamp;
        call.duration = 65;
        rig.skype->calls.MoveToHistory(id, CallRecord::kFinished);
    }
    screen.ShowHistoryList(kHistoryIncoming, 1);
    // Two entries, newest first: the third row and the scroll bar stay dark.
    EXPECT_EQ(Area({0, 32, 128, 48}), Dark({0, 32, 128, 48}));
    EXPECT_EQ(Area({122, 0, 128, 48}), Dark({122, 0, 128, 48}));
    EXPECT_EQ(screen.PageKey(kPageKeyDown), kAnswerHistory);
    EXPECT_EQ(screen.PageKey(kPageKeyCall), 1);
    EXPECT_EQ(screen.CurrentPageId(), kDetailPage);
    EXPECT_EQ(Shown(), Snapshot("page_detail"));

    // The records go (a new friend list, a re-attach): nothing is called.
    screen.PageKey(kPageKeyRight);
    rig.skype->calls.Clear();
    EXPECT_EQ(screen.PageKey(kPageKeyLeft), 1);
    EXPECT_EQ(screen.PageKey(kPageKeyCall), 1);
    EXPECT_EQ(screen.CurrentPageId(), kDetailPage);
    EXPECT_EQ(screen.PageKey(kPageKeyTalk), 1);
    EXPECT_TRUE(rig.skype->log.empty());
}

TEST_F(HandsetScreenTest, VoicemailMarkPlaybackAndDeletion) {
    VoicemailRecord& voicemail = rig.skype->voicemails.FindOrAddVoicemail(7);
    voicemail.type = VoicemailRecord::kIncoming;
    voicemail.status = VoicemailRecord::kUnplayed;
    voicemail.partnerHandle = "eve";
    screen.SetConnectorId(1);
    const os::Rect markArea{33, 0, 49, 16};
    EXPECT_EQ(Area(markArea), kDarkIcon);
    TickTo(200);
    EXPECT_NE(Area(markArea), kDarkIcon);

    screen.ShowHistoryList(kHistoryVoicemail, 1);
    screen.PageKey(kPageKeyCall);
    EXPECT_EQ(screen.leftSoftkey().text(), L"Play");
    screen.PageKey(kPageKeyCall);
    EXPECT_EQ(screen.leftSoftkey().text(), L"Stop");
    screen.PageKey(kPageKeyTalk);
    EXPECT_EQ(rig.skype->log, (std::vector<std::string>{"PlayVoicemail 7", "StopVoicemail 7", "CallNumber eve"}));

    rig.skype->voicemails.RemoveVoicemail(7);
    screen.RefreshPage(4);
    EXPECT_EQ(screen.CurrentPageId(), kHistoryListPage);
}

TEST_F(HandsetScreenTest, ContactPageCallsTheCallerTheFocusedContactOrTheLastDialled) {
    rig.skype->SetOnline(true);
    screen.SetConnectorId(1);
    ContactRecord& anna = rig.skype->contacts.FindOrAddContact("anna.b", 1);
    SetShownName(anna, "Anna Berg");
    screen.OnCallerText(L"Anna Berg");
    EXPECT_EQ(screen.PageKey(kPageKeyDown), kAnswerContacts);
    EXPECT_EQ(screen.CurrentPageId(), kContactPage);
    EXPECT_EQ(screen.PageKey(kPageKeyTalk), kAnswerDialChanged);

    screen.ShowFocusedContact(1, L"+4712345678");
    screen.PageKey(kPageKeyLeft);
    screen.PopToRoot();
    rig.skype->SetLastDialled("bo", L"Bo");
    EXPECT_EQ(screen.PageKey(kPageKeyLeft), 1);
    EXPECT_EQ(screen.CurrentPageId(), kContactPage);
    screen.PageKey(kPageKeyLeft);
    EXPECT_EQ(rig.skype->log,
              (std::vector<std::string>{"CallNumber anna.b", "CallNumber +4712345678", "CallNumber bo"}));

    // A program that steps its own list gets no contact page.
    screen.PopToRoot();
    rig.buster->SetOnline(true);
    screen.SetConnectorId(2);
    EXPECT_EQ(screen.PageKey(kPageKeyDown), kAnswerContacts);
    EXPECT_EQ(screen.CurrentPageId(), kIdlePage);
}

int g_watchers = 0;
std::vector<os::Hwnd> g_watched;

class CountingWatcher : public CallerIdWatcher {
public:
    CountingWatcher() { ++g_watchers; }
    ~CountingWatcher() override { --g_watchers; }
};

std::unique_ptr<CallerIdWatcher> MakeWatcher(os::Hwnd, os::Hwnd target) {
    g_watched.push_back(target);
    return std::make_unique<CountingWatcher>();
}

TEST_F(HandsetScreenTest, OneCallerIdWatcherAtATimeForTheClientWindowAsked) {
    const auto window = [](std::uintptr_t n) { return reinterpret_cast<os::Hwnd>(n); };
    g_watched.clear();
    {
        HandsetScreen watching(rig.device, {.clock = &rig.clock, .watcherFactory = &MakeWatcher});
        watching.Start();
        rig.handset.screen = &watching;
        EXPECT_TRUE(rig.service.StartCallerIdHook(window(0x10)));
        watching.StartCallerIdHook(window(0x10));
        watching.StartCallerIdHook(window(0x20));
        EXPECT_EQ(g_watchers, 1);
        EXPECT_EQ(g_watched, (std::vector<os::Hwnd>{window(0x10), window(0x20)}));
        watching.StartCallerIdHook(nullptr);
        EXPECT_EQ(g_watchers, 0);
        watching.StartCallerIdHook(window(0x30));
        rig.handset.screen = &screen;
    }
    EXPECT_EQ(g_watchers, 0);
}

}  // namespace
}  // namespace talvio::testing
