// Helpers for Windows tests that drive other programs under Wine: the test
// program's own folder, a bounded message pump, a child process that is
// always ended, the simulators' control pipes and the driver itself. Main
// thread only.
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace talvio::testing {

// The test program's folder, with its trailing backslash.
inline std::wstring TestProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file(path, length);
    return file.substr(0, file.find_last_of(L'\\') + 1);
}

inline constexpr DWORD kDefaultWaitMs = 20000;

// Dispatches this thread's messages until `done` or the time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kDefaultWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void PumpFor(DWORD milliseconds) { PumpUntil([] { return false; }, milliseconds); }

// A program started with a quoted path and optional arguments; ended on
// destruction if it is still running, so no test leaves one behind.
class ChildProcess {
public:
    static constexpr DWORD kEndWaitMs = 15000;

    explicit ChildProcess(const std::wstring& path, const std::wstring& arguments = {}) {
        std::wstring commandLine = L"\"" + path + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != 0;
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (!started_) return;
        if (running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, kEndWaitMs);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    bool started() const { return started_; }
    bool running() const { return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD id() const { return info_.dwProcessId; }

    // The exit code, or nothing when the process still runs after the wait.
    std::optional<DWORD> waitForExit(DWORD milliseconds = kDefaultWaitMs) const {
        if (!started_ || WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

// One command line to a simulator's control pipe \\.\pipe\<name>; the reply,
// or "error: ..." when the pipe never answers. Pumps while it waits, so this
// thread's windows stay responsive.
inline std::string ControlPipeCommand(const std::wstring& name, const std::string& line,
                                      DWORD timeoutMs = 15000) {
    const std::wstring path = L"\\\\.\\pipe\\" + name;
    char reply[1024];
    DWORD got = 0;
    const DWORD start = GetTickCount();
    // The pipe appears once the simulator runs, and is busy between commands.
    while (!CallNamedPipeW(path.c_str(), const_cast<char*>(line.data()), static_cast<DWORD>(line.size()),
                           reply, sizeof(reply), &got, 2000)) {
        if (GetTickCount() - start > timeoutMs) return "error: simulator unreachable";
        PumpFor(20);
    }
    return std::string(reply, got);
}

// A simulator (handset_sim.exe, client_sim.exe) serving its command
// language on the control pipe `pipe`; told to quit on destruction.
class SimulatorProcess {
public:
    SimulatorProcess(const std::wstring& path, const std::wstring& options, std::wstring pipe)
        : pipe_(std::move(pipe)),
          process_(path, options + (options.empty() ? L"" : L" ") + L"--control " + pipe_) {}
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    ~SimulatorProcess() {
        if (process_.running()) {
            Command("quit");
            process_.waitForExit(5000);
        }
    }

    bool started() const { return process_.started(); }
    bool running() const { return process_.running(); }
    std::string Command(const std::string& line) { return ControlPipeCommand(pipe_, line); }

private:
    std::wstring pipe_;
    ChildProcess process_;
};

// handset_sim.exe, headless, on a pipe unique to this test process.
class HandsetSimulatorProcess : public SimulatorProcess {
public:
    HandsetSimulatorProcess(const std::wstring& path, const std::wstring& options)
        : SimulatorProcess(path, L"--headless" + (options.empty() ? L"" : L" " + options),
                           L"talvio-sim-" + std::to_wstring(GetCurrentProcessId())) {}
};

// TalvioDriver.exe of the build, or the copy in `directory` (relative to
// the test program). On destruction it is asked to quit, as every running
// copy answers, while this thread's windows are pumped so that its
// shutdown sends are answered; a copy that lingers is ended.
class DriverProcess {
public:
    explicit DriverProcess(const std::wstring& directory = L"..\\..\\app\\")
        : process_(TestProgramDirectory() + directory + L"TalvioDriver.exe") {}
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;
    ~DriverProcess() {
        if (!process_.running()) return;
        const UINT quit = RegisterWindowMessageW(L"OrvaneAppUserMessage0A23D86C");
        if (HWND window = FindWindowExW(nullptr, nullptr, L"OrvaneWindowClass20060218", L"OrvaneWindow20062423")) {
            PostMessageW(window, quit, 0, 0);
        }
        PumpUntil([&] { return !process_.running(); }, kDefaultWaitMs);
    }
    bool started() const { return process_.started(); }
    bool running() const { return process_.running(); }

private:
    ChildProcess process_;
};

}  // namespace talvio::testing
