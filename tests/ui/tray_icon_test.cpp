// The tray icon on the hosted desktop, seen through a fake notification area.
#include "ui/tray_icon.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/hosted/desktop.h"
#include "resources/program_art.h"
#include "tests/support/desktop_test.h"
#include "tests/ui/support/fake_tray_shell.h"
#include "tests/ui/support/program_resources.h"
#include "tests/ui/support/tray_menu_checks.h"

namespace talvio {
namespace {

using testing::FakeTrayShell;

class TrayProbe final : public TrayIcon {
public:
    using TrayIcon::TrayIcon;
    bool canShowMenu() override { return menuAllowed; }
    int onCommand(os::WParam wParam, os::LParam) override {
        commands.push_back(wParam);
        return 0;
    }
    void onInitMenuPopup(os::Hmenu menu, os::LParam) override { popups.push_back(menu); }
    void onDoubleClick() override { ++doubleClicks; }
    os::LResult defaultProc(std::uint32_t message, os::WParam wParam, os::LParam lParam) override {
        reachedDefault.push_back(message);
        return TrayIcon::defaultProc(message, wParam, lParam);
    }

    bool menuAllowed = true;
    std::vector<os::WParam> commands;
    std::vector<os::Hmenu> popups;
    int doubleClicks = 0;
    std::vector<std::uint32_t> reachedDefault;
};

class TrayIconTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        testing::InstallProgramResources();
        ASSERT_TRUE(tray.create(nullptr, art::kTrayMenu));
    }
    void Click(std::uint32_t mouseMessage) {
        os::SendMessage(tray.window(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, mouseMessage);
    }
    std::optional<FakeTrayShell::Shown> Shown() const { return shell.Icon(tray.window(), 888); }

    FakeTrayShell shell;
    TrayProbe tray{shell};
};

TEST_F(TrayIconTest, TheShellGetsAtMost127CharactersOfTheTipAndTheObjectKeeps255) {
    std::wstring text;
    for (int i = 0; i < 300; ++i) text.push_back(static_cast<wchar_t>(L'a' + i % 26));

    EXPECT_EQ(tray.setIcon(art::kIconReady, text), 1);
    ASSERT_EQ(shell.Calls().size(), 1u);
    const FakeTrayShell::Call& added = shell.Calls()[0];
    EXPECT_EQ(added.message, kNimAdd);
    EXPECT_EQ(added.data.flags, 7u);  // NIF_MESSAGE | NIF_ICON | NIF_TIP
    EXPECT_EQ(added.data.callbackMessage, 1029u);
    EXPECT_EQ(added.data.id, 888u);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Shown()->tip, text.substr(0, 127));
    EXPECT_EQ(tray.tip(), text.substr(0, 255));

    // Exactly what the field holds goes whole, as a modification.
    EXPECT_EQ(tray.setIcon(art::kIconNoHandset, text.substr(1, 127)), 1);
    EXPECT_EQ(shell.Calls().back().message, kNimModify);
    EXPECT_EQ(shell.Calls().back().data.flags, 6u);  // NIF_ICON | NIF_TIP
    EXPECT_EQ(Shown()->tip, text.substr(1, 127));

    // An icon the module lacks changes nothing.
    EXPECT_EQ(tray.setIcon(4242, L"never"), 0);
    EXPECT_EQ(tray.tip(), text.substr(1, 127));
    EXPECT_EQ(shell.Calls().size(), 2u);
}

TEST_F(TrayIconTest, AnEleventhIconIsShownButLoadedAgainEachTime) {
    for (int id = 3001; id <= 3011; ++id) {
        os::hosted::AddIconResource(id);
        ASSERT_EQ(tray.setIcon(id, L"Talvio Phone Driver"), 1);
    }
    const os::Hicon eleventh = Shown()->icon;
    tray.setIcon(3001, L"Talvio Phone Driver");
    EXPECT_NE(Shown()->icon, eleventh);
    tray.setIcon(3011, L"Talvio Phone Driver");
    tray.setIcon(3011, L"Talvio Phone Driver");
    EXPECT_EQ(Shown()->icon, eleventh);

    EXPECT_EQ(os::hosted::IconLoadCount(3001), 1) << "cached";
    EXPECT_EQ(os::hosted::IconLoadCount(3010), 1) << "the tenth still fits";
    EXPECT_EQ(os::hosted::IconLoadCount(3011), 3);
}

