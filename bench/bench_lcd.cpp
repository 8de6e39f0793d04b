// CPU cost of the LCD drawing: a full redraw of a busy call-page-like set of
// widgets (logo, clock, ringing animation, a scrolling caller name, the call
// timer, mute and hands-free marks, a volume bar, two softkeys) plus the
// packing into page bytes; and the 200 ms tick of that set when nothing is
// due, which must not allocate (the allocs counter is per iteration). The
// same two for the handset screen itself on its busiest page, the call page
// of a call in progress with a scrolling name, the timer, both marks and
// its softkeys, reading a connector service.
#include <benchmark/benchmark.h>

#include <array>

#include "bench/allocation_counter.h"
#include "bench/bench_goals.h"
#include "handset_ui/lcd_widgets.h"
#include "tests/handset_ui/support/screen_rig.h"

namespace {

using namespace talvio;

struct BusyPage {
    IconWidget logo{{0, 0, 16, 16}};
    IconWidget ringing{{16, 0, 32, 16}};
    IconWidget mute{{32, 0, 48, 16}};
    IconWidget handsFree{{48, 0, 64, 16}};
    ClockWidget clock{{64, 0, 128, 16}, SystemLocalClock(), LcdHAlign::kRight};
    TextWidget partner{{0, 16, 128, 32}};
    TimerWidget timer{{0, 32, 64, 48}, LcdHAlign::kCentre};
    BarWidget bar{{64, 32, 128, 48}};
    TextWidget left{{0, 48, 64, 64}, LcdHAlign::kCentre};
    TextWidget right{{64, 48, 128, 64}, LcdHAlign::kCentre};
    std::array<Widget*, 10> widgets{&logo, &ringing, &mute, &handsFree, &clock,
                                    &partner, &timer, &bar, &left, &right};
    LcdCanvas canvas{128, 64, 11, std::vector<int>(8, 8)};

    BusyPage() {
        logo.SetImage(&LogoIconOf(1));
        static const LcdIcon* const frames[] = {&StripIconAt(12), &StripIconAt(13), &StripIconAt(14)};
        ringing.SetFrames(frames);
        mute.SetImage(&StripIconAt(kIconMute));
        handsFree.SetImage(&StripIconAt(kIconHandsFree));
        partner.SetText(L"Alexander Wolfgang \u738b\u5c0f\u660e (mobile)");
        bar.SetLevel(9);
        left.SetText(L"Accept");
        right.SetText(L"Refuse");
        timer.Start(1000);
        Draw(1000);
        for (std::uint32_t now = 1000; now <= 5000; now += 200) Tick(now);  // marquee under way
    }

    void Draw(std::uint32_t now) {
        canvas.ClearPixels();
        for (Widget* widget : widgets) widget->Draw(canvas, now);
        canvas.Pack();
    }

    bool Tick(std::uint32_t now) {
        bool redraw = false;
        for (Widget* widget : widgets) redraw |= widget->Tick(now);
        return redraw;
    }
};

void BM_LcdFullRedraw(benchmark::State& state) {
    BusyPage page;
    for (auto _ : state) {
        page.Draw(5000);
        benchmark::DoNotOptimize(page.canvas.PageRow(0).data());
    }
}
BENCHMARK(BM_LcdFullRedraw);

void BM_LcdTickUnchanged(benchmark::State& state) {
    BusyPage page;
    bool redraw = false;
    const long before = bench::AllocationCount();
    const bool counting = bench::CountAllocations(true);
    for (auto _ : state) {
        // The set was ticked at 5000: at the same time every check runs and nothing is due.
        redraw |= page.Tick(5000);
        benchmark::DoNotOptimize(redraw);
    }
    bench::CountAllocations(counting);
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(bench::AllocationCount() - before),
                                                  benchmark::Counter::kAvgIterations);
    if (redraw) state.SkipWithError("an unchanged widget set asked for a redraw");
}
BENCHMARK(BM_LcdTickUnchanged);

struct BusyScreen {
    testing::ScreenRig rig;

    BusyScreen() {
        rig.skype->SetOnline(true);
        rig.screen.SetConnectorId(1);
        CallRecord& call = rig.skype->calls.SetStatus(13, CallRecord::kInProgress);
        call.partnerDisplayName = "Alexander Wolfgang \xe7\x8e\x8b\xe5\xb0\x8f\xe6\x98\x8e (mobile)";
        call.conferenceId = 0;
        rig.screen.Tick(1000);
        rig.screen.ShowCall(kCallInProgress, 13, 1);
        rig.screen.ShowMuteState(true);
        rig.screen.SetCallMark(true);
        for (std::uint32_t now = 1200; now <= 5000; now += 200) rig.screen.Tick(now);  // marquee under way
    }
};

void BM_ScreenCallPageRedraw(benchmark::State& state) {
    BusyScreen busy;
    LcdCanvas& canvas = busy.rig.device.canvas;
    for (auto _ : state) {
        busy.rig.screen.Render();
        canvas.Pack();
        benchmark::DoNotOptimize(canvas.PageRow(0).data());
    }
}
BENCHMARK(BM_ScreenCallPageRedraw);

void BM_ScreenCallPageTickUnchanged(benchmark::State& state) {
    BusyScreen busy;
    const int renders = busy.rig.device.renders;
    const long before = bench::AllocationCount();
    const bool counting = bench::CountAllocations(true);
    for (auto _ : state) busy.rig.screen.Tick(5000);  // ticked at 5000 already: nothing is due
    bench::CountAllocations(counting);
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(bench::AllocationCount() - before),
                                                  benchmark::Counter::kAvgIterations);
    if (busy.rig.device.renders != renders) state.SkipWithError("an unchanged call page was drawn again");
}
BENCHMARK(BM_ScreenCallPageTickUnchanged);

[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_LcdFullRedraw", .figure = "lcd_widgets_redraw_cpu", .unit = "us", .scale = 1e6,
     .below = 50},
    {.benchmark = "BM_LcdTickUnchanged", .figure = "lcd_widgets_tick_cpu", .unit = "us", .scale = 1e6,
     .below = 2},
    {.benchmark = "BM_LcdTickUnchanged", .figure = "lcd_widgets_tick_allocations", .unit = "per_tick",
     .counter = "allocs", .atMost = 0},
    {.benchmark = "BM_ScreenCallPageRedraw", .figure = "lcd_call_page_redraw_cpu", .unit = "us",
     .scale = 1e6, .below = 50},
    {.benchmark = "BM_ScreenCallPageTickUnchanged", .figure = "lcd_call_page_tick_cpu", .unit = "us",
     .scale = 1e6, .below = 2},
    {.benchmark = "BM_ScreenCallPageTickUnchanged", .figure = "lcd_call_page_tick_allocations",
     .unit = "per_tick", .counter = "allocs", .atMost = 0},
});

}  // namespace
