// The tray's dialogs in the real TalvioDriver.exe, run from a private
// folder with its own config.xml: each opened through the tray window's
// menu commands, its controls read back through window messages, and OK
// of Options writing config.xml.
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/support/win32_test_process.h"
#include "tests/wine/dialog_peer.h"

namespace talvio::testing {
namespace {

constexpr UINT kAbout = 104;
constexpr UINT kOptions = 32773;
constexpr UINT kHelp = 32798;

constexpr char kConfig[] =
    "<?xml version='1.0' encoding='utf-8'?>\n<Config><General><CheckVer value='1'/><PlayDTMF value='1'/>"
    "</General><AutoAnswer value='1'><AutoBusy value='0' txt='In a call, back soon'/>"
    "<AutoAway value='1' txt='Away'/></AutoAnswer><AppCallOut value='-1' free='0'/>"
    "<RingVolume val='30000'/></Config>";

class TrayDialogsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"talvio dialogs " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((TestProgramDirectory() + L"..\\..\\app\\TalvioDriver.exe").c_str(),
                              (folder_ + L"TalvioDriver.exe").c_str(), FALSE));
        std::ofstream(std::filesystem::path(folder_ + L"config.xml"), std::ios::binary) << kConfig;
        driver_ = std::make_unique<ChildProcess>(folder_ + L"TalvioDriver.exe");
        ASSERT_TRUE(driver_->started());
        ASSERT_TRUE(PumpUntil([] { return DriverTrayWindow() != nullptr; }, kDialogWaitMs))
            << "TalvioDriver.exe made no tray window";
    }
    void TearDown() override {
        driver_.reset();  // ended if still running
        for (const wchar_t* file : {L"TalvioDriver.exe", L"config.xml"}) DeleteFileW((folder_ + file).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::string Config() const {
        std::ifstream in(std::filesystem::path(folder_ + L"config.xml"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::wstring folder_;
    std::unique_ptr<ChildProcess> driver_;
};

TEST_F(TrayDialogsE2E, AboutHelpAndOptionsOpenFromTheTrayShowTheirTextsAndOptionsWritesConfig) {
    HWND about = OpenDriverDialog(kAbout, 2164);
    ASSERT_TRUE(about) << "no About dialog";
    EXPECT_EQ(WindowTitle(about), L"About");
    EXPECT_EQ(ControlText(about, 1059), L"Talvio Phone Driver");
    EXPECT_EQ(ControlText(about, 2164), L"Version 0.9.0.5");
    EXPECT_EQ(ControlText(about, IDOK), L"OK");
    PressButton(about, IDOK);
    ASSERT_TRUE(WaitUntilGone(about));

    HWND help = OpenDriverDialog(kHelp, 2103);
    ASSERT_TRUE(help) << "no Help dialog";
    EXPECT_EQ(WindowTitle(help), L"Help");
    EXPECT_EQ(ControlText(help, 2103),
              L"\r\n*#*: Switch between PSTN channel and VoIP Channel\r\n\r\nSpeed dial: \"Speed Dial Number\" + "
              L"#\r\n\r\nSkypeOut: 00+\"Phone Number\" + #\r\n");
    EXPECT_EQ(ControlText(help, 2134), L"Close");
    PressButton(help, 2134);
    ASSERT_TRUE(WaitUntilGone(help));

    HWND options = OpenDriverDialog(kOptions, 1087);
    ASSERT_TRUE(options) << "no Options dialog";
    EXPECT_EQ(WindowTitle(options), L"Options");
    HWND general = OptionsPage(options, 0);
    HWND answers = OptionsPage(options, 1);
    HWND programs = OptionsPage(options, 2);
    ASSERT_TRUE(general && answers && programs);
    EXPECT_TRUE(IsWindowVisible(general));
    EXPECT_FALSE(IsWindowVisible(programs)) << "only the first tab's page shows";
    EXPECT_EQ(ControlText(general, 2006), L"Automaticaly start on Windows startup");
    EXPECT_TRUE(Ticked(general, 2133));
    EXPECT_TRUE(Ticked(general, 2161));
    EXPECT_FALSE(Ticked(general, 2006));
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(general, 2165)) != FALSE, version.dwMajorVersion < 6);

    EXPECT_EQ(ControlText(answers, 2031), L"In a call, back soon");
    EXPECT_EQ(ControlText(answers, 1029), L"Away");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(answers, 2030)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(answers, 2031))) << "busy answering is off";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(answers, 1029)));

    EXPECT_EQ(ControlMessage(programs, 1055, TBM_GETPOS), 458) << "30000 x 1000 / 65535, rounded";
    EXPECT_EQ(ControlMessage(programs, 2158, LVM_GETITEMCOUNT), 12) << "one row per program";
    EXPECT_EQ(ControlMessage(programs, 2143, CB_GETCOUNT), 11) << "every program but Skype";
    EXPECT_FALSE(Ticked(programs, 2144));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(programs, 2143)));

    ControlMessage(general, 2133, BM_SETCHECK, BST_UNCHECKED);
    PressButton(options, 1088);
    ASSERT_TRUE(WaitUntilGone(options));
    ASSERT_TRUE(PumpUntil([&] { return Config().find("<CheckVer value='0' />") != std::string::npos; },
                          kDialogWaitMs))
        << Config();
    EXPECT_NE(Config().find("<AutoBusy value='0' txt='In a call, back soon' />"), std::string::npos) << Config();
    EXPECT_NE(Config().find("<RingVolume val='30000'/>"), std::string::npos) << "an untouched slider keeps the volume";
}

}  // namespace
}  // namespace talvio::testing
