// The handset's side of the vendor HID interface, for the simulator and the
// tests' fake HID bus: turns the controls a user or script sets into input
// reports (one per change, like the device) and takes the output reports,
// decoding LCD chunks back into the 128 x 64 picture.
// Not thread-safe: the owner serialises calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace talvio {

class SimHandset {
public:
    static constexpr std::uint16_t kInputReportLength = 8;
    static constexpr std::uint16_t kOutputReportLength = 16;
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 64;
    static constexpr std::size_t kQueueLimit = 64;  // oldest report dropped beyond

    explicit SimHandset(int modelId);

    int modelId() const { return modelId_; }
    std::uint16_t vendorId() const;
    std::uint16_t productId() const;

    // --- controls; each change queues one input report ---
    void HoldKey(std::uint8_t keyCode);
    // Holds the key that the model maps to `eventCode`; false when none does.
    bool HoldKeyFor(int eventCode);
    void ReleaseKey();
    void Lift();
    void HangUp();
    void SetLine(bool selected);
    // One report per step: positive counts 0x01 steps, negative 0xFF steps.
    void TurnWheel(int steps);
    // While silent the handset sends no report and queues none.
    void SetSilent(bool silent);
    // Queues a report of the current state (a reader connecting gets one).
    void QueueState();
    // Drops the waiting reports (nobody was connected to read them).
    void DiscardReports() { pending_.clear(); }

    std::uint8_t heldKey() const { return key_; }
    bool offHook() const { return !onHook_; }
    bool lineSelected() const { return line_; }
    bool silent() const { return silent_; }

    // The input report for the current state, without queuing it.
    std::vector<std::uint8_t> StateReport() const;
    // Pops the next input report; false when none is waiting.
    bool NextInputReport(std::vector<std::uint8_t>& report);
    std::size_t pendingReports() const { return pending_.size(); }

    // --- output reports ---
    void AcceptOutputReport(const std::uint8_t* data, std::size_t length);
    std::uint8_t audioRoute() const { return audioRoute_; }  // 0 until set, 3 ring, 2 talk
    bool lightOn() const { return light_; }
    int routeCommands() const { return routeCommands_; }
    int lightCommands() const { return lightCommands_; }
    int statusCommands() const { return statusCommands_; }
    int chunkReports() const { return chunkReports_; }
    int rejectedReports() const { return rejectedReports_; }
    // A chunk set a lit bit in device columns 0-3, which the picture never uses.
    bool marginWritten() const { return marginWritten_; }
    // The latest route and light commands and runs of LCD chunks, oldest
    // first: "route=N", "light=N", and per run of chunks between commands
    // "lcd=<count>:blank" or "lcd=<count>:lit", as the LCD was after it.
    const std::deque<std::string>& history() const { return history_; }
    static constexpr std::size_t kHistoryLimit = 16;

    bool Pixel(int x, int y) const;
    bool Blank() const;
    int LitPixels() const;

private:
    std::vector<std::uint8_t> Report(std::uint8_t wheel) const;
    void Record(std::string entry);
    void Queue(std::uint8_t wheel);

    int modelId_;
    std::uint8_t key_ = 0;
    bool onHook_ = true;
    bool line_ = false;
    bool silent_ = false;
    std::deque<std::vector<std::uint8_t>> pending_;

    std::uint8_t audioRoute_ = 0;
    bool light_ = false;
    int routeCommands_ = 0;
    int lightCommands_ = 0;
    int statusCommands_ = 0;
    int chunkReports_ = 0;
    int rejectedReports_ = 0;
    bool marginWritten_ = false;
    std::uint8_t display_[8][132] = {};
    int litBytes_ = 0;
    int chunkRun_ = 0;  // chunks since the last route or light command
    std::deque<std::string> history_;
};

}  // namespace talvio
