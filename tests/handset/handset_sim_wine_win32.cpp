// The handset link against the simulator under Wine: the real SetupAPI,
// HID and file calls of the Win32 adapter, answered by the test-only
// setupapi.dll and hid.dll beside this program and by handset_sim.exe
// serving the device on a named pipe.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "handset/handset_device.h"
#include "handset/handset_link.h"
#include "handset_ui/lcd_canvas.h"
#include "tests/handset/support/recording_sink.h"
#include "tests/support/win32_test_process.h"

namespace talvio {
namespace {

constexpr DWORD kTimeoutMs = 10000;

using testing::PumpUntil;

// handset_sim.exe beside this test, with the state it reports.
class Simulator : public testing::HandsetSimulatorProcess {
public:
    Simulator() : HandsetSimulatorProcess(testing::TestProgramDirectory() + L"handset_sim.exe", L"") {}

    std::map<std::string, int> State() {
        std::map<std::string, int> values;
        std::istringstream words(Command("state"));
        std::string word;
        while (words >> word) {
            const std::size_t equals = word.find('=');
            if (equals != std::string::npos) values[word.substr(0, equals)] = std::stoi(word.substr(equals + 1));
        }
        return values;
    }

    bool WaitState(const std::string& name, int value) {
        return PumpUntil([&] { return State()[name] == value; }, kTimeoutMs);
    }
};

bool Contains(const std::vector<int>& values, int value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

class DotScreen : public LcdScreen {
public:
    explicit DotScreen(HandsetDevice& device) : device(device) {}
    void Start() override {}
    void Tick(std::uint32_t) override {}
    void Draw(LcdCanvas& canvas) override {
        canvas.SetPixel(0, 0, true);
        canvas.SetPixel(64, 32, true);
        canvas.SetPixel(127, 63, true);
    }
    void OnCallerText(const std::wstring&) override {}
    HandsetDevice& device;
};
DotScreen* g_dotScreen = nullptr;

std::unique_ptr<LcdScreen> MakeDotScreen(HandsetDevice& device) {
    auto screen = std::make_unique<DotScreen>(device);
    g_dotScreen = screen.get();
    return screen;
}

TEST(HandsetSimulatorWine, KeypadModelKeysHookLightRouteAndRemoval) {
    Simulator sim;
    ASSERT_TRUE(sim.started());
    ASSERT_EQ(sim.Command("plug 10"), "ok");
    testing::RecordingSink sink;
    HandsetLink_Start(&sink);
    EXPECT_EQ(sink.presence, std::vector<int>{1});
    ASSERT_EQ(HandsetLink_GetModel(), kKeypadModelId);
    ASSERT_TRUE(PumpUntil([&] { return Contains(sink.events, 70) && Contains(sink.events, 195); }));
    EXPECT_EQ(sim.Command("lift"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return Contains(sink.events, 80); }));
    EXPECT_EQ(sim.Command("key 5"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return Contains(sink.events, 5); }));
    sim.Command("release");
    EXPECT_EQ(HandsetLink_GetHookState(), 0);

    EXPECT_EQ(HandsetLink_SetLed(1), 0);
    EXPECT_TRUE(sim.WaitState("light", 1));
    EXPECT_EQ(HandsetLink_SetAudioPath(2, 0), 0);
    EXPECT_TRUE(sim.WaitState("route", 3));
    EXPECT_EQ(HandsetLink_SetAudioPath(0, -2), 0);  // lifted: talk route
    EXPECT_TRUE(sim.WaitState("route", 2));
    EXPECT_TRUE(PumpUntil([&] { return sim.State()["status"] >= 3; }));

    EXPECT_EQ(sim.Command("unplug"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return sink.presence.size() >= 3; }));
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
    HandsetLink_Stop();
}

TEST(HandsetSimulatorWine, LcdModelBehindALongPathStreamsThePictureAndBlanksOnClose) {
    Simulator sim;
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.Command("decoy on"), "ok");
    g_dotScreen = nullptr;
    HandsetLink_SetScreenFactory(MakeDotScreen);
    testing::RecordingSink sink;
    HandsetLink_Start(&sink);
    EXPECT_TRUE(sink.presence.empty());
    ASSERT_EQ(sim.Command("plug 11"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return HandsetLink_GetModel() == kLcdModelId; }));
    EXPECT_EQ(sink.presence, std::vector<int>{1});
    ASSERT_NE(g_dotScreen, nullptr);
    EXPECT_EQ(g_dotScreen->device.RenderScreen(0), 0);
    EXPECT_TRUE(sim.WaitState("lit", 3));
    // Two blank frames, then the picture; the dots can show before the
    // picture's last chunks are in.
    EXPECT_TRUE(PumpUntil([&] { return sim.State()["chunks"] >= 96 * 3; }, kTimeoutMs));
    const auto state = sim.State();
    EXPECT_EQ(state.at("margin"), 0);
    EXPECT_EQ(state.at("rejected"), 0);
    EXPECT_EQ(sim.Command("key 100"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return Contains(sink.events, 100); }));
    HandsetLink_SetLed(1);
    EXPECT_TRUE(sim.WaitState("light", 1));
    HandsetLink_Stop();
    EXPECT_TRUE(sim.WaitState("blank", 1));
    EXPECT_EQ(sim.State()["light"], 0);
    HandsetLink_SetScreenFactory(nullptr);
}

}  // namespace
}  // namespace talvio
