// A digit pressed on the keypad handset during a Skype call, from its input
// report to the DTMF command reaching the client's window: the handset
// link's poll, the connector service, the keypad controller, the Skype
// connector and its command queue, on the hosted desktop with the fake HID
// bus and the simulated client.
//
// BM_DigitThroughLink: the report waits on the fake bus and the link's
// 60 ms poll timer picks it up; one virtual poll period is measured.
// same_poll is the share of digits whose command left within that poll;
// cpu_us_per_keyless_poll is the following poll (the key's release), which
// raises nothing: what the hosted desktop's timers and the poll cost alone.
// BM_DigitFromReport: the same report decoded and raised as the poll does
// it, then handed to the connector service, without the hosted desktop's
// timer machinery around it.
// Both: cpu_us_per_event is the main thread's CPU time per digit (an upper
// bound: it includes the simulated client's handling of the two commands,
// FOCUS and the DTMF); allocations_per_event counts operator new calls on
// the main thread from the report to the command's arrival, without the
// client's own. Through the link, a measured poll sometimes also carries
// the 200 ms status command, whose report buffer and fake-bus record are
// two allocations off the digit's path.
#include <benchmark/benchmark.h>

#include <time.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/bench_goals.h"
#include "connectors/connector_service.h"
#include "connectors/skype/skype_connector.h"
#include "handset/handset_link.h"
#include "handset/handset_protocol.h"
#include "handset_ui/call/keypad_controller.h"
#include "platform/hosted/desktop.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tools/client_sim/simulated_client.h"

namespace {

using namespace talvio;
using talvio::bench::AllocationCount;
using talvio::bench::CountAllocations;

constexpr std::uint32_t kPollMs = 60;
constexpr int kDigit = 5;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The client's API window, subclassed: it notes the DTMF command's arrival
// and keeps the client's allocations out of the count.
os::WndProc g_clientProcedure = nullptr;
bool g_dtmfArrived = false;

os::LResult CountingClient(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message != os::WM_COPYDATA) {
        return os::CallWindowProc(g_clientProcedure, window, message, wParam, lParam);
    }
    const auto* data = reinterpret_cast<const os::CopyDataStruct*>(lParam);
    const bool counting = CountAllocations(false);
    if (data != nullptr && data->cbData > 0) {
        const std::string_view text(static_cast<const char*>(data->lpData), data->cbData - 1);
        if (text.find(" DTMF ") != std::string_view::npos) g_dtmfArrived = true;
    }
    const os::LResult result = os::CallWindowProc(g_clientProcedure, window, message, wParam, lParam);
    CountAllocations(counting);
    return result;
}

// The program with a keypad handset and Skype in a call from "alice".
class CallInProgress {
public:
    CallInProgress() {
        HandsetLink_SetBus(&bus_);
        HandsetLink_SetScreenFactory(nullptr);
        handset = bus_.PlugHandset(kKeypadModelId);
        service_.emplace(&settings_);
        auto connector = std::make_unique<SkypeConnector>(service_->Registry());
        skype = connector.get();
        service_->Registry().Append(std::move(connector));
        keypad_.emplace(service_->Registry(), CallTray::None(), CallVolumePopup::None());
        service_->AddController(&*keypad_);
        client.SetAnswering(true);
        client.Launch();
        client.ShowMainWindow();
        service_->StartHandsetLink();
        os::hosted::AdvanceTime(500);
        client.Ring("alice", false);
        os::hosted::AdvanceTime(500);
        Handset([](SimHandset& sim) { sim.Lift(); });
        os::hosted::AdvanceTime(500);
        client.SetAnswering(false);
        {
            os::hosted::ProcessScope scope(client.Process());
            g_clientProcedure = os::SetWindowProc(client.ApiWindow(), &CountingClient);
        }
        Forget();
    }
    ~CallInProgress() {
        HandsetLink_Stop();
        service_.reset();
    }

    template <typename Action>
    void Handset(Action action) {
        handset->With([&](SimHandset& sim) {
            action(sim);
            return 0;
        });
    }

    // Drops what the fakes recorded, so that nothing grows across iterations.
    void Forget() {
        client.commands.clear();
        client.log.clear();
        handset->ClearRecords();
    }

    bool InCall() const { return skype->CurrentCall() != 0; }
    ConnectorService& Service() { return *service_; }

