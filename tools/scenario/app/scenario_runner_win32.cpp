// Scenario runner: carries out a scenario (scenario_script.h) against the
// real TalvioDriver.exe with handset_sim.exe and client_sim.exe, and shows
// what happens as it happens, one line per event, from the simulators'
// logs. The demo (`make run`) and the Wine black-box tests run it.
//   scenario_runner.exe SCRIPT OUTDIR [--display] [--keep] [--quiet]
// OUTDIR receives transcript.txt, the simulators' logs, pictures, and the
// program folder the driver runs from (made afresh: the driver and the
// handset simulator's setupapi.dll and hid.dll). --display opens the
// simulators' windows; --keep leaves everything running after the script
// until the driver quits (Closo: `make stop`); --quiet prints only the case
// lines (the transcript still has everything). Exit code 0 when every step
// passed, 1 naming the failed step, 2 for a script or set-up error.
//
// Steps (besides the simulators' own commands after "client" and "handset"):
//   case TEXT                  a group of steps; prints "ok   TEXT (s)" when it passed
//   wait MS
//   driver start|quit          quit: Closo's vxClosoApp, as an installer calls it
//   driver junk N              N junk messages to the driver's windows
//   config lock|unlock         config.xml held open against writing (marked first,
//                              so that a rewrite shows)
//   config lcdlogo TEXT        a config.xml that names only the LCD's logo text
//   program add FILE           FILE of the runner's folder beside the driver (the
//                              test hook library vantrel.dll)
//   picture popup FILE         the volume popup at the mixer's speaker volume, as PNG
//   picture handset FILE       the LCD as the handset simulator shows it (4x), as PNG
//   expect client TEXT         the client received TEXT since the last action (and
//                              after what the expectations before it matched)
//   expect handset route=N|light=N|state NAME=V|state NAME>V
//   expect handset picture [not] FILE [rows A B] [columns L R] [from DX DY]
//                              the LCD shows (not: does not show now) that part of
//                              FILE, a composed page beside the script, moved by
//                              (DX, DY); the last picture is left in OUTDIR as lcd.pbm
//   expect handset blink       the light on, off and on again, blink steps apart
//   expect handset dark        the light off after the last action, and off 1.5 s on
//   expect driver exit|answers|no dialog|popup
//   expect config unchanged
//   expect tray TOOLTIP        the tray icon took this tooltip
// An expectation waits up to "within MS" (default 10 s).
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/text_convert.h"
#include "platform/win32/handles.h"
#include "tests/support/win32_test_process.h"
#include "tools/scenario/app/driver_windows_win32.h"
#include "tools/scenario/app/popup_picture_win32.h"
#include "tools/scenario/app/tray_watch_win32.h"
#include "tools/scenario/lcd_picture.h"
#include "tools/scenario/scenario_script.h"
#include "tools/scenario/sim_log.h"

