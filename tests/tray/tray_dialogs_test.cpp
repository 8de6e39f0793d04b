// The tray's dialogs as the user meets them on the hosted desktop: opened
// from the menu, the double click or a posted command, worked through their
// controls by a stand-in user inside the modal loop.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/controls.h"
#include "tests/tray/support/tray_fixture.h"
#include "tools/tonegen/tone_synth.h"

namespace talvio::testing {
namespace {

// English and Polish texts of the Options dialog; no text for About's title.
constexpr const char* kLocaleXml =
    "<Locale>"
    "<Item ID='2001' Enable='1'><English value='Options'/><Polish value='Opcje'/></Item>"
    "<Item ID='65536' Enable='1'><English value='General'/><Polish value='Og\xC3\xB3lne'/></Item>"
    "<Item ID='2006' Enable='1'><English value='Start with Windows'/><Polish value='Uruchamiaj z Windows'/></Item>"
    "<Item ID='65555' Enable='1'><English value='Ring Tone'/><Polish value='Dzwonek'/></Item>"
    "<Item ID='65550' Enable='1'><English value='ring tone %d'/><Polish value='dzwonek %d'/></Item>"
    "<Item ID='2164' Enable='1'><English value='Version %s (%d%n)'/></Item>"
    "</Locale>";

constexpr int kPolish = 4;

class TrayDialogsTest : public TrayFixture {
protected:
    const char* LocaleXml() const override { return kLocaleXml; }

    // Opens a dialog through `open`, handing it to `user` inside its modal loop.
    void Use(const std::function<void(os::Hwnd)>& user, const std::function<void()>& open) {
        bool used = false;
        os::hosted::UseNextDialog([&](os::Hwnd dialog) {
            used = true;
            user(dialog);
        });
        open();
        EXPECT_TRUE(used) << "no dialog opened";
    }
    void OpenOptions(const std::function<void(os::Hwnd)>& user) {
        Use(user, [this] { RightClick(TrayApplication::kOptions); });
    }

    // Page `index` of the Options dialog (General, Auto answer, programs).
    static os::Hwnd Page(os::Hwnd dialog, int index) {
        os::Hwnd found = nullptr;
        int seen = 0;
        os::EnumChildWindows(dialog, [&](os::Hwnd child) {
            if (os::GetClassName(child) != L"#32770" || seen++ != index) return true;
            found = child;
            return false;
        });
        return found;
    }
    static os::Hwnd Control(os::Hwnd dialog, int id) { return os::GetDlgItem(dialog, id); }
    static os::LResult Send(os::Hwnd dialog, int id, std::uint32_t message, os::WParam w = 0, os::LParam l = 0) {
        return os::SendMessage(Control(dialog, id), message, w, l);
    }
    static void Click(os::Hwnd dialog, int id) { Send(dialog, id, os::BM_CLICK); }
    static std::wstring Text(os::Hwnd dialog, int id) { return os::GetWindowText(Control(dialog, id)); }
    static std::wstring Cell(os::Hwnd list, int row, int column) {
        wchar_t buffer[64] = {};
        os::LvItem item;
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 64;
        os::SendMessage(list, os::LVM_GETITEMTEXTW, static_cast<os::WParam>(row), reinterpret_cast<os::LParam>(&item));
        return buffer;
    }
    static void SelectRow(os::Hwnd list, int row) {
        os::LvItem state;
        state.stateMask = state.state = os::LVIS_SELECTED | os::LVIS_FOCUSED;
        os::SendMessage(list, os::LVM_SETITEMSTATE, static_cast<os::WParam>(row), reinterpret_cast<os::LParam>(&state));
    }

