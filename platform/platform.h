// The one seam between the program and the operating system's window,
// message, timer, thread and mutex services. Names and message numbers mirror
// Win32 so code above this seam reads like the Win32 it stands for.
//
// Two backends implement it: platform/win32 (the real calls) and
// platform/hosted (an in-process desktop with a virtual clock, for native
// tests and Linux tools). Exactly one backend is linked into a binary.
//
// Threading follows Win32: a window belongs to the thread that created it and
// its procedure runs on that thread; Post/Send may be called from any thread.
#pragma once

// windows.h defines the message and style numbers below as macros.
#ifdef WM_NULL
#error "include platform/win32/windows_api.h instead of <windows.h> (before any os:: header)"
#endif

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace os {

struct WindowTag;
using Hwnd = WindowTag*;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using Atom = std::uint16_t;
using ThreadId = std::uint32_t;
using ProcessId = std::uint32_t;

using WndProc = LResult (*)(Hwnd, std::uint32_t message, WParam, LParam);

// Special window values, as Win32 defines them.
inline const Hwnd kBroadcast = reinterpret_cast<Hwnd>(static_cast<std::uintptr_t>(0xFFFF));
inline const Hwnd kMessageOnlyParent = reinterpret_cast<Hwnd>(static_cast<std::intptr_t>(-3));

// Message numbers keep their Win32 values.
inline constexpr std::uint32_t WM_NULL = 0x0000;
inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_MOVE = 0x0003;
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_SETFOCUS = 0x0007;
inline constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr std::uint32_t WM_ENABLE = 0x000A;
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_GETTEXT = 0x000D;
inline constexpr std::uint32_t WM_GETTEXTLENGTH = 0x000E;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr std::uint32_t WM_SETFONT = 0x0030;
inline constexpr std::uint32_t WM_COPYDATA = 0x004A;
inline constexpr std::uint32_t WM_NOTIFY = 0x004E;
inline constexpr std::uint32_t WM_NCCREATE = 0x0081;
inline constexpr std::uint32_t WM_NCDESTROY = 0x0082;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_INITDIALOG = 0x0110;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_HSCROLL = 0x0114;
inline constexpr std::uint32_t WM_VSCROLL = 0x0115;
inline constexpr std::uint32_t WM_INITMENUPOPUP = 0x0117;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;
inline constexpr std::uint32_t WM_PRINTCLIENT = 0x0318;
inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t EM_SETSEL = 0x00B1;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr WParam SC_CLOSE = 0xF060;  // WM_SYSCOMMAND

// SendMessageTimeout flags.
inline constexpr std::uint32_t SMTO_NORMAL = 0x0000;
inline constexpr std::uint32_t SMTO_BLOCK = 0x0001;
inline constexpr std::uint32_t SMTO_ABORTIFHUNG = 0x0002;

// Window styles the program tests or sets.
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t WS_GROUP = 0x00020000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;

// Virtual keys the program synthesises or sends.
inline constexpr std::uint8_t VK_BACK = 0x08;
inline constexpr std::uint8_t VK_TAB = 0x09;
inline constexpr std::uint8_t VK_SHIFT = 0x10;
inline constexpr std::uint8_t VK_CONTROL = 0x11;
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;
inline constexpr std::uint8_t VK_DOWN = 0x28;
inline constexpr std::uint8_t VK_LSHIFT = 0xA0;
inline constexpr std::uint8_t VK_LCONTROL = 0xA2;

// keybd_event flags.
inline constexpr std::uint32_t KEYEVENTF_EXTENDEDKEY = 0x0001;
inline constexpr std::uint32_t KEYEVENTF_KEYUP = 0x0002;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitAbandoned = 0x80;  // owner ended holding the mutex
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

inline constexpr std::uint32_t ERROR_ALREADY_EXISTS = 183;

inline std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
inline std::uint16_t HiWord(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFF); }

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// Mirrors CREATESTRUCTW; lpCreateParams is what CreateWindowEx was given.
struct CreateStruct {
    void* lpCreateParams = nullptr;
    void* hInstance = nullptr;
    std::uintptr_t hMenu = 0;
    Hwnd hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    std::uint32_t style = 0;
    const wchar_t* lpszName = nullptr;
    const wchar_t* lpszClass = nullptr;
    std::uint32_t dwExStyle = 0;
};

