// The process entry's single-instance rules and quit path on the hosted
// desktop, where other "processes" are simulated.
#include "app/driver_process.h"
#include "platform/unique.h"
#include "tests/support/desktop_test.h"
#include "tests/support/temp_folder.h"

namespace talvio {
namespace {

using os::hosted::ProcessScope;

const wchar_t* MutexName() { return DriverProcess::kMutexName.data(); }

os::Hwnd FindQuitWindow() {
    return os::FindWindowEx(nullptr, nullptr, QuitWindow::kClassName.data(), QuitWindow::kTitle.data());
}

// True when the single-instance mutex exists (probing makes and drops a handle).
bool MutexExists() {
    os::Handle probe(os::CreateMutex(false, MutexName()));
    return probe && os::GetLastError() == os::ERROR_ALREADY_EXISTS;
}

void BroadcastQuit(os::WParam wParam = 0, os::LParam lParam = 0) {
    const std::uint32_t message = os::RegisterWindowMessage(QuitWindow::kQuitMessageName);
    os::LResult ignored = 0;
    ASSERT_TRUE(os::SendMessageTimeout(os::kBroadcast, message, wParam, lParam,
                                       os::SMTO_ABORTIFHUNG, 3000, &ignored));
}

// Ends a message loop that nothing else ended, after 10 virtual seconds,
// with an exit code of its own: a broken quit path fails instead of hanging.
class LoopDeadline : public Window {
public:
    static constexpr int kExitCode = 77;
    LoopDeadline() {
        create(0, {}, L"deadline", 0, 0, 0, 0, 0, nullptr, 0);
        os::SetTimer(window(), 1, 10000);
    }
    void onTimer(std::uintptr_t) override { os::PostQuitMessage(kExitCode); }
};

// Start-up and shutdown read and write the settings beside the module, so
// each test gives the program a folder of its own.
class DriverProcessTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        os::hosted::SetModuleFileName((folder_.path() / "TalvioDriver.exe").wstring());
    }

    testing::TempFolder folder_{"talvio-app"};
    void* instance_ = os::GetModuleHandle();
};

TEST_F(DriverProcessTest, SecondCopyLeavesWithMinusOneAndShowsNothing) {
    const os::ProcessId other = os::hosted::CreateProcess(L"TalvioDriver.exe");
    os::Handle runningCopy;
    {
        ProcessScope scope(other);
        runningCopy.reset(os::CreateMutex(true, MutexName()));
    }
    ASSERT_TRUE(runningCopy);

    DriverProcess second(instance_);
    EXPECT_EQ(second.start(), std::optional<int>(-1));
    EXPECT_EQ(FindQuitWindow(), nullptr);
    EXPECT_EQ(second.quitWindow().window(), nullptr);
}

TEST_F(DriverProcessTest, QuitWindowOfACopyWithoutMutexEndsTheStartWithZeroAndFreesTheMutex) {
    const os::ProcessId other = os::hosted::CreateProcess(L"TalvioDriver.exe");
    os::hosted::SimulatedThread otherCopy(other);
    QuitWindow otherWindow;
    otherCopy.Call([&] { ASSERT_TRUE(otherWindow.createHidden()); });

    {
        DriverProcess process(instance_);
        EXPECT_EQ(process.start(), std::optional<int>(0));
        EXPECT_FALSE(MutexExists()) << "the mutex handle is closed on this path";
        EXPECT_EQ(process.quitWindow().window(), nullptr);
    }
    otherCopy.Call([&] { os::DestroyWindow(otherWindow.window()); });
}

os::LResult RefuseCreation(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == os::WM_CREATE) return -1;
    return os::DefWindowProc(window, message, wParam, lParam);
}

TEST_F(DriverProcessTest, QuitWindowThatCannotBeCreatedEndsTheStartWithZeroAndFreesTheMutex) {
    os::WindowClass refusing;
    refusing.proc = &RefuseCreation;
    refusing.instance = instance_;
    refusing.name = std::wstring(QuitWindow::kClassName);
    ASSERT_NE(os::RegisterClass(refusing), 0);

    DriverProcess process(instance_);
    EXPECT_EQ(process.start(), std::optional<int>(0));
    EXPECT_EQ(process.quitWindow().window(), nullptr);
    EXPECT_FALSE(MutexExists());
}

TEST_F(DriverProcessTest, BroadcastQuitMessageEndsTheLoopWithZeroAndShutdownReleasesAll) {
    DriverProcess process(instance_);
    ASSERT_EQ(process.start(), std::nullopt);
    const os::Hwnd quitWindow = FindQuitWindow();
    ASSERT_NE(quitWindow, nullptr);
    EXPECT_EQ(quitWindow, process.quitWindow().window());
    EXPECT_FALSE(os::IsWindowVisible(quitWindow));
    EXPECT_TRUE(MutexExists());

    const os::ProcessId installer = os::hosted::CreateProcess(L"setup.exe");
    os::hosted::SimulatedThread closo(installer, [] { BroadcastQuit(); });
    LoopDeadline deadline;
    EXPECT_EQ(process.runMessageLoop(), 0);

    process.shutDown();
    EXPECT_FALSE(os::IsWindow(quitWindow));
    EXPECT_FALSE(MutexExists());
}

TEST_F(DriverProcessTest, PostedQuitMessageWithAnyParametersAlsoQuits) {
    DriverProcess process(instance_);
    ASSERT_EQ(process.start(), std::nullopt);
    const std::uint32_t message = os::RegisterWindowMessage(QuitWindow::kQuitMessageName);
    EXPECT_EQ(message, process.quitWindow().quitMessage());
    ASSERT_TRUE(os::PostMessage(process.quitWindow().window(), message, 7, -9));
    LoopDeadline deadline;
    EXPECT_EQ(process.runMessageLoop(), 0);
    process.shutDown();
}

TEST_F(DriverProcessTest, OtherMessagesDoNotEndTheLoop) {
    DriverProcess process(instance_);
    ASSERT_EQ(process.start(), std::nullopt);
    const os::Hwnd quitWindow = process.quitWindow().window();
    os::PostMessage(quitWindow, os::WM_NULL, 0, 0);
    os::PostMessage(quitWindow, os::WM_USER, 0, 0);
    os::hosted::PumpMessages();
    EXPECT_FALSE(os::hosted::QuitPosted());

    os::PostQuitMessage(3);
    EXPECT_EQ(process.runMessageLoop(), 3) << "the exit code is WM_QUIT's";
    process.shutDown();
}

TEST_F(DriverProcessTest, ACopyStartsAgainAfterTheFirstShutDown) {
    {
        DriverProcess first(instance_);
        ASSERT_EQ(first.start(), std::nullopt);
        first.shutDown();
    }
    DriverProcess second(instance_);
    EXPECT_EQ(second.start(), std::nullopt);
    second.shutDown();
}

TEST_F(DriverProcessTest, RunDriverProcessReturnsMinusOneForASecondCopy) {
    const os::ProcessId other = os::hosted::CreateProcess(L"TalvioDriver.exe");
    os::Handle runningCopy;
    {
        ProcessScope scope(other);
        runningCopy.reset(os::CreateMutex(true, MutexName()));
    }
    EXPECT_EQ(RunDriverProcess(instance_), -1);
}

}  // namespace
}  // namespace talvio
