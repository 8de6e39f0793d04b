// The window lookups on whichever backend is linked: under Wine these run
// against real Win32 windows, natively against the hosted desktop. The fake
// client's windows live in the test's own process and thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connectors/skype/window_automation.h"

namespace talvio {
namespace {

std::vector<std::pair<os::Hwnd, os::WParam>> g_keys;

os::LResult RecordingProc(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == os::WM_KEYDOWN) g_keys.emplace_back(window, wParam);
    return os::DefWindowProc(window, message, wParam, lParam);
}

class Host : public SkypeAutomationHost {
public:
    os::Hwnd AttachedClientWindow() const override { return client; }
    const std::string& AttachedClientVersion() const override { return version; }
    bool HasCallUnderway() const override { return false; }
    void SendClientButton(std::string_view name) override { buttons.emplace_back(name); }
    void SendClientCommand(std::string_view) override {}
    void StepClientView() override {}

    os::Hwnd client = nullptr;
    std::string version;
    std::vector<std::string> buttons;
};

class AutomationAgreementTest : public ::testing::Test {
protected:
    void SetUp() override { g_keys.clear(); }
    void TearDown() override {
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) os::DestroyWindow(*it);
    }

    os::Hwnd Make(const wchar_t* className, const wchar_t* title, os::Hwnd parent, std::uint32_t style,
                  int width, int height) {
        if (!os::GetClassInfo(className)) {
            os::WindowClass windowClass;
            windowClass.proc = RecordingProc;
            windowClass.instance = os::GetModuleHandle();
            windowClass.name = className;
            os::RegisterClass(windowClass);
        }
        const os::Hwnd window = os::CreateWindowEx(0, className, title, style, 10, 10, width, height,
                                                   parent, 0, nullptr);
        if (!parent) tops.push_back(window);
        return window;
    }
    os::Hwnd Top(const wchar_t* className, const wchar_t* title) {
        return Make(className, title, nullptr, os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, 600, 400);
    }
    os::Hwnd Child(os::Hwnd parent, const wchar_t* className) {
        return Make(className, L"", parent, os::WS_CHILD | os::WS_VISIBLE, 100, 20);
    }
    void Pump() {
        os::Msg msg;
        while (os::PeekMessage(msg, true)) os::DispatchMessage(msg);
    }
    static void SetText(os::Hwnd window, const wchar_t* text) {
        os::SendMessage(window, os::WM_SETTEXT, 0, reinterpret_cast<os::LParam>(text));
    }
    static std::wstring Text(os::Hwnd window) {
        wchar_t buffer[64] = {};
        os::SendMessage(window, os::WM_GETTEXT, 64, reinterpret_cast<os::LParam>(buffer));
        return buffer;
    }

    std::vector<os::Hwnd> tops;
    Host host;
    SkypeWindowAutomation automation{host};
};

TEST_F(AutomationAgreementTest, FindsMainWindowDialFieldAndPopup) {
    host.client = Make(L"H1FakeApi", L"", nullptr, 0, 50, 50);
    Make(L"H1Decoy", L"Skype decoy without login", nullptr, os::WS_OVERLAPPEDWINDOW, 600, 400);
    const os::Hwnd main = Top(L"tSkMainForm.UnicodeClass", L"Skype - anna");
    Child(Child(main, L"H1Panel"), L"TLoginControl");
    const os::Hwnd rich = Child(main, L"TRichViewEdit");
    Child(main, L"Edit");
    ASSERT_EQ(automation.MainWindow(), main);
    host.version = "2.6.0.137";
    EXPECT_EQ(automation.DialField(), rich);
    EXPECT_TRUE(automation.IsMainWindowShown());
    EXPECT_EQ(automation.TopPopup(), nullptr);

    Top(L"TChatForm", L"chat");
    const os::Hwnd popup = Top(L"H1Alert", L"Incoming call");
    EXPECT_EQ(automation.TopPopup(), popup);
    EXPECT_TRUE(automation.CloseTopPopup());
    automation.Backspace();
    Pump();
    EXPECT_EQ(g_keys, (std::vector<std::pair<os::Hwnd, os::WParam>>{{popup, 0x1B}, {rich, 0x08}}));

    os::ShowWindow(main, os::SW_MINIMIZE);
    EXPECT_FALSE(automation.IsMainWindowShown());
}

TEST_F(AutomationAgreementTest, DialTextThroughRealWindowMessages) {
    host.client = Make(L"H1FakeApi", L"", nullptr, 0, 50, 50);
    const os::Hwnd main = Top(L"tSkMainForm.UnicodeClass", L"Skype");
    host.version = "3.8.0.188";
    const os::Hwnd field = Child(main, L"TRichViewEdit");
    SetText(field, L"Anna");
    std::wstring text;
    EXPECT_FALSE(automation.GetDialText(text, 100));
    EXPECT_EQ(automation.SetDialText(L"040"), 1);
    EXPECT_EQ(Text(field), L"");
    EXPECT_EQ(host.buttons, (std::vector<std::string>{"0", "4", "0"}));
    SetText(field, L"040");
    EXPECT_EQ(automation.SetDialText(L"0401234"), 1);
    EXPECT_TRUE(automation.GetDialText(text, 100));
    EXPECT_EQ(text, L"0401234");
}

}  // namespace
}  // namespace talvio
