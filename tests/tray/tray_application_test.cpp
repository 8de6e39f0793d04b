// The application object on the hosted desktop as the user meets it: the
// tray icon and tooltip in a fake notification area, the tray menu driven
// through the hosted menu tracking, the exit question answered in place of
// the user, the audio set-up over the fake audio ports, and the version
// check against a scripted update server.
#include "tray/tray_application.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/controls.h"
#include "resources/dialog_templates.h"
#include "tests/tray/support/tray_fixture.h"

namespace talvio::testing {
namespace {

// English and Polish texts for the menu and the exit question.
constexpr const char* kLocaleXml =
    "<Locale>"
    "<Item ID='32773' Enable='1'><English value='&amp;Options...'/><Polish value='&amp;Opcje...'/></Item>"
    "<Item ID='65548' Enable='1'><English value='&amp;Language'/><Polish value='J\xC4\x99zyk'/></Item>"
    "<Item ID='65551' Enable='1'><English value='&amp;Program'/><Polish value='Program'/></Item>"
    "<Item ID='65542' Enable='1'><English value='Exit the phone driver?'/></Item>"
    "<Item ID='65543' Enable='1'><English value='Talvio'/></Item>"
    "</Locale>";

class TrayApplicationTest : public TrayFixture {
protected:
    const char* LocaleXml() const override { return kLocaleXml; }
};

TEST_F(TrayApplicationTest, TheIconAndTooltipFollowTheHandsetAndTheClients) {
    ExpectShown(2054, L"Talvio Phone Driver (Please Connect the USB Device)");
    SetHandset(true);
    ExpectShown(131, L"Talvio Phone Driver (Please Launch Skype)");
    voipBuster->SetClient(clientWindow.window(), VoipConnector::kOffline);
    service.RefreshStatus();
    ExpectShown(131, L"Talvio Phone Driver (Skype Offline)");
    sparVoip->SetClient(clientWindow.window(), VoipConnector::kOnline);
    service.RefreshStatus();
    ExpectShown(2053, L"Talvio Phone Driver");
    // Asked for the no-client state while a client is online, it shows ready.
    tray.SetTrayNoClient();
    ExpectShown(2053, L"Talvio Phone Driver");
    SetHandset(false);
    ExpectShown(2054, L"Talvio Phone Driver (Please Connect the USB Device)");
}

TEST_F(TrayApplicationTest, ATooltipIsCutTo99CharactersAsItsBufferHoldsThem) {
    FakeTrayShell otherShell;
    const std::wstring ninety(90, L'N');
    TrayApplication named{locale, settings, service, Audio_SpeakerVolume(), versionCheck, otherShell, ninety};
    ASSERT_TRUE(named.Init(nullptr));
    EXPECT_EQ(otherShell.Icon(named.window(), TrayIcon::kIconId)->tip, ninety + L" (Please ");
    named.SetTrayReady();
    EXPECT_EQ(otherShell.Icon(named.window(), TrayIcon::kIconId)->tip, ninety);
}

TEST_F(TrayApplicationTest, TheMenuIsLocalisedItsSubmenusBuiltOnceAndTheLanguageChecked) {
    settings.SetLanguage(4);  // Polish
    RightClick();
    const os::Hmenu programs = os::GetSubMenu(Popup(), 1);
    const os::Hmenu languages = os::GetSubMenu(Popup(), 3);
    ASSERT_NE(programs, nullptr);
    ASSERT_NE(languages, nullptr);
    RightClick();
    RightClick();
    EXPECT_EQ(os::GetSubMenu(Popup(), 1), programs);
    EXPECT_EQ(os::GetSubMenu(Popup(), 3), languages);

    EXPECT_EQ(Item(Popup(), 0, true).text, L"&Opcje...");
    EXPECT_EQ(Item(Popup(), 1, true).id, 65551u);
    EXPECT_EQ(Item(Popup(), 1, true).text, L"Program");
    EXPECT_EQ(Item(Popup(), 3, true).id, 65548u);
    EXPECT_EQ(Item(Popup(), 3, true).text, L"J\u0119zyk");
    EXPECT_EQ(Item(Popup(), 4, true).text, L"&Check Update") << "no text of its own";
    EXPECT_EQ(Item(Popup(), 7, true).text, L"E&xit");

    const std::vector<std::wstring> names = {L"English", L"Simple Chinese", L"Traditional Chinese",
                                             L"Portuguese", L"Polish", L"Japanese", L"Korea"};
    ASSERT_EQ(os::GetMenuItemCount(languages), 7);
    for (int i = 0; i < 7; ++i) {
        const os::MenuItemInfo language = Item(languages, static_cast<std::uint32_t>(i), true);
        EXPECT_EQ(language.id, 16000u + i);
        EXPECT_EQ(language.text, names[i]);
        EXPECT_EQ((language.state & os::MFS_CHECKED) != 0, i == 4) << i;
    }
    ASSERT_EQ(os::GetMenuItemCount(programs), 3);
    EXPECT_EQ(Item(programs, 0, true).id, 17001u);
    EXPECT_EQ(Item(programs, 0, true).text, L"Skype");
    EXPECT_EQ(Item(programs, 1, true).id, 17002u);
    EXPECT_EQ(Item(programs, 2, true).id, 17005u);
    EXPECT_EQ(Item(programs, 2, true).text, L"SparVoip");

    RightClick(16000);
    RightClick();
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(Item(Popup(), 0, true).text, L"&Options...");
    EXPECT_EQ(Item(Popup(), 3, true).text, L"&Language");
    EXPECT_TRUE(State(16000) & os::MFS_CHECKED);
    EXPECT_FALSE(State(16004) & os::MFS_CHECKED);
    EXPECT_EQ(os::GetMenuItemCount(languages), 7);
}

TEST_F(TrayApplicationTest, AnOfflineProgramIsGrayedAndCannotBeChosenAndTheActiveOneIsChecked) {
    SetHandset(true);
    skype->SetClient(clientWindow.window(), VoipConnector::kOnline);
    voipBuster->SetClient(clientWindow.window(), VoipConnector::kOffline);
    sparVoip->SetClient(clientWindow.window(), VoipConnector::kOnline);
    RightClick(17005);
    EXPECT_EQ(settings.activeProgram, 5);
    RightClick();
    EXPECT_FALSE(State(17001) & os::MFS_CHECKED);
    EXPECT_FALSE(State(17001) & os::MF_GRAYED);
    EXPECT_TRUE(State(17002) & os::MF_GRAYED);
    EXPECT_TRUE(State(17005) & os::MFS_CHECKED);

    RightClick(17002);
    EXPECT_EQ(os::hosted::MenuTrackings().back().chosen, 0u);
    EXPECT_EQ(settings.activeProgram, 5);

    // The check follows the program in use when the chosen one goes offline.
    sparVoip->SetClient(clientWindow.window(), VoipConnector::kOffline);
    RightClick();
    EXPECT_TRUE(State(17005) & os::MF_GRAYED);
    EXPECT_FALSE(State(17005) & os::MFS_CHECKED);
    EXPECT_TRUE(State(17001) & os::MFS_CHECKED);
}

TEST_F(TrayApplicationTest, ExitAsksFirstAndQuitsOnlyOnYes) {
    os::hosted::AnswerMessageBox(os::IDNO);
    RightClick(105);
    ASSERT_EQ(os::hosted::MessageBoxes().size(), 1u);
    const os::hosted::MessageBoxShown box = os::hosted::MessageBoxes()[0];
    EXPECT_EQ(box.owner, tray.window());
    EXPECT_EQ(box.text, L"Exit the phone driver?");
    EXPECT_EQ(box.caption, L"Talvio");
    EXPECT_EQ(box.type, 0x24u);  // MB_YESNO | MB_ICONQUESTION
    EXPECT_FALSE(os::hosted::QuitPosted());
    EXPECT_TRUE(os::IsWindow(tray.window()));
    EXPECT_EQ(shell.IconCount(), 1u);

    os::hosted::AnswerMessageBox(os::IDYES);
    RightClick(105);
    int exitCode = -1;
    EXPECT_TRUE(os::hosted::QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(tray.window(), nullptr);
    EXPECT_EQ(shell.IconCount(), 0u);
}

// A locale.xml without the program's own strings: their English texts, not
// the menu's placeholders or an empty question. A change of language shows
// the tooltip in the new language at once.
TEST_F(TrayApplicationTest, StringsMissingFromLocaleXmlShowInEnglishAndTheTooltipFollowsTheLanguage) {
    std::ofstream(folder.file("locale.xml"))
        << "<Locale><Item ID='65544' Enable='1'><English value='Please Connect the USB Device'/>"
           "<Polish value='Pod\xC5\x82\xC4\x85\x63z urz\xC4\x85\x64zenie USB'/></Item></Locale>";
    ASSERT_TRUE(locale.load());
    RightClick();
    EXPECT_EQ(Item(Popup(), 1, true).text, L"VoIP &Program");
    EXPECT_EQ(Item(Popup(), 3, true).text, L"&Language");

    os::hosted::AnswerMessageBox(os::IDNO);
    RightClick(105);
    ASSERT_EQ(os::hosted::MessageBoxes().size(), 1u);
    EXPECT_EQ(os::hosted::MessageBoxes()[0].text,
              L"Exit Talvio Phone Driver? The handset will not work until the program is started again.");
    EXPECT_EQ(os::hosted::MessageBoxes()[0].caption, L"Talvio Phone Driver");

    RightClick(16004);
    ExpectShown(2054, L"Talvio Phone Driver (Pod\u0142\u0105cz urz\u0105dzenie USB)");
}

TEST_F(TrayApplicationTest, ChoosingTheCheckedLanguageStillSavesAndShowsTheLogoAgain) {
    FakeScreen screen;
    handset.model = 11;
    handset.screen = &screen;
    SetHandset(true);
    screen.shown.clear();
    settings.lcdLogo = L"Talvio";
    const std::filesystem::path config = folder.file("config.xml");
    ASSERT_FALSE(std::filesystem::exists(config));

    os::hosted::SetWindowsVersion(5, 1, 2600);
    RightClick(16000);
    EXPECT_TRUE(std::filesystem::exists(config));
    EXPECT_EQ(screen.shown, std::vector<std::wstring>{L"logo Talvio"});
    EXPECT_EQ(launcher.commandLines.size(), 1u) << "the setter tool before Windows 6";

    std::filesystem::remove(config);
    os::hosted::SetWindowsVersion(6, 0, 6000);
    RightClick(16000);
    EXPECT_TRUE(std::filesystem::exists(config));
    EXPECT_EQ(launcher.commandLines.size(), 1u);
}

TEST_F(TrayApplicationTest, ARightClickWithAnOpenDialogBringsItForwardInsteadOfTheMenu) {
    PlainWindow dialog;
    PlainWindow other;
    tray.SetOpenDialog(dialog.window());
    tray.SetOpenDialog(other.window());
    RightClick();
    EXPECT_TRUE(os::hosted::MenuTrackings().empty());
    EXPECT_EQ(os::GetForegroundWindow(), dialog.window());

    tray.ClearOpenDialog(other.window());
    RightClick();
    EXPECT_TRUE(os::hosted::MenuTrackings().empty());

    tray.ClearOpenDialog(dialog.window());
    RightClick();
    EXPECT_EQ(os::hosted::MenuTrackings().size(), 1u);

    // A dialog that went without clearing itself does not keep the menu away.
    tray.SetOpenDialog(other.window());
    os::DestroyWindow(other.window());
    RightClick();
    EXPECT_EQ(os::hosted::MenuTrackings().size(), 2u);
}

TEST_F(TrayApplicationTest, TheAudioIsSetUpOnce200MsAfterTheHandsetArrives) {
    unsigned volume = 0;
    ASSERT_TRUE(Audio_GetVolume(true, &volume));  // the mixer is open
    SetHandset(true);
    os::hosted::AdvanceTime(199);
    EXPECT_EQ(mixer.Volume(1, true), 20000u);
    EXPECT_TRUE(launcher.commandLines.empty());

    os::hosted::AdvanceTime(1);
    EXPECT_EQ(mixer.Opens(), (std::vector<unsigned>{1, 1})) << "devices chosen again";
    EXPECT_EQ(mixer.Volume(1, true), 0x7FFFu);
    EXPECT_EQ(mixer.Volume(1, false), 0x7FFFu);
    EXPECT_EQ(skype->audioOut, std::vector<std::wstring>{L"USB Audio Device"});
    EXPECT_EQ(launcher.commandLines.size(), 1u);

    os::hosted::AdvanceTime(5000);
    EXPECT_EQ(launcher.commandLines.size(), 1u) << "one shot";
    EXPECT_EQ(skype->audioOut.size(), 1u);
}

// The update server is scripted before the tray starts its first check.
class TrayVersionCheckTest : public TrayApplicationTest {
protected:
    static constexpr std::uint64_t kRetryMs = 30 * 60 * 1000;

    void SetUp() override {}
    void Start() {
        AnswerPrompts();
        TrayApplicationTest::SetUp();
        started = os::hosted::Now();  // Init is the set-up's last step
    }

    // The user at every update prompt: notes it, does whileOpen, ticks
    // "Do not ask me again!" when told to and chooses "Update later".
    void AnswerPrompts() {
        os::hosted::UseNextDialog([this](os::Hwnd dialog) {
            AnswerPrompts();  // for the next one
            prompts.push_back(os::hosted::Now());
            if (whileOpen) whileOpen(dialog);
            if (tickDoNotAsk) os::SendMessage(os::GetDlgItem(dialog, art::kDoNotAskAgain), os::BM_CLICK, 0, 0);
            os::SendMessage(os::GetDlgItem(dialog, art::kUpdateLater), os::BM_CLICK, 0, 0);
        });
    }

    // Since Init.
    std::vector<std::uint64_t> RequestTimes() const {
        std::vector<std::uint64_t> times;
        for (const FakeHttpClient::Posted& posted : updateServer.Requests()) times.push_back(posted.at - started);
        return times;
    }

    std::vector<std::uint64_t> prompts;  // when each came, in virtual time
    std::function<void(os::Hwnd dialog)> whileOpen;
    bool tickDoNotAsk = false;
    std::uint64_t started = 0;
};

TEST_F(TrayVersionCheckTest, AFailedCheckIsSilentlyRetriedEvery30MinutesAndAnEqualVersionEndsIt) {
    updateServer.Fail();
    updateServer.Fail();
    updateServer.Reply("v=0.9.0.5\r\nresult=1\r\n");
    Start();
    os::hosted::AdvanceTime(kRetryMs - 1);
    EXPECT_EQ(RequestTimes(), std::vector<std::uint64_t>{0});
    os::hosted::AdvanceTime(1 + kRetryMs + 4 * kRetryMs);
    EXPECT_EQ(RequestTimes(), (std::vector<std::uint64_t>{0, kRetryMs, 2 * kRetryMs}));
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(os::hosted::MessageBoxes().empty());

    const HttpRequest request = updateServer.Requests()[0].request;
    EXPECT_EQ(request.host, "update.talvio.com");
    EXPECT_EQ(request.port, 443);
    EXPECT_EQ(request.path, "/talvio/VersionCheck.php");
    EXPECT_EQ(request.body, "v=0.9.0.5&sid=&uid=");
    EXPECT_EQ(request.headers, "User-Agent: Mozilla/4.0\r\nContent-Type: application/x-www-form-urlencoded");
}

// "0.9.0.10" is newer than the program's "0.9.0.5". Without "result" the
// check counts as failed and is repeated, but the newer version is offered
// only once.
TEST_F(TrayVersionCheckTest, ANewerVersionIsOfferedOnceWithin5SecondsWhileTheRightClickBringsItForward) {
    updateServer.Reply("v=0.9.0.10\n");
    updateServer.Reply("v=0.9.0.10\nresult=1\n");
    Start();
    whileOpen = [this](os::Hwnd dialog) {
        EXPECT_EQ(tray.OpenDialog(), dialog);
        EXPECT_FALSE(os::IsWindowEnabled(tray.window())) << "modal, owned by the tray window";
        RightClick();
        EXPECT_TRUE(os::hosted::MenuTrackings().empty());
        EXPECT_EQ(os::GetForegroundWindow(), dialog);
    };
    os::hosted::AdvanceTime(4999);
    EXPECT_TRUE(prompts.empty());
    os::hosted::AdvanceTime(1);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0] - started, 5000u);
    EXPECT_EQ(tray.OpenDialog(), nullptr) << "cleared when it closed";
    EXPECT_EQ(settings.checkVer, 1) << "Update later without the box";

