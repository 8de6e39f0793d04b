// Internal state of the hosted desktop, shared by the backend's files.
// Everything here is guarded by Desktop::mutex; window procedures, enum
// callbacks and thread bodies are always called with it released.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/hosted/desktop.h"
#include "platform/platform.h"

namespace os::hosted::detail {

using Lock = std::unique_lock<std::mutex>;
using Clock = std::uint64_t;
inline constexpr Clock kNever = UINT64_MAX;

// Windows 7 SP1, as GetVersionExW reports it.
inline constexpr OsVersionInfo kDefaultVersion{6, 1, 7601};

// Win32 error codes the backend reports.
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorNotOwner = 288;
inline constexpr std::uint32_t kErrorMessageSyncOnly = 1159;
inline constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr std::uint32_t kErrorTlwWithWsChild = 1406;
inline constexpr std::uint32_t kErrorCannotFindWndClass = 1407;
inline constexpr std::uint32_t kErrorClassAlreadyExists = 1410;
inline constexpr std::uint32_t kErrorControlIdNotFound = 1421;
inline constexpr std::uint32_t kErrorInvalidThreadId = 1444;
inline constexpr std::uint32_t kErrorResourceNameNotFound = 1814;
inline constexpr std::uint32_t kErrorTimeout = 1460;

inline constexpr std::uint32_t kStillActive = 259;
inline constexpr std::uintptr_t kDesktopHandle = 0x10010;

struct ThreadState;

struct Timer {
    std::uintptr_t id = 0;
    std::uint32_t elapse = 0;
    Clock due = 0;
    std::uint64_t order = 0;  // arming sequence, breaks ties between equal due times
};

// What a built-in control holds: a combo box's or list view's items, a
// list view's columns, a tab control's tabs (as items), a trackbar's range
// and position, a button's image.
struct ControlItem {
    std::wstring text;
    std::vector<std::wstring> subItems;  // list view columns after the first
    LParam data = 0;
    int image = 0;
    std::uint32_t state = 0;  // LVIS_*
};
struct ControlColumn {
    std::wstring text;
    int width = 0;
};
struct ControlState {
    std::vector<ControlItem> items;
    std::vector<ControlColumn> columns;
    int current = -1;  // combo box and tab control selection
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    std::uintptr_t image = 0;      // BM_SETIMAGE
    std::uintptr_t imageList = 0;  // LVM_SETIMAGELIST (small)
    std::uint32_t extendedStyle = 0;
};

struct Window {
    std::uintptr_t handle = 0;
    std::wstring className;  // as registered
    WndProc proc = nullptr;
    void* userData = nullptr;
    std::wstring text;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // relative to the parent
    std::uintptr_t parent = 0;                // 0 for top-level and message-only
    std::uintptr_t owner = 0;                 // a top-level window's owner
    bool messageOnly = false;
    std::vector<std::uintptr_t> children;     // z-order, top first
    ThreadState* thread = nullptr;
    ProcessId process = 0;
    std::uintptr_t controlId = 0;
    std::vector<Timer> timers;
    int invalidations = 0;
    Selection selection;
    int check = 0;
    ControlState control;
    // Dialogs: the DLGPROC, the DWLP_USER slot and EndDialog's verdict.
    DlgProc dialogProc = nullptr;
    LParam dialogUser = 0;
    bool dialogEnded = false;
    std::intptr_t dialogResult = 0;
    bool destroying = false;
};

struct SentMessage {
    Hwnd window = nullptr;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::vector<std::uint8_t> payload;  // WM_COPYDATA: the receiver's own copy
    CopyDataStruct copyData;
    std::function<void()> task;  // SimulatedThread::Call instead of a message
    bool done = false;
    LResult result = 0;
};

struct ThreadState {
    ThreadId id = 0;
    ProcessId process = kDefaultProcess;
    bool managed = false;  // started by CreateThread or SimulatedThread
    bool alive = true;
    bool hung = false;
    std::deque<Msg> posted;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    bool quit = false;
    int quitCode = 0;
    int inboundSends = 0;  // cross-thread sends being handled (InSendMessage)
    bool shiftDown = false;  // as of the last key message retrieved, like GetKeyState
    // Set while blocked in WaitUntil, read by the clock-driving thread.
    bool waiting = false;
    std::function<bool()> ready;
    std::function<Clock()> wakeAt;
};

struct KernelObject {
    enum class Kind { Mutex, Event, Thread } kind = Kind::Mutex;
    bool named = false;
    ThreadState* owner = nullptr;  // mutex
    std::uint32_t count = 0;
    bool abandoned = false;
    bool signalled = false;    // event
    bool manualReset = false;  // event
    bool finished = false;
    std::uint32_t exitCode = kStillActive;
    std::size_t stackSize = 0;
};

struct Process {
    std::wstring name;
    std::wstring moduleFileName;
};

struct MenuItem {
    std::uint32_t type = 0;   // MFT_*
    std::uint32_t state = 0;  // MFS_*
    std::uint32_t id = 0;
    std::uintptr_t subMenu = 0;
    std::wstring text;
};

struct Menu {
    std::vector<MenuItem> items;
};


struct Desktop {
    std::mutex mutex;
    std::condition_variable changed;  // any state change; waiters re-check
    std::uint64_t generation = 1;
    Clock now = 0;
    std::thread::id clockThread;
    bool clockThreadSet = false;

