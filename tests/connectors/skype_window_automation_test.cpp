#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connectors/skype/window_automation.h"
#include "platform/hosted/desktop.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t TCM_GETCURSEL = 0x130B;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;

struct Posted {
    os::Hwnd window;
    std::uint32_t message;
    os::WParam wParam;
    os::LParam lParam;
};
std::vector<Posted> g_messages;
int g_currentTab = 0;

os::LResult FakeSkypeProc(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == TCM_GETCURSEL) return g_currentTab;
    if (message == os::WM_KEYDOWN || message == os::WM_KEYUP || message == WM_SYSCOMMAND ||
        message == os::WM_LBUTTONDOWN || message == os::WM_LBUTTONUP)
        g_messages.push_back({window, message, wParam, lParam});
    return os::DefWindowProc(window, message, wParam, lParam);
}

class FakeHost : public SkypeAutomationHost {
public:
    os::Hwnd AttachedClientWindow() const override { return client; }
    const std::string& AttachedClientVersion() const override { return version; }
    bool HasCallUnderway() const override { return callUnderway; }
    void SendClientButton(std::string_view name) override { buttons.emplace_back(name); }
    void SendClientCommand(std::string_view command) override { commands.emplace_back(command); }
    void StepClientView() override { ++views; }

    os::Hwnd client = nullptr;
    std::string version = "3.8.0.115";
    bool callUnderway = false;
    std::vector<std::string> buttons;
    std::vector<std::string> commands;
    int views = 0;
};

// The client's windows in a process of their own, on the test's thread.
class AutomationTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        g_messages.clear();
        g_currentTab = 0;
        skypeProcess = os::hosted::CreateProcess(L"Skype.exe");
        host.client = Top(L"SkypeApiWindow", L"", 0, 0);
    }

    os::Hwnd Create(const wchar_t* className, const wchar_t* title, os::Hwnd parent, std::uint32_t style,
                    int width, int height, os::ProcessId process) {
        os::hosted::ProcessScope scope(process);
        if (!os::GetClassInfo(className)) {
            os::WindowClass windowClass;
            windowClass.proc = FakeSkypeProc;
            windowClass.name = className;
            os::RegisterClass(windowClass);
        }
        return os::CreateWindowEx(0, className, title, style | (parent ? os::WS_CHILD : 0), 0, 0,
                                  width, height, parent, 0, nullptr);
    }
    os::Hwnd Top(const wchar_t* className, const wchar_t* title, int width = 600, int height = 400,
                 os::ProcessId process = 0) {
        return Create(className, title, nullptr, os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, width, height,
                      process ? process : skypeProcess);
    }
    os::Hwnd Child(os::Hwnd parent, const wchar_t* className) {
        return Create(className, L"", parent, os::WS_VISIBLE, 100, 20, skypeProcess);
    }
    // A current client's main window: the login control marks it.
    os::Hwnd MainWithLogin() {
        os::Hwnd main = Top(L"tSkMainForm.UnicodeClass", L"Skype - anna");
        Child(Child(main, L"TPanel"), L"TLoginControl");
        return main;
    }
    std::vector<Posted> MessagesTo(os::Hwnd window) {
        os::hosted::PumpMessages();
        std::vector<Posted> found;
        for (const Posted& p : g_messages)
            if (p.window == window) found.push_back(p);
        return found;
    }
    static std::wstring Text(os::Hwnd window) {
        wchar_t buffer[64] = {};
        os::SendMessage(window, os::WM_GETTEXT, 64, reinterpret_cast<os::LParam>(buffer));
        return buffer;
    }
    static void SetText(os::Hwnd window, const std::wstring& text) {
        os::SendMessage(window, os::WM_SETTEXT, 0, reinterpret_cast<os::LParam>(text.c_str()));
    }

    os::ProcessId skypeProcess = 0;
    FakeHost host;
    SkypeWindowAutomation automation{host};
};

