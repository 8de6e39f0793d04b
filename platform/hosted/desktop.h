// Test control of the hosted backend: an in-process desktop that behaves
// like Win32 for everything in platform/platform.h, driven by a virtual
// clock.
//
// Threads. The desktop is shared by real threads. The thread that last
// called Reset() (or, before any Reset, the first thread that used the
// desktop) is the clock-driving thread: only it moves virtual time, through
// AdvanceTime(), Sleep() and blocking waits. Threads started through
// os::CreateThread or SimulatedThread are "managed": whenever the
// clock-driving thread is about to move time (or is blocked itself), it
// first waits until every managed thread is idle, i.e. blocked inside the
// desktop (GetMessage with nothing to do, Sleep, WaitForSingleObject, a
// pending SendMessage) with nothing ready. Time then jumps to the next
// wake-up point (a timer, a Sleep end, a wait or send time-out). That makes
// multi-threaded tests deterministic without real sleeps. A managed thread
// blocked outside the desktop (a std::mutex, I/O) counts as busy; the
// clock-driving thread gives up waiting for it after a few seconds of real
// time and reports the stall on stderr.
//
// Waits on the virtual clock:
// - Sleep(ms) on the clock-driving thread advances the clock by ms without
//   dispatching its own messages; elsewhere it blocks until virtual time
//   reaches the target.
// - A finite WaitForSingleObject or SendMessageTimeout returns its time-out
//   once virtual time passes its deadline. On the clock-driving thread an
//   unsatisfied finite wait advances the clock (through the other threads'
//   wake-up points) to its deadline.
//
// Simulated processes. Every thread acts as one simulated process (the
// default process, id 1, is named "test.exe"). Window classes are private
// to a process, as in Win32; named mutexes and registered messages are
// desktop-wide. ProcessScope lets one real thread host "another process's"
// windows; windows remember the process that was current when they were
// created.
//
// Win32 behaviour worth knowing when writing tests:
// - Z-order: windows enumerate (EnumWindows, FindWindowEx, broadcasts) in
//   creation order; SetForegroundWindow and BringWindowToTop move one to the
//   top, where it is enumerated first.
// - The title is set by DefWindowProc's WM_NCCREATE. GetWindowText asks a
//   window of the caller's own process with WM_GETTEXT (a cross-thread send)
//   but reads another process's window directly, so a hung client's title
//   is still readable. SetWindowText cannot change another process's child.
// - Subclassing (SetWindowProc), timers and DestroyWindow are refused for
//   windows of another process or thread respectively.
// - A top-level window created with a parent is owned by it; GetParent
//   gives the owner of a WS_POPUP window only (owned windows are not
//   destroyed with their owner).
// - SetFocus only accepts windows of the calling thread; SetForegroundWindow
//   accepts any top-level window and gives it the focus.
// - A timer's period is at least 10 ms; a late timer keeps its phase and
//   yields one WM_TIMER however many periods were missed.
// - The desktop window is a 1024 x 768 screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace os::hosted {

// A fresh desktop: no windows, classes, messages, timers, named mutexes,
// thread handles, processes other than the default one; clock 0; empty key
// log. Unnamed mutexes stay valid, released: they belong to the process.
// Call only when no managed thread is running. The caller becomes the
// clock-driving thread.
void Reset();

// Virtual milliseconds since Reset (GetTickCount is its low 32 bits).
std::uint64_t Now();

// Clock-driving thread only. Steps the clock through every wake-up point up
// to Now()+ms in due order; at each step the calling thread's due timers,
// sent and posted messages are dispatched. Other threads see their timers
// when they pump.
void AdvanceTime(std::uint32_t ms);

// Dispatches (translate + dispatch) everything pending on the calling
// thread without advancing time; WM_QUIT is left pending (see QuitPosted).
// On the clock-driving thread it repeats until the managed threads are idle
// and nothing is pending.
void PumpMessages();

// True when PostQuitMessage was called on this thread and WM_QUIT has not
// been retrieved yet; *exitCode receives its code.
bool QuitPosted(int* exitCode = nullptr);

// Simulated processes
ProcessId CreateProcess(std::wstring_view name);
std::wstring ProcessName(ProcessId process);
inline constexpr ProcessId kDefaultProcess = 1;

// Makes the calling thread act as `process` for its lifetime. Nestable.
class ProcessScope {
public:
    explicit ProcessScope(ProcessId process);
    ProcessScope(const ProcessScope&) = delete;
    ProcessScope& operator=(const ProcessScope&) = delete;
    ~ProcessScope();

private:
    ProcessId previous_;
};

// A managed real thread acting as a simulated process. By default it runs
// a GetMessage/TranslateMessage/DispatchMessage loop until WM_QUIT; with a
// body it runs the body instead and ends. Call() runs a function on the
// loop thread and waits for it, processing messages sent to the caller
// meanwhile (like SendMessage). The destructor joins. Owned by the
// creating thread. When the thread ends, its windows are destroyed, messages
// still sent to it are answered with 0 and mutexes it holds are abandoned.
class SimulatedThread {
public:
    explicit SimulatedThread(ProcessId process = kDefaultProcess);
    SimulatedThread(ProcessId process, std::function<void()> body);
    SimulatedThread(const SimulatedThread&) = delete;
    SimulatedThread& operator=(const SimulatedThread&) = delete;
    ~SimulatedThread();

    ThreadId id() const;
    void Call(const std::function<void()>& function);  // loop threads only
    // Un-hangs the thread, asks a loop thread to quit (as PostQuitMessage(0)
    // on it would: its queue drains first and a code it posts itself wins)
    // and waits for the end, processing messages sent to the caller
    // meanwhile. Returns the loop's exit code (0 for a body).
    int Join();

private:
    struct State;
    std::shared_ptr<State> state_;
};