namespace {

namespace fs = std::filesystem;
using talvio::testing::ChildProcess;
using talvio::testing::SimulatorProcess;
using namespace talvio::scenario;

constexpr DWORD kDefaultWithinMs = 10000;
constexpr DWORD kStartWaitMs = 20000;
constexpr DWORD kQuitWaitMs = 15000;
constexpr DWORD kAnswerWaitMs = 1000;
constexpr std::size_t kContextLines = 30;
constexpr int kPopupWidth = 500;
constexpr int kPopupHeight = 200;
// A blinking light changes every 0.5 to 1.5 s; Wine's timers may run late.
constexpr std::uint32_t kBlinkGapMinMs = 200;
constexpr std::uint32_t kBlinkGapMaxMs = 2000;
constexpr DWORD kDarkMs = 1500;

struct Options {
    std::wstring script;
    std::wstring out;
    bool display = false;
    bool keep = false;
    bool quiet = false;
};

// Finds `wanted` among `entries` from `cursor` on, and moves the cursor past it.
template <typename Entry, typename Text>
bool FindFrom(const std::vector<Entry>& entries, std::size_t& cursor, const std::string& wanted, Text text) {
    for (std::size_t i = cursor; i < entries.size(); ++i) {
        if (text(entries[i]) == wanted) {
            cursor = i + 1;
            return true;
        }
    }
    return false;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::string Narrow(const std::wstring& text) { return talvio::WideToUtf8(text); }

std::optional<std::string> ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The lines a simulator appends to its log, as they come.
class LogTail {
public:
    explicit LogTail(std::wstring path) : path_(std::move(path)) {}

    std::vector<std::string> NewLines() {
        // The simulator makes the file once it runs.
        if (!file_) {
            file_.reset(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file_) return {};
        }
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file_.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) partial_.append(buffer, got);
        std::vector<std::string> lines;
        std::size_t end;
        while ((end = partial_.find('\n')) != std::string::npos) {
            lines.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
        }
        return lines;
    }

private:
    std::wstring path_;
    os::win32::File file_;
    std::string partial_;
};

class Runner {
public:
    explicit Runner(Options options);
    int Run();

private:
    bool SetUp(std::string& why);
    bool Execute(const Step& step, std::string& why);
    bool Simulator(SimulatorProcess& simulator, const Step& step, std::string& why);
    bool Driver(const Step& step, std::string& why);
    bool Config(const Step& step, std::string& why);
    bool Picture(const std::string& subject, const std::string& file, std::string& why);
    bool Expect(const Step& step, std::string& why);
    bool ExpectHandset(const Step& step, DWORD within, std::string& why);
    bool ExpectPicture(const Step& step, DWORD within, std::string& why);
    bool ExpectDriver(const Step& step, DWORD within, std::string& why);
    bool StartDriver(std::string& why);
    void QuitDriver();
    bool WaitForDriverExit(DWORD within, std::string& why);
    void FinishCase();

    // The events of both logs so far, printed in tick order.
    void Poll();
    bool WaitUntil(const std::function<bool()>& done, DWORD ms);
    void Print(const std::string& text, std::optional<std::uint32_t> tick = std::nullopt);
    void Say(const std::string& text);

    void MarkAction();
    bool FindReceived(const std::string& text);
    bool FindReport(const std::string& text);
    bool FindBlink();
    bool FindDark(DWORD since, DWORD within);
    std::string LastReceived() const;

    Options options_;
    std::wstring kit_;
    std::wstring program_;
    DWORD startTick_ = GetTickCount();
    std::ofstream transcript_;
    std::deque<std::string> recent_;
    std::unique_ptr<SimulatorProcess> handset_;
    std::unique_ptr<SimulatorProcess> client_;
    std::unique_ptr<LogTail> handsetLog_;
    std::unique_ptr<LogTail> clientLog_;
    std::vector<SimEvent> received_;
    std::vector<SimEvent> reports_;
    std::unique_ptr<TrayWatch> tray_;
    std::vector<std::string> tooltips_;  // of each tray change, as UTF-8
    std::size_t tooltipCursor_ = 0;
    // Expectations look at what came after the last action and after what
    // they matched before.
    std::size_t receivedCursor_ = 0;
    std::size_t reportCursor_ = 0;
    std::unique_ptr<ChildProcess> driver_;
    std::map<std::string, std::string> values_;
    std::string case_;
    DWORD caseStart_ = 0;
    int cases_ = 0;
    std::optional<std::string> configSnapshot_;
    os::win32::File configLock_;
    DWORD quitTick_ = 0;
    DWORD actionTick_ = 0;
    DWORD clientCommandTick_ = 0;
};

Runner::Runner(Options options) : options_(std::move(options)) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    kit_ = Folder(path);
    if (!options_.out.empty() && options_.out.back() != L'\\' && options_.out.back() != L'/') options_.out += L'\\';
    program_ = options_.out + L"program\\";
}

void Runner::Print(const std::string& text, std::optional<std::uint32_t> tick) {
    if (text.empty()) return;
    char stamp[32];
    const auto at = static_cast<std::int32_t>(tick.value_or(GetTickCount()) - startTick_);
    std::snprintf(stamp, sizeof stamp, "%8.3f  ", at / 1000.0);
    const std::string line = stamp + text;
    transcript_ << line << '\n';
    transcript_.flush();
    recent_.push_back(line);
    if (recent_.size() > kContextLines) recent_.pop_front();
    if (!options_.quiet) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
}

