// A Skype client, or a Voip-family program, for tests and testers: its API
// window answers discovery and attach, records every command with a time
// stamp and, when answering, replies from its ClientModel. A Skype client's
// main window, dial field, tab control and pop-ups carry the classes and
// titles the window automation looks for in each client version. A family
// program has its own registered messages, texts in the ANSI code page,
// a main window titled with its name and an EDIT dial field lowest in it;
// its pop-ups are owned by the main window. Built on the platform seam, so
// the same client runs on the hosted desktop and as a real Win32 program.
//
// Threading: the thread that creates it owns its windows and must pump
// their messages; every call on that thread. The windows vanish with it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tools/client_sim/client_model.h"
#include "tools/client_sim/client_process.h"

namespace talvio::clientsim {

class SimulatedClient {
public:
    // Attach statuses of the desktop API.
    static constexpr os::LParam kAttachSuccess = 0;
    static constexpr os::LParam kAttachPending = 1;
    static constexpr os::LParam kAttachNotAvailable = 3;
    static constexpr os::LParam kApiAvailable = 0x8001;
    // Between the statuses of one attach ("pending" then "success").
    static constexpr std::uint32_t kAttachStepMs = 500;

    struct LogEntry {
        std::uint32_t time;  // tick count when the command arrived
        std::string text;
    };

    // A Skype client; with `familyProgram` ("VoipBuster", ...) that
    // program of the Voip family.
    explicit SimulatedClient(std::wstring_view processName = L"Skype.exe",
                             std::string_view familyProgram = {});
    SimulatedClient(const SimulatedClient&) = delete;
    SimulatedClient& operator=(const SimulatedClient&) = delete;
    ~SimulatedClient();

    ClientModel model;

    bool Family() const { return !program_.empty(); }
    const std::string& Program() const { return program_; }

    void Launch();  // creates the API window (the client runs)
    void Crash();   // every window vanishes without a word
    // A main window as the model's version has it: dial field, a decoy
    // edit field, the tab control. A family program's: its name and user
    // in the title, a decoy EDIT above the dial field's.
    void ShowMainWindow();
    // A captioned top-level pop-up on the main window's thread; it closes
    // on Escape (a family program's on its system Close). A chat window is
    // one the automation must leave alone.
    os::Hwnd ShowPopup(std::wstring_view title, bool chatWindow = false);

    os::Hwnd ApiWindow() const { return api_; }
    os::Hwnd MainWindow() const { return main_; }
    os::Hwnd DialField() const { return dialField_; }
    os::Hwnd TabControl() const { return tabControl_; }
    os::ProcessId Process() const { return process_.Id(); }
    int CurrentTab() const { return currentTab_; }
    std::wstring DialText() const;
    // What the user typed into the dial field.
    void TypeDialText(std::wstring_view text);
    // Keys the dial field received (WM_KEYDOWN), in order; and a family
    // program's key releases (WM_KEYUP).
    std::vector<os::WParam> dialFieldKeys;
    std::vector<os::WParam> dialFieldKeyUps;

    // Statuses posted back for each discovery, the first at once and the
    // others kAttachStepMs apart; a negative status ignores discoveries.
    void SetAttachStatus(os::LParam status) { SetAttachSequence({status}); }
    void SetAttachSequence(std::vector<os::LParam> statuses);
    // Announces a started API (0x8001) to every top-level window.
    void AnnounceApi();
    // Answer commands from the model (off: only record them).
    void SetAnswering(bool on) { answering_ = on; }
    // A hung client receives but neither answers nor attaches.
    void SetHung(bool hung) { hung_ = hung; }
    bool Hung() const { return hung_; }

    // A text sent to `connector` with WM_COPYDATA, with or without its zero.
    void Reply(os::Hwnd connector, std::string_view text, bool withZero = true);
    // A notification to the program that last talked to the client; false
    // when none did.
    bool Notify(std::string_view text);
    os::Hwnd Peer() const { return peer_; }
    // An incoming call; its id.
    int Ring(std::string_view handle, bool pstn);

    // A client left running for days must not grow with what it received:
    // `commands` and `log` keep the latest kKeptCommands; the log sink sees all.
    static constexpr std::size_t kKeptCommands = 10000;
    // Commands received, in order; Take() returns and clears them.
    std::deque<std::string> commands;
    std::vector<std::string> Take();
    // Every command with its time stamp; kept across Take().
    std::deque<LogEntry> log;
    std::uint64_t received = 0;  // commands received in all
    // Called for each command after it is recorded.
    std::function<void(const std::string&)> onCommand;
    // Called with each log line ("<ms> <command>").
    std::function<void(const std::string&)> logSink;
    int discoveries = 0;
    os::Hwnd lastDiscoverer = nullptr;

private:
    static constexpr std::uintptr_t kAttachTimer = 1;

    static os::LResult Procedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                 os::LParam lParam);
    // A family program's dial field: the system EDIT, with its keys logged.
    static os::LResult EditProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                     os::LParam lParam);
    void ShowFamilyMainWindow();
    // Texts out of and into the model: a family program's are ANSI.
    std::string Outgoing(std::string_view text) const;
    os::LResult Handle(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam);
    os::LResult HandleApi(std::uint32_t message, os::WParam wParam, os::LParam lParam);
    void Receive(os::Hwnd sender, std::string text);
    void PostNextAttachStatus();
    void ApplyButton(std::string_view command);
    void ApplyFamilyCommand(std::string_view word, std::string_view argument);
    os::Hwnd Create(const wchar_t* className, std::wstring_view title, std::uint32_t style, int x,
                    int y, int width, int height, os::Hwnd parent);

    ClientProcess process_;
    std::string program_;
    std::uint32_t discoverMessage_;
    std::uint32_t attachMessage_;
    os::Hwnd api_ = nullptr;
    os::Hwnd main_ = nullptr;
    os::Hwnd dialField_ = nullptr;
    os::Hwnd decoyField_ = nullptr;
    os::Hwnd tabControl_ = nullptr;
    os::WndProc editProcedure_ = nullptr;
    std::vector<os::Hwnd> popups_;
    os::Hwnd peer_ = nullptr;
    std::vector<os::LParam> attachStatuses_{kAttachSuccess};
    std::size_t attachStep_ = 0;
    std::vector<std::pair<os::Hwnd, std::string>> outbox_;
    bool answering_ = false;
    bool hung_ = false;
    int currentTab_ = 0;
};

}  // namespace talvio::clientsim
