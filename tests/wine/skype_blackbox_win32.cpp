// TalvioDriver.exe as a black box against the client simulator under Wine:
// the simulated client lives in this process (its windows on this thread,
// pumped while waiting), the driver is a separate process. Every wait is
// bounded; every driver started is asked to quit and ended if it lingers.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tools/client_sim/simulated_client.h"

namespace {

using talvio::clientsim::SimulatedClient;

constexpr DWORD kWaitMs = 20000;
// An unattached driver re-broadcasts its discovery every 12 s.
constexpr DWORD kRediscoveryWaitMs = 30000;

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L'\\') + 1);
}

// Dispatches this thread's messages (the client's windows) until `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) { PumpUntil([] { return false; }, milliseconds); }

// The copy beside the handset simulator's setupapi.dll and hid.dll.
const wchar_t kHandsetDriverDirectory[] = L"with_handset\\";

class Driver {
public:
    // The build's driver, or the copy in `directory` (relative to the test).
    explicit Driver(const std::wstring& directory = L"..\\..\\app\\") {
        const std::wstring path = TestDirectory() + directory + L"TalvioDriver.exe";
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &info_) != 0;
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver() {
        if (!started_) return;
        // The quit request every running copy answers; the client's windows
        // are pumped meanwhile so the driver's shutdown sends are answered.
        const UINT quit = RegisterWindowMessageW(L"OrvaneAppUserMessage0A23D86C");
        if (HWND window = FindWindowExW(nullptr, nullptr, L"OrvaneWindowClass20060218", L"OrvaneWindow20062423")) {
            PostMessageW(window, quit, 0, 0);
        }
        if (!PumpUntil([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; })) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, kWaitMs);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool started() const { return started_; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

// handset_sim.exe (headless) driven through its control pipe.
class HandsetSimulator {
public:
    HandsetSimulator() : pipe_(L"talvio-skype-blackbox-" + std::to_wstring(GetCurrentProcessId())) {
        std::wstring command = L"\"" + TestDirectory() + kHandsetDriverDirectory +
                               L"handset_sim.exe\" --headless --model 10 --control " + pipe_;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != 0;
    }
    HandsetSimulator(const HandsetSimulator&) = delete;
    HandsetSimulator& operator=(const HandsetSimulator&) = delete;
    ~HandsetSimulator() {
        if (!started_) return;
        Command("quit");
        if (WaitForSingleObject(info_.hProcess, kWaitMs) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool started() const { return started_; }

    std::string Command(const std::string& line) {
        const std::wstring path = L"\\\\.\\pipe\\" + pipe_;
        char reply[1024];
        DWORD got = 0;
        const DWORD start = GetTickCount();
        // The pipe appears once the simulator runs, and is busy between commands.
        while (!CallNamedPipeW(path.c_str(), const_cast<char*>(line.data()), static_cast<DWORD>(line.size()),
                               reply, sizeof(reply), &got, 2000)) {
            if (GetTickCount() - start > kWaitMs) return "error: simulator unreachable";
            PumpFor(20);
        }
        return std::string(reply, got);
    }

private:
    std::wstring pipe_;
    bool started_ = false;
    PROCESS_INFORMATION info_ = {};
};

class SkypeBlackBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        client.SetAnswering(true);
        client.model.AddFriend("alice");
        client.model.SetUserProperty("alice", "DISPLAYNAME", "Alice A");
        client.model.AddFriend("bob");
        client.Launch();
        client.ShowMainWindow();
    }

    int Received(const std::string& text) const {
        return static_cast<int>(std::count_if(client.log.begin(), client.log.end(),
                                              [&](const auto& entry) { return entry.text == text; }));
    }
    bool ReceivedStartingWith(const std::string& prefix) const {
        return std::any_of(client.log.begin(), client.log.end(),
                           [&](const auto& entry) { return entry.text.rfind(prefix, 0) == 0; });
    }
    bool WaitFor(const std::string& text, int count = 1, DWORD timeoutMs = kWaitMs) {
        return PumpUntil([&] { return Received(text) >= count; }, timeoutMs);
    }

    SimulatedClient client{L"client_sim"};
};

const char* const kAttachQueries[] = {"GET SKYPEVERSION", "SEARCH FRIENDS", "SEARCH CALLS",
                                      "SEARCH VOICEMAILS", "GET USERSTATUS"};

TEST_F(SkypeBlackBoxTest, AttachesQueriesEveryFriendAndKeepsTheLink) {
    Driver driver;
    ASSERT_TRUE(driver.started());
    for (const char* query : kAttachQueries) {
        ASSERT_TRUE(WaitFor(query)) << query << ", discoveries " << client.discoveries << ", driver "
                                    << (driver.running() ? "running" : "gone");
    }
    EXPECT_TRUE(PumpUntil([&] { return ReceivedStartingWith("GET USER alice ") &&
                                       ReceivedStartingWith("GET USER bob "); }));
    // No handset: the client must not ring through one.
    EXPECT_TRUE(WaitFor("SET RINGTONE 1 "));

    // The link stays up: the mute poll goes on every 2 s and nothing
    // attaches again.
    const int polls = Received("GET MUTE");
    PumpFor(7000);
    EXPECT_GE(Received("GET MUTE"), polls + 2);
    EXPECT_EQ(Received("GET SKYPEVERSION"), 1);
    EXPECT_TRUE(driver.running());
}

TEST_F(SkypeBlackBoxTest, DetachesWhenTheClientCrashesAndAttachesAgainWhenItIsBack) {
    Driver driver;
    ASSERT_TRUE(driver.started());
    ASSERT_TRUE(WaitFor("GET USERSTATUS"));
    client.Crash();
    PumpFor(3000);  // the driver's 2 s watch finds the window gone

    client.Launch();
    client.ShowMainWindow();
    // Re-attached: the attach queries come again, to the new window.
    EXPECT_TRUE(WaitFor("GET SKYPEVERSION", 2, kRediscoveryWaitMs));
    EXPECT_TRUE(WaitFor("SEARCH FRIENDS", 2));
    EXPECT_GE(client.discoveries, 1);
}

TEST_F(SkypeBlackBoxTest, AClientThatStartsLaterAnnouncesItself) {
    client.Crash();
    client.SetAttachStatus(SimulatedClient::kAttachNotAvailable);
    client.Launch();
    Driver driver;
    ASSERT_TRUE(driver.started());
    ASSERT_TRUE(PumpUntil([&] { return client.discoveries > 0; }));
    PumpFor(1000);
    EXPECT_EQ(Received("GET SKYPEVERSION"), 0);

    client.SetAttachStatus(SimulatedClient::kAttachSuccess);
    client.AnnounceApi();
    EXPECT_TRUE(WaitFor("GET SKYPEVERSION"));
}

TEST_F(SkypeBlackBoxTest, RingToneIsTheConfiguredFileWhileTheHandsetIsPluggedAndEmptyAfter) {
    HandsetSimulator handset;
    ASSERT_TRUE(handset.started());
    const std::string state = handset.Command("state");
    ASSERT_NE(state.find("model=10"), std::string::npos) << state;
    Driver driver(kHandsetDriverDirectory);
    ASSERT_TRUE(driver.started());
    // Skype's ring tone is entry 0 of the table beside the driver by default.
    std::wstring expected = TestDirectory() + kHandsetDriverDirectory + L"waves\\ring0.wav";
    const std::string expectedText = "SET RINGTONE 1 " + std::string(expected.begin(), expected.end());
    EXPECT_TRUE(WaitFor(expectedText));
    EXPECT_EQ(Received("SET RINGTONE 1 "), 0);

    EXPECT_EQ(handset.Command("unplug"), "ok");
    EXPECT_TRUE(WaitFor("SET RINGTONE 1 "));
}

}  // namespace
