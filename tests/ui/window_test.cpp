// Window framework behaviour that holds on every backend: these tests run on
// the hosted desktop and, in the Windows build, against the real USER32
// under Wine.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui/window_test_support.h"
#include "ui/control_texts.h"
#include "ui/module_instance.h"
#include "ui/window.h"

namespace talvio {
namespace {

using testing::PointParam;
using testing::PumpPending;

constexpr std::uint32_t kOverlapped = os::WS_OVERLAPPEDWINDOW;
constexpr std::uint32_t kChild = os::WS_CHILD | os::WS_VISIBLE;
constexpr std::uint32_t BM_GETCHECK = 0x00F0;
constexpr std::uint32_t BM_SETCHECK = 0x00F1;
constexpr std::uint32_t BS_AUTOCHECKBOX = 3;
constexpr std::uint32_t MK_LBUTTON = 1;

std::wstring Hex(std::uintptr_t value) {
    std::wstring text;
    do {
        text.insert(text.begin(), L"0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

// Records what reaches the handlers the tests look at.
class ProbeWindow : public Window {
public:
    struct Call {
        std::string name;
        long long a = 0;
        long long b = 0;
        long long c = 0;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    int mouseLeaves = 0;
    int createFailures = 0;
    void* onCreateParam = nullptr;
    void* replacementParam = nullptr;
    bool refuseCreation = false;
    bool throwOnTimer = false;
    bool throwOnCreate = false;

    bool create(std::wstring_view className = {}, std::uint32_t style = kOverlapped,
                os::Hwnd parent = nullptr, std::uintptr_t id = 0) {
        return Window::create(0, className, L"probe", style, 10, 20, 200, 100, parent, id);
    }

    bool preCreate(os::CreateStruct& createStruct) override {
        if (refuseCreation) return false;
        if (replacementParam) createStruct.lpCreateParams = replacementParam;
        return Window::preCreate(createStruct);
    }
    os::LResult onCreate(os::CreateStruct* createStruct) override {
        if (throwOnCreate) throw std::runtime_error("creation handler failed");
        onCreateParam = createStruct->lpCreateParams;
        return Window::onCreate(createStruct);
    }
    void onCreateFailed() override { ++createFailures; }
    void onLButtonDown(int x, int y, std::uint32_t keys) override {
        calls.push_back({"down", x, y, keys});
        Window::onLButtonDown(x, y, keys);
    }
    void onLButtonUp(int x, int y, std::uint32_t keys) override {
        calls.push_back({"up", x, y, keys});
        Window::onLButtonUp(x, y, keys);
    }
    void onLButtonDblClk(int x, int y, std::uint32_t keys) override {
        calls.push_back({"dblclk", x, y, keys});
    }
    void onMouseMove(int x, int y, std::uint32_t keys) override {
        calls.push_back({"move", x, y, keys});
    }
    void onKeyDown(std::uint32_t key, int repeat, std::uint32_t flags) override {
        calls.push_back({"keydown", key, repeat, flags});
        Window::onKeyDown(key, repeat, flags);
    }
    void onChar(std::uint32_t character, int repeat, std::uint32_t flags) override {
        calls.push_back({"char", character, repeat, flags});
    }
    void onVScroll(int code, int position, os::Hwnd control) override {
        calls.push_back({"vscroll", code, position, reinterpret_cast<long long>(control)});
        Window::onVScroll(code, position, control);
    }
    void onHScroll(int code, int position, os::Hwnd control) override {
        calls.push_back({"hscroll", code, position, reinterpret_cast<long long>(control)});
    }
    void onTimer(std::uintptr_t id) override {
        if (throwOnTimer) throw std::runtime_error("timer handler failed");
        calls.push_back({"timer", static_cast<long long>(id)});
    }
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override {
        calls.push_back({"command", static_cast<long long>(wParam), lParam});
        return 1234;
    }
    void onMouseLeave() override { ++mouseLeaves; }
};

class WindowFramework : public testing::WindowTest {};

TEST_F(WindowFramework, RegisterClassNamesUnnamedClassesAfterModuleAndStyle) {
    const std::wstring module = Hex(reinterpret_cast<std::uintptr_t>(ModuleInstance()));
    const std::wstring name = Window::registerClass({}, 3, 0, 0, 0);
    EXPECT_EQ(name, L"Qmx:" + module + L":3");
    EXPECT_TRUE(os::GetClassInfo(name));
    EXPECT_EQ(Window::registerClass({}, 3, 0, 0, 0), name) << "an existing class counts as registered";

    EXPECT_EQ(Window::registerClass({}, 0x20, 0, 6, 0), L"Qmx:" + module + L":20:0:6:0");
    EXPECT_EQ(Window::registerClass({}, 8, 0, 0, 0x7f), L"Qmx:" + module + L":8:0:0:7f");
    EXPECT_EQ(Window::registerClass(L"TalvioNamedProbe", 0, 0, 0, 0), L"TalvioNamedProbe");
    EXPECT_TRUE(os::GetClassInfo(L"TalvioNamedProbe"));
}

TEST_F(WindowFramework, WindowWithoutClassGetsTheDefaultClass) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.create());
    EXPECT_EQ(os::GetClassName(probe.window()), L"QmxDefaultWndClass");
    EXPECT_EQ(os::GetUserData(probe.window()), &probe);
}

TEST_F(WindowFramework, RefusedCreationReportsAndLeavesTheObjectReusable) {
    ProbeWindow probe;
    probe.refuseCreation = true;
    EXPECT_FALSE(probe.create());
    EXPECT_EQ(probe.createFailures, 1);
    EXPECT_EQ(probe.window(), nullptr);

    probe.refuseCreation = false;
    EXPECT_TRUE(probe.create());
    EXPECT_NE(probe.window(), nullptr);
}

TEST_F(WindowFramework, ReplacedCreationParameterIsKeptWhileTheObjectStaysBound) {
    int payload = 7;
    ProbeWindow probe;
    probe.replacementParam = &payload;
    ASSERT_TRUE(probe.create());
    EXPECT_EQ(probe.creationParam(), &payload);
    EXPECT_EQ(probe.onCreateParam, &probe);
}

TEST_F(WindowFramework, HandlersGetDecodedParametersAndResults) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.create());
    const os::Hwnd w = probe.window();

    os::SendMessage(w, os::WM_LBUTTONDOWN, MK_LBUTTON, PointParam(-3, -4));
    os::SendMessage(w, os::WM_MOUSEMOVE, 0, PointParam(-1, 70));
    os::SendMessage(w, os::WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(-3, 2));
    os::SendMessage(w, os::WM_CHAR, 'x', PointParam(2, 0x1e));
    os::SendMessage(w, os::WM_HSCROLL, PointParam(5, 300), 0);
    os::SendMessage(w, os::WM_TIMER, 1001, 0);
    EXPECT_EQ(os::SendMessage(w, os::WM_COMMAND, 40001, 0), 1234);

    const std::vector<ProbeWindow::Call> expected = {
        {"down", -3, -4, MK_LBUTTON},   {"move", -1, 70, 0},
        {"dblclk", 65533, 2, MK_LBUTTON}, {"char", 'x', 2, 0x1e},
        {"hscroll", 5, 300, 0},         {"timer", 1001},
        {"command", 40001, 0},
    };
    EXPECT_EQ(probe.calls, expected);
}

TEST_F(WindowFramework, ExceptionsStopAtTheWindowProcedure) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.create());
    probe.throwOnTimer = true;
    EXPECT_EQ(os::SendMessage(probe.window(), os::WM_TIMER, 5, 0), 0);
    EXPECT_TRUE(os::IsWindow(probe.window()));