TEST_F(AutomationTest, MainWindowIsTheRootOfTheLoginControl) {
    Top(L"tSkMainForm.UnicodeClass", L"Skype - fallback");
    const os::ProcessId other = os::hosted::CreateProcess(L"other.exe");
    Create(L"TLoginControl", L"", Top(L"Foreign", L"Skype", 600, 400, other), os::WS_VISIBLE, 10, 10, other);
    Child(Top(L"Untitled", L"skype lower case"), L"TLoginControl");
    Child(Top(L"Empty", L"Skype", 0, 0), L"TLoginControl");
    const os::Hwnd main = MainWithLogin();
    EXPECT_EQ(automation.MainWindow(), main);
}

TEST_F(AutomationTest, MainFormClassIsTheFallback) {
    Top(L"TSomethingElse", L"Skype");
    const os::Hwnd form = Top(L"TSKMAINFORM.UNICODECLASS", L"Skype - anna");
    EXPECT_EQ(automation.MainWindow(), form);
}

TEST_F(AutomationTest, NothingWorksWhileUnattached) {
    const os::Hwnd main = MainWithLogin();
    const os::Hwnd field = Child(main, L"TRICHVIEWEDIT");
    host.client = nullptr;
    EXPECT_EQ(automation.MainWindow(), nullptr);
    automation.Backspace();
    automation.HideMainWindow();
    EXPECT_FALSE(automation.IsMainWindowShown());
    EXPECT_EQ(automation.SetDialText(L"123"), 0);
    EXPECT_EQ(automation.CurrentTab(), -1);
    EXPECT_TRUE(MessagesTo(field).empty());
    EXPECT_TRUE(MessagesTo(main).empty());
}

TEST_F(AutomationTest, CachedMainWindowIsReplacedWhenItIsGone) {
    const os::Hwnd first = MainWithLogin();
    EXPECT_EQ(automation.MainWindow(), first);
    os::DestroyWindow(first);
    const os::Hwnd second = MainWithLogin();
    EXPECT_EQ(automation.MainWindow(), second);
}

TEST_F(AutomationTest, DialFieldClassDependsOnTheVersionText) {
    const os::Hwnd main = MainWithLogin();
    const os::Hwnd rich = Child(main, L"TRichViewEdit");
    Child(main, L"Edit");
    host.version = "2.5.0.154";
    EXPECT_EQ(automation.DialField(), rich) << "TFILTERBAREDIT missing: the second pattern wins";

    const os::Hwnd filter = Child(main, L"TFilterBarEdit");
    automation.Forget();
    EXPECT_EQ(automation.DialField(), filter);

    host.version = "3.0.0.00";
    automation.Forget();
    EXPECT_EQ(automation.DialField(), rich);
}

TEST_F(AutomationTest, OldestClientsTakeTheFirstClassContainingEdit) {
    const os::Hwnd main = MainWithLogin();
    const os::Hwnd filter = Child(main, L"TFilterBarEdit");
    const os::Hwnd rich = Child(main, L"TRichViewEdit");
    host.version = "1.4.0.84";
    EXPECT_EQ(automation.DialField(), filter);
    // "10.0" sorts below "2.0.0.00" as text.
    host.version = "10.0.0.1";
    automation.Forget();
    EXPECT_EQ(automation.DialField(), filter);
    host.version = "4.0.0.1";
    automation.Forget();
    EXPECT_EQ(automation.DialField(), rich);
}

TEST_F(AutomationTest, CachedDialFieldMustStillBelongToTheMainWindow) {
    os::Hwnd main = MainWithLogin();
    const os::Hwnd field = Child(main, L"TRICHVIEWEDIT");
    EXPECT_EQ(automation.DialField(), field);
    os::DestroyWindow(main);
    main = MainWithLogin();
    const os::Hwnd again = Child(main, L"TRICHVIEWEDIT");
    EXPECT_EQ(automation.DialField(), again);
}

TEST_F(AutomationTest, SetDialTextOverAContactNamePressesOneButtonPerDigit) {
    const os::Hwnd field = Child(MainWithLogin(), L"TRICHVIEWEDIT");
    SetText(field, L"Anna Virtanen");
    EXPECT_EQ(automation.SetDialText(L"5551234"), 1);
    EXPECT_EQ(Text(field), L"");
    EXPECT_EQ(host.buttons, (std::vector<std::string>{"5", "5", "5", "1", "2", "3", "4"}));

    host.buttons.clear();
    SetText(field, L"+358");
    EXPECT_EQ(automation.SetDialText(L"+35840"), 1);
    EXPECT_EQ(Text(field), L"+35840") << "a dial text is replaced directly";
    EXPECT_TRUE(host.buttons.empty());

    SetText(field, L"");
    EXPECT_EQ(automation.SetDialText(L"*1#"), 1);
    EXPECT_EQ(host.buttons, (std::vector<std::string>{"*", "1", "#"}));
}