// Mirrors COPYDATASTRUCT. The receiver gets its own copy of the payload,
// valid only while it handles the message.
struct CopyDataStruct {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};

struct Msg {
    Hwnd hwnd = nullptr;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::uint32_t time = 0;
};

// Mirrors WNDCLASSEXW for the fields the program uses; cursor, background
// and icon are opaque GDI/USER handle values.
struct WindowClass {
    std::uint32_t style = 0;
    WndProc proc = nullptr;
    void* instance = nullptr;
    std::uintptr_t icon = 0;
    std::uintptr_t cursor = 0;
    std::uintptr_t background = 0;
    std::wstring name;
};

// Module
void* GetModuleHandle();
std::wstring GetModuleFileName();

// Classes and windows
Atom RegisterClass(const WindowClass& windowClass);
bool GetClassInfo(std::wstring_view name);
Hwnd CreateWindowEx(std::uint32_t exStyle, std::wstring_view className, std::wstring_view title,
                    std::uint32_t style, int x, int y, int width, int height, Hwnd parent,
                    std::uintptr_t menuOrId, void* param);
bool DestroyWindow(Hwnd window);
LResult DefWindowProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
LResult CallWindowProc(WndProc proc, Hwnd window, std::uint32_t message, WParam wParam,
                       LParam lParam);
WndProc GetWindowProc(Hwnd window);
WndProc SetWindowProc(Hwnd window, WndProc proc);  // returns the previous one
void* GetUserData(Hwnd window);
void SetUserData(Hwnd window, void* data);

// Messages
std::uint32_t RegisterWindowMessage(std::wstring_view name);
bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
bool PostThreadMessage(ThreadId thread, std::uint32_t message, WParam wParam, LParam lParam);
LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam);
// Returns false on time-out or hung receiver, as SendMessageTimeoutW's 0.
// With kBroadcast it sends to every top-level window and returns true.
bool SendMessageTimeout(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
                        std::uint32_t flags, std::uint32_t timeoutMs, LResult* result);
// GetMessageW: >0 for a message, 0 for WM_QUIT (msg.wParam is the exit code).
int GetMessage(Msg& msg);
bool PeekMessage(Msg& msg, bool remove);
bool TranslateMessage(const Msg& msg);
LResult DispatchMessage(const Msg& msg);
void PostQuitMessage(int exitCode);
bool InSendMessage();

// Timers
bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t elapseMs);
bool KillTimer(Hwnd window, std::uintptr_t id);

// Window tree and properties
using EnumCallback = std::function<bool(Hwnd)>;  // return false to stop
Hwnd FindWindowEx(Hwnd parent, Hwnd childAfter, const wchar_t* className, const wchar_t* title);
bool EnumWindows(const EnumCallback& callback);
bool EnumChildWindows(Hwnd parent, const EnumCallback& callback);
bool EnumThreadWindows(ThreadId thread, const EnumCallback& callback);
bool IsWindow(Hwnd window);
std::wstring GetClassName(Hwnd window);
std::wstring GetWindowText(Hwnd window);
bool SetWindowText(Hwnd window, std::wstring_view text);
Rect GetWindowRect(Hwnd window);
Rect GetClientRect(Hwnd window);
std::uint32_t GetWindowStyle(Hwnd window);
std::uint32_t GetWindowExStyle(Hwnd window);  // GetWindowLongW(GWL_EXSTYLE)
bool IsWindowVisible(Hwnd window);
bool IsWindowEnabled(Hwnd window);
bool IsIconic(Hwnd window);
bool ShowWindow(Hwnd window, int command);
bool EnableWindow(Hwnd window, bool enable);
bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint);
bool InvalidateRect(Hwnd window, bool erase);
Hwnd GetParent(Hwnd window);
Hwnd GetRootAncestor(Hwnd window);  // GetAncestor(GA_ROOT)
Hwnd GetDesktopWindow();
ThreadId GetWindowThreadProcessId(Hwnd window, ProcessId* process);
std::uintptr_t GetDlgCtrlID(Hwnd window);
Hwnd GetDlgItem(Hwnd dialog, int id);

bool ScreenToClient(Hwnd window, Point& point);
bool ClientToScreen(Hwnd window, Point& point);