TEST_F(TrayIconTest, ARestartedExplorerShowsTheIconAgainAsItWas) {
    shell.RestartExplorer();
    EXPECT_EQ(shell.IconCount(), 0u) << "no empty icon before the first setIcon";

    const std::wstring tip = L"Talvio Phone Driver (Please Connect the USB Device)";
    tray.setIcon(art::kIconReady, L"Talvio Phone Driver");
    tray.setIcon(art::kIconNoHandset, tip);
    shell.RestartExplorer();
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Shown()->icon, tray.currentIcon());
    EXPECT_EQ(Shown()->tip, tip);
    EXPECT_EQ(Shown()->callbackMessage, 1029u);

    // A restart twice in a row adds the icon once.
    shell.RestartExplorer();
    EXPECT_EQ(shell.IconCount(), 1u);
    EXPECT_TRUE(shell.Calls().back().accepted);

    tray.remove();
    shell.RestartExplorer();
    EXPECT_EQ(shell.IconCount(), 0u) << "a removed icon stays removed";
}

TEST_F(TrayIconTest, RightClickTracksThePopupUnlessRefusedAndEveryMessageEndsInDefaultProc) {
    os::hosted::SetCursorPos(700, 740);
    tray.menuAllowed = false;
    Click(os::WM_RBUTTONUP);
    EXPECT_TRUE(os::hosted::MenuTrackings().empty());

    tray.menuAllowed = true;
    os::hosted::ChooseMenuCommand(105);
    Click(os::WM_RBUTTONUP);
    const os::Hmenu popup = os::GetSubMenu(tray.menu(), 0);
    const auto trackings = os::hosted::MenuTrackings();
    ASSERT_EQ(trackings.size(), 1u);
    EXPECT_EQ(trackings[0].menu, popup);
    EXPECT_EQ(trackings[0].flags, 0x48u);  // TPM_VERTICAL | TPM_RIGHTALIGN
    EXPECT_EQ(trackings[0].x, 700);
    EXPECT_EQ(trackings[0].y, 740);
    EXPECT_EQ(trackings[0].owner, tray.window());
    ASSERT_TRUE(trackings[0].excluded);
    EXPECT_EQ(trackings[0].exclude.right, 701);
    EXPECT_EQ(trackings[0].exclude.bottom, 741);
    EXPECT_EQ(os::GetForegroundWindow(), tray.window());
    EXPECT_EQ(tray.popups, std::vector<os::Hmenu>{popup});
    os::hosted::PumpMessages();
    EXPECT_EQ(tray.commands, std::vector<os::WParam>{105});

    Click(os::WM_LBUTTONDBLCLK);
    Click(os::WM_LBUTTONDOWN);
    EXPECT_EQ(tray.doubleClicks, 1);

    // A menu handle that is not the tray's own is not passed on.
    os::Menu foreign(os::CreatePopupMenu());
    os::SendMessage(tray.window(), os::WM_INITMENUPOPUP, reinterpret_cast<os::WParam>(foreign.get()), 0);
    EXPECT_EQ(tray.popups.size(), 1u);

    for (std::uint32_t message : {os::WM_COMMAND, os::WM_INITMENUPOPUP, TrayIcon::kCallbackMessage}) {
        EXPECT_NE(std::find(tray.reachedDefault.begin(), tray.reachedDefault.end(), message),
                  tray.reachedDefault.end())
            << message;
    }
}

TEST_F(TrayIconTest, AChosenCommandInASubmenuIsPostedOnlyWhenEnabled) {
    testing::ExpectTrayMenuEditsAsOnWindows(tray.menu());
    const os::Hmenu popup = os::GetSubMenu(tray.menu(), 0);
    const os::Hmenu languages = os::GetSubMenu(popup, 3);

    os::hosted::ChooseMenuCommand(16000);  // grayed
    Click(os::WM_RBUTTONUP);
    os::hosted::ChooseMenuCommand(16001);
    Click(os::WM_RBUTTONUP);
    os::hosted::PumpMessages();
    EXPECT_EQ(tray.commands, std::vector<os::WParam>{16001});
    // Each tracking opened the popup and then the submenu on the way.
    EXPECT_EQ(tray.popups, (std::vector<os::Hmenu>{popup, languages, popup, languages}));
}

}  // namespace
}  // namespace talvio