TEST_F(AutomationTest, GetDialTextOnlyGivesDialableText) {
    const os::Hwnd field = Child(MainWithLogin(), L"TRICHVIEWEDIT");
    std::wstring text = L"stale";
    SetText(field, L"+358*40#");
    EXPECT_TRUE(automation.GetDialText(text, 1024));
    EXPECT_EQ(text, L"+358*40#");
    EXPECT_TRUE(automation.GetDialText(text, 4));
    EXPECT_EQ(text, L"+358") << "at most the size given";
    SetText(field, L"040 123");
    EXPECT_FALSE(automation.GetDialText(text, 1024));
    EXPECT_EQ(text, L"");
    SetText(field, L"");
    EXPECT_FALSE(automation.GetDialText(text, 1024));
}

TEST_F(AutomationTest, BackspaceAndClearGoToTheDialFieldButClearWaitsForCalls) {
    const os::Hwnd field = Child(MainWithLogin(), L"TRICHVIEWEDIT");
    automation.Backspace();
    host.callUnderway = true;
    automation.ClearDialText();
    std::vector<Posted> posted = MessagesTo(field);
    ASSERT_EQ(posted.size(), 1u) << "no Escape during a held or running call";
    EXPECT_EQ(posted[0].message, os::WM_KEYDOWN);
    EXPECT_EQ(posted[0].wParam, 0x08u);
    host.callUnderway = false;
    automation.ClearDialText();
    posted = MessagesTo(field);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[1].wParam, 0x1Bu);
}

TEST_F(AutomationTest, TopPopupSkipsChatsTransfersSmallAndCaptionlessWindows) {
    const os::Hwnd main = MainWithLogin();
    EXPECT_FALSE(automation.CloseTopPopup());
    const std::uint32_t caption = WS_CAPTION | os::WS_VISIBLE;
    Create(L"TChatForm", L"chat", nullptr, caption, 300, 300, skypeProcess);
    Create(L"TFileTransferForm", L"file", nullptr, caption, 300, 300, skypeProcess);
    Create(L"TTiny", L"tiny", nullptr, caption, 50, 300, skypeProcess);
    Create(L"TFlat", L"flat", nullptr, caption, 300, 30, skypeProcess);
    Create(L"TBare", L"bare", nullptr, os::WS_POPUP | os::WS_VISIBLE, 300, 300, skypeProcess);
    Create(L"THidden", L"hidden", nullptr, WS_CAPTION, 300, 300, skypeProcess);
    Child(main, L"TChildDialog");
    EXPECT_EQ(automation.TopPopup(), nullptr);
    EXPECT_FALSE(automation.CloseTopPopup());

    const os::Hwnd popup = Create(L"TCallAlert", L"Incoming", nullptr, caption, 51, 31, skypeProcess);
    EXPECT_EQ(automation.TopPopup(), popup);
    EXPECT_TRUE(automation.CloseTopPopup());
    const std::vector<Posted> posted = MessagesTo(popup);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, 0x1Bu);
}

TEST_F(AutomationTest, MainWindowShownAndHidden) {
    const os::Hwnd main = MainWithLogin();
    EXPECT_TRUE(automation.IsMainWindowShown());
    os::ShowWindow(main, os::SW_MINIMIZE);
    EXPECT_FALSE(automation.IsMainWindowShown());
    os::ShowWindow(main, os::SW_RESTORE);
    os::ShowWindow(main, os::SW_HIDE);
    EXPECT_FALSE(automation.IsMainWindowShown());
    automation.HideMainWindow();
    const std::vector<Posted> posted = MessagesTo(main);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_SYSCOMMAND);
    EXPECT_EQ(posted[0].wParam, 0xF060u);
}