    ProbeWindow failing;
    failing.throwOnCreate = true;
    EXPECT_FALSE(failing.create()) << "a throwing WM_CREATE handler fails the creation";
    EXPECT_EQ(failing.window(), nullptr);
}

TEST_F(WindowFramework, DeletingTheObjectDestroysItsWindow) {
    auto probe = std::make_unique<ProbeWindow>();
    ASSERT_TRUE(probe->create());
    const os::Hwnd w = probe->window();
    probe.reset();
    EXPECT_FALSE(os::IsWindow(w));
}

TEST_F(WindowFramework, DestroyedWindowIsForgottenAndTheObjectCanCreateAgain) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.create());
    const os::Hwnd first = probe.window();
    EXPECT_FALSE(probe.create()) << "one window per object";
    EXPECT_EQ(probe.window(), first);
    os::DestroyWindow(probe.window());
    EXPECT_EQ(probe.window(), nullptr);
    ASSERT_TRUE(probe.create());
    os::SendMessage(probe.window(), os::WM_TIMER, 9, 0);
    EXPECT_EQ(probe.calls.back(), (ProbeWindow::Call{"timer", 9}));
}

// A class procedure of our own stands in for a system class: an adopted
// window must hand it every message the object does not handle, with the
// parameters rebuilt as they came.
struct Seen {
    std::uint32_t message;
    os::WParam wParam;
    os::LParam lParam;
    bool operator==(const Seen&) const = default;
};
std::vector<Seen>* seenByClass = nullptr;

