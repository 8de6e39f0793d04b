// The version check's pieces on their own: the order of version numbers,
// the server's reply, the reply limit, and the prompt's answers.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "platform/controls.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/support/desktop_test.h"
#include "tests/ui/support/program_resources.h"
#include "tests/update/support/fake_update_ports.h"
#include "ui/open_dialog_register.h"
#include "update/update_prompt.h"
#include "update/version_check.h"
#include "update/version_number.h"
#include "update/version_reply.h"

namespace talvio::testing {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(VersionNumberTest, GroupsCompareAsNumbersAndTextGroupsAfterThem) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int order;
    };
    const Case cases[] = {
        {L"0.9.0.10", L"0.9.0.5", 1},  // the fourth group has two digits
        {L"0.9.1", L"0.9.0.5", 1},
        {L"1.0", L"1.0.0.0", 0},       // missing groups count as 0
        {L"1.0.0.1", L"1.0", 1},
        {L"0.9.0.05", L"0.9.0.5", 0},  // leading zeros
        {L"2", L"10", -1},
        {L"1.99999999999999999999", L"1.100000000000000000000", -1},  // beyond any integer type
        {L"1.0.beta", L"1.0.9", 1},    // text after every number
        {L"1.0.beta", L"1.0.alpha", 1},
        {L"1.0.beta", L"1.0", 1},
        {L"1.5x", L"1.6", 1},
        {L"1..2", L"1.0.2", 0},        // an empty group is 0
        {L"", L"0", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareVersions(c.a, c.b)), c.order) << "\"" << c.a << "\" against \"" << c.b << "\"";
        EXPECT_EQ(Sign(CompareVersions(c.b, c.a)), -c.order) << "\"" << c.b << "\" against \"" << c.a << "\"";
    }
}

TEST(VersionReplyTest, PairsAreReadByNameWhateverTheLineLooksLike) {
    VersionReply reply = ParseVersionReply("v=1.2.3\r\nresult=1\r\n");
    EXPECT_EQ(reply.latestVersion, L"1.2.3");
    EXPECT_EQ(reply.resultCode, 1);

    reply = ParseVersionReply("\r\n   V=2.0   \n\nRESULT 7");
    EXPECT_EQ(reply.latestVersion, L"2.0") << "spaces around the value go";
    EXPECT_EQ(reply.resultCode, 7) << "a space also ends the name; names ignore case";

    reply = ParseVersionReply("status=ok result=3\nv=1.0\nv=1.1\n");
    EXPECT_EQ(reply.resultCode, 3) << "a further pair on the line";
    EXPECT_EQ(reply.latestVersion, L"1.1") << "the last one counts";

    reply = ParseVersionReply("v=\nresult=   \nv\nresult");
    EXPECT_FALSE(reply.latestVersion) << "names without a value";
    EXPECT_FALSE(reply.resultCode);

    EXPECT_EQ(ParseVersionReply("result=ok").resultCode, 0);
    EXPECT_EQ(ParseVersionReply("result=-4").resultCode, -4);
    EXPECT_EQ(ParseVersionReply("result=99999999999").resultCode, INT_MAX);
    EXPECT_EQ(ParseVersionReply("version=9.9\nresults=1").latestVersion, std::nullopt);
    EXPECT_EQ(ParseVersionReply("v=1.\xC3\xA9").latestVersion, L"1.\u00E9") << "UTF-8";
}

class ReplyLimitTest : public DesktopTest {};

// Only the first 4999 bytes of a reply count: here they end in "v=0.9",
// older than the program, and the bytes after them would make it 0.99.9.
TEST_F(ReplyLimitTest, BytesAfterThe4999thAreNeitherReadNorParsed) {
    std::string reply = "result=1\n";
    reply.append(4999 - reply.size() - 5, '\n');
    reply += "v=0.9";
    ASSERT_EQ(reply.size(), 4999u);
    reply += "9.9\n";

    FakeHttpClient http;
    http.Reply(reply);
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};
    FakeWebBrowser browser;
    VersionCheck check{http, {"https", "update.talvio.com", 443}, settings, browser};
    EXPECT_EQ(check.StartCheck(), 0);
    os::hosted::PumpMessages();  // until the worker is done
    EXPECT_TRUE(check.HasSucceeded());
    EXPECT_EQ(check.TakeNewerFlag(), 1) << "0.9 is not newer";
    EXPECT_EQ(check.StartCheck(), 1);
    os::hosted::PumpMessages();
    EXPECT_EQ(http.Requests().size(), 1u);
}

class Register final : public OpenDialogRegister {
public:
    void SetOpenDialog(os::Hwnd) override {}
    void ClearOpenDialog(os::Hwnd) override {}
};

class UpdatePromptTest : public DesktopTest {
protected:
    void SetUp() override { InstallProgramResources(); }
};

// The prompt from the program's own template, answered as the user does:
// a click on a button, Enter (IDOK from the dialog manager) or the close box.
TEST_F(UpdatePromptTest, EitherAnswerStoresTheBoxAndOnlyUpdateNowOpensTheDownload) {
    enum class Answer { kUpdateNow, kUpdateLater, kEnter, kCloseBox };
    struct Case {
        Answer answer;
        bool tick;
        int ended;
        int checkVer;
        bool download;
    };
    const Case cases[] = {
        {Answer::kUpdateLater, true, 2, 0, false},
        {Answer::kUpdateLater, false, 2, 1, false},
        {Answer::kCloseBox, true, 2, 0, false},
        {Answer::kUpdateNow, false, 1, 1, true},
        {Answer::kUpdateNow, true, 1, 0, true},
        {Answer::kEnter, false, 1, 1, true},
    };
    const std::wstring download = L"https://update.talvio.com:443/download/TalvioSetup.exe";
    for (const Case& c : cases) {
        const int answer = static_cast<int>(c.answer);
        int checkVer = 7;
        FakeWebBrowser browser;
        Register dialogs;
        UpdatePrompt prompt(checkVer, browser, download, dialogs);
        os::hosted::UseNextDialog([&](os::Hwnd dialog) {
            auto click = [dialog](int id) { os::SendMessage(os::GetDlgItem(dialog, id), os::BM_CLICK, 0, 0); };
            if (c.tick) {
                click(2107);
                EXPECT_TRUE(os::IsWindowVisible(dialog)) << "ticking the box keeps the dialog";
                EXPECT_EQ(checkVer, 7);
            }
            switch (c.answer) {
                case Answer::kUpdateNow: click(2104); break;
                case Answer::kUpdateLater: click(2120); break;
                case Answer::kEnter: os::SendMessage(dialog, os::WM_COMMAND, os::IDOK, 0); break;
                case Answer::kCloseBox: os::SendMessage(dialog, os::WM_CLOSE, 0, 0); break;
            }
        });
        EXPECT_EQ(prompt.show(nullptr), c.ended) << answer;
        EXPECT_EQ(checkVer, c.checkVer) << answer;
        EXPECT_EQ(browser.opened, c.download ? std::vector<std::wstring>{download} : std::vector<std::wstring>{})
            << answer;
    }
}

}  // namespace
}  // namespace talvio::testing