void Runner::Say(const std::string& text) {
    transcript_ << text << '\n';
    transcript_.flush();
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void Runner::Poll() {
    struct Line {
        std::uint32_t tick;
        std::string text;
    };
    std::vector<Line> lines;
    const auto add = [&](SimEvent event) {
        // The client logs its own commands without a tick: they ran when
        // this process sent them.
        if (!event.tick) event.tick = clientCommandTick_ ? clientCommandTick_ : GetTickCount();
        lines.push_back({*event.tick, DescribeEvent(event)});
        if (event.kind == SimEvent::kClientReceived) received_.push_back(std::move(event));
        else if (event.kind == SimEvent::kHandsetReport) reports_.push_back(std::move(event));
    };
    for (const std::string& line : handsetLog_->NewLines()) {
        if (auto event = ParseHandsetLogLine(line)) add(std::move(*event));
    }
    for (const std::string& line : clientLog_->NewLines()) {
        if (auto event = ParseClientLogLine(line)) add(std::move(*event));
    }
    for (const TrayChange& change : tray_->Take()) {
        tooltips_.push_back(Narrow(change.tooltip));
        const bool removed = std::strcmp(change.change, "delete") == 0;
        const bool added = std::strcmp(change.change, "add") == 0;
        lines.push_back({change.tick, removed ? "tray     icon removed"
                                      : added ? "tray     icon added: " + tooltips_.back()
                                              : "tray     icon shows: " + tooltips_.back()});
    }
    std::stable_sort(lines.begin(), lines.end(), [this](const Line& a, const Line& b) {
        return static_cast<std::int32_t>(a.tick - startTick_) < static_cast<std::int32_t>(b.tick - startTick_);
    });
    for (const Line& line : lines) Print(line.text, line.tick);
}

bool Runner::WaitUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        Poll();
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        talvio::testing::PumpFor(20);
    }
}

void Runner::MarkAction() {
    Poll();
    actionTick_ = GetTickCount();
    receivedCursor_ = received_.size();
    reportCursor_ = reports_.size();
    tooltipCursor_ = tooltips_.size();
}

bool Runner::FindReceived(const std::string& text) {
    return FindFrom(received_, receivedCursor_, text, [](const SimEvent& event) { return event.text; });
}

bool Runner::FindReport(const std::string& text) {
    return FindFrom(reports_, reportCursor_, text, [](const SimEvent& event) { return event.text; });
}

// Light on, off and on again, each change a plausible blink step apart.
bool Runner::FindBlink() {
    std::vector<const SimEvent*> run;
    for (std::size_t i = reportCursor_; i < reports_.size(); ++i) {
        const SimEvent& report = reports_[i];
        if (report.text != "light=1" && report.text != "light=0") continue;
        const bool on = report.text == "light=1";
        if (!run.empty()) {
            const std::uint32_t gap = *report.tick - *run.back()->tick;
            const bool changed = on != (run.back()->text == "light=1");
            if (!changed || gap < kBlinkGapMinMs || gap > kBlinkGapMaxMs) run.clear();
        }
        if (run.empty() && !on) continue;
        run.push_back(&report);
        if (run.size() == 3) {
            reportCursor_ = i + 1;
            return true;
        }
    }
    return false;
}

// The light went off within `within` ms of `since` (or before it, after
// the cursor) and has stayed off for three blink steps.
bool Runner::FindDark(DWORD since, DWORD within) {
    for (std::size_t i = reports_.size(); i > reportCursor_; --i) {
        const SimEvent& report = reports_[i - 1];
        if (report.text == "light=1") return false;
        if (report.text != "light=0") continue;
        if (static_cast<std::int32_t>(*report.tick - since) > static_cast<std::int32_t>(within) ||
            GetTickCount() - *report.tick < kDarkMs) {
            return false;
        }
        reportCursor_ = i;
        return true;
    }
    return false;
}

