// Model 11 (0x04B4/0x0407): keypad and 128 x 64 LCD. The picture is drawn
// on the main thread into the canvas and streamed by the writer thread,
// which sleeps until a new picture is packed (the wake event) or a second
// has passed: the chunks that changed go out at once, and the whole frame
// again once a second. Both threads meet only in the shared WriterState:
// the canvas's packed bytes under the channel's writeLock, atomic flags and
// the event.
#pragma once

#include <atomic>
#include <memory>

#include "handset/handset_device.h"
#include "handset_ui/lcd_canvas.h"
#include "platform/unique.h"

namespace talvio {

inline constexpr std::uint32_t kWriterPassMs = 10;
inline constexpr std::uint32_t kWriterStopWaitMs = 2000;
inline constexpr std::uint32_t kBlankSettleMs = 50;
inline constexpr std::uint32_t kLcdRefreshMs = 1000;

class LcdHandset : public HandsetDevice {
public:
    explicit LcdHandset(const HandsetContext& context) : HandsetDevice(context) {}
    ~LcdHandset() override;

    int GetModelId() const override { return kLcdModelId; }
    std::uint16_t GetProductId() const override { return kLcdProductId; }
    int RequestAudioPath(int) override { return -1; }
    int HasFeature(int feature) override {
        return feature == 3 || feature == 6 || feature == 9 ? 1 : 0;
    }
    // Draws the current page and marks the frame dirty; 0, or -1 when closed.
    int RenderScreen(int flags) override;
    // Light off, writer stopped (abandoned after 2 s), screen and canvas
    // deleted, LCD blanked, handles closed.
    void Close() override;
    // Screen, canvas and writer thread; -1 when the thread cannot start.
    int AfterOpen() override;
    void OnSlowTimer() override;

    bool rendering() const { return rendering_.load(); }

    struct WriterState {
        std::shared_ptr<ReportChannel> channel;
        std::shared_ptr<LcdCanvas> canvas;  // guarded by channel->writeLock
        std::atomic<bool> frameDirty{false};
        std::atomic<bool> writerRunning{false};
        std::atomic<std::uint32_t> lastWriteTick{0};
        // Set after frameDirty and at stop; without one the writer looks every 10 ms.
        os::Handle wake;
    };

private:
    bool StartWriter();
    // True when the writer ended (or none ran); false when it was abandoned.
    bool StopWriter();

    std::shared_ptr<WriterState> writer_;
    os::Handle writerThread_;
    std::uint32_t lastScreenTick_ = 0;
    std::atomic<bool> rendering_{false};
};

// Two passes of blank chunks over the whole LCD, then a 50 ms settle.
void BlankLcd(ReportChannel& channel);

}  // namespace talvio
