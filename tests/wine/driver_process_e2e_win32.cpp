// The deliverables end to end, as separate processes: TalvioDriver.exe from
// the app folder of the build, closo_call.exe (and Closo.dll) beside this
// test. Every wait is bounded, and whatever a test starts it also ends.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/win32_test_process.h"

namespace {

using talvio::testing::ChildProcess;
using talvio::testing::TestProgramDirectory;

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kAlreadyRunningCode = static_cast<DWORD>(-1);

std::wstring DriverPath() { return TestProgramDirectory() + L"..\\..\\app\\TalvioDriver.exe"; }
std::wstring ClosoCallPath() { return TestProgramDirectory() + L"closo_call.exe"; }

HWND FindQuitWindow(HWND after = nullptr) {
    return FindWindowExW(nullptr, after, L"OrvaneWindowClass20060218", L"OrvaneWindow20062423");
}

bool QuitWindowExists() { return FindQuitWindow() != nullptr; }

int QuitWindowCount() {
    int count = 0;
    for (HWND window = FindQuitWindow(); window; window = FindQuitWindow(window)) ++count;
    return count;
}

// The hidden window behind the running copy's tray icon.
bool TrayWindowExists() {
    return FindWindowExW(nullptr, nullptr, L"QmxUsbPhoneWndClass", nullptr) != nullptr;
}

// Polls until `exists` holds, or the process ends.
bool WaitForWindow(const ChildProcess& driver, bool (*exists)()) {
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        if (exists()) return true;
        if (!driver.running()) return false;
        Sleep(kPollMs);
    }
    return false;
}

class DriverProcessE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QuitWindowExists())
            << "a TalvioDriver already runs in this Wine prefix; stop it (make stop) and retry";
    }

    // Starts TalvioDriver.exe and waits until it listens for quit requests.
    void startDriver(std::unique_ptr<ChildProcess>& driver) {
        driver = std::make_unique<ChildProcess>(DriverPath());
        ASSERT_TRUE(driver->started()) << "cannot start TalvioDriver.exe (error " << GetLastError() << ")";
        ASSERT_TRUE(WaitForWindow(*driver, &QuitWindowExists))
            << "TalvioDriver.exe showed no quit window within " << kWaitMs << " ms";
    }

    std::optional<DWORD> runClosoCall() {
        ChildProcess closo(ClosoCallPath());
        if (!closo.started()) return std::nullopt;
        return closo.waitForExit(kWaitMs);
    }
};

TEST_F(DriverProcessE2E, SecondCopyExitsWithMinusOneWhileTheFirstKeepsRunning) {
    std::unique_ptr<ChildProcess> first;
    ASSERT_NO_FATAL_FAILURE(startDriver(first));

    ChildProcess second(DriverPath());
    ASSERT_TRUE(second.started());
    const std::optional<DWORD> secondCode = second.waitForExit(kWaitMs);
    ASSERT_TRUE(secondCode.has_value()) << "the second copy was still running after " << kWaitMs << " ms";
    EXPECT_EQ(*secondCode, kAlreadyRunningCode);
    EXPECT_TRUE(first->running()) << "the first copy ended when the second started";
    EXPECT_EQ(QuitWindowCount(), 1) << "the second copy left a window behind";
}

TEST_F(DriverProcessE2E, ClosoMakesTheRunningCopyExitWithZero) {
    std::unique_ptr<ChildProcess> driver;
    ASSERT_NO_FATAL_FAILURE(startDriver(driver));
    EXPECT_TRUE(WaitForWindow(*driver, &TrayWindowExists)) << "TalvioDriver.exe made no tray window";

    const std::optional<DWORD> closoCode = runClosoCall();
    ASSERT_TRUE(closoCode.has_value()) << "closo_call.exe did not start or did not end";
    EXPECT_EQ(*closoCode, 0u) << "vxClosoApp reported a failed broadcast (1) or was not found (2)";

    const std::optional<DWORD> driverCode = driver->waitForExit(kWaitMs);
    ASSERT_TRUE(driverCode.has_value()) << "TalvioDriver.exe did not quit within " << kWaitMs << " ms";
    EXPECT_EQ(*driverCode, 0u);
    EXPECT_FALSE(QuitWindowExists());
}