std::string Runner::LastReceived() const {
    return received_.empty() ? "nothing" : "\"" + received_.back().text + "\"";
}

bool Runner::SetUp(std::string& why) {
    std::error_code error;
    fs::remove_all(fs::path(program_), error);
    fs::create_directories(fs::path(program_), error);
    for (const wchar_t* file : {L"TalvioDriver.exe", L"setupapi.dll", L"hid.dll"}) {
        if (!CopyFileW((kit_ + file).c_str(), (program_ + file).c_str(), FALSE)) {
            why = "cannot copy " + Narrow(kit_ + file) + " to " + Narrow(program_);
            return false;
        }
    }
    transcript_.open(fs::path(options_.out + L"transcript.txt"));
    // The driver must prefer the handset simulator's setupapi.dll and
    // hid.dll beside it to the system's; Wine reads that at process start.
    wchar_t overrides[512] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
    if (std::wstring(overrides).find(L"setupapi,hid=n") == std::wstring::npos) {
        why = "run me with WINEDLLOVERRIDES=setupapi,hid=n,b, so that the driver loads the handset simulator's DLLs";
        return false;
    }
    tray_ = std::make_unique<TrayWatch>();

    const std::wstring id = std::to_wstring(GetCurrentProcessId());
    const std::wstring handsetLog = options_.out + L"handset.log";
    const std::wstring clientLog = options_.out + L"client.log";
    handsetLog_ = std::make_unique<LogTail>(handsetLog);
    clientLog_ = std::make_unique<LogTail>(clientLog);
    handset_ = std::make_unique<SimulatorProcess>(
        kit_ + L"handset_sim.exe", std::wstring(options_.display ? L"" : L"--headless ") + L"--log \"" + handsetLog + L"\"",
        L"talvio-scenario-handset-" + id);
    client_ = std::make_unique<SimulatorProcess>(kit_ + L"client_sim.exe", L"--log \"" + clientLog + L"\"",
                                                 L"talvio-scenario-client-" + id);
    if (!handset_->started() || !client_->started()) {
        why = "cannot start the simulators from " + Narrow(kit_);
        return false;
    }
    // Both answer once their pipes serve.
    for (SimulatorProcess* simulator : {handset_.get(), client_.get()}) {
        const std::string reply = simulator->Command("state");
        if (reply.rfind("error", 0) == 0) {
            why = "a simulator does not answer: " + reply;
            return false;
        }
    }
    return true;
}

bool Runner::Simulator(SimulatorProcess& simulator, const Step& step, std::string& why) {
    clientCommandTick_ = GetTickCount();
    const std::string reply = simulator.Command(step.Rest(1));
    if (reply.rfind("error", 0) == 0) {
        why = reply;
        return false;
    }
    if (!step.capture.empty()) values_[step.capture] = reply;
    Poll();
    return true;
}

bool Runner::StartDriver(std::string& why) {
    if (driver_ && driver_->running()) {
        why = "the driver already runs";
        return false;
    }
    if (FindWindowExW(nullptr, nullptr, L"OrvaneWindowClass20060218", L"OrvaneWindow20062423")) {
        why = "another TalvioDriver runs in this Wine prefix: stop it (make stop) and retry";
        return false;
    }
    driver_ = std::make_unique<ChildProcess>(program_ + L"TalvioDriver.exe");
    if (!driver_->started()) {
        why = "cannot start " + Narrow(program_) + "TalvioDriver.exe";
        return false;
    }
    const DWORD id = driver_->id();
    const bool up = WaitUntil([&] {
        if (!driver_->running()) return true;
        for (HWND window : ProcessWindows(id)) {
            if (ClassOf(window) == L"OrvaneWindowClass20060218") return true;
        }
        return false;
    }, kStartWaitMs);
    if (!driver_->running()) {
        const std::optional<DWORD> code = driver_->waitForExit(0);
        why = "the driver exited at once with " + std::to_string(static_cast<int>(code.value_or(0)));
        return false;
    }
    if (!up) {
        why = "the driver showed no quit window within 20 s";
        return false;
    }
    Print("driver   started");
    return true;
}

