// Classes, window lifetime, the window tree and the built-in controls.
#include <string>

#include "platform/hosted/desktop.h"
#include "tests/platform/test_window.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

using namespace os;
using hosted::SimulatedThread;

using WindowTest = DesktopTest;

std::vector<std::uint32_t> Lifecycle(const TestWindow& window) {
    std::vector<std::uint32_t> messages;
    for (const Received& r : window.Log()) {
        if (r.message == WM_NCCREATE || r.message == WM_CREATE || r.message == WM_DESTROY ||
            r.message == WM_NCDESTROY) {
            messages.push_back(r.message);
        }
    }
    return messages;
}

TEST_F(WindowTest, ClassesArePerProcessAndRegisteredOnce) {
    WindowClass windowClass;
    windowClass.name = L"OrvaneWindowClass20060218";
    windowClass.proc = DefWindowProc;
    EXPECT_NE(RegisterClass(windowClass), 0);
    windowClass.name = L"orvanewindowclass20060218";
    EXPECT_EQ(RegisterClass(windowClass), 0);
    EXPECT_EQ(GetLastError(), 1410u);
    EXPECT_TRUE(GetClassInfo(L"ORVANEWINDOWCLASS20060218"));
    {
        hosted::ProcessScope scope(hosted::CreateProcess(L"other.exe"));
        EXPECT_FALSE(GetClassInfo(L"OrvaneWindowClass20060218"));
        EXPECT_EQ(CreateWindowEx(0, L"OrvaneWindowClass20060218", L"", 0, 0, 0, 0, 0, nullptr, 0,
                                 nullptr),
                  nullptr);
        EXPECT_EQ(GetLastError(), 1407u);
        EXPECT_NE(RegisterClass(windowClass), 0);
        EXPECT_TRUE(GetClassInfo(L"edit"));  // system classes are everywhere
    }
    const Hwnd window = CreateWindowEx(0, L"OrvaneWindowClass20060218", L"OrvaneWindow20062423", 0,
                                       0, 0, 10, 10, nullptr, 0, nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(GetClassName(window), L"OrvaneWindowClass20060218");
    EXPECT_EQ(GetWindowText(window), L"OrvaneWindow20062423");
}

TEST_F(WindowTest, CreationPassesTheParameterAndCanBeRefused) {
    TestWindow window;
    const Hwnd hwnd = window.Create(nullptr, 0, L"Title");
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(Lifecycle(window), (std::vector<std::uint32_t>{WM_NCCREATE, WM_CREATE}));
    EXPECT_EQ(GetUserData(hwnd), &window);
    const auto* create = reinterpret_cast<const CreateStruct*>(window.Of(WM_CREATE)[0].lParam);
    EXPECT_NE(create, nullptr);

    TestWindow refused;
    refused.SetHandler([](Hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    });
    EXPECT_EQ(refused.Create(nullptr, 0, L"Refused"), nullptr);
    EXPECT_EQ(Lifecycle(refused),
              (std::vector<std::uint32_t>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, kTestClass, L"Refused"), nullptr);
    EXPECT_EQ(CreateWindowEx(0, kTestClass, L"", WS_CHILD, 0, 0, 1, 1, nullptr, 0, nullptr),
              nullptr);
}

TEST_F(WindowTest, DestroyReachesTheWholeTreeAndInvalidatesHandles) {
    std::vector<std::pair<std::uint32_t, const TestWindow*>> order;
    TestWindow parent, child, grandchild;
    auto record = [&](const TestWindow* who) {
        return [&order, who](Hwnd, std::uint32_t message, WParam, LParam)
                   -> std::optional<LResult> {
            if (message == WM_DESTROY || message == WM_NCDESTROY) order.push_back({message, who});
            return std::nullopt;
        };
    };
    parent.SetHandler(record(&parent));
    child.SetHandler(record(&child));
    grandchild.SetHandler(record(&grandchild));
    parent.Create();
    child.Create(parent.hwnd(), WS_CHILD);
    grandchild.Create(child.hwnd(), WS_CHILD);
    SetTimer(parent.hwnd(), 1, 10);

    // Another thread may not destroy it.
    bool destroyedByOther = true;
    SimulatedThread(hosted::kDefaultProcess, [&] { destroyedByOther = DestroyWindow(parent.hwnd()); })
        .Join();
    EXPECT_FALSE(destroyedByOther);

    ASSERT_TRUE(DestroyWindow(parent.hwnd()));
    const std::vector<std::pair<std::uint32_t, const TestWindow*>> expected{
        {WM_DESTROY, &parent},      {WM_DESTROY, &child},  {WM_DESTROY, &grandchild},
        {WM_NCDESTROY, &grandchild}, {WM_NCDESTROY, &child}, {WM_NCDESTROY, &parent}};
    EXPECT_EQ(order, expected);
    for (const TestWindow* window : {&parent, &child, &grandchild}) {
        EXPECT_FALSE(IsWindow(window->hwnd()));
    }
    EXPECT_FALSE(KillTimer(parent.hwnd(), 1));
    EXPECT_FALSE(DestroyWindow(parent.hwnd()));
    EXPECT_EQ(GetLastError(), 1400u);
}

TEST_F(WindowTest, WindowDestroyedWhileHandlingAMessageStopsReceiving) {
    TestWindow window;
    window.Create();
    window.SetHandler([](Hwnd hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == WM_USER) {
            DestroyWindow(hwnd);
            return 1;
        }
        return std::nullopt;
    });
    PostMessage(window.hwnd(), WM_USER, 0, 0);
    PostMessage(window.hwnd(), WM_USER + 1, 0, 0);
    hosted::PumpMessages();
    EXPECT_EQ(window.Of(WM_USER).size(), 1u);
    EXPECT_EQ(window.Of(WM_NCDESTROY).size(), 1u);
    EXPECT_TRUE(window.Of(WM_USER + 1).empty());
    EXPECT_FALSE(IsWindow(window.hwnd()));
}

