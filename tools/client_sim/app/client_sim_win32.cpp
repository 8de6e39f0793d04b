// Client simulator: a headless Skype client (or, with --family, a program
// of the Voip family) for an unmodified driver, run from a command file
// and/or a control pipe, logging every command it receives with its tick
// count.
//   client_sim.exe [--family PROGRAM] [--script FILE] [--control NAME] [--log FILE]
// --control NAME serves the command language on \\.\pipe\NAME, one command
// per CallNamedPipe and one reply line back; the script runs first.
#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/text_convert.h"
#include "tools/client_sim/client_script.h"
#include "tools/control_pipe/control_pipe_win32.h"

namespace {

using talvio::clientsim::RunScriptLine;
using talvio::clientsim::ScriptResult;
using talvio::clientsim::SimulatedClient;

constexpr UINT kControlMessage = WM_APP + 1;  // lParam: the line, wParam: the reply
constexpr UINT kFreezeMessage = WM_APP + 2;   // wParam: milliseconds
constexpr UINT_PTR kScriptTimer = 1;

struct App {
    explicit App(const std::string& program) : client(L"client_sim", program) {}
    SimulatedClient client;
    HWND control = nullptr;
    std::vector<std::string> script;
    std::size_t nextLine = 0;
    std::FILE* log = nullptr;
    bool serving = false;
};
App* g_app = nullptr;

void Log(const std::string& line) {
    if (g_app->log == nullptr) return;
    std::fprintf(g_app->log, "%s\n", line.c_str());
    std::fflush(g_app->log);
}

ScriptResult Execute(const std::string& line) {
    ScriptResult result = RunScriptLine(g_app->client, line);
    if (!result.reply.empty()) Log("> " + line + "  -> " + result.reply);
    if (result.quit) PostQuitMessage(0);
    // Posted, so that the command is answered before the thread stops.
    if (result.freezeMs > 0) PostMessageW(g_app->control, kFreezeMessage, result.freezeMs, 0);
    return result;
}

// Script lines run on the window thread; a wait lets messages flow meanwhile.
void RunScript() {
    KillTimer(g_app->control, kScriptTimer);
    while (g_app->nextLine < g_app->script.size()) {
        const ScriptResult result = Execute(g_app->script[g_app->nextLine++]);
        if (result.quit) return;
        if (result.waitMs > 0) {
            SetTimer(g_app->control, kScriptTimer, result.waitMs, nullptr);
            return;
        }
    }
    // Nothing would end a headless run without a control pipe.
    if (!g_app->serving) PostQuitMessage(0);
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kScriptTimer) {
        RunScript();
        return 0;
    }
    if (message == kFreezeMessage) {
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == kControlMessage) {
        *reinterpret_cast<ScriptResult*>(wParam) = Execute(*reinterpret_cast<const std::string*>(lParam));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One command per connection; the line runs on the window thread.
void ServeControlPipe(std::wstring name, HWND control) {
    talvio::simulators::ServeControlPipe(
        name,
        [control](const std::string& line) {
            ScriptResult result;
            DWORD_PTR ignored = 0;
            // The window thread may be busy in a script wait; a command that
            // cannot be run in time is answered as such.
            if (!SendMessageTimeoutW(control, kControlMessage, reinterpret_cast<WPARAM>(&result),
                                     reinterpret_cast<LPARAM>(&line), SMTO_NORMAL, 30000, &ignored)) {
                result.reply = "error: busy";
            }
            // A wait on the pipe keeps the caller waiting, not the client.
            if (result.waitMs > 0) Sleep(result.waitMs);
            return talvio::simulators::ControlReply{result.reply, result.quit};
        },
        [control] { return IsWindow(control) != FALSE; });
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring scriptPath, controlName, logPath, program;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--script") scriptPath = argv[i + 1];
        else if (option == L"--control") controlName = argv[i + 1];
        else if (option == L"--log") logPath = argv[i + 1];
        else if (option == L"--family") program = argv[i + 1];
    }
    LocalFree(argv);
    if (scriptPath.empty() && controlName.empty()) return 2;

    App app(talvio::WideToUtf8(program));
    g_app = &app;
    if (!logPath.empty()) app.log = _wfopen(logPath.c_str(), L"w");
    app.client.SetAnswering(true);
    app.client.logSink = Log;
    if (!scriptPath.empty()) {
        std::ifstream file(talvio::WideToAnsi(scriptPath));
        for (std::string line; std::getline(file, line);) app.script.push_back(line);
    }

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ControlProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ClientSimControl";
    RegisterClassW(&windowClass);
    app.control = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    if (app.control == nullptr) return 1;

    std::thread controlThread;
    app.serving = !controlName.empty();
    if (app.serving) controlThread = std::thread(ServeControlPipe, controlName, app.control);
    RunScript();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    app.client.Crash();
    DestroyWindow(app.control);
    // The pipe thread ends after answering "quit"; otherwise it waits in
    // ConnectNamedPipe, which process exit ends.
    if (controlThread.joinable()) controlThread.detach();
    if (app.log) std::fclose(app.log);
    g_app = nullptr;
    return 0;
}