void Runner::QuitDriver() {
    Print("driver   asked to quit (Closo's vxClosoApp)");
    quitTick_ = GetTickCount();
    const HMODULE closo = LoadLibraryW((kit_ + L"Closo.dll").c_str());
    const auto closeApp =
        closo ? reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(closo, "vxClosoApp"))) : nullptr;
    if (closeApp) closeApp();
    if (closo) FreeLibrary(closo);
}

bool Runner::WaitForDriverExit(DWORD within, std::string& why) {
    if (!driver_ || !WaitUntil([&] { return !driver_->running(); }, within)) {
        why = "the driver still runs";
        return false;
    }
    const DWORD code = driver_->waitForExit(0).value_or(1);
    char text[80];
    std::snprintf(text, sizeof text, "driver   exited with %d, %.1f s after Closo was called", static_cast<int>(code),
                  (GetTickCount() - quitTick_) / 1000.0);
    Print(text);
    if (code != 0) {
        why = "the driver's exit code is " + std::to_string(static_cast<int>(code));
        return false;
    }
    return true;
}

bool Runner::Driver(const Step& step, std::string& why) {
    const std::string action = step.words.size() > 1 ? step.words[1] : "";
    if (action == "start") return StartDriver(why);
    if (!driver_ || !driver_->running()) {
        why = "the driver does not run";
        return false;
    }
    if (action == "quit") {
        QuitDriver();
        return true;
    }
    if (action == "junk" && step.words.size() == 3) {
        const int count = std::atoi(step.words[2].c_str());
        const std::vector<HWND> windows = ProcessWindows(driver_->id());
        // The same junk every run: a failure can be replayed.
        PostJunk(windows, count, 1);
        Print("driver   " + std::to_string(count) + " junk messages sent to its " + std::to_string(windows.size()) +
              " windows");
        WaitUntil([] { return false; }, 500);
        if (!driver_->running()) {
            why = "the driver ended after the junk";
            return false;
        }
        return true;
    }
    why = "unknown driver step";
    return false;
}

