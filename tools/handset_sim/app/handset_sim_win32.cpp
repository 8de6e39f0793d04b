// Handset simulator: plays model 10 or 11 for an unmodified driver through
// the test setupapi.dll and hid.dll. Shows the LCD as streamed (4x), the
// indicator light and the audio route, with the keys, hook, wheel and line
// switch as buttons. Headless use: --control NAME serves the command
// language on \\.\pipe\NAME (one command per CallNamedPipe), --script FILE
// runs a command file. --log FILE records, one line each with the tick
// count, every command (buttons included) with its reply
// ("<ticks> > key 5 -> ok") and every route or light command the driver
// sends ("<ticks> < route=3").
//   handset_sim.exe [--model 10|11] [--control NAME] [--script FILE] [--log FILE] [--headless]
#include "platform/win32/windows_api.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/text_convert.h"
#include "handset/handset_protocol.h"
#include "tools/control_pipe/control_pipe_win32.h"
#include "tools/handset_sim/app/sim_bus_win32.h"
#include "tools/handset_sim/sim_snapshot.h"

namespace {

using talvio::SimHandset;
using talvio::sim::SimBus;

constexpr int kScale = talvio::kSnapshotScale;
constexpr int kLcdLeft = 8;
constexpr int kLcdTop = 8;
constexpr int kStatusTop = kLcdTop + 64 * kScale + 8;
constexpr int kButtonsTop = kStatusTop + 28;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT_PTR kReleaseTimer = 2;
constexpr int kFirstKeyId = 1000;

enum ControlId { kHook = 100, kWheelUp, kWheelDown, kLine, kPlug10, kPlug11, kUnplug, kSavePng };

struct Key {
    const wchar_t* label;
    int event;
};
// Event codes the buttons raise, by label; a model without the key ignores it.
const Key kKeys[] = {{L"1", 1},     {L"2", 2},       {L"3", 3},        {L"4", 4},
                     {L"5", 5},     {L"6", 6},       {L"7", 7},        {L"8", 8},
                     {L"9", 9},     {L"*", 20},      {L"0", 0},        {L"#", 21},
                     {L"Call / L soft", 50}, {L"End / R soft", 30}, {L"Nav 40", 40}, {L"Nav 60", 60},
                     {L"Talk", 120}, {L"Hands-free", 122}, {L"Clear", 194}, {L"Mute", 100},
                     {L"Key 31", 198}};

struct App {
    SimBus bus;
    HWND window = nullptr;
    DWORD mainThread = 0;
    std::FILE* log = nullptr;
    std::mutex logMutex;
};
App* g_app = nullptr;

void Log(const char* direction, const std::string& text) {
    if (!g_app->log) return;
    std::lock_guard<std::mutex> lock(g_app->logMutex);
    std::fprintf(g_app->log, "%10lu %s %s\n", GetTickCount(), direction, text.c_str());
    std::fflush(g_app->log);
}

std::string Execute(const std::string& line, bool* quit = nullptr) {
    const talvio::SimCommandResult result = talvio::ExecuteSimCommand(g_app->bus, line);
    Log(">", line + " -> " + result.reply);
    if (result.waitMs) Sleep(result.waitMs);
    if (result.quit && quit) *quit = true;
    return result.reply;
}

void Quit() {
    if (g_app->window) PostMessageW(g_app->window, WM_CLOSE, 0, 0);
    else PostThreadMessageW(g_app->mainThread, WM_QUIT, 0, 0);
}

void ServeControlPipe(std::wstring name) {
    const bool quit = talvio::simulators::ServeControlPipe(name, [](const std::string& line) {
        talvio::simulators::ControlReply reply;
        reply.text = Execute(line, &reply.quit);
        return reply;
    });
    if (quit) Quit();
}

void RunScript(std::wstring path, bool quitAtEnd) {
    std::ifstream file(talvio::WideToAnsi(path));
    std::string line;
    bool quit = false;
    while (!quit && std::getline(file, line)) Execute(line, &quit);
    if (quit || quitAtEnd) Quit();
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    std::vector<std::uint32_t> pixels(SimHandset::kWidth * SimHandset::kHeight, talvio::kLcdDarkColour);
    std::wstring status = L"no handset plugged";
    bool light = false;
    g_app->bus.Apply([&](SimHandset& sim) {
        pixels = talvio::LcdPicture(sim, 1);
        light = sim.lightOn();
        const wchar_t* route = sim.audioRoute() == talvio::kRouteRing   ? L"ring (3)"
                               : sim.audioRoute() == talvio::kRouteTalk ? L"talk (2)"
                                                                        : L"not set";
        status = L"model " + std::to_wstring(sim.modelId()) +
                 (sim.offHook() ? L"   off hook" : L"   on hook") +
                 (sim.lineSelected() ? L"   PSTN line" : L"") + L"   audio route: " + route +
                 L"   light: " + (light ? L"on" : L"off");
    });
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = SimHandset::kWidth;
    info.bmiHeader.biHeight = -SimHandset::kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, kLcdLeft, kLcdTop, SimHandset::kWidth * kScale, SimHandset::kHeight * kScale,
                  0, 0, SimHandset::kWidth, SimHandset::kHeight, pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    RECT lamp = {kLcdLeft, kStatusTop, kLcdLeft + 16, kStatusTop + 16};
    HBRUSH brush = CreateSolidBrush(light ? RGB(255, 64, 32) : RGB(64, 64, 64));
    FillRect(dc, &lamp, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, kLcdLeft + 24, kStatusTop, status.c_str(), static_cast<int>(status.size()));
    EndPaint(window, &paint);
}

void AddButton(HWND parent, const wchar_t* label, int id, int x, int y, int width) {
    CreateWindowExW(0, L"BUTTON", label, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, 26,
                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void CreateControls(HWND window) {
    const int count = static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0]));
    for (int i = 0; i < count; ++i) {
        AddButton(window, kKeys[i].label, kFirstKeyId + i, kLcdLeft + (i % 6) * 86,
                  kButtonsTop + (i / 6) * 30, 82);
    }
    const int row = kButtonsTop + ((count + 5) / 6) * 30 + 8;
    const struct {
        const wchar_t* label;
        int id;
    } switches[] = {{L"Hook", kHook},       {L"Wheel +", kWheelUp}, {L"Wheel -", kWheelDown},
                    {L"Line", kLine},       {L"Plug 10", kPlug10},  {L"Plug 11", kPlug11},
                    {L"Unplug", kUnplug},   {L"Save PNG", kSavePng}};
    for (int i = 0; i < 8; ++i) AddButton(window, switches[i].label, switches[i].id, kLcdLeft + i * 74, row, 70);
}

