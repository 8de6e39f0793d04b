#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/platform_win32/test_support.h"

namespace talvio::test {
namespace {

class WindowTree : public ::testing::Test {
protected:
    TestWindow root{{}, nullptr, L"root"};
    TestWindow a{{}, root.hwnd(), L"a", os::WS_CHILD};
    TestWindow a1{{}, a.hwnd(), L"a1", os::WS_CHILD};
    TestWindow a2{{}, a.hwnd(), L"a2", os::WS_CHILD};
    TestWindow b{{}, root.hwnd(), L"b", os::WS_CHILD};
};

TEST_F(WindowTree, EnumChildWindowsWalksDepthFirstInCreationOrder) {
    std::vector<os::Hwnd> seen;
    EXPECT_TRUE(os::EnumChildWindows(root.hwnd(), [&](os::Hwnd window) {
        seen.push_back(window);
        return true;
    }));
    EXPECT_EQ((std::vector<os::Hwnd>{a.hwnd(), a1.hwnd(), a2.hwnd(), b.hwnd()}), seen);
}

TEST_F(WindowTree, CallbackStopsTheWalkByFalseOrByThrowing) {
    std::vector<os::Hwnd> seen;
    EXPECT_FALSE(os::EnumChildWindows(root.hwnd(), [&](os::Hwnd window) {
        seen.push_back(window);
        return window != a1.hwnd();
    }));
    EXPECT_EQ((std::vector<os::Hwnd>{a.hwnd(), a1.hwnd()}), seen);

    seen.clear();
    EXPECT_FALSE(os::EnumChildWindows(root.hwnd(), [&](os::Hwnd window) -> bool {
        seen.push_back(window);
        if (window == a1.hwnd()) throw std::runtime_error("stop");
        return true;
    }));
    EXPECT_EQ((std::vector<os::Hwnd>{a.hwnd(), a1.hwnd()}), seen);
}

TEST_F(WindowTree, TopLevelWalksSeeNoChildren) {
    bool rootSeen = false;
    bool childSeen = false;
    auto look = [&](os::Hwnd window) {
        rootSeen |= window == root.hwnd();
        childSeen |= window == a.hwnd() || window == a1.hwnd() || window == b.hwnd();
        return true;
    };
    EXPECT_TRUE(os::EnumWindows(look));
    EXPECT_TRUE(rootSeen);
    EXPECT_FALSE(childSeen);

    rootSeen = false;
    EXPECT_TRUE(os::EnumThreadWindows(os::GetCurrentThreadId(), look));
    EXPECT_TRUE(rootSeen);
    EXPECT_FALSE(childSeen);
}

TEST_F(WindowTree, FindWindowExSearchesDirectChildrenOnly) {
    const wchar_t* cls = TestWindow::ClassName();
    EXPECT_EQ(a.hwnd(), os::FindWindowEx(root.hwnd(), nullptr, cls, L"a"));
    EXPECT_EQ(b.hwnd(), os::FindWindowEx(root.hwnd(), a.hwnd(), cls, nullptr));
    EXPECT_EQ(nullptr, os::FindWindowEx(root.hwnd(), nullptr, cls, L"a2"));
    EXPECT_EQ(a2.hwnd(), os::FindWindowEx(a.hwnd(), nullptr, nullptr, L"a2"));
    EXPECT_EQ(root.hwnd(), os::FindWindowEx(nullptr, nullptr, cls, L"root"));
}

TEST_F(WindowTree, ParentsAndRoots) {
    EXPECT_EQ(a.hwnd(), os::GetParent(a2.hwnd()));
    EXPECT_EQ(root.hwnd(), os::GetRootAncestor(a2.hwnd()));
    EXPECT_EQ(root.hwnd(), os::GetRootAncestor(root.hwnd()));
    EXPECT_EQ(nullptr, os::GetParent(root.hwnd()));
    EXPECT_EQ(L"a1", os::GetWindowText(a1.hwnd()));
    EXPECT_EQ(std::wstring(TestWindow::ClassName()), os::GetClassName(a1.hwnd()));
    EXPECT_TRUE(os::GetWindowStyle(a1.hwnd()) & os::WS_CHILD);
}

TEST_F(WindowTree, DestroyingAParentDestroysItsChildrenDeepestLast) {
    std::vector<std::wstring> destroyed;
    auto record = [&destroyed](const wchar_t* name) {
        return [&destroyed, name](std::uint32_t message, os::WParam,
                                  os::LParam) -> std::optional<os::LResult> {
            if (message == os::WM_DESTROY) destroyed.push_back(name);
            return {};
        };
    };
    TestWindow parent(record(L"parent"));
    TestWindow child(record(L"child"), parent.hwnd(), L"", os::WS_CHILD);
    TestWindow grandchild(record(L"grandchild"), child.hwnd(), L"", os::WS_CHILD);
    EXPECT_TRUE(os::DestroyWindow(parent.hwnd()));
    EXPECT_FALSE(os::IsWindow(grandchild.hwnd()));
    EXPECT_EQ((std::vector<std::wstring>{L"parent", L"child", L"grandchild"}), destroyed);
}

class EditControl : public ::testing::Test {
protected:
    void SetUp() override {
        edit = os::CreateWindowEx(0, L"Edit", L"", os::WS_CHILD, 0, 0, 200, 20, parent.hwnd(),
                                  5, nullptr);
        ASSERT_TRUE(edit);
    }

