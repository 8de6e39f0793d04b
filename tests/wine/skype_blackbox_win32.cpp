// TalvioDriver.exe as a black box against the client simulator under Wine:
// the simulated client lives in this process (its windows on this thread,
// pumped while waiting), the driver is a separate process. Every wait is
// bounded; every driver started is asked to quit and ended if it lingers.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/win32_test_process.h"
#include "tools/client_sim/simulated_client.h"

namespace {

using talvio::clientsim::SimulatedClient;
using talvio::testing::DriverProcess;
using talvio::testing::HandsetSimulatorProcess;
using talvio::testing::PumpFor;
using talvio::testing::PumpUntil;
using talvio::testing::TestProgramDirectory;

constexpr DWORD kWaitMs = 20000;
// An unattached driver re-broadcasts its discovery every 12 s.
constexpr DWORD kRediscoveryWaitMs = 30000;

// The copy beside the handset simulator's setupapi.dll and hid.dll.
const wchar_t kHandsetDriverDirectory[] = L"with_handset\\";

// The model 10 handset, beside the driver copy that loads the test DLLs.
class HandsetSimulator : public HandsetSimulatorProcess {
public:
    HandsetSimulator()
        : HandsetSimulatorProcess(TestProgramDirectory() + kHandsetDriverDirectory + L"handset_sim.exe",
                                  L"--model 10") {}
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

    // A client whose API refuses attachment until it announces itself.
    void RestartClientNotYetAvailable() {
        client.Crash();
        client.SetAttachStatus(SimulatedClient::kAttachNotAvailable);
        client.Launch();
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
    DriverProcess driver;
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
    DriverProcess driver;
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
    RestartClientNotYetAvailable();
    DriverProcess driver;
    ASSERT_TRUE(driver.started());
    ASSERT_TRUE(PumpUntil([&] { return client.discoveries > 0; }));
    PumpFor(1000);
    EXPECT_EQ(Received("GET SKYPEVERSION"), 0);

    client.SetAttachStatus(SimulatedClient::kAttachSuccess);
    client.AnnounceApi();
    EXPECT_TRUE(WaitFor("GET SKYPEVERSION"));
}

// The driver's windows another process can find by class name: the
// connector windows and the handset link's device-notification window.
std::vector<HWND> DriverWindows() {
    std::vector<HWND> found;
    for (const wchar_t* name : {L"QmxDefaultWndClass", L"QmxUsbPhoneWndClass2005"}) {
        for (HWND window = FindWindowExW(nullptr, nullptr, name, nullptr); window != nullptr;
             window = FindWindowExW(nullptr, window, name, nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId()) found.push_back(window);
        }
    }
    return found;
}

TEST_F(SkypeBlackBoxTest, JunkPostedByAnotherProcessLeavesTheDriverAnsweringAndAttaching) {
    RestartClientNotYetAvailable();
    DriverProcess driver;
    ASSERT_TRUE(driver.started());
    ASSERT_TRUE(PumpUntil([&] { return client.discoveries > 0; }));
    const std::vector<HWND> windows = DriverWindows();
    ASSERT_GE(windows.size(), 2u);

    // Pointers, or what looks like them, into either process: the driver's
    // image, its heap range, this test's stack, and plain junk.
    COPYDATASTRUCT plausible = {11, 5, const_cast<char*>("PONG")};
    const LPARAM junk[] = {1, -1, 0x7FFFFFFF, 0x00400000, 0x00110000, 0x12345678,
                           reinterpret_cast<LPARAM>(&plausible)};
    const auto postJunk = [&] {
        for (HWND window : windows) {
            for (const UINT message : {WM_USER + 16, WM_USER + 18, WM_USER + 236}) {
                for (const LPARAM value : junk) {
                    PostMessageW(window, message, reinterpret_cast<WPARAM>(client.ApiWindow()), value);
                }
            }
        }
        PumpFor(1000);
    };
    postJunk();
    ASSERT_TRUE(driver.running());
    client.SetAttachStatus(SimulatedClient::kAttachSuccess);
    client.AnnounceApi();
    ASSERT_TRUE(WaitFor("GET USERSTATUS"));

    postJunk();
    const int polls = Received("GET MUTE");
    PumpFor(5000);
    EXPECT_GE(Received("GET MUTE"), polls + 2);
    EXPECT_TRUE(driver.running());
}

TEST_F(SkypeBlackBoxTest, RingToneIsTheConfiguredFileWhileTheHandsetIsPluggedAndEmptyAfter) {
    HandsetSimulator handset;
    ASSERT_TRUE(handset.started());
    const std::string state = handset.Command("state");
    ASSERT_NE(state.find("model=10"), std::string::npos) << state;
    DriverProcess driver(kHandsetDriverDirectory);
    ASSERT_TRUE(driver.started());
    // Skype's ring tone is entry 0 of the table beside the driver by default.
    std::wstring expected = TestProgramDirectory() + kHandsetDriverDirectory + L"waves\\ring0.wav";
    const std::string expectedText = "SET RINGTONE 1 " + std::string(expected.begin(), expected.end());
    EXPECT_TRUE(WaitFor(expectedText));
    EXPECT_EQ(Received("SET RINGTONE 1 "), 0);

    EXPECT_EQ(handset.Command("unplug"), "ok");
    EXPECT_TRUE(WaitFor("SET RINGTONE 1 "));
}

}  // namespace