// The LCD as the user sees it, at 4x, into a PNG file the user names.
void SavePicture(HWND window) {
    wchar_t path[MAX_PATH] = L"handset_lcd.png";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window;
    dialog.lpstrFilter = L"PNG pictures (*.png)\0*.png\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) return;
    const std::string reply = Execute("snapshot " + talvio::WideToAnsi(path));
    if (reply.rfind("error: cannot", 0) == 0) {
        MessageBoxW(window, path, L"The picture could not be saved", MB_OK | MB_ICONWARNING);
    }
}

// Buttons speak the command language, so that the log shows what a user did.
void OnCommand(HWND window, int id) {
    const int count = static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0]));
    if (id >= kFirstKeyId && id < kFirstKeyId + count) {
        Execute("key " + std::to_string(kKeys[id - kFirstKeyId].event));
        // A click holds the key briefly, long enough for a 60 ms poll to see it.
        SetTimer(window, kReleaseTimer, 200, nullptr);
        return;
    }
    bool offHook = false, line = false;
    g_app->bus.Apply([&](SimHandset& sim) {
        offHook = sim.offHook();
        line = sim.lineSelected();
    });
    switch (id) {
    case kHook: Execute(offHook ? "hangup" : "lift"); break;
    case kWheelUp: Execute("wheel 1"); break;
    case kWheelDown: Execute("wheel -1"); break;
    case kLine: Execute(line ? "line off" : "line on"); break;
    case kPlug10: Execute("plug 10"); break;
    case kPlug11: Execute("plug 11"); break;
    case kUnplug: Execute("unplug"); break;
    case kSavePng: SavePicture(window); break;
    default: break;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE:
            CreateControls(window);
            SetTimer(window, kRefreshTimer, 50, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == kReleaseTimer) {
                KillTimer(window, kReleaseTimer);
                Execute("release");
            } else {
                RECT area = {0, 0, kLcdLeft + 128 * kScale + 600, kButtonsTop};
                InvalidateRect(window, &area, TRUE);
            }
            return 0;
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam));
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
        }
    } catch (...) {
        // A failed allocation drops this one input; the simulator goes on.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring control, script, logPath;
    int model = 0;
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--model" && hasValue) model = _wtoi(argv[++i]);
        else if (arg == L"--control" && hasValue) control = argv[++i];
        else if (arg == L"--script" && hasValue) script = argv[++i];
        else if (arg == L"--log" && hasValue) logPath = argv[++i];
        else if (arg == L"--headless") headless = true;
    }
    LocalFree(argv);

    if (headless && control.empty() && script.empty()) {
        // Nothing would ever end a headless run without a control pipe or script.
        return 2;
    }
    App app;
    g_app = &app;
    app.mainThread = GetCurrentThreadId();
    MSG message;
    // Makes the message queue exist before another thread posts WM_QUIT to it.
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    if (!logPath.empty()) app.log = _wfopen(logPath.c_str(), L"w");
    app.bus.SetCommandObserver([](const std::string& command) { Log("<", command); });
    if (model == talvio::kKeypadModelId || model == talvio::kLcdModelId) app.bus.Plug(model);

    if (!headless) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = L"TalvioHandsetSimulator";
        RegisterClassExW(&windowClass);
        app.window = CreateWindowExW(0, windowClass.lpszClassName, L"Talvio handset simulator",
                                     WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 620, 560,
                                     nullptr, nullptr, instance, nullptr);
        ShowWindow(app.window, show);
    }
    std::thread controlThread, scriptThread;
    if (!control.empty()) controlThread = std::thread(ServeControlPipe, control);
    if (!script.empty()) scriptThread = std::thread(RunScript, script, headless && control.empty());

    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    app.bus.Unplug();
    // The control thread ends on "quit"; otherwise it is blocked in ConnectNamedPipe.
    if (controlThread.joinable()) controlThread.detach();
    if (scriptThread.joinable()) scriptThread.join();
    if (app.log) std::fclose(app.log);
    g_app = nullptr;
    ExitProcess(0);
}