    std::map<std::thread::id, ThreadState*> byNative;
    std::map<ThreadId, std::unique_ptr<ThreadState>> threads;
    ThreadId nextThreadId = 0x100;

    std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<std::uintptr_t> topLevel;  // z-order, top first
    std::vector<std::uintptr_t> messageOnly;
    std::uintptr_t nextWindow = kDesktopHandle + 0x10;

    std::map<std::pair<ProcessId, std::wstring>, WindowClass> classes;  // key: folded name
    Atom nextAtom = 0xC000;
    std::map<std::wstring, std::uint32_t> messages;  // key: folded name
    std::uint32_t nextMessage = 0xC000;

    std::map<ProcessId, Process> processes;
    ProcessId nextProcess = kDefaultProcess + 1;

    std::map<std::uintptr_t, std::shared_ptr<KernelObject>> handles;
    std::map<std::wstring, std::weak_ptr<KernelObject>> namedObjects;
    std::uintptr_t nextHandle = 0x100;

    std::map<std::uintptr_t, Menu> menus;
    std::uintptr_t nextMenu = 0x20000;
    std::map<int, std::vector<MenuTemplateItem>> menuResources;
    std::map<int, int> iconLoads;  // icon resources, with their load counts
    std::map<int, BitmapResource> bitmapResources;
    std::map<int, DialogResource> dialogResources;
    std::deque<std::function<void(Hwnd)>> dialogUsers;
    std::map<std::uintptr_t, int> imageLists;  // handle -> image count
    std::uintptr_t nextImageList = 0x60000;
    std::deque<std::uint32_t> menuChoices;
    std::vector<MenuTracking> menuTrackings;
    Point cursor;
    std::deque<int> messageBoxAnswers;
    std::vector<MessageBoxShown> messageBoxes;
    OsVersionInfo version{kDefaultVersion};

    std::uint64_t timerOrder = 0;
    std::uintptr_t focus = 0;
    std::uintptr_t foreground = 0;
    std::vector<KeyEvent> keyLog;
    bool keyDelivery = true;
};

Desktop& TheDesktop();

// The calling thread's state, created on first use (lock held).
ThreadState& Self();
bool IsClockThread();
ThreadState& NewManagedThread(ProcessId process);
// Binds the calling real thread to a managed state made by NewManagedThread.
void BindCurrentThread(ThreadState& state);
// Ends a managed thread: destroys its windows, answers its pending sends,
// abandons its mutexes, then marks `object` (if any) finished with
// exitCode. Called on that thread, lock not held.
struct KernelObject;
void EndCurrentThread(KernelObject* object, std::uint32_t exitCode);

Window* FindWindow(Hwnd window);
// The window when it exists and belongs to the calling thread; otherwise
// nullptr with the error Win32 gives (invalid handle, or access denied).
Window* FindOwnWindow(Hwnd window);
inline Hwnd ToHwnd(std::uintptr_t handle) { return reinterpret_cast<Hwnd>(handle); }
inline std::uintptr_t FromHwnd(Hwnd window) { return reinterpret_cast<std::uintptr_t>(window); }
std::wstring Fold(std::wstring_view text);  // case-insensitive key, like Win32 atoms

// Virtual time. SetNow wakes every waiter.
void SetNow(Lock& lock, Clock time);

// Blocks until ready() holds or virtual time reaches wakeAt(). Both are
// re-evaluated under the lock, also by the clock-driving thread. On the
// clock-driving thread, when every managed thread is idle, time jumps to
// the next wake-up point.
void WaitUntil(Lock& lock, const std::function<bool()>& ready,
               const std::function<Clock()>& wakeAt);
// Clock-driving thread: waits until every managed thread is idle, running
// the sends that reach the caller meanwhile.
void Settle(Lock& lock);
// Earliest wake-up point after now of the other threads (and of the
// caller's timers when ownTimers), kNever if none.
Clock NextWakeUp(bool ownTimers);

// Messages (message_queue.cpp).
// Earliest due time, not before `from`, of the thread's timers.
Clock NextTimerDue(const ThreadState& thread, Clock from = 0);
bool HasWork(const ThreadState& thread);
// Runs one message sent to the caller (lock released around the call).
// Returns false if none was pending.
bool RunOneSent(Lock& lock);
// Sends with Win32 routing; the lock is held on entry and on return.
bool Send(Lock& lock, Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
          std::uint32_t flags, std::uint32_t timeoutMs, LResult* result);
// Waits for a cross-thread send or task to be answered; false on time-out.
bool AwaitReply(Lock& lock, const std::shared_ptr<SentMessage>& sent, Clock deadline,
                bool runNested);
void PostTo(ThreadState& thread, const Msg& msg);

// Windows (window_manager.cpp).
bool DestroyWindowLocked(Lock& lock, Hwnd window);

// Built-in control classes (builtin_controls.cpp).
struct SystemClass {
    const wchar_t* name;
    WndProc proc;
};
const SystemClass* FindSystemClass(std::wstring_view name);
// The default processing of the dialog class: the DLGPROC first, then
// what DefDlgProc does for what it left.
LResult DialogClassProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);

}  // namespace os::hosted::detail