    void SetText(const std::wstring& text) {
        EXPECT_EQ(1, os::SendMessage(edit, os::WM_SETTEXT, 0,
                                     reinterpret_cast<os::LParam>(text.c_str())));
    }

    void Select(int start, int end) {
        os::SendMessage(edit, os::EM_SETSEL, static_cast<os::WParam>(start),
                        static_cast<os::LParam>(end));
    }

    void Type(wchar_t character) { os::SendMessage(edit, os::WM_CHAR, character, 0); }

    TestWindow parent;
    os::Hwnd edit = nullptr;
};

TEST_F(EditControl, GetTextCopiesWhatFitsWithATerminator) {
    SetText(L"hello world");
    EXPECT_EQ(11, os::SendMessage(edit, os::WM_GETTEXTLENGTH, 0, 0));
    wchar_t buffer[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(5, os::SendMessage(edit, os::WM_GETTEXT, 6, reinterpret_cast<os::LParam>(buffer)));
    EXPECT_EQ(std::wstring(L"hello"), std::wstring(buffer));
    EXPECT_EQ(L"hello world", os::GetWindowText(edit));
    EXPECT_EQ(5u, os::GetDlgCtrlID(edit));
    EXPECT_EQ(edit, os::GetDlgItem(parent.hwnd(), 5));
}

TEST_F(EditControl, TextKeepsUtf16CodeUnits) {
    const std::wstring text{0x00E4, 0x20AC, 0xD83D, 0xDE00, L'x'};
    SetText(text);
    EXPECT_EQ(text, os::GetWindowText(edit));
    EXPECT_TRUE(os::SetWindowText(edit, L""));
    EXPECT_EQ(L"", os::GetWindowText(edit));
}

TEST_F(EditControl, SelectionIsWhatTypingReplaces) {
    SetText(L"hello world");
    Select(6, 11);
    Type(L'X');
    EXPECT_EQ(L"hello X", os::GetWindowText(edit));

    Select(5, 2);  // a reversed range is the same selection
    Type(L'Y');
    EXPECT_EQ(L"heY X", os::GetWindowText(edit));

    Select(3, 100);  // an end past the text stops at the text's end
    Type(L'Z');
    EXPECT_EQ(L"heYZ", os::GetWindowText(edit));

    Select(0, -1);  // everything
    Type(L'W');
    EXPECT_EQ(L"W", os::GetWindowText(edit));
}

}  // namespace
}  // namespace talvio::test
