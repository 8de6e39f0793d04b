#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/platform_win32/test_support.h"

namespace talvio::test {
namespace {

TEST(Windows, CreationParameterReachesCreate) {
    std::vector<void*> params;
    TestWindow window([&](std::uint32_t message, os::WParam,
                          os::LParam lParam) -> std::optional<os::LResult> {
        if (message == os::WM_CREATE) {
            params.push_back(reinterpret_cast<const os::CreateStruct*>(lParam)->lpCreateParams);
        }
        return {};
    });
    ASSERT_EQ(1u, params.size());
    EXPECT_EQ(static_cast<void*>(&window), params[0]);
}

TEST(Windows, AThrowingProcedureDoesNotUnwindThroughTheSystem) {
    TestWindow window([](std::uint32_t message, os::WParam,
                         os::LParam) -> std::optional<os::LResult> {
        if (message == os::WM_USER) throw std::runtime_error("handler failed");
        return {};
    });
    EXPECT_EQ(0, os::SendMessage(window.hwnd(), os::WM_USER, 0, 0));
    EXPECT_TRUE(os::IsWindow(window.hwnd()));
}

// Subclassing a system control: the os:: procedure sees the messages first
// and hands the rest to the control's own procedure through CallWindowProc.
os::WndProc editProc = nullptr;
int charsSeen = 0;

os::LResult UpperCaseEdit(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                          os::LParam lParam) {
    if (message == os::WM_CHAR) {
        ++charsSeen;
        if (wParam >= L'a' && wParam <= L'z') wParam -= L'a' - L'A';
    }
    return os::CallWindowProc(editProc, window, message, wParam, lParam);
}

TEST(Windows, SubclassedControlKeepsItsOwnBehaviour) {
    TestWindow parent;
    const os::Hwnd edit =
        os::CreateWindowEx(0, L"Edit", L"", os::WS_CHILD, 0, 0, 100, 20, parent.hwnd(), 1, nullptr);
    ASSERT_TRUE(edit);
    charsSeen = 0;
    editProc = os::SetWindowProc(edit, &UpperCaseEdit);
    ASSERT_NE(nullptr, editProc);
    EXPECT_EQ(&UpperCaseEdit, os::GetWindowProc(edit));
    for (wchar_t c : std::wstring(L"ok1")) os::SendMessage(edit, os::WM_CHAR, c, 0);
    EXPECT_EQ(L"OK1", os::GetWindowText(edit));
    EXPECT_EQ(3, charsSeen);

    EXPECT_EQ(&UpperCaseEdit, os::SetWindowProc(edit, editProc));
    EXPECT_EQ(editProc, os::GetWindowProc(edit));
    os::SendMessage(edit, os::WM_CHAR, L'x', 0);
    EXPECT_EQ(L"OK1x", os::GetWindowText(edit));
    EXPECT_EQ(3, charsSeen);
}

TEST(Windows, ClassesAreFoundByName) {
    EXPECT_TRUE(os::GetClassInfo(TestWindow::ClassName()));
    EXPECT_TRUE(os::GetClassInfo(L"Edit"));
    EXPECT_FALSE(os::GetClassInfo(L"TalvioNoSuchClass"));
    os::WindowClass again;
    again.name = TestWindow::ClassName();
    again.proc = &os::DefWindowProc;
    EXPECT_EQ(0, os::RegisterClass(again));
}

TEST(Windows, VisibilityAndEnablingReportThePreviousState) {
    TestWindow window;
    const os::Hwnd hwnd = window.hwnd();
    EXPECT_FALSE(os::IsWindowVisible(hwnd));
    EXPECT_FALSE(os::ShowWindow(hwnd, os::SW_SHOW));
    EXPECT_TRUE(os::IsWindowVisible(hwnd));
    EXPECT_TRUE(os::ShowWindow(hwnd, os::SW_HIDE));
    EXPECT_FALSE(os::IsWindowVisible(hwnd));

    EXPECT_TRUE(os::IsWindowEnabled(hwnd));
    EXPECT_FALSE(os::EnableWindow(hwnd, false));
    EXPECT_FALSE(os::IsWindowEnabled(hwnd));
    EXPECT_TRUE(os::GetWindowStyle(hwnd) & os::WS_DISABLED);
    EXPECT_TRUE(os::EnableWindow(hwnd, true));

    EXPECT_TRUE(os::MoveWindow(hwnd, 10, 20, 120, 80, false));
    const os::Rect rect = os::GetWindowRect(hwnd);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(130, rect.right);
    EXPECT_EQ(100, rect.bottom);
}

TEST(Module, FileNameIsTheRunningExecutable) {
    const std::wstring path = os::GetModuleFileName();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(L".exe", path.substr(path.size() - 4));
    EXPECT_NE(std::wstring::npos, path.find(L"platform_win32_test"));
    EXPECT_NE(nullptr, os::GetModuleHandle());
}

}  // namespace
}  // namespace talvio::test