bool Runner::Config(const Step& step, std::string& why) {
    const fs::path config = fs::path(program_) / "config.xml";
    const std::string action = step.words.size() > 1 ? step.words[1] : "";
    if (action == "lock") {
        // Marked first: a save that got through would drop the mark.
        std::ofstream(config, std::ios::binary | std::ios::app) << "<!-- held open by the scenario -->\r\n";
        configSnapshot_ = ReadBytes(config);
        // Held as an editor or a backup program may hold it: readable, but
        // neither writable nor replaceable by anyone else.
        configLock_.reset(CreateFileW(config.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!configSnapshot_ || !configLock_) {
            why = "no config.xml to hold";
            return false;
        }
        Print("config   config.xml marked, and held open against writing (" + std::to_string(configSnapshot_->size()) +
              " bytes)");
        return true;
    }
    if (action == "unlock") {
        configLock_.reset();
        return true;
    }
    if (action == "lcdlogo" && step.words.size() > 2) {
        const std::string logo = step.Rest(2);
        if (logo.find_first_of("<>&'\"") != std::string::npos) {
            why = "a logo text without XML markup characters";
            return false;
        }
        std::ofstream(config, std::ios::binary | std::ios::trunc)
            << "<?xml version='1.0' encoding='utf-8'?>\r\n<Config>\r\n\t<LCDLogo val='" << logo
            << "'/>\r\n</Config>\r\n";
        Print("config   config.xml names the LCD logo text " + logo);
        return true;
    }
    why = "unknown config step";
    return false;
}

// The handset simulator saves what the LCD shows; it is compared with a
// composed page, until it matches or, for "not", once.
bool Runner::ExpectPicture(const Step& step, DWORD within, std::string& why) {
    const bool negated = step.words.size() > 3 && step.words[3] == "not";
    const std::size_t fileWord = negated ? 4 : 3;
    LcdRegion region;
    if (step.words.size() <= fileWord ||
        !ParseLcdRegion(std::vector<std::string>(step.words.begin() + fileWord + 1, step.words.end()), region)) {
        why = "picture [not] FILE [rows A B] [columns L R] [from DX DY]";
        return false;
    }
    const std::string& name = step.words[fileWord];
    const std::optional<std::string> composed =
        ReadBytes(fs::path(Folder(options_.script) + talvio::Utf8ToWide(name)));
    const LcdPicture expected = ParseLcdPicture(composed.value_or(""));
    if (expected.empty()) {
        why = "no 128 x 64 picture in " + name;
        return false;
    }
    const std::wstring shownPath = options_.out + L"lcd.pbm";
    int differences = -1;
    const auto look = [&] {
        const std::string reply = handset_->Command("snapshot " + Narrow(shownPath));
        const std::optional<std::string> shown = ReadBytes(fs::path(shownPath));
        differences = reply == "ok" ? CountLcdDifferences(ParseLcdPicture(shown.value_or("")), expected, region) : -1;
        return differences == 0;
    };
    const std::string part = " (rows " + std::to_string(region.top) + "-" + std::to_string(region.bottom - 1) +
                             ", columns " + std::to_string(region.left) + "-" + std::to_string(region.right - 1) + ")";
    if (negated) {
        Poll();
        if (!look() && differences > 0) {
            Print("handset  the LCD does not show " + name + part);
            return true;
        }
        why = differences == 0 ? "the LCD already shows " + name + part : "no picture from the handset simulator";
        return false;
    }
    if (WaitUntil(look, within)) {
        Print("handset  the LCD shows " + name + part);
        return true;
    }
    why = differences < 0 ? "no picture from the handset simulator"
                          : "the LCD did not show " + name + part + " within " + std::to_string(within) + " ms (" +
                                std::to_string(differences) + " pixels differ; last picture: lcd.pbm)";
    return false;
}

bool Runner::ExpectHandset(const Step& step, DWORD within, std::string& why) {
    const std::string what = step.Rest(2);
    if (step.words.size() > 3 && step.words[2] == "picture") return ExpectPicture(step, within, why);
    if (what == "dark") {
        // Timed from the action that should end the light.
        if (WaitUntil([&] { return FindDark(actionTick_, within); }, within + kDarkMs)) return true;
        why = "the light did not go off and stay off within " + std::to_string(within) + " ms";
        return false;
    }
    if (what == "blink") {
        if (WaitUntil([&] { return FindBlink(); }, within)) return true;
        why = "the light did not blink (on, off, on) within " + std::to_string(within) + " ms";
        return false;
    }
    if (step.words.size() == 4 && step.words[2] == "state") {
        // NAME=VALUE or NAME>VALUE against the simulator's state.
        const std::string& test = step.words[3];
        const std::size_t sign = test.find_first_of("=>");
        if (sign == std::string::npos) {
            why = "state NAME=VALUE or NAME>VALUE";
            return false;
        }
        const std::string name = " " + test.substr(0, sign) + "=";
        const long bound = std::atol(test.c_str() + sign + 1);
        std::string state;
        const bool met = WaitUntil([&] {
            state = " " + handset_->Command("state") + " ";
            const std::size_t at = state.find(name);
            if (at == std::string::npos) return false;
            const long value = std::atol(state.c_str() + at + name.size());
            return test[sign] == '=' ? value == bound : value > bound;
        }, within);
        if (!met) why = "the handset's state stayed" + state;
        return met;
    }
    if (WaitUntil([&] { return FindReport(what); }, within)) return true;
    why = "the handset received no " + what + " within " + std::to_string(within) + " ms";
    return false;
}

bool Runner::ExpectDriver(const Step& step, DWORD within, std::string& why) {
    const std::string what = step.Rest(2);
    if (what == "exit") return WaitForDriverExit(within, why);
    if (!driver_ || !driver_->running()) {
        why = "the driver does not run";
        return false;
    }
    const std::vector<HWND> windows = ProcessWindows(driver_->id());
    if (what == "answers") {
        DWORD slowest = 0;
        if (HWND silent = FirstSilentWindow(windows, kAnswerWaitMs, slowest)) {
            why = "its window of class " + Narrow(ClassOf(silent)) + " did not answer within 1 s";
            return false;
        }
        Print("driver   all " + std::to_string(windows.size()) + " windows answered, the slowest in " +
              std::to_string(slowest) + " ms");
        return true;
    }
    if (what == "no dialog") {
        if (HWND box = FindDialogBox(windows)) {
            wchar_t title[128] = {};
            GetWindowTextW(box, title, 128);
            why = "a dialog box is up: \"" + Narrow(title) + "\"";
            return false;
        }
        Print("driver   shows no dialog box");
        return true;
    }
    if (what == "popup") {
        if (!WaitUntil([&] { return FindLayeredPopup(ProcessWindows(driver_->id()), kPopupWidth, kPopupHeight); },
                       within)) {
            why = "no volume popup came up";
            return false;
        }
        Print("driver   shows the volume popup (500 x 200, layered)");
        return true;
    }
    why = "unknown driver expectation";
    return false;
}

bool Runner::Expect(const Step& step, std::string& why) {
    const DWORD within = step.withinMs ? step.withinMs : kDefaultWithinMs;
    const std::string subject = step.words.size() > 2 ? step.words[1] : "";
    if (subject == "client") {
        const std::string text = step.Rest(2);
        if (WaitUntil([&] { return FindReceived(text); }, within)) return true;
        why = "the client did not receive it within " + std::to_string(within) + " ms (last: " + LastReceived() + ")";
        return false;
    }
    if (subject == "handset") return ExpectHandset(step, within, why);
    if (subject == "driver") return ExpectDriver(step, within, why);
    if (subject == "tray") {
        if (!tray_->InFront()) {
            why = "the tray's changes do not reach this process (another Shell_TrayWnd is found first)";
            return false;
        }
        const std::string tooltip = step.Rest(2);
        const bool met = WaitUntil(
            [&] { return FindFrom(tooltips_, tooltipCursor_, tooltip, [](const std::string& text) { return text; }); },
            within);
        if (!met) why = "the tray icon's tooltip did not become \"" + tooltip + "\"";
        return met;
    }
    if (subject == "config" && step.Rest(2) == "unchanged") {
        const fs::path config = fs::path(program_) / "config.xml";
        if (ReadBytes(config) != configSnapshot_) {
            why = "config.xml changed";
            return false;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(program_))) {
            const std::string name = entry.path().filename().string();
            if (name != "config.xml" && name.rfind("config.xml", 0) == 0) {
                why = "a temporary file is left: " + name;
                return false;
            }
        }
        Print("config   config.xml is byte for byte as before, no temporary file beside it");
        return true;
    }
    why = "unknown expectation";
    return false;
}

