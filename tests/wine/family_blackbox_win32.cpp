// TalvioDriver.exe as a black box against simulated Voip-family programs
// under Wine: one in this process (its windows pumped while waiting), one
// as client_sim.exe of its own, and the handset simulator. Every wait is
// bounded; every process started is asked to quit and ended if it lingers.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
using talvio::testing::SimulatorProcess;
using talvio::testing::TestProgramDirectory;

// The driver copy beside the handset simulator's setupapi.dll and hid.dll.
const wchar_t kHandsetDriverDirectory[] = L"with_handset\\";
constexpr DWORD kWaitMs = 20000;
// A ping goes out 10 s after the attach; one left unanswered for 10 s more
// makes the driver ask for the attach again.
constexpr DWORD kPingWaitMs = 15000;

const char* const kAttachQueries[] = {"GET USERSTATUS", "GET CURRENTUSERHANDLE", "SEARCH FRIENDS",
                                      "SEARCH CALLS"};

// What Wine's wave-out played so far (the file ALSA writes it into).
std::uint64_t CapturedBytes() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(L"" TALVIO_RING_CAPTURE, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class FamilyBlackBoxTest : public ::testing::Test {
protected:
    static int Received(const SimulatedClient& program, const std::string& text) {
        return static_cast<int>(std::count_if(program.log.begin(), program.log.end(),
                                              [&](const auto& entry) { return entry.text == text; }));
    }
    static bool WaitFor(const SimulatedClient& program, const std::string& text, int count = 1,
                        DWORD timeoutMs = kWaitMs) {
        return PumpUntil([&] { return Received(program, text) >= count; }, timeoutMs);
    }
    // When each `text` arrived, in order.
    static std::vector<DWORD> Arrivals(const SimulatedClient& program, const std::string& text) {
        std::vector<DWORD> times;
        for (const auto& entry : program.log) {
            if (entry.text == text) times.push_back(entry.time);
        }
        return times;
    }
};

TEST_F(FamilyBlackBoxTest, PollsEveryTwoSecondsPingsEveryTenAndAttachesAgainAfterAnUnansweredPing) {
    SimulatedClient buster(L"client_sim", "VoipBuster");
    buster.SetAnswering(true);
    buster.model.AddFriend("alice");
    buster.Launch();
    buster.ShowMainWindow();
    DriverProcess driver;
    ASSERT_TRUE(driver.started());
    for (const char* query : kAttachQueries) {
        ASSERT_TRUE(WaitFor(buster, query)) << query << ", discoveries " << buster.discoveries;
    }
    EXPECT_TRUE(WaitFor(buster, "GET USER alice DISPLAYNAME"));
    ASSERT_TRUE(WaitFor(buster, "PING", 1, kPingWaitMs));

    // The status watch: the attach's query, then one every 2 s.
    const std::vector<DWORD> polls = Arrivals(buster, "GET USERSTATUS");
    ASSERT_GE(polls.size(), 4u);
    for (std::size_t i = 2; i < polls.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(polls[i] - polls[i - 1]), 2000, 400) << i;
    }

    // Silent from now on, except to a discovery.
    const HWND connector = reinterpret_cast<HWND>(buster.Peer());
    const int discoveries = buster.discoveries;
    buster.SetAnswering(false);
    ASSERT_TRUE(WaitFor(buster, "PING", 2, kPingWaitMs));
    const std::vector<DWORD> pings = Arrivals(buster, "PING");
    EXPECT_NEAR(static_cast<double>(pings[1] - pings[0]), 10000, 600);
    EXPECT_TRUE(WaitFor(buster, "SEARCH FRIENDS", 2, kPingWaitMs));
    EXPECT_EQ(buster.discoveries, discoveries + 1);
    EXPECT_EQ(reinterpret_cast<HWND>(buster.lastDiscoverer), connector);
    EXPECT_TRUE(driver.running());
}

TEST_F(FamilyBlackBoxTest, VoipCheapComBesideVoipCheapAndAnIncomingCallRingsTheHandset) {
    HandsetSimulatorProcess handset(TestProgramDirectory() + kHandsetDriverDirectory + L"handset_sim.exe",
                                    L"--model 10");
    ASSERT_TRUE(handset.started());
    SimulatorProcess cheapCom(TestProgramDirectory() + L"..\\..\\tools\\client_sim\\client_sim.exe",
                              L"--family VoipCheapCom",
                              L"talvio-voipcheapcom-" + std::to_wstring(GetCurrentProcessId()));
    ASSERT_EQ(cheapCom.Command("launch"), "ok");
    ASSERT_EQ(cheapCom.Command("mainwindow"), "ok");
    // VoipCheap runs too, but does not answer discoveries yet: the only
    // answer the VoipCheap connector sees is VoipCheapCom's.
    SimulatedClient cheap(L"client_sim", "VoipCheap");
    cheap.SetAnswering(true);
    cheap.SetAttachStatus(-1);
    cheap.Launch();
    cheap.ShowMainWindow();

    DriverProcess driver(kHandsetDriverDirectory);
    ASSERT_TRUE(driver.started());
    ASSERT_TRUE(PumpUntil([&] { return cheapCom.Command("received SEARCH FRIENDS") == "1"; }));
    PumpFor(2000);
    EXPECT_EQ(cheapCom.Command("received SEARCH FRIENDS"), "1");
    EXPECT_EQ(cheap.log.size(), 0u);

    cheap.SetAttachStatus(SimulatedClient::kAttachSuccess);
    cheap.AnnounceApi();
    for (const char* query : kAttachQueries) ASSERT_TRUE(WaitFor(cheap, query)) << query;
    PumpFor(1000);
    EXPECT_EQ(Received(cheap, "SEARCH FRIENDS"), 1);
    EXPECT_EQ(cheapCom.Command("received SEARCH FRIENDS"), "1");

    // An incoming call rings the handset, on hook, through its speaker with
    // the driver's own ring tone; the program is never told to ring.
    const std::uint64_t quiet = CapturedBytes();
    PumpFor(1000);
    ASSERT_EQ(CapturedBytes(), quiet);
    cheap.Ring("bob", false);
    // Half a second of 8 kHz 16-bit sound at least, in whatever format
    // Wine's mixer writes it.
    EXPECT_TRUE(PumpUntil([&] { return CapturedBytes() > quiet + 8000; }));
    const std::string state = handset.Command("state");
    EXPECT_NE(state.find("route=3"), std::string::npos) << state;
    EXPECT_FALSE(std::any_of(cheap.log.begin(), cheap.log.end(),
                             [](const auto& entry) { return entry.text.rfind("SET RINGTONE", 0) == 0; }));
}

}  // namespace
