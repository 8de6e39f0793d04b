// Dialog boxes from a real template (dialog_test.rc) under USER32.
#include <memory>
#include <string>

#include "ui/control_texts.h"
#include "ui/dialog.h"

#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

constexpr int kTemplate = 100;

HWND Native(os::Hwnd window) { return reinterpret_cast<HWND>(window); }

class ProbeDialog : public Dialog {
public:
    bool onInitDialog(os::Hwnd window, os::Hwnd focus, os::LParam param) override {
        initParam = param;
        if (endAtOnce) EndDialog(Native(window), 42);
        return Dialog::onInitDialog(window, focus, param);
    }
    void onTimer(std::uintptr_t id) override { lastTimer = id; }
    os::LResult onCommand(os::WParam wParam, os::LParam) override {
        lastCommand = os::LoWord(wParam);
        return 0;
    }

    os::LParam initParam = 0;
    bool endAtOnce = false;
    std::uintptr_t lastTimer = 0;
    int lastCommand = 0;
};

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { SetControlTextLookup(nullptr); }
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

    SendMessageW(Native(dialog.window()), WM_TIMER, 1100, 0);
    EXPECT_EQ(dialog.lastTimer, 1100u);
    SendMessageW(Native(dialog.window()), WM_COMMAND, MAKEWPARAM(1044, BN_CLICKED), 0);
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
    HWND combo = GetDlgItem(Native(dialog.window()), 1045);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"first"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"second"));
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(dialog.comboSelection(1045), 1);
    EXPECT_EQ(dialog.comboSelection(999), -1) << "missing control";

    const std::wstring longText(1500, L'x');
    SetDlgItemTextW(Native(dialog.window()), 1046, longText.c_str());
    EXPECT_EQ(dialog.itemText(1046), std::wstring(1024, L'x'));
    EXPECT_EQ(dialog.itemText(999), L"");

    dialog.enableItem(1046, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Native(dialog.window()), 1046)));
    dialog.enableItem(1046, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Native(dialog.window()), 1046)));
}

TEST_F(DialogTest, DeletingTheObjectDestroysAModelessDialog) {
    auto dialog = std::make_unique<ProbeDialog>();
    ASSERT_TRUE(dialog->createModeless(kTemplate, nullptr));
    HWND window = Native(dialog->window());
    dialog.reset();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogTest, ModalDialogReturnsTheEndDialogValueAndForgetsItsWindow) {
    ProbeDialog dialog;
    dialog.endAtOnce = true;
    EXPECT_EQ(dialog.runModal(kTemplate, nullptr), 42);
    EXPECT_EQ(dialog.window(), nullptr);
}

TEST_F(DialogTest, MissingTemplateFails) {
    ProbeDialog dialog;
    EXPECT_FALSE(dialog.createModeless(4242, nullptr));
    EXPECT_EQ(dialog.runModal(4242, nullptr), -1);
}

}  // namespace
}  // namespace talvio