void Runner::FinishCase() {
    if (case_.empty()) return;
    char took[32];
    std::snprintf(took, sizeof took, " (%.1f s)", (GetTickCount() - caseStart_) / 1000.0);
    Say("ok    " + case_ + took);
    case_.clear();
}

bool Runner::Execute(const Step& step, std::string& why) {
    const std::string& verb = step.words.front();
    if (verb == "case") {
        FinishCase();
        case_ = step.Rest(1);
        caseStart_ = GetTickCount();
        ++cases_;
        transcript_ << "== " << case_ << '\n';
        if (!options_.quiet) std::printf("== %s\n", case_.c_str());
        return true;
    }
    if (verb == "wait" && step.words.size() == 2) {
        WaitUntil([] { return false; }, static_cast<DWORD>(std::atol(step.words[1].c_str())));
        return true;
    }
    if (verb == "expect") return Expect(step, why);
    // A picture changes nothing: the expectations after it still see what
    // came before it.
    if (verb == "picture" && step.words.size() == 3) return Picture(step.words[1], step.words[2], why);
    MarkAction();
    if (verb == "client" && step.words.size() > 1) return Simulator(*client_, step, why);
    if (verb == "handset" && step.words.size() > 1) return Simulator(*handset_, step, why);
    if (verb == "driver") return Driver(step, why);
    if (verb == "config") return Config(step, why);
    if (verb == "program" && step.words.size() == 3 && step.words[1] == "add") {
        const std::wstring file = talvio::Utf8ToWide(step.words[2]);
        if (!CopyFileW((kit_ + file).c_str(), (program_ + file).c_str(), FALSE)) {
            why = "cannot copy " + Narrow(kit_ + file) + " beside the driver";
            return false;
        }
        Print("program  " + step.words[2] + " beside the driver");
        return true;
    }
    why = "unknown step";
    return false;
}