    std::shared_ptr<testing::FakeHandset> handset;
    SkypeConnector* skype = nullptr;
    clientsim::SimulatedClient client;

private:
    MemoryRegistry store_;
    AppSettings settings_{store_, nullptr};
    testing::FakeHidBus bus_;
    std::optional<KeypadController> keypad_;
    std::optional<ConnectorService> service_;
};

void Report(benchmark::State& state, double cpuSeconds, long allocations, std::int64_t events) {
    state.counters["cpu_us_per_event"] = cpuSeconds * 1e6 / static_cast<double>(events);
    state.counters["allocations_per_event"] = static_cast<double>(allocations) / static_cast<double>(events);
}

void BM_DigitThroughLink(benchmark::State& state) {
    os::hosted::Reset();
    {
        CallInProgress world;
        if (!world.InCall()) state.SkipWithError("no call in progress");
        double cpu = 0;
        long allocations = 0;
        std::int64_t events = 0;
        std::int64_t samePoll = 0;
        double idleCpu = 0;
        for (auto _ : state) {
            world.Handset([](SimHandset& sim) { sim.HoldKeyFor(kDigit); });
            g_dtmfArrived = false;
            const long before = AllocationCount();
            const double start = ThreadCpuSeconds();
            CountAllocations(true);
            os::hosted::AdvanceTime(kPollMs);
            CountAllocations(false);
            cpu += ThreadCpuSeconds() - start;
            allocations += AllocationCount() - before;
            ++events;
            if (g_dtmfArrived) ++samePoll;
            // The release raises nothing: a poll's own cost on the hosted desktop.
            world.Handset([](SimHandset& sim) { sim.ReleaseKey(); });
            const double idleStart = ThreadCpuSeconds();
            os::hosted::AdvanceTime(kPollMs);
            idleCpu += ThreadCpuSeconds() - idleStart;
            world.Forget();
        }
        Report(state, cpu, allocations, events);
        state.counters["same_poll"] = static_cast<double>(samePoll) / static_cast<double>(events);
        state.counters["cpu_us_per_keyless_poll"] = idleCpu * 1e6 / static_cast<double>(events);
    }
    os::hosted::Reset();
}
BENCHMARK(BM_DigitThroughLink)->Iterations(20000);

void BM_DigitFromReport(benchmark::State& state) {
    os::hosted::Reset();
    {
        CallInProgress world;
        if (!world.InCall()) state.SkipWithError("no call in progress");
        // Lifted, the digit's key held, then released.
        const std::uint8_t key = KeyCodeForEvent(kKeypadModelId, kDigit);
        const std::uint8_t held[] = {kReportId, key, 0x00, 0x00, 0xFF};
        const std::uint8_t released[] = {kReportId, 0x00, 0x00, 0x00, 0xFF};
        HandsetInputState input;
        input.hook = input.reportedHook = 0;
        input.line = input.seenLine = input.reportedLine = 0;
        std::vector<int> raised;
        raised.reserve(8);
        double cpu = 0;
        long allocations = 0;
        std::int64_t events = 0;
        for (auto _ : state) {
            g_dtmfArrived = false;
            const long before = AllocationCount();
            const double start = ThreadCpuSeconds();
            CountAllocations(true);
            raised.clear();
            PollAfterRead(input, DecodeInputReport(kKeypadModelId, input, held, sizeof held), true, raised);
            for (const int code : raised) world.Service().OnHandsetEvent(code);
            CountAllocations(false);
            cpu += ThreadCpuSeconds() - start;
            allocations += AllocationCount() - before;
            ++events;
            if (!g_dtmfArrived) state.SkipWithError("the command did not arrive");
            raised.clear();
            PollAfterRead(input, DecodeInputReport(kKeypadModelId, input, released, sizeof released), true,
                          raised);
            world.Forget();
        }
        Report(state, cpu, allocations, events);
    }
    os::hosted::Reset();
}
BENCHMARK(BM_DigitFromReport)->Iterations(200000);

[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_DigitThroughLink", .figure = "digit_same_poll", .unit = "share",
     .counter = "same_poll", .atLeast = 1},
    {.benchmark = "BM_DigitFromReport", .figure = "digit_cpu", .unit = "us", .counter = "cpu_us_per_event",
     .below = 10},
    {.benchmark = "BM_DigitFromReport", .figure = "digit_allocations", .unit = "per_digit",
     .counter = "allocations_per_event", .atMost = 0},
});

}  // namespace