// Dialogs
// Dialog boxes made from the module's dialog templates. The procedure's
// result is the DLGPROC's: nonzero when it handled the message (for
// WM_INITDIALOG: the dialog manager should set the focus).
using DlgProc = std::intptr_t (*)(Hwnd, std::uint32_t message, WParam, LParam);

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr std::uint32_t DS_SETFONT = 0x0040;
inline constexpr std::uint32_t DS_MODALFRAME = 0x0080;
inline constexpr std::uint32_t DS_CONTROL = 0x0400;
inline constexpr int DEFAULT_GUI_FONT = 17;

// DialogBoxParamW: modal until EndDialog; the owner is disabled meanwhile.
// The EndDialog value, or -1 when the dialog could not be made.
std::intptr_t DialogBoxParam(void* instance, int templateId, Hwnd owner, DlgProc proc, LParam param);
// CreateDialogParamW: a modeless dialog (a child when its template says
// WS_CHILD), shown when its template says WS_VISIBLE; null on failure.
Hwnd CreateDialogParam(void* instance, int templateId, Hwnd owner, DlgProc proc, LParam param);
// Ends a modal dialog once its procedure returns; the dialog then goes.
bool EndDialog(Hwnd dialog, std::intptr_t result);
// The DWLP_USER slot.
LParam GetDialogUserData(Hwnd dialog);
void SetDialogUserData(Hwnd dialog, LParam data);
LResult SendDlgItemMessage(Hwnd dialog, int id, std::uint32_t message, WParam wParam, LParam lParam);
// GetStockObject, for the fonts WM_SETFONT takes.
std::uintptr_t GetStockObject(int object);

// Focus and input
bool SetForegroundWindow(Hwnd window);
Hwnd GetForegroundWindow();
bool BringWindowToTop(Hwnd window);
Hwnd SetFocus(Hwnd window);
void keybd_event(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags);
bool GetCursorPos(Point& point);

// Menus and icons
// Menus are USER objects: any thread may change one, and a menu that is the
// submenu of an item is destroyed with its parent. Owned through os::Menu.
struct MenuTag;
using Hmenu = MenuTag*;
// Icons from LoadIcon are shared by the module: never destroyed.
struct IconTag;
using Hicon = IconTag*;

inline constexpr std::uint32_t MF_BYCOMMAND = 0x0000;
inline constexpr std::uint32_t MF_STRING = 0x0000;
inline constexpr std::uint32_t MF_ENABLED = 0x0000;
inline constexpr std::uint32_t MF_UNCHECKED = 0x0000;
inline constexpr std::uint32_t MF_GRAYED = 0x0001;
inline constexpr std::uint32_t MF_DISABLED = 0x0002;
inline constexpr std::uint32_t MF_CHECKED = 0x0008;
inline constexpr std::uint32_t MF_POPUP = 0x0010;
inline constexpr std::uint32_t MF_BYPOSITION = 0x0400;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;
inline constexpr std::uint32_t kMenuItemMissing = 0xFFFFFFFF;  // CheckMenuItem/EnableMenuItem

inline constexpr std::uint32_t MIIM_STATE = 0x0001;
inline constexpr std::uint32_t MIIM_ID = 0x0002;
inline constexpr std::uint32_t MIIM_SUBMENU = 0x0004;
inline constexpr std::uint32_t MIIM_STRING = 0x0040;
inline constexpr std::uint32_t MIIM_FTYPE = 0x0100;
inline constexpr std::uint32_t MFT_STRING = 0x0000;
inline constexpr std::uint32_t MFT_SEPARATOR = 0x0800;
inline constexpr std::uint32_t MFS_ENABLED = 0x0000;
inline constexpr std::uint32_t MFS_GRAYED = 0x0003;
inline constexpr std::uint32_t MFS_CHECKED = 0x0008;

inline constexpr std::uint32_t TPM_RIGHTALIGN = 0x0008;
inline constexpr std::uint32_t TPM_VERTICAL = 0x0040;
inline constexpr std::uint32_t TPM_RETURNCMD = 0x0100;

// Mirrors MENUITEMINFOW for the fields the program uses; `text` stands for
// dwTypeData/cch and is read and written whole.
struct MenuItemInfo {
    std::uint32_t mask = 0;  // MIIM_*
    std::uint32_t type = 0;  // MFT_*
    std::uint32_t state = 0;  // MFS_*
    std::uint32_t id = 0;
    Hmenu subMenu = nullptr;
    std::wstring text;
};

