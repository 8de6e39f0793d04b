#include "handset/lcd_handset.h"

#include <exception>
#include <limits>

namespace talvio {
namespace {

// GetChunk's threshold for "only when changed": never reached, so an
// unchanged chunk is always withheld.
constexpr int kOnlyChanged = std::numeric_limits<int>::max();

// Sends device chunk `chunk` of canvas page `canvasPage` as the canvas holds it now.
bool SendChunk(LcdHandset::WriterState& state, std::vector<std::uint8_t>& report, int canvasPage,
               int chunk) {
    ReportChannel& channel = *state.channel;
    MutexLock lock(channel.writeLock);
    if (!state.canvas) return false;
    state.lastWriteTick.store(os::GetTickCount());
    FillLcdChunkReport(report, channel.outputReportLength(), kLcdPages - 1 - canvasPage,
                       chunk * kLcdChunkWidth, state.canvas->PageRow(canvasPage));
    channel.WriteReport(report);
    return true;
}

// Every chunk, or only those the canvas reports changed since they were
// last sent. A device chunk starts 4 columns left of the canvas chunk of
// the same index (the LCD's blank margin), so it shows the end of canvas
// chunk k - 1 and the start of chunk k: it goes out when either changed.
void SendFrame(LcdHandset::WriterState& state, std::vector<std::uint8_t>& report, bool everything) {
    for (int canvasPage = 0; canvasPage < kLcdPages; ++canvasPage) {
        bool changed[kLcdChunksPerPage] = {};
        {
            MutexLock lock(state.channel->writeLock);
            if (!state.canvas) return;
            const int threshold = everything ? 0 : kOnlyChanged;
            for (int chunk = 0; chunk < kLcdChunksPerPage; ++chunk) {
                changed[chunk] =
                    !state.canvas->GetChunk(canvasPage, chunk * kLcdChunkWidth, threshold).empty();
            }
        }
        for (int chunk = 0; chunk < kLcdChunksPerPage; ++chunk) {
            const bool send = everything || changed[chunk] || (chunk > 0 && changed[chunk - 1]);
            if (send && !SendChunk(state, report, canvasPage, chunk)) return;
        }
    }
}

unsigned WriterMain(void* argument) {
    const std::unique_ptr<std::shared_ptr<LcdHandset::WriterState>> holder(
        static_cast<std::shared_ptr<LcdHandset::WriterState>*>(argument));
    LcdHandset::WriterState& state = **holder;
    try {
        BlankLcd(*state.channel);
        std::vector<std::uint8_t> report;
        std::uint32_t lastRefresh = os::GetTickCount();
        while (state.writerRunning.load()) {
            const std::uint32_t now = os::GetTickCount();
            // A handset that lost its picture (a glitch, a reset) has it
            // back within the refresh period.
            if (now - lastRefresh >= kLcdRefreshMs) {
                SendFrame(state, report, true);
                lastRefresh = now;
            } else if (state.frameDirty.exchange(false)) {
                SendFrame(state, report, false);
            }
            const std::uint32_t elapsed = os::GetTickCount() - lastRefresh;
            if (!state.wake) os::Sleep(kWriterPassMs);
            else if (elapsed < kLcdRefreshMs) {
                os::WaitForSingleObject(state.wake.get(), kLcdRefreshMs - elapsed);
            }
        }
    } catch (const std::exception&) {
        // Out of memory for a report buffer: the stream ends, the device stays usable.
        state.writerRunning.store(false);
    }
    return 0;
}

}  // namespace

void BlankLcd(ReportChannel& channel) {
    for (int pass = 0; pass < 2; ++pass) {
        for (int page = 0; page < kLcdPages; ++page) {
            for (int chunk = 0; chunk < kLcdChunksPerPage; ++chunk) {
                channel.WriteReportLocked(BuildLcdChunkReport(channel.outputReportLength(), page,
                                                              chunk * kLcdChunkWidth, {}));
            }
        }
    }
    os::Sleep(kBlankSettleMs);
}

LcdHandset::~LcdHandset() { StopWriter(); }

int LcdHandset::AfterOpen() {
    if (!channel_) return -1;
    screen_ = context_.screenFactory ? context_.screenFactory(*this) : nullptr;
    writer_ = std::make_shared<WriterState>();
    writer_->channel = channel_;
    writer_->wake.reset(os::CreateEvent(false, false));
    writer_->canvas = std::make_shared<LcdCanvas>(LcdCanvas::kDefaultWidth,
                                                  LcdCanvas::kDefaultHeight, kLcdChunkWidth,
                                                  std::vector<int>(kLcdPages, 8));
    lastScreenTick_ = os::GetTickCount();
    writer_->lastWriteTick.store(lastScreenTick_);
    writer_->frameDirty.store(false);
    rendering_.store(false);
    if (screen_) screen_->Start();
    return StartWriter() ? 0 : -1;
}

bool LcdHandset::StartWriter() {
    writerThread_.reset();
    writer_->writerRunning.store(true);
    auto* argument = new std::shared_ptr<WriterState>(writer_);
    writerThread_.reset(os::CreateThread(1024 * 1024, WriterMain, argument, nullptr));
    if (!writerThread_) {
        delete argument;
        writer_->writerRunning.store(false);
        return false;
    }
    return true;
}

bool LcdHandset::StopWriter() {
    if (!writerThread_) return true;
    writer_->writerRunning.store(false);
    if (writer_->wake) os::SetEvent(writer_->wake.get());
    const bool ended = os::WaitForSingleObject(writerThread_.get(), kWriterStopWaitMs) ==
                       os::kWaitObject0;
    writerThread_.reset();
    return ended;
}

int LcdHandset::RenderScreen(int) {
    if (!writer_ || !writer_->canvas) return -1;
    rendering_.store(true);
    // Only this thread draws; the writer reads packed bytes, never the picture.
    LcdCanvas& canvas = *writer_->canvas;
    canvas.ClearPixels();
    if (screen_) screen_->Draw(canvas);
    {
        MutexLock lock(writer_->channel->writeLock);
        canvas.Pack();
        writer_->frameDirty.store(true);
    }
    if (writer_->wake) os::SetEvent(writer_->wake.get());
    rendering_.store(false);
    return 0;
}

void LcdHandset::OnSlowTimer() {
    static std::atomic<bool> running{false};
    if (running.exchange(true)) return;
    const std::uint32_t now = os::GetTickCount();
    if (screen_ && now - lastScreenTick_ >= kSlowTimerMs) {
        screen_->Tick(now);
        lastScreenTick_ = now;
    }
    WriteCommand(kCommandStatus, 0);
    running.store(false);
}

void LcdHandset::Close() {
    WriteCommand(kCommandLight, 0);
    lightOn_ = false;
    const bool writerEnded = StopWriter();
    screen_.reset();
    if (writer_) {
        // An abandoned writer may still hold writeLock in a stuck write: leave
        // it its state and skip the blanking that would wait for that lock.
        if (writerEnded) {
            writer_->canvas.reset();
            if (channel_) BlankLcd(*channel_);
        }
        writer_.reset();
    } else if (channel_) {
        BlankLcd(*channel_);
    }
    channel_.reset();
}

}  // namespace talvio