TEST_F(DriverProcessE2E, ClosoLeavesTheHandsetOnItsLineWithTheLightOffAndTheLcdBlank) {
    // The driver copy beside the handset simulator's setupapi.dll and hid.dll.
    const std::wstring directory = TestProgramDirectory() + L"with_handset\\";
    talvio::testing::HandsetSimulatorProcess handset(directory + L"handset_sim.exe", L"--model 11");
    ASSERT_TRUE(handset.started());
    auto driver = std::make_unique<ChildProcess>(directory + L"TalvioDriver.exe");
    ASSERT_TRUE(driver->started());
    ASSERT_TRUE(WaitForWindow(*driver, &QuitWindowExists));
    // Open once the status command comes every 200 ms and the LCD is streamed.
    ASSERT_TRUE(talvio::testing::PumpUntil([&] {
        const std::string state = handset.Command("state");
        return state.find(" status=0 ") == std::string::npos && state.find(" chunks=0 ") == std::string::npos;
    }, kWaitMs)) << handset.Command("state");

    const std::optional<DWORD> closoCode = runClosoCall();
    ASSERT_TRUE(closoCode.has_value());
    ASSERT_EQ(driver->waitForExit(kWaitMs), std::optional<DWORD>(0));

    // Last of all: the talk route (the handset's own line), then the light
    // off, then the LCD blank after at least the two blanking passes of 96
    // chunks. Picture chunks the writer still sends may come in between.
    std::istringstream words(handset.Command("history"));
    std::vector<std::string> commands;
    std::string word, lastRun;
    while (words >> word) {
        if (word.rfind("lcd=", 0) == 0) {
            lastRun = word;
        } else {
            commands.push_back(word);
            lastRun.clear();
        }
    }
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], "route=2");
    EXPECT_EQ(commands.back(), "light=0");
    const std::size_t colon = lastRun.find(':');
    ASSERT_NE(colon, std::string::npos) << "no LCD chunks after the light off";
    EXPECT_GE(std::stoi(lastRun.substr(4, colon - 4)), 192) << lastRun;
    EXPECT_EQ(lastRun.substr(colon), ":blank");
}

// A top-level window whose thread stops pumping, as a hung program's.
class HungWindow {
public:
    HungWindow() {
        release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &HungWindow::Run, this, 0, nullptr);
        WaitForSingleObject(ready_, kWaitMs);
    }
    HungWindow(const HungWindow&) = delete;
    HungWindow& operator=(const HungWindow&) = delete;
    ~HungWindow() {
        SetEvent(release_);
        WaitForSingleObject(thread_, kWaitMs);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool made() const { return window_ != nullptr; }

private:
    static DWORD WINAPI Run(void* argument) {
        auto* self = static_cast<HungWindow*>(argument);
        self->window_ = CreateWindowExW(0, L"STATIC", L"hung", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
        SetEvent(self->ready_);
        WaitForSingleObject(self->release_, INFINITE);
        DestroyWindow(self->window_);
        return 0;
    }

    HANDLE release_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(DriverProcessE2E, HungWindowDelaysClosoByItsTimeOutOnly) {
    HungWindow hung;
    ASSERT_TRUE(hung.made());
    std::unique_ptr<ChildProcess> driver;
    ASSERT_NO_FATAL_FAILURE(startDriver(driver));

    const DWORD before = GetTickCount();
    const std::optional<DWORD> closoCode = runClosoCall();
    const DWORD took = GetTickCount() - before;
    ASSERT_TRUE(closoCode.has_value()) << "closo_call.exe did not end within " << kWaitMs << " ms";
    EXPECT_LT(took, 10000u) << "the hung window held the broadcast beyond its 3 s time-out";

    const std::optional<DWORD> driverCode = driver->waitForExit(kWaitMs);
    ASSERT_TRUE(driverCode.has_value()) << "TalvioDriver.exe did not quit past a hung window";
    EXPECT_EQ(*driverCode, 0u);
}

TEST_F(DriverProcessE2E, ClosoWithNothingRunningSucceedsAndChangesNothing) {
    for (int call = 0; call < 2; ++call) {
        const std::optional<DWORD> closoCode = runClosoCall();
        ASSERT_TRUE(closoCode.has_value()) << "closo_call.exe did not start or did not end";
        EXPECT_EQ(*closoCode, 0u) << "call " << call + 1;
    }
    EXPECT_FALSE(QuitWindowExists());
}

TEST_F(DriverProcessE2E, ClosoExportIsUndecoratedAndCallableInProcess) {
    const std::wstring libraryPath = TestProgramDirectory() + L"Closo.dll";
    HMODULE library = LoadLibraryW(libraryPath.c_str());
    ASSERT_NE(library, nullptr) << "cannot load Closo.dll";
    const auto closeApp = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "vxClosoApp")));
    EXPECT_NE(closeApp, nullptr);
    EXPECT_EQ(GetProcAddress(library, "_vxClosoApp"), nullptr);
    if (closeApp) {
        EXPECT_NE(closeApp(), 0);
    }
    FreeLibrary(library);
}

}  // namespace