class TabAutomationTest : public AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        main = MainWithLogin();
        Child(main, L"TPanel");
        tabs = Child(main, L"TSkypeTabControl");
        os::hosted::SetKeyDelivery(false);
        os::hosted::ClearKeyLog();
    }
    // The key log as "v<key><u|d>" words, e.g. "9d 9u".
    std::string Keys() {
        std::string keys;
        for (const os::hosted::KeyEvent& e : os::hosted::KeyLog()) {
            if (!keys.empty()) keys += ' ';
            keys += std::to_string(e.virtualKey) + ((e.flags & os::KEYEVENTF_KEYUP) ? 'u' : 'd');
        }
        return keys;
    }

    os::Hwnd main = nullptr;
    os::Hwnd tabs = nullptr;
};

TEST_F(TabAutomationTest, CurrentTabIsAskedFromTheTabControl) {
    g_currentTab = 2;
    EXPECT_EQ(automation.TabControl(), tabs);
    EXPECT_EQ(automation.CurrentTab(), 2);
}

TEST_F(TabAutomationTest, SelectTabClicksTheFirstTabThenStepsWithCtrlTab) {
    automation.SelectTab(tabs, 2);
    EXPECT_EQ(Keys(), "9d 9u 17d 9d 9u 9d 9u 17u");
    EXPECT_EQ(os::GetForegroundWindow(), main);
    const std::vector<Posted> clicks = MessagesTo(tabs);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].message, os::WM_LBUTTONDOWN);
    EXPECT_EQ(clicks[0].wParam, 1u);
    EXPECT_EQ(clicks[0].lParam, 20 | (9 << 16));
    EXPECT_EQ(clicks[1].message, os::WM_LBUTTONUP);
    for (const os::hosted::KeyEvent& e : os::hosted::KeyLog()) EXPECT_EQ(e.foreground, main);

    os::hosted::ClearKeyLog();
    automation.SelectTab(tabs, -1);
    EXPECT_EQ(Keys(), "9d 9u 17d 16d 9d 9u 16u 17u");
    const std::vector<os::hosted::KeyEvent> log = os::hosted::KeyLog();
    EXPECT_EQ(log.back().time - log.front().time, log.size() - 1) << "1 ms after each key event";
}

TEST_F(TabAutomationTest, MoveFocusBackUsesLeftModifiersAndScanCodes) {
    automation.MoveFocus(3);
    EXPECT_EQ(host.views, 3);
    EXPECT_EQ(Keys(), "");
    automation.MoveFocus(-2);
    EXPECT_EQ(Keys(), "162d 160d 9d 9u 9d 9u 160u 162u");
    const std::vector<os::hosted::KeyEvent> log = os::hosted::KeyLog();
    EXPECT_EQ(log[0].scanCode, 29);
    EXPECT_EQ(log[1].scanCode, 42);
    EXPECT_EQ(log[2].scanCode, 15);
    EXPECT_EQ(log[0].focus, tabs);
    EXPECT_EQ(host.views, 3);
}

TEST_F(TabAutomationTest, ShowContactsByCommandOrByTab) {
    host.version = "1.4.0.99";
    automation.ShowContacts();
    automation.ShowCallHistory();
    EXPECT_EQ(host.commands,
              (std::vector<std::string>{"FOCUS", "OPEN CONTACTS", "FOCUS", "OPEN CALLHISTORY"}));
    EXPECT_EQ(Keys(), "");

    host.commands.clear();
    host.version = "1.3.0.45";
    g_currentTab = 0;
    automation.ShowContacts();
    EXPECT_EQ(Keys(), "") << "already on the contacts tab";
    automation.ShowCallHistory();
    EXPECT_EQ(Keys(), "9d 9u 17d 9d 9u 17u");
    EXPECT_EQ(host.commands, (std::vector<std::string>{"FOCUS", "FOCUS"}));

    os::hosted::ClearKeyLog();
    host.version = "1.2.0.30";
    g_currentTab = 1;
    automation.ShowContacts();
    EXPECT_EQ(Keys(), "");
    automation.ShowCallHistory();
    EXPECT_EQ(Keys(), "9d 9u 17d 9d 9u 9d 9u 17u");
}

}  // namespace
}  // namespace talvio