    std::string ConfigText() const {
        std::ifstream in(folder.file("config.xml"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteRingTone(int number) {
        std::filesystem::create_directories(folder.path() / "waves");
        const auto bytes = tonegen::WaveFile(tonegen::RingTone(number));
        std::ofstream(folder.path() / "waves" / ("ring" + std::to_string(number) + ".wav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
};

TEST_F(TrayDialogsTest, TheRingVolumeFollowsTheSliderAtOnceAndCancelRestoresIt) {
    settings.ringVolume = 30000;
    OpenOptions([&](os::Hwnd dialog) {
        const os::Hwnd programs = Page(dialog, 2);
        EXPECT_EQ(Send(programs, 1055, os::TBM_GETPOS), 458) << "30000 x 1000 / 65535, rounded";
        os::hosted::AdvanceTime(600);
        EXPECT_EQ(settings.ringVolume, 30000) << "an untouched slider changes nothing";
        Send(programs, 1055, os::TBM_SETPOS, 1, 250);
        os::hosted::AdvanceTime(300);
        EXPECT_EQ(settings.ringVolume, 16384) << "250 x 65535 / 1000, rounded";
        Click(dialog, 1090);
    });
    EXPECT_EQ(settings.ringVolume, 30000);
    EXPECT_FALSE(std::filesystem::exists(folder.file("config.xml"))) << "Cancel saves nothing";
    EXPECT_EQ(tray.OpenDialog(), nullptr);
}

TEST_F(TrayDialogsTest, PlayTogglesTheSelectedRowsToneAndAnotherToneSwitches) {
    WriteRingTone(1);
    WriteRingTone(2);
    mixer.SetStoredVolume(1, true, 1000);
    OpenOptions([&](os::Hwnd dialog) {
        const os::Hwnd programs = Page(dialog, 2);
        const os::Hwnd list = Control(programs, 2158);
        os::hosted::ChooseTab(Control(dialog, 1087), 2);
        EXPECT_TRUE(os::IsWindowVisible(programs));
        EXPECT_FALSE(os::IsWindowVisible(Page(dialog, 0)));
        EXPECT_EQ(Cell(list, 2, 0), L"SparVoip");
        EXPECT_EQ(Cell(list, 0, 1), L"default ring tone") << "Skype's ring tone is 0";
        EXPECT_EQ(Cell(list, 2, 1), L"ring tone 4") << "program 5's ring tone is 4";
        EXPECT_FALSE(os::IsWindowVisible(Control(programs, 2142))) << "no row selected";

        SelectRow(list, 0);
        os::hosted::AdvanceTime(300);
        EXPECT_TRUE(os::IsWindowVisible(Control(programs, 2142)));
        EXPECT_TRUE(os::IsWindowVisible(Control(programs, 1054)));
        os::hosted::ChooseComboItem(Control(programs, 2142), 1);
        EXPECT_EQ(Cell(list, 0, 1), L"ring tone 1");

        Click(programs, 1054);
        EXPECT_TRUE(Audio_IsRinging());
        Send(programs, 1055, os::TBM_SETPOS, 1, 500);
        os::hosted::AdvanceTime(300);
        EXPECT_EQ(mixer.Volume(1, true), 32768u) << "the ring takes the new volume at once";
        Click(programs, 1054);
        EXPECT_FALSE(Audio_IsPlaying()) << "the same tone again stops it";

        Click(programs, 1054);
        os::hosted::ChooseComboItem(Control(programs, 2142), 2);
        Click(programs, 1054);
        EXPECT_TRUE(Audio_IsPlaying()) << "another tone plays instead";
        const auto ring2 = tonegen::WaveFile(tonegen::RingTone(2));
        ASSERT_FALSE(waveOut.Writes().empty());
        EXPECT_EQ(waveOut.Writes().back().data, std::vector<unsigned char>(ring2.begin() + 44, ring2.end()));
        Click(dialog, 1088);
    });
    EXPECT_FALSE(Audio_IsPlaying()) << "closing the dialog stops the preview";
    EXPECT_EQ(settings.programs[0].ringTone, 2);
    EXPECT_NE(ConfigText().find("<AppItem item='skype' value='1' dialtone='0' ringtone='2'/>"), std::string::npos);
    EXPECT_NE(ConfigText().find("<RingVolume val='32768'/>"), std::string::npos);
}

TEST_F(TrayDialogsTest, TheCallOutBoxEnablesItsListAndUntickedStoresNone) {
    settings.callOutProgram = 1;  // SparVoip: the second program after Skype
    OpenOptions([&](os::Hwnd dialog) {
        const os::Hwnd programs = Page(dialog, 2);
        EXPECT_EQ(os::hosted::ButtonCheck(Control(programs, 2144)), 1);
        EXPECT_EQ(Send(programs, 2143, os::CB_GETCOUNT), 2) << "every program but Skype";
        EXPECT_EQ(Send(programs, 2143, os::CB_GETCURSEL), 1);
        EXPECT_TRUE(os::IsWindowEnabled(Control(programs, 2143)));
        Click(programs, 2144);
        EXPECT_FALSE(os::IsWindowEnabled(Control(programs, 1044)));
        EXPECT_FALSE(os::IsWindowEnabled(Control(programs, 2143)));
        Click(dialog, 1088);
    });
    EXPECT_EQ(settings.callOutProgram, -1);
    EXPECT_NE(ConfigText().find("<AppCallOut value='-1' free='1' >"), std::string::npos);
}

TEST_F(TrayDialogsTest, ApplyAfterALanguageChangeSavesAndRetitlesDialogTabsAndControls) {
    OpenOptions([&](os::Hwnd dialog) {
        const os::Hwnd general = Page(dialog, 0);
        EXPECT_EQ(os::GetWindowText(dialog), L"Options");
        EXPECT_EQ(Send(general, 1045, os::CB_GETCOUNT), 7) << "the built-in languages";
        os::hosted::ChooseComboItem(Control(general, 1045), kPolish);
        Click(dialog, 1089);

        EXPECT_TRUE(os::IsWindow(dialog)) << "Apply keeps the dialog open";
        EXPECT_NE(ConfigText().find("<Language value='4' />"), std::string::npos);
        EXPECT_EQ(os::GetWindowText(dialog), L"Opcje");
        wchar_t title[32] = {};
        os::TcItem tab;
        tab.mask = os::TCIF_TEXT;
        tab.pszText = title;
        tab.cchTextMax = 32;
        Send(dialog, 1087, os::TCM_GETITEMW, 0, reinterpret_cast<os::LParam>(&tab));
        EXPECT_EQ(std::wstring(title), L"Og\u00F3lne");
        Send(dialog, 1087, os::TCM_GETITEMW, 1, reinterpret_cast<os::LParam>(&tab));
        EXPECT_EQ(std::wstring(title), L"Auto answer") << "no Polish text: the English default";
        EXPECT_EQ(Text(general, 2006), L"Uruchamiaj z Windows");
        os::LvColumn column;
        column.mask = os::LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 32;
        Send(Page(dialog, 2), 2158, os::LVM_GETCOLUMNW, 1, reinterpret_cast<os::LParam>(&column));
        EXPECT_EQ(std::wstring(title), L"Dzwonek");
        EXPECT_EQ(Cell(Control(Page(dialog, 2), 2158), 2, 1), L"dzwonek 4") << "program 5's ring tone is 4";
        EXPECT_EQ(Cell(Control(Page(dialog, 2), 2158), 0, 1), L"default ring tone") << "no Polish text";
        Click(dialog, 1090);
    });
}

TEST_F(TrayDialogsTest, TheUsbAudioBoxIsHiddenFromWindows6AndItsSettingKept) {
    for (const std::uint32_t major : {6u, 5u}) {
        os::hosted::SetWindowsVersion(major, 1, 2600);
        settings.preferredUsb = 1;
        OpenOptions([&](os::Hwnd dialog) {
            const os::Hwnd general = Page(dialog, 0);
            EXPECT_EQ(os::IsWindowVisible(Control(general, 2165)), major < 6) << major;
            Send(general, 2165, os::BM_SETCHECK, os::BST_UNCHECKED);
            Click(dialog, 1088);
        });
        EXPECT_EQ(settings.preferredUsb, major < 6 ? 0 : 1) << major;
    }
}

TEST_F(TrayDialogsTest, AboutFromTheDoubleClickComesForwardOnARightClickAndAllowsNoSecondDialog) {
    bool secondOpened = false;
    Use(
        [&](os::Hwnd about) {
            EXPECT_EQ(os::GetWindowText(about), L"About") << "locale.xml has no title for it";
            EXPECT_EQ(Text(about, 1059), L"Talvio Phone Driver");
            EXPECT_EQ(Text(about, 2164), L"Version 0.9.0.5 (%d%n)") << "only the first %s is replaced";
            os::hosted::UseNextDialog([&](os::Hwnd) { secondOpened = true; });
            PlainWindow elsewhere;
            os::SetForegroundWindow(elsewhere.window());
            RightClick();
            EXPECT_TRUE(os::hosted::MenuTrackings().empty());
            EXPECT_EQ(os::GetForegroundWindow(), about);
            os::PostMessage(tray.window(), os::WM_COMMAND, TrayApplication::kOptions, 0);
            os::hosted::PumpMessages();
            Click(about, os::IDOK);
        },
        [&] { os::SendMessage(tray.window(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, os::WM_LBUTTONDBLCLK); });
    EXPECT_FALSE(secondOpened) << "Options waits while About is open";
    EXPECT_EQ(tray.OpenDialog(), nullptr);
}

TEST_F(TrayDialogsTest, HelpShowsTheDiallingHintsAndEndsWithClose) {
    std::intptr_t ended = 0;
    Use(
        [&](os::Hwnd help) {
            EXPECT_EQ(os::GetWindowText(help), L"Help");
            EXPECT_EQ(Text(help, 2103),
                      L"\r\n*#*: Switch between PSTN channel and VoIP Channel\r\n\r\nSpeed dial: \"Speed Dial Number\" + "
                      L"#\r\n\r\nSkypeOut: 00+\"Phone Number\" + #\r\n");
            EXPECT_EQ(tray.OpenDialog(), help);
            Click(help, 2134);
        },
        [&] { ended = tray.ShowHelp(); });
    EXPECT_EQ(ended, 2134);
}

}  // namespace
}  // namespace talvio::testing