TEST_F(WindowTest, ThreadEndDestroysItsWindows) {
    TestWindow window;
    {
        SimulatedThread thread;
        thread.Call([&] { window.Create(); });
        EXPECT_TRUE(IsWindow(window.hwnd()));
    }
    EXPECT_FALSE(IsWindow(window.hwnd()));
    EXPECT_EQ(window.Of(WM_NCDESTROY).size(), 1u);
}

TEST_F(WindowTest, TextGoesThroughTheDefaultProcedure) {
    TestWindow window;
    window.Create(nullptr, 0, L"first");
    EXPECT_TRUE(SetWindowText(window.hwnd(), L"second title"));
    EXPECT_EQ(GetWindowText(window.hwnd()), L"second title");
    EXPECT_EQ(SendMessage(window.hwnd(), WM_GETTEXTLENGTH, 0, 0), 12);
    wchar_t small[4] = {L'?', L'?', L'?', L'?'};
    EXPECT_EQ(SendMessage(window.hwnd(), WM_GETTEXT, 4, reinterpret_cast<LParam>(small)), 3);
    EXPECT_EQ(std::wstring(small), L"sec");
    EXPECT_EQ(window.Of(WM_SETTEXT).size(), 1u);
}

TEST_F(WindowTest, TextOfAnotherProcessIsReadWithoutAMessage) {
    TestWindow window;
    SimulatedThread client(hosted::CreateProcess(L"client.exe"));
    client.Call([&] { window.Create(nullptr, 0, L"Client main window"); });
    hosted::SetHung(client.id(), true);
    // Its thread serves nothing, yet the title is there at once.
    EXPECT_EQ(GetWindowText(window.hwnd()), L"Client main window");
    EXPECT_TRUE(window.Of(WM_GETTEXT).empty());
    EXPECT_EQ(hosted::Now(), 0u);
}

LResult Counting(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
WndProc original = nullptr;
int counted = 0;

LResult Counting(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_USER) ++counted;
    return CallWindowProc(original, window, message, wParam, lParam);
}

TEST_F(WindowTest, SubclassingChainsToThePreviousProcedureWithinTheProcess) {
    counted = 0;
    TestWindow window;
    window.Create();
    original = SetWindowProc(window.hwnd(), Counting);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(GetWindowProc(window.hwnd()), Counting);
    SendMessage(window.hwnd(), WM_USER, 0, 0);
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(window.Of(WM_USER).size(), 1u);
    {
        hosted::ProcessScope scope(hosted::CreateProcess(L"intruder.exe"));
        EXPECT_EQ(SetWindowProc(window.hwnd(), DefWindowProc), nullptr);
        EXPECT_EQ(GetLastError(), 5u);
    }
    EXPECT_EQ(GetWindowProc(window.hwnd()), Counting);
}