// A hung thread serves none of its queue (sent, posted, timers) until it is
// un-hung; SendMessageTimeout with SMTO_ABORTIFHUNG to its windows fails at
// once.
void SetHung(ThreadId thread, bool hung);

// Input
struct KeyEvent {
    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;
    std::uint32_t flags = 0;  // KEYEVENTF_*
    std::uint64_t time = 0;   // Now() when sent
    Hwnd focus = nullptr;     // the focus window then (may be null)
    Hwnd foreground = nullptr;
};
std::vector<KeyEvent> KeyLog();
void ClearKeyLog();
// When on (the default), keybd_event also posts WM_KEYDOWN/WM_KEYUP to the
// focus window, or to the foreground window when nothing has the focus.
void SetKeyDelivery(bool deliver);
Hwnd GetFocus();

// Observation
// Number of InvalidateRect calls (and repainting MoveWindow calls).
int InvalidationCount(Hwnd window);
// The selection of a built-in "Edit" window, in UTF-16 code units.
struct Selection {
    int start = 0;
    int end = 0;
};
Selection EditSelection(Hwnd edit);
// The check state of a built-in "Button" window (BM_SETCHECK).
int ButtonCheck(Hwnd button);

// The stack size a thread was created with (os::CreateThread); 0 for an
// invalid handle.
std::size_t ThreadStackSize(KernelHandle thread);

// Module
// What GetModuleFileName returns for the calling process (default
// "C:\\Program Files\\Talvio\\TalvioDriver.exe").
void SetModuleFileName(std::wstring_view path);

// What GetVersionEx reports for every process (default 6.1.7601).
void SetWindowsVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build);

// Resources
// The module's resources, as a resource script would declare them. One
// module serves every instance handle. A fresh desktop has none.
struct MenuTemplateItem {
    std::wstring text;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;  // MF_SEPARATOR, MF_GRAYED, MF_CHECKED
    std::vector<MenuTemplateItem> popup;  // non-empty: a submenu (MF_POPUP)
};
void AddMenuResource(int id, std::vector<MenuTemplateItem> items);
void AddIconResource(int id);
// How many LoadIcon calls found icon `id`.
int IconLoadCount(int id);

// A bitmap as LoadImage makes a DIB section of it: bottom-up rows, each
// padded to four bytes.
struct BitmapResource {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 24 or 32
    std::vector<std::uint8_t> bits;
};
void AddBitmapResource(int id, BitmapResource bitmap);
bool FindBitmapResource(int id, BitmapResource* bitmap);

// A dialog template as DIALOGEX declares it, in dialog units; the hosted
// dialog manager maps them to pixels with base units of 6 x 13 (x * 6 / 4,
// y * 13 / 8), as an 8-point MS Sans Serif does.
struct DialogItemResource {
    std::wstring className;  // "Button", "Static", "Edit", "ComboBox", ...
    std::wstring text;
    int id = 0;
    std::uint32_t style = 0;  // WS_CHILD is implied
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
struct DialogResource {
    std::wstring title;
    std::uint32_t style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<DialogItemResource> items;
};
void AddDialogResource(int id, DialogResource dialog);

// Dialogs
// The user's side of DialogBoxParam, whose modal loop runs only what the
// user does here. The next modal dialog, once initialised and shown, is
// handed to `user` (queued, one per dialog), which runs inside the modal
// loop on the dialog's thread: it may send messages, make the choices
// below and advance time (on the clock-driving thread). When it returns
// with the dialog still open, the user closes it as the close box does
// (WM_CLOSE); a dialog that stays open even then is destroyed and
// DialogBoxParam returns -1. Without a queued user the dialog is closed at
// once.
void UseNextDialog(std::function<void(Hwnd dialog)> user);
// Choices as the user makes them, with the notifications Win32 sends the
// control's parent: CB_SETCURSEL then CBN_SELCHANGE; TCN_SELCHANGING,
// TCM_SETCURSEL, TCN_SELCHANGE.
void ChooseComboItem(Hwnd combo, int index);
void ChooseTab(Hwnd tab, int index);

// Menus
// The user's side of TrackPopupMenuEx, which returns at once here. The next
// tracked menu chooses command `id` (queued, one per tracking): it opens
// each submenu on the way to the item, sending WM_INITMENUPOPUP for it as
// Win32 does, and chooses the item only when it and every item on the way
// are enabled. Without a queued choice the menu is dismissed.
void ChooseMenuCommand(std::uint32_t id);
struct MenuTracking {
    Hmenu menu = nullptr;
    std::uint32_t flags = 0;
    int x = 0;
    int y = 0;
    Hwnd owner = nullptr;
    bool excluded = false;  // an exclusion rectangle was given
    Rect exclude;
    std::uint32_t chosen = 0;  // 0 when dismissed or refused
};
std::vector<MenuTracking> MenuTrackings();
void SetCursorPos(int x, int y);  // what GetCursorPos answers (default 0, 0)

// Message boxes
// The user's side of MessageBox, which returns at once here. The next box
// gets `result` as the user's answer (queued, one per box); a box with no
// queued answer cannot be shown and returns 0.
void AnswerMessageBox(int result);
struct MessageBoxShown {
    Hwnd owner = nullptr;
    std::wstring text;
    std::wstring caption;
    std::uint32_t type = 0;  // MB_*
    int result = 0;
};
std::vector<MessageBoxShown> MessageBoxes();

}  // namespace os::hosted
