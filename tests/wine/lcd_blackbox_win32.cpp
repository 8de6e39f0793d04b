// TalvioDriver.exe with the LCD handset as a black box under Wine: the
// handset simulator plays model 11 and saves what the handset shows, the
// simulated Skype client lives in this process. What the LCD shows is
// compared with the pictures the handset screen's tests check, which a
// script composes from the Debian fonts and the art (only the rows that do
// not depend on the clock, the volume level or an animation frame).
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <fstream>
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

using Picture = std::vector<std::string>;  // 64 rows of 128 '#' (lit) or '.'

// The driver copy beside the simulator's DLLs and the test hook library.
const wchar_t kDriverDirectory[] = L"with_handset\\";
constexpr DWORD kPageWaitMs = 20000;

std::string Narrow(const std::wstring& wide) { return std::string(wide.begin(), wide.end()); }

// A snapshot file ("P1" PBM) or a composed picture (';' comment lines).
Picture ReadPicture(const std::wstring& path) {
    std::ifstream file(Narrow(path));
    Picture rows;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() != 128) continue;  // headers and comments
        for (char& c : line) c = (c == '1' || c == '#') ? '#' : '.';
        rows.push_back(line);
    }
    return rows;
}

// For failure messages.
std::string Shown(const Picture& picture) {
    std::string text = "\n";
    for (const std::string& row : picture) text += row + "\n";
    return text;
}

Picture Composed(const std::wstring& name) {
    return ReadPicture(TestProgramDirectory() + L"snapshots\\" + name + L".txt");
}

// The rect [left, right) x [top, bottom) of `shown` equals the one of
// `expected` moved by (dx, dy); columns outside `expected` count as dark.
bool Matches(const Picture& shown, const Picture& expected, int left, int top, int right, int bottom,
             int dx = 0, int dy = 0) {
    if (shown.size() != 64 || expected.size() != 64) return false;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const int ex = x + dx;
            const char want = ex >= 0 && ex < 128 ? expected[y + dy][ex] : '.';
            if (shown[y][x] != want) return false;
        }
    }
    return true;
}

class HandsetSimulator : public HandsetSimulatorProcess {
public:
    HandsetSimulator()
        : HandsetSimulatorProcess(TestProgramDirectory() + kDriverDirectory + L"handset_sim.exe", L"") {}

    Picture Snapshot() {
        const std::wstring path = TestProgramDirectory() + L"lcd_blackbox.pbm";
        if (Command("snapshot " + Narrow(path)) != "ok") return {};
        return ReadPicture(path);
    }
    // Polls the LCD until `shows` holds; the last picture either way.
    Picture WaitFor(const std::function<bool(const Picture&)>& shows) {
        Picture picture;
        PumpUntil([&] { return shows(picture = Snapshot()); }, kPageWaitMs);
        return picture;
    }
    void Press(int eventCode) {
        Command("key " + std::to_string(eventCode));
        PumpFor(200);
        Command("release");
    }
};

class LcdBlackBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The idle page's status line shows this logo text.
        std::ofstream config(Narrow(ConfigPath()));
        config << "<?xml version='1.0' encoding='utf-8'?>\n<Config>\n\t<LCDLogo val='Talvio'/>\n</Config>\n";
        client.SetAnswering(true);
        client.model.AddFriend("bob");
        client.model.AddFriend("anna");
        client.model.SetUserProperty("anna", "DISPLAYNAME", "Anna Berg");
    }
    void TearDown() override { DeleteFileW(ConfigPath().c_str()); }

    static std::wstring ConfigPath() { return TestProgramDirectory() + kDriverDirectory + L"config.xml"; }

    void StartClient() {
        client.Launch();
        client.ShowMainWindow();
    }

    SimulatedClient client{L"client_sim"};
};

TEST_F(LcdBlackBoxTest, PluggedTheIdlePageShowsThenTheVolumePageAndAnIncomingCallWithTheCallersName) {
    StartClient();
    HandsetSimulator handset;
    DriverProcess driver(kDriverDirectory);
    ASSERT_TRUE(driver.started());
    ASSERT_EQ(handset.Command("plug 11"), "ok");

    // The status line of the idle page: the logo text once Skype is online.
    const Picture idle = Composed(L"page_idle_missed");
    Picture shown = handset.WaitFor([&](const Picture& p) { return Matches(p, idle, 0, 16, 128, 32); });
    EXPECT_TRUE(Matches(shown, idle, 0, 16, 128, 32)) << Shown(shown);

    // On hook the navigation key opens the volume page: "Back" on the right
    // softkey and the foot of the sixteen bars (the level is the mixer's).
    handset.Press(60);
    const Picture volume = Composed(L"page_volume");
    shown = handset.WaitFor([&](const Picture& p) {
        return Matches(p, volume, 0, 48, 128, 64) && Matches(p, volume, 0, 42, 128, 43);
    });
    EXPECT_TRUE(Matches(shown, volume, 0, 48, 128, 64) && Matches(shown, volume, 0, 42, 128, 43))
        << Shown(shown);

    // The ringing call page with the caller's name on its partner line.
    client.Ring("anna", false);
    const Picture ringing = Composed(L"page_call_ringing");
    shown = handset.WaitFor([&](const Picture& p) { return Matches(p, ringing, 0, 16, 128, 32); });
    EXPECT_TRUE(Matches(shown, ringing, 0, 16, 128, 32)) << Shown(shown);
    EXPECT_TRUE(driver.running());
}

TEST_F(LcdBlackBoxTest, TheHookLibraryOfAnOldClientBringsTheCallersNameToTheContactPage) {
    client.model.version = "1.3.9.99";
    StartClient();
    HandsetSimulator handset;
    DriverProcess driver(kDriverDirectory);
    ASSERT_TRUE(driver.started());
    ASSERT_EQ(handset.Command("plug 11"), "ok");
    // The hook agent publishes its window in the shared block before it has
    // the library hook the client.
    ASSERT_TRUE(PumpUntil([] {
        HANDLE block = OpenFileMappingW(FILE_MAP_READ, FALSE, L"vxMyFileMappingObject_vx");
        if (block != nullptr) CloseHandle(block);
        return block != nullptr;
    }, kPageWaitMs));
    PumpFor(1000);

    // Lifted, the navigation key opens the contact page, empty so far.
    ASSERT_EQ(handset.Command("lift"), "ok");
    PumpFor(500);
    handset.Press(60);
    // The name line (x 17 on, top row, left-aligned) shows what the call
    // page shows centred on its partner line (x 23 on, second row).
    const Picture ringing = Composed(L"page_call_ringing");
    const auto showsAnna = [&](const Picture& p) { return Matches(p, ringing, 17, 0, 128, 16, 6, 16); };
    PumpFor(2000);
    ASSERT_FALSE(showsAnna(handset.Snapshot()));

    // The client opens its call window; the library reads the caller from it.
    client.ShowPopup(L"Anna Berg");
    const Picture shown = handset.WaitFor(showsAnna);
    EXPECT_TRUE(showsAnna(shown)) << Shown(shown);
    EXPECT_TRUE(driver.running());
}

}  // namespace