TEST_F(WindowTest, FindWindowExSearchesOneLevelByClassAndTitle) {
    TestWindow top, other, first, second;
    top.Create(nullptr, 0, L"tSkMainForm");
    other.Create(nullptr, 0, L"Other");
    first.Create(top.hwnd(), WS_CHILD, L"Call", 1);
    second.Create(top.hwnd(), WS_CHILD, L"Call", 2);
    TestWindow hiddenMessageWindow;
    hiddenMessageWindow.Create(kMessageOnlyParent, 0, L"Call");

    EXPECT_EQ(FindWindowEx(nullptr, nullptr, L"testwindow", L"TSKMAINFORM"), top.hwnd());
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, nullptr, L"Other"), other.hwnd());
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, nullptr, L"Call"), nullptr);  // children are not top-level
    EXPECT_EQ(FindWindowEx(kMessageOnlyParent, nullptr, nullptr, L"Call"),
              hiddenMessageWindow.hwnd());
    EXPECT_EQ(FindWindowEx(top.hwnd(), nullptr, kTestClass, L"Call"), first.hwnd());
    EXPECT_EQ(FindWindowEx(top.hwnd(), first.hwnd(), kTestClass, L"Call"), second.hwnd());
    EXPECT_EQ(FindWindowEx(top.hwnd(), second.hwnd(), kTestClass, nullptr), nullptr);
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, L"Edit", nullptr), nullptr);
    EXPECT_EQ(GetDlgItem(top.hwnd(), 2), second.hwnd());
    EXPECT_EQ(GetDlgCtrlID(first.hwnd()), 1u);
    EXPECT_EQ(GetDlgItem(top.hwnd(), 3), nullptr);
}

std::vector<Hwnd> Collect(const std::function<bool(const EnumCallback&)>& enumerate) {
    std::vector<Hwnd> found;
    enumerate([&](Hwnd window) {
        found.push_back(window);
        return true;
    });
    return found;
}

TEST_F(WindowTest, EnumerationFollowsZOrderAndDepthFirstTrees) {
    TestWindow a, b, c, a1, a2, a1x;
    a.Create();
    b.Create();
    a1.Create(a.hwnd(), WS_CHILD);
    a1x.Create(a1.hwnd(), WS_CHILD);
    a2.Create(a.hwnd(), WS_CHILD);
    TestWindow messageOnly;
    messageOnly.Create(kMessageOnlyParent);
    SimulatedThread thread;
    thread.Call([&] { c.Create(); });

    auto top = [](const EnumCallback& cb) { return EnumWindows(cb); };
    EXPECT_EQ(Collect(top), (std::vector<Hwnd>{a.hwnd(), b.hwnd(), c.hwnd()}));
    ASSERT_TRUE(SetForegroundWindow(c.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), c.hwnd());
    EXPECT_EQ(Collect(top), (std::vector<Hwnd>{c.hwnd(), a.hwnd(), b.hwnd()}));
    ASSERT_TRUE(BringWindowToTop(b.hwnd()));
    EXPECT_EQ(Collect(top), (std::vector<Hwnd>{b.hwnd(), c.hwnd(), a.hwnd()}));

    EXPECT_EQ(Collect([&](const EnumCallback& cb) { return EnumChildWindows(a.hwnd(), cb); }),
              (std::vector<Hwnd>{a1.hwnd(), a1x.hwnd(), a2.hwnd()}));
    EXPECT_EQ(Collect([&](const EnumCallback& cb) { return EnumThreadWindows(thread.id(), cb); }),
              (std::vector<Hwnd>{c.hwnd()}));
    int visited = 0;
    EXPECT_FALSE(EnumWindows([&](Hwnd) { return ++visited < 2; }));
    EXPECT_EQ(visited, 2);

    ProcessId process = 0;
    EXPECT_EQ(GetWindowThreadProcessId(c.hwnd(), &process), thread.id());
    EXPECT_EQ(process, hosted::kDefaultProcess);
    EXPECT_EQ(GetParent(a1x.hwnd()), a1.hwnd());
    EXPECT_EQ(GetParent(a.hwnd()), nullptr);
    EXPECT_EQ(GetRootAncestor(a1x.hwnd()), a.hwnd());
    EXPECT_TRUE(IsWindow(GetDesktopWindow()));
}

