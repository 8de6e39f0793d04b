#include "tools/handset_sim/sim_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "handset/handset_protocol.h"
#include "tests/support/temp_folder.h"

namespace talvio {
namespace {

class Target : public SimControlTarget {
public:
    bool Plug(int modelId) override {
        if (sim) return false;
        sim = std::make_unique<SimHandset>(modelId);
        return true;
    }
    bool Unplug() override {
        const bool was = sim != nullptr;
        sim.reset();
        return was;
    }
    void SetDecoy(bool on) override { decoy = on; }
    bool Apply(const std::function<void(SimHandset&)>& action) override {
        if (!sim) return false;
        action(*sim);
        return true;
    }
    std::unique_ptr<SimHandset> sim;
    bool decoy = false;
};

TEST(SimCommands, DriveTheHandsetAndReportItsState) {
    Target target;
    EXPECT_EQ(ExecuteSimCommand(target, "lift").reply, "error: no handset plugged");
    EXPECT_EQ(ExecuteSimCommand(target, "state").reply, "plugged=0");
    EXPECT_EQ(ExecuteSimCommand(target, "plug 11").reply, "ok");
    EXPECT_EQ(ExecuteSimCommand(target, "plug 10").reply, "error: a handset is already plugged");
    EXPECT_EQ(ExecuteSimCommand(target, "  lift\r").reply, "ok");
    EXPECT_EQ(ExecuteSimCommand(target, "key 100").reply, "ok");
    EXPECT_EQ(target.sim->heldKey(), 18);
    EXPECT_EQ(ExecuteSimCommand(target, "key 122").reply,
              "error: this model has no key for that event");
    EXPECT_EQ(ExecuteSimCommand(target, "line on").reply, "ok");
    EXPECT_EQ(ExecuteSimCommand(target, "wheel -3").reply, "ok");
    EXPECT_EQ(target.sim->pendingReports(), 6u);
    const std::uint8_t light[16] = {1, 4, 1};
    target.sim->AcceptOutputReport(light, sizeof(light));
    EXPECT_EQ(ExecuteSimCommand(target, "state").reply,
              "plugged=1 model=11 offhook=1 line=1 key=18 light=1 route=0 status=0 lights=1 "
              "chunks=0 lit=0 blank=1 margin=0 rejected=0");
    EXPECT_EQ(ExecuteSimCommand(target, "decoy on").reply, "ok");
    EXPECT_TRUE(target.decoy);
    EXPECT_EQ(ExecuteSimCommand(target, "unplug").reply, "ok");
}

TEST(SimCommands, WaitQuitCommentsAndMalformedLines) {
    Target target;
    const SimCommandResult wait = ExecuteSimCommand(target, "wait 250");
    EXPECT_EQ(wait.waitMs, 250u);
    EXPECT_TRUE(ExecuteSimCommand(target, "quit").quit);
    EXPECT_EQ(ExecuteSimCommand(target, "# a comment").reply, "ok");
    EXPECT_EQ(ExecuteSimCommand(target, "").reply, "ok");
    for (const char* bad : {"plug 12", "plug", "wait -1", "wait 5x", "wheel 1000", "rawkey 256",
                            "line maybe", "fly", "quit now", "key"}) {
        EXPECT_EQ(ExecuteSimCommand(target, bad).reply.rfind("error:", 0), 0u) << bad;
    }
}

TEST(SimCommands, SnapshotWritesTheLcdAsAPlainPbmOrAFourTimesPng) {
    testing::TempFolder folder("sim-snapshot");
    Target target;
    const std::string pbm = folder.file("lcd.pbm").string();
    EXPECT_EQ(ExecuteSimCommand(target, "snapshot " + pbm).reply, "error: no handset plugged");
    ASSERT_EQ(ExecuteSimCommand(target, "plug 11").reply, "ok");
    // The top-left dot: device page 7, chunk at column 121, data byte 10, bit 7.
    std::uint8_t chunk[16] = {1, 3, 1, 7, 121};
    chunk[5 + 10] = 0x80;
    target.sim->AcceptOutputReport(chunk, sizeof(chunk));

    EXPECT_EQ(ExecuteSimCommand(target, "snapshot " + pbm + " ").reply, "ok");
    std::string expected = "P1\n128 64\n1" + std::string(127, '0') + "\n";
    for (int row = 1; row < 64; ++row) expected += std::string(128, '0') + "\n";
    std::ifstream pbmFile(pbm, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(pbmFile), {}), expected);

    std::filesystem::create_directories(folder.file("with space"));
    const std::string png = folder.file("with space").string() + "/lcd.png";
    EXPECT_EQ(ExecuteSimCommand(target, "snapshot " + png).reply, "ok");
    std::ifstream pngFile(png, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(pngFile), {});
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // IHDR: width 512, height 256, big-endian.
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\x02\0\0\0\x01\0", 8));

    const std::string nowhere = folder.file("missing").string() + "/lcd.png";
    EXPECT_EQ(ExecuteSimCommand(target, "snapshot " + nowhere).reply, "error: cannot write " + nowhere);
}

TEST(SimHandsetOutput, HistoryKeepsTheOrderOfRouteLightAndLcdRuns) {
    Target target;
    ExecuteSimCommand(target, "plug 11");
    const std::uint8_t ring[16] = {1, 1, 3};
    const std::uint8_t lightOn[16] = {1, 4, 1};
    const std::uint8_t dot[16] = {1, 3, 1, 2, 22, 0x10};
    const std::uint8_t talk[16] = {1, 1, 2};
    const std::uint8_t lightOff[16] = {1, 4, 0};
    const std::uint8_t clear[16] = {1, 3, 1, 2, 22};
    for (const std::uint8_t* report : {ring, lightOn, dot, talk, lightOff, clear, clear})
        target.sim->AcceptOutputReport(report, 16);
    EXPECT_EQ(ExecuteSimCommand(target, "history").reply,
              "route=3 light=1 lcd=1:lit route=2 light=0 lcd=2:blank");
}

TEST(SimHandsetOutput, RejectsMalformedReportsAndKeepsTheMargin) {
    SimHandset sim(kLcdModelId);
    const std::uint8_t wrongId[16] = {2, 4, 1};
    const std::uint8_t badRoute[16] = {1, 1, 7};
    const std::uint8_t badPage[16] = {1, 3, 1, 8, 0};
    const std::uint8_t shortChunk[8] = {1, 3, 1, 0, 0};
    for (const auto& [data, size] : {std::pair{wrongId, 16}, {badRoute, 16}, {badPage, 16}}) {
        sim.AcceptOutputReport(data, size);
    }
    sim.AcceptOutputReport(shortChunk, sizeof(shortChunk));
    EXPECT_EQ(sim.rejectedReports(), 4);
    std::uint8_t margin[16] = {1, 3, 1, 0, 0, 0, 0, 0xFF};
    sim.AcceptOutputReport(margin, sizeof(margin));
    EXPECT_TRUE(sim.marginWritten());
    EXPECT_TRUE(sim.Blank() == false);
    EXPECT_EQ(sim.LitPixels(), 0);  // margin columns are not part of the picture
    SimHandset keypad(kKeypadModelId);
    std::uint8_t chunk[16] = {1, 3, 1, 0, 0};
    keypad.AcceptOutputReport(chunk, sizeof(chunk));
    EXPECT_EQ(keypad.rejectedReports(), 1);
}

}  // namespace
}  // namespace talvio