os::LResult RecordingClassProc(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                               os::LParam lParam) {
    if (seenByClass) seenByClass->push_back({message, wParam, lParam});
    return os::DefWindowProc(window, message, wParam, lParam);
}

TEST_F(WindowFramework, AdoptedWindowChainsUnhandledMessagesToItsClassProcedure) {
    os::WindowClass foreign;
    foreign.proc = &RecordingClassProc;
    foreign.instance = ModuleInstance();
    foreign.name = L"TalvioForeignProbe";
    if (!os::GetClassInfo(foreign.name)) {
        ASSERT_NE(os::RegisterClass(foreign), 0);
    }

    std::vector<Seen> seen;
    seenByClass = &seen;
    ProbeWindow probe;
    ASSERT_TRUE(probe.create(L"TalvioForeignProbe"));
    EXPECT_EQ(os::GetWindowProc(probe.window()), &Window::windowProcedure);
    seen.clear();

    const os::Hwnd w = probe.window();
    os::SendMessage(w, os::WM_LBUTTONDOWN, MK_LBUTTON, PointParam(-3, 9));
    os::SendMessage(w, os::WM_KEYDOWN, 0x41, PointParam(1, 0x1e));
    os::SendMessage(w, os::WM_VSCROLL, PointParam(3, 77), 0);
    os::SendMessage(w, os::WM_SIZE, 2, PointParam(30, 40));
    os::SendMessage(w, os::WM_USER + 5, 11, 22);
    os::SendMessage(w, os::WM_PAINT, 0, 0);
    seenByClass = nullptr;

    const std::vector<Seen> expected = {
        {os::WM_LBUTTONDOWN, MK_LBUTTON, PointParam(-3, 9)},
        {os::WM_KEYDOWN, 0x41, PointParam(1, 0x1e)},
        {os::WM_VSCROLL, static_cast<os::WParam>(PointParam(3, 77)), 0},
        {os::WM_SIZE, 2, PointParam(30, 40)},
        {os::WM_USER + 5, 11, 22},
        {os::WM_PAINT, 0, 0},  // the class draws itself
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(probe.calls.size(), 3u) << "the object saw the mapped messages first";
}

TEST_F(WindowFramework, SystemButtonCreatedThroughCreateKeepsWorking) {
    ProbeWindow parent;
    ASSERT_TRUE(parent.create());
    ProbeWindow button;
    ASSERT_TRUE(button.Window::create(0, L"BUTTON", L"Tick", kChild | BS_AUTOCHECKBOX, 5, 5, 80, 20,
                                      parent.window(), 77));
    const os::Hwnd b = button.window();
    EXPECT_EQ(os::GetWindowProc(b), &Window::windowProcedure) << "adopted";
    EXPECT_EQ(os::GetDlgCtrlID(b), 77u);
    EXPECT_EQ(os::GetWindowText(b), L"Tick") << "WM_GETTEXT reaches the class";

    os::SendMessage(b, BM_SETCHECK, 1, 0);
    EXPECT_EQ(os::SendMessage(b, BM_GETCHECK, 0, 0), 1) << "button messages reach the class procedure";
    os::SendMessage(b, BM_SETCHECK, 0, 0);

    os::SendMessage(b, os::WM_LBUTTONDOWN, MK_LBUTTON, PointParam(4, 6));
    os::SendMessage(b, os::WM_LBUTTONUP, 0, PointParam(4, 6));
    ASSERT_GE(button.calls.size(), 2u);
    EXPECT_EQ(button.calls[0], (ProbeWindow::Call{"down", 4, 6, MK_LBUTTON}));
    EXPECT_EQ(button.calls[1], (ProbeWindow::Call{"up", 4, 6, 0}));
#if defined(_WIN32)
    // The real button procedure turns the click into a tick and a notification.
    EXPECT_EQ(os::SendMessage(b, BM_GETCHECK, 0, 0), 1);
    PumpPending();
    ASSERT_FALSE(parent.calls.empty());
    EXPECT_EQ(parent.calls.back().name, "command");
    EXPECT_EQ(parent.calls.back().a, 77) << "BN_CLICKED from control 77";
#endif
}

TEST_F(WindowFramework, MouseMovingFromOneWindowToAnotherTellsTheFirstOnce) {
    ProbeWindow a;
    ProbeWindow b;
    ASSERT_TRUE(a.create());
    ASSERT_TRUE(b.create());

    os::SendMessage(a.window(), os::WM_MOUSEMOVE, 0, PointParam(1, 1));
    os::SendMessage(a.window(), os::WM_MOUSEMOVE, 0, PointParam(2, 1));
    PumpPending();
    EXPECT_EQ(a.mouseLeaves, 0);

    os::SendMessage(b.window(), os::WM_MOUSEMOVE, 0, PointParam(1, 1));
    os::SendMessage(b.window(), os::WM_MOUSEMOVE, 0, PointParam(3, 3));
    PumpPending();
    EXPECT_EQ(a.mouseLeaves, 1);
    EXPECT_EQ(b.mouseLeaves, 0);

    os::SendMessage(a.window(), os::WM_MOUSEMOVE, 0, PointParam(1, 1));
    PumpPending();
    EXPECT_EQ(a.mouseLeaves, 1);
    EXPECT_EQ(b.mouseLeaves, 1);
}

TEST_F(WindowFramework, DestroyedHoveredWindowIsNotToldLater) {
    auto a = std::make_unique<ProbeWindow>();
    ProbeWindow b;
    ASSERT_TRUE(a->create());
    ASSERT_TRUE(b.create());
    os::SendMessage(a->window(), os::WM_MOUSEMOVE, 0, 0);
    a.reset();  // a dangling lastHovered would be used (and reported by ASan) below
    os::SendMessage(b.window(), os::WM_MOUSEMOVE, 0, 0);
    PumpPending();
    EXPECT_EQ(b.mouseLeaves, 0);

    ProbeWindow c;
    ASSERT_TRUE(c.create());
    os::SendMessage(c.window(), os::WM_MOUSEMOVE, 0, 0);
    PumpPending();
    EXPECT_EQ(b.mouseLeaves, 1);
}

TEST_F(WindowFramework, LocalizeChildrenReplacesButtonAndStaticTextsThatHaveAnEntry) {
    SetControlTextLookup([](int id) -> std::optional<std::wstring> {
        if (id == 1042) return std::wstring(L"Localised");
        if (id == 1044) return std::wstring();
        return std::nullopt;
    });
    ProbeWindow parent;
    ASSERT_TRUE(parent.create());
    struct Child {
        const wchar_t* className;
        std::uintptr_t id;
    };
    const Child children[] = {{L"Static", 1042}, {L"STATIC", 1043}, {L"button", 1044},
                              {L"Edit", 1042}};
    std::vector<os::Hwnd> made;
    for (const Child& child : children) {
        made.push_back(os::CreateWindowEx(0, child.className, L"template", kChild, 0, 0, 50, 10,
                                          parent.window(), child.id, nullptr));
        ASSERT_NE(made.back(), nullptr);
    }
    parent.localizeChildren();
    SetControlTextLookup(nullptr);

    EXPECT_EQ(os::GetWindowText(made[0]), L"Localised");
    EXPECT_EQ(os::GetWindowText(made[1]), L"template") << "no entry: the template text stays";
    EXPECT_EQ(os::GetWindowText(made[2]), L"") << "an empty entry empties the control";
    EXPECT_EQ(os::GetWindowText(made[3]), L"template") << "only Button and Static controls";
}

TEST_F(WindowFramework, LocalizeChildrenWithoutLookupChangesNothing) {
    ProbeWindow parent;
    ASSERT_TRUE(parent.create());
    const os::Hwnd label = os::CreateWindowEx(0, L"Static", L"template", kChild, 0, 0, 50, 10,
                                              parent.window(), 1042, nullptr);
    ASSERT_NE(label, nullptr);
    parent.localizeChildren();
    EXPECT_EQ(os::GetWindowText(label), L"template");
}

TEST_F(WindowFramework, EnableReachesTheWindowAndEveryChild) {
    ProbeWindow parent;
    ASSERT_TRUE(parent.create());
    const os::Hwnd first = os::CreateWindowEx(0, L"Button", L"a", kChild, 0, 0, 10, 10,
                                              parent.window(), 1, nullptr);
    const os::Hwnd second = os::CreateWindowEx(0, L"Static", L"b", kChild, 0, 0, 10, 10,
                                               parent.window(), 2, nullptr);
    parent.enable(false);
    EXPECT_FALSE(os::IsWindowEnabled(parent.window()));
    EXPECT_FALSE(os::IsWindowEnabled(first));
    EXPECT_FALSE(os::IsWindowEnabled(second));
    parent.enable(true);
    EXPECT_TRUE(os::IsWindowEnabled(parent.window()));
    EXPECT_TRUE(os::IsWindowEnabled(first));
    EXPECT_TRUE(os::IsWindowEnabled(second));
}

os::Rect Size(const os::Rect& r) { return {0, 0, r.right - r.left, r.bottom - r.top}; }

TEST_F(WindowFramework, CentringKeepsTheSizeAndFallsBackToTheDesktop) {
    // Pop-ups: overlapped windows have a minimum size that would move the edges.
    ProbeWindow owner;
    ProbeWindow popup;
    ASSERT_TRUE(owner.create({}, os::WS_POPUP));
    ASSERT_TRUE(popup.create({}, os::WS_POPUP));
    ASSERT_TRUE(owner.moveTo(200, 100, 400, 300));
    ASSERT_TRUE(popup.moveTo(0, 0, 100, 50));

    Window::centerOver(popup.window(), owner.window());
    os::Rect placed = os::GetWindowRect(popup.window());
    EXPECT_EQ(placed.left, 350);
    EXPECT_EQ(placed.top, 225);
    EXPECT_EQ(placed.right - placed.left, 100);
    EXPECT_EQ(placed.bottom - placed.top, 50);

    const os::Rect desktop = os::GetWindowRect(os::GetDesktopWindow());
    const int desktopLeft = desktop.left + (desktop.right - desktop.left - 100) / 2;
    const int desktopTop = desktop.top + (desktop.bottom - desktop.top - 50) / 2;

    ASSERT_TRUE(owner.moveTo(200, 100, 0, 300));
    Window::centerOver(popup.window(), owner.window());
    placed = os::GetWindowRect(popup.window());
    EXPECT_EQ(placed.left, desktopLeft) << "an owner without width does not count";
    EXPECT_EQ(placed.top, desktopTop);

    ASSERT_TRUE(owner.moveTo(200, 100, 400, 300));
    os::ShowWindow(owner.window(), os::SW_MINIMIZE);
    ASSERT_TRUE(os::IsIconic(owner.window()));
    popup.moveTo(0, 0, 100, 50);
    Window::centerOver(popup.window(), owner.window());
    EXPECT_EQ(os::GetWindowRect(popup.window()).left, desktopLeft) << "a minimised owner does not count";

    popup.moveTo(0, 0, 100, 50);
    Window::centerOver(popup.window(), nullptr);
    EXPECT_EQ(os::GetWindowRect(popup.window()).left, desktopLeft);

    popup.moveTo(0, 0, 100, 50);
    Window::centerOnDesktop(popup.window());
    placed = os::GetWindowRect(popup.window());
    EXPECT_EQ(placed.left, desktopLeft);
    EXPECT_EQ(placed.top, desktopTop);
    EXPECT_EQ(Size(placed).right, 100);
}

}  // namespace
}  // namespace talvio