TEST_F(WindowTest, VisibilityStateAndGeometry) {
    TestWindow parent, child;
    parent.Create();
    child.Create(parent.hwnd(), WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child.hwnd()));  // its parent is hidden
    EXPECT_FALSE(ShowWindow(parent.hwnd(), SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(child.hwnd()));
    EXPECT_EQ(parent.Of(WM_SHOWWINDOW).size(), 1u);
    EXPECT_TRUE(ShowWindow(parent.hwnd(), SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(parent.hwnd()));
    ShowWindow(parent.hwnd(), SW_RESTORE);
    EXPECT_FALSE(IsIconic(parent.hwnd()));

    EXPECT_FALSE(EnableWindow(child.hwnd(), false));
    EXPECT_FALSE(IsWindowEnabled(child.hwnd()));
    EXPECT_TRUE(EnableWindow(child.hwnd(), true));
    EXPECT_EQ(child.Of(WM_ENABLE).size(), 2u);

    ASSERT_TRUE(MoveWindow(parent.hwnd(), 100, 50, 300, 200, true));
    ASSERT_TRUE(MoveWindow(child.hwnd(), 10, 20, 30, 40, false));
    const Rect rect = GetWindowRect(child.hwnd());
    EXPECT_EQ(rect.left, 110);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.right, 140);
    EXPECT_EQ(rect.bottom, 110);
    EXPECT_EQ(GetClientRect(parent.hwnd()).right, 300);
    EXPECT_EQ(child.Of(WM_SIZE).back().lParam, (40 << 16) | 30);
    EXPECT_EQ(hosted::InvalidationCount(parent.hwnd()), 1);
    InvalidateRect(child.hwnd(), true);
    EXPECT_EQ(hosted::InvalidationCount(child.hwnd()), 1);
}

TEST_F(WindowTest, EditKeepsTextAndSelection) {
    const Hwnd edit = CreateWindowEx(0, L"EDIT", L"12345", 0, 0, 0, 80, 20, nullptr, 0, nullptr);
    ASSERT_TRUE(edit);
    EXPECT_EQ(GetClassName(edit), L"Edit");
    EXPECT_EQ(GetWindowText(edit), L"12345");
    SendMessage(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(hosted::EditSelection(edit).start, 0);
    EXPECT_EQ(hosted::EditSelection(edit).end, 5);
    SendMessage(edit, EM_SETSEL, 4, 1);  // reversed
    EXPECT_EQ(hosted::EditSelection(edit).start, 1);
    EXPECT_EQ(hosted::EditSelection(edit).end, 4);
    SendMessage(edit, EM_SETSEL, static_cast<WParam>(-1), 0);  // deselect
    EXPECT_EQ(hosted::EditSelection(edit).start, hosted::EditSelection(edit).end);
    SendMessage(edit, EM_SETSEL, 2, 99);
    EXPECT_EQ(hosted::EditSelection(edit).end, 5);
    SetWindowText(edit, L"+358401234");
    EXPECT_EQ(GetWindowText(edit), L"+358401234");
    EXPECT_EQ(hosted::EditSelection(edit).end, 0);
}

TEST_F(WindowTest, KeysAreLoggedAndTypedIntoTheFocusWindow) {
    const Hwnd edit = CreateWindowEx(0, L"Edit", L"", 0, 0, 0, 80, 20, nullptr, 0, nullptr);
    SetForegroundWindow(edit);
    EXPECT_EQ(SetFocus(edit), edit);  // SetForegroundWindow already gave it the focus
    keybd_event('4', 0, 0);
    keybd_event('4', 0, KEYEVENTF_KEYUP);
    keybd_event(0x10, 0, 0);  // shift
    keybd_event('3', 0, 0);
    keybd_event('3', 0, KEYEVENTF_KEYUP);
    keybd_event(0x10, 0, KEYEVENTF_KEYUP);
    hosted::PumpMessages();
    EXPECT_EQ(GetWindowText(edit), L"4#");
    const auto log = hosted::KeyLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].virtualKey, '4');
    EXPECT_EQ(log[1].flags, KEYEVENTF_KEYUP);
    EXPECT_EQ(log[0].focus, edit);
    EXPECT_EQ(log[0].foreground, edit);
    hosted::ClearKeyLog();
    EXPECT_TRUE(hosted::KeyLog().empty());
}

TEST_F(WindowTest, ButtonClickNotifiesItsParent) {
    TestWindow dialog;
    dialog.Create();
    const Hwnd button = CreateWindowEx(0, L"Button", L"Answer", WS_CHILD | 0x3, 0, 0, 10, 10,
                                       dialog.hwnd(), 42, nullptr);
    SendMessage(button, 0x00F5, 0, 0);  // BM_CLICK
    ASSERT_EQ(dialog.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(LoWord(dialog.Of(WM_COMMAND)[0].wParam), 42);
    EXPECT_EQ(dialog.Of(WM_COMMAND)[0].lParam, reinterpret_cast<LParam>(button));
    EXPECT_EQ(hosted::ButtonCheck(button), 1);  // an auto check box toggles
}

}  // namespace
}  // namespace talvio::testing