    os::hosted::AdvanceTime(3 * kRetryMs);
    EXPECT_EQ(RequestTimes(), (std::vector<std::uint64_t>{0, kRetryMs}));
    EXPECT_EQ(prompts.size(), 1u);
    EXPECT_TRUE(browser.opened.empty());
}

TEST_F(TrayVersionCheckTest, DeclinedOffersShowNothingAndThePollStops) {
    std::ofstream(folder.file("config.xml")) << "<Config><General><CheckVer value='0'/></General></Config>";
    updateServer.Reply("v=1.0\n");
    updateServer.Reply("v=1.0\nresult=1\n");
    Start();
    os::hosted::AdvanceTime(10000);
    EXPECT_TRUE(prompts.empty());
    // Offers allowed again: the repeated check reports the newer version
    // anew, but nobody looks any more.
    settings.checkVer = 1;
    os::hosted::AdvanceTime(kRetryMs);
    EXPECT_EQ(updateServer.Requests().size(), 2u);
    EXPECT_TRUE(prompts.empty());
}

TEST_F(TrayVersionCheckTest, DoNotAskAgainWithUpdateLaterStopsFurtherOffersAndIsSaved) {
    updateServer.Reply("v=0.9.1\nresult=1\n");
    tickDoNotAsk = true;
    Start();
    os::hosted::AdvanceTime(5000);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(settings.checkVer, 0);
    RightClick(16000);  // any change saves the settings
    std::ifstream config(folder.file("config.xml"));
    const std::string text((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<CheckVer value='0' />"), std::string::npos) << text;
}

TEST_F(TrayVersionCheckTest, CheckUpdateOpensTheVersionPageOverHttps) {
    Start();
    RightClick(32793);
    EXPECT_EQ(browser.opened,
              std::vector<std::wstring>{L"https://update.talvio.com:443/talvio/CheckVer.php?ver=0.9.0.5"});
}

}  // namespace
}  // namespace talvio::testing