Hmenu LoadMenu(void* instance, int resourceId);  // LoadMenuW with MAKEINTRESOURCE
Hmenu CreatePopupMenu();
bool DestroyMenu(Hmenu menu);
Hmenu GetSubMenu(Hmenu menu, int position);
int GetMenuItemCount(Hmenu menu);  // -1 for an invalid menu
// By command id (searching submenus, as Win32 does) or by position.
bool GetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, MenuItemInfo& info);
// Attaching a submenu does not destroy the one it replaces.
bool SetMenuItemInfo(Hmenu menu, std::uint32_t item, bool byPosition, const MenuItemInfo& info);
// Both return the item's previous MF_CHECKED / MF_GRAYED|MF_DISABLED bits,
// or kMenuItemMissing.
std::uint32_t CheckMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags);
std::uint32_t EnableMenuItem(Hmenu menu, std::uint32_t item, std::uint32_t flags);
// With MF_POPUP, idOrSubmenu is the submenu, which the menu then owns.
bool AppendMenu(Hmenu menu, std::uint32_t flags, std::uintptr_t idOrSubmenu, const wchar_t* text);
// Modal until the user chooses or dismisses; WM_INITMENUPOPUP reaches the
// owner for the menu and for every submenu the user opens. The chosen
// command is posted to the owner as WM_COMMAND, or returned with
// TPM_RETURNCMD. `exclude` may be null.
int TrackPopupMenuEx(Hmenu menu, std::uint32_t flags, int x, int y, Hwnd owner,
                     const Rect* exclude);

Hicon LoadIcon(void* instance, int resourceId);  // LoadIconW with MAKEINTRESOURCE
// LoadImageW(IMAGE_ICON, LR_SHARED): the icon's picture nearest that size,
// shared as LoadIcon's are.
Hicon LoadIconOfSize(void* instance, int resourceId, int width, int height);

// Image lists for list views. One made by ImageList_LoadBitmap cuts the
// bitmap resource into images `width` pixels wide; pixels of `maskColour`
// (a COLORREF, or CLR_NONE) are transparent. A list view destroys the
// image lists it is given. Owned through os::ImageList otherwise.
struct ImageListTag;
using HimageList = ImageListTag*;
inline constexpr std::uint32_t CLR_NONE = 0xFFFFFFFF;
HimageList ImageList_LoadBitmap(void* instance, int resourceId, int width, int grow,
                                std::uint32_t maskColour);
bool ImageList_Destroy(HimageList list);
int ImageList_GetImageCount(HimageList list);

// Message boxes
inline constexpr std::uint32_t MB_YESNO = 0x04;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x20;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// MessageBoxW: modal until the user answers (the thread's other windows
// still get their messages meanwhile); 0 when the box cannot be shown.
int MessageBox(Hwnd owner, std::wstring_view text, std::wstring_view caption, std::uint32_t type);

// System version
// Mirrors the OSVERSIONINFOW fields the program reads.
struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
};
// GetVersionExW: the version the program's manifest admits, not always the
// installed one. False when the call fails.
bool GetVersionEx(OsVersionInfo& info);

// Time
std::uint32_t GetTickCount();
void Sleep(std::uint32_t milliseconds);

// Errors
std::uint32_t GetLastError();
void SetLastError(std::uint32_t error);

// Kernel objects
// Opaque kernel handle: mutexes, events and threads. Owned through os::Handle.
struct KernelTag;
using KernelHandle = KernelTag*;
bool CloseHandle(KernelHandle handle);
std::uint32_t WaitForSingleObject(KernelHandle handle, std::uint32_t timeoutMs);

// CreateMutexW. With a name that already exists GetLastError() is
// ERROR_ALREADY_EXISTS and the existing mutex is opened.
KernelHandle CreateMutex(bool initialOwner, const wchar_t* name);
bool ReleaseMutex(KernelHandle mutex);

// CreateEventW without a name. A wait that an auto-reset event satisfies
// resets it; a manual-reset one stays set.
KernelHandle CreateEvent(bool manualReset, bool initialState);
bool SetEvent(KernelHandle event);

// _beginthreadex with a chosen stack size, not suspended.
using ThreadStart = unsigned (*)(void* argument);
KernelHandle CreateThread(std::size_t stackSize, ThreadStart start, void* argument,
                          ThreadId* threadId);
ThreadId GetCurrentThreadId();
ProcessId GetCurrentProcessId();
bool GetExitCodeThread(KernelHandle thread, std::uint32_t* exitCode);

}  // namespace os