bool Runner::Picture(const std::string& subject, const std::string& file, std::string& why) {
    const std::wstring path = options_.out + talvio::Utf8ToWide(file);
    Poll();
    if (subject == "popup") {
        const PopupPicture picture = WriteVolumePopupPicture(path);
        if (!picture.written) {
            why = "cannot write " + Narrow(path);
            return false;
        }
        Print("picture  the volume popup at speaker volume " + std::to_string(picture.volume) +
              " (as the mixer reads it), saved as " + file);
        return true;
    }
    if (subject == "handset") {
        // The simulator writes the LCD as its window shows it, at 4x.
        const std::string reply = handset_->Command("snapshot " + Narrow(path));
        if (reply != "ok") {
            why = reply;
            return false;
        }
        Print("picture  the handset's LCD saved as " + file);
        return true;
    }
    why = "unknown picture";
    return false;
}

int Runner::Run() {
    const std::optional<std::string> text = ReadBytes(fs::path(options_.script));
    if (!text) {
        std::printf("cannot read %s\n", Narrow(options_.script).c_str());
        return 2;
    }
    const Script script = ParseScript(*text);
    if (!script.error.empty()) {
        std::printf("%s: %s\n", Narrow(options_.script).c_str(), script.error.c_str());
        return 2;
    }
    std::error_code error;
    fs::create_directories(fs::path(options_.out), error);
    std::string why;
    if (!SetUp(why)) {
        std::printf("set-up failed: %s\n", why.c_str());
        return 2;
    }

    int result = 0;
    for (Step step : script.steps) {
        Substitute(step, values_);
        if (!Execute(step, why)) {
            Say("FAILED " + (case_.empty() ? std::string() : case_ + ": ") + "line " + std::to_string(step.line) +
                " `" + step.text + "`: " + why);
            if (options_.quiet) {
                Say("last events:");
                for (const std::string& line : recent_) Say(line);
            }
            result = 1;
            break;
        }
    }
    if (result == 0) {
        FinishCase();
        if (options_.keep && driver_ && driver_->running()) {
            Say("The script has ended. The programs keep running: use the handset simulator's buttons and watch "
                "the lines here; Ctrl-C or `make stop` quits.");
            WaitUntil([&] { return !driver_->running(); }, INFINITE);
            Print("driver   has quit");
        } else if (driver_ && driver_->running()) {
            QuitDriver();
            if (!WaitForDriverExit(kQuitWaitMs, why)) {
                Say("FAILED at the end: " + why);
                result = 1;
            }
        }
    } else if (driver_ && driver_->running()) {
        QuitDriver();
        WaitUntil([&] { return !driver_->running(); }, kQuitWaitMs);
    }
    configLock_.reset();
    Poll();
    if (result == 0) {
        char summary[160];
        std::snprintf(summary, sizeof summary, "passed: %d case%s in %.1f s", cases_, cases_ == 1 ? "" : "s",
                      (GetTickCount() - startTick_) / 1000.0);
        Say(summary);
    }
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    std::vector<std::wstring> positional;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--display") options.display = true;
        else if (arg == L"--keep") options.keep = true;
        else if (arg == L"--quiet") options.quiet = true;
        else positional.push_back(arg);
    }
    if (positional.size() != 2) {
        std::printf("usage: scenario_runner SCRIPT OUTDIR [--display] [--keep] [--quiet]\n");
        return 2;
    }
    options.script = positional[0];
    options.out = positional[1];
    return Runner(std::move(options)).Run();
}
