// Dialog boxes from a template: under USER32 from dialog_test.rc, on the
// hosted desktop from the same template added as a resource.
#include <memory>
#include <string>

#include "platform/controls.h"
#include "tests/ui/window_test_support.h"
#include "ui/control_texts.h"
#include "ui/dialog.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

constexpr int kTemplate = 100;

class ProbeDialog : public Dialog {
public:
    bool onInitDialog(os::Hwnd window, os::Hwnd focus, os::LParam param) override {
        initParam = param;
        if (endAtOnce) os::EndDialog(window, 42);
        if (closeAtOnce) os::PostMessage(window, os::WM_CLOSE, 0, 0);
        return Dialog::onInitDialog(window, focus, param);
    }
    void onTimer(std::uintptr_t id) override { lastTimer = id; }
    os::LResult onCommand(os::WParam wParam, os::LParam) override {
        lastCommand = os::LoWord(wParam);
        if (lastCommand == os::IDCANCEL) os::EndDialog(window(), os::IDCANCEL);
        return 0;
    }

    os::LParam initParam = 0;
    bool endAtOnce = false;
    bool closeAtOnce = false;
    std::uintptr_t lastTimer = 0;
    int lastCommand = 0;
};

class DialogTest : public testing::WindowTest {
protected:
    DialogTest() {
#if !defined(_WIN32)
        // dialog_test.rc's template.
        const std::uint32_t child = os::WS_VISIBLE | os::WS_TABSTOP;
        os::hosted::AddDialogResource(
            kTemplate, {L"Probe", os::WS_POPUP | os::WS_CAPTION | os::DS_SETFONT, 0, 0, 160, 80,
                        {{L"Static", L"template", 1042, child, 5, 5, 80, 10},
                         {L"Static", L"kept", 1043, child, 5, 18, 80, 10},
                         {L"Button", L"Tick", 1044, child | os::BS_AUTOCHECKBOX, 5, 30, 80, 10},
                         {L"ComboBox", L"", 1045, child | os::CBS_DROPDOWNLIST, 5, 42, 80, 40},
                         {L"Edit", L"", 1046, child | os::ES_AUTOHSCROLL, 90, 5, 60, 12},
                         {L"Button", L"OK", 1, child | os::BS_DEFPUSHBUTTON, 90, 60, 60, 14}}});
#endif
    }
    ~DialogTest() override { SetControlTextLookup(nullptr); }
};

TEST_F(DialogTest, ModelessDialogIsBoundLocalisedAndReachesItsHandlers) {
    SetControlTextLookup([](int id) -> std::optional<std::wstring> {
        if (id == 1042) return std::wstring(L"Localised");
        return std::nullopt;
    });
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.createModeless(kTemplate, nullptr));
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(dialog.initParam, reinterpret_cast<os::LParam>(&dialog));
    EXPECT_EQ(dialog.itemText(1042), L"Localised");
    EXPECT_EQ(dialog.itemText(1043), L"kept") << "no locale entry: the template text stays";

    os::SendMessage(dialog.window(), os::WM_TIMER, 1100, 0);
    EXPECT_EQ(dialog.lastTimer, 1100u);
    os::SendMessage(dialog.window(), os::WM_COMMAND, (os::BN_CLICKED << 16) | 1044, 0);
    EXPECT_EQ(dialog.lastCommand, 1044);
}

TEST_F(DialogTest, ControlOperations) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.createModeless(kTemplate, nullptr));

    EXPECT_FALSE(dialog.isTicked(1044));
    dialog.setTicked(1044, true);
    EXPECT_TRUE(dialog.isTicked(1044));
    dialog.setTicked(1044, false);
    EXPECT_FALSE(dialog.isTicked(1044));
    EXPECT_FALSE(dialog.isTicked(999)) << "missing control";

    EXPECT_EQ(dialog.comboSelection(1045), -1) << "nothing selected";
    const os::Hwnd combo = os::GetDlgItem(dialog.window(), 1045);
    os::SendMessage(combo, os::CB_ADDSTRING, 0, reinterpret_cast<os::LParam>(L"first"));
    os::SendMessage(combo, os::CB_ADDSTRING, 0, reinterpret_cast<os::LParam>(L"second"));
    os::SendMessage(combo, os::CB_SETCURSEL, 1, 0);
    EXPECT_EQ(dialog.comboSelection(1045), 1);
    EXPECT_EQ(dialog.comboSelection(999), -1) << "missing control";

    const std::wstring longText(1500, L'x');
    os::SetWindowText(os::GetDlgItem(dialog.window(), 1046), longText);
    EXPECT_EQ(dialog.itemText(1046), std::wstring(1024, L'x'));
    EXPECT_EQ(dialog.itemText(999), L"");

    dialog.enableItem(1046, false);
    EXPECT_FALSE(os::IsWindowEnabled(os::GetDlgItem(dialog.window(), 1046)));
    dialog.enableItem(1046, true);
    EXPECT_TRUE(os::IsWindowEnabled(os::GetDlgItem(dialog.window(), 1046)));
}

TEST_F(DialogTest, DeletingTheObjectDestroysAModelessDialog) {
    auto dialog = std::make_unique<ProbeDialog>();
    ASSERT_TRUE(dialog->createModeless(kTemplate, nullptr));
    const os::Hwnd window = dialog->window();
    dialog.reset();
    EXPECT_FALSE(os::IsWindow(window));
}

TEST_F(DialogTest, ModalDialogReturnsTheEndDialogValueAndForgetsItsWindow) {
    ProbeDialog dialog;
    dialog.endAtOnce = true;
    EXPECT_EQ(dialog.runModal(kTemplate, nullptr), 42);
    EXPECT_EQ(dialog.window(), nullptr);

    ProbeDialog closed;
    closed.closeAtOnce = true;
    EXPECT_EQ(closed.runModal(kTemplate, nullptr), os::IDCANCEL) << "the close box is Cancel";
    EXPECT_EQ(closed.lastCommand, os::IDCANCEL);
}

TEST_F(DialogTest, MissingTemplateFails) {
    ProbeDialog dialog;
    EXPECT_FALSE(dialog.createModeless(4242, nullptr));
    EXPECT_EQ(dialog.runModal(4242, nullptr), -1);
}

}  // namespace
}  // namespace talvio
