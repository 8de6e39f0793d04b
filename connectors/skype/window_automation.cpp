#include "connectors/skype/window_automation.h"

#include <array>

#include "connectors/client_windows.h"
#include "connectors/skype/client_version.h"

namespace talvio {
namespace {

// Win32 values the seam does not carry.
constexpr std::uint32_t TCM_GETCURSEL = 0x130B;
constexpr os::WParam MK_LBUTTON = 0x0001;

constexpr std::size_t kMaxTitle = 200;
constexpr std::size_t kMaxClassName = 99;

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }
wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

std::wstring ClassNameIn(os::Hwnd window, wchar_t (*fold)(wchar_t)) {
    std::wstring name = os::GetClassName(window).substr(0, kMaxClassName);
    for (wchar_t& c : name) c = fold(c);
    return name;
}

bool IsDialable(wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'#' || c == L'*' || c == L'+'; }

bool IsDescendant(os::Hwnd window, os::Hwnd ancestor) {
    for (os::Hwnd parent = os::GetParent(window); parent; parent = os::GetParent(parent))
        if (parent == ancestor) return true;
    return false;
}

os::LParam ClientPoint(int x, int y) { return static_cast<os::LParam>(x | (y << 16)); }

}  // namespace

void SkypeWindowAutomation::Forget() {
    mainWindow_ = nullptr;
    dialField_ = nullptr;
}

os::Hwnd SkypeWindowAutomation::MainWindow() {
    if (!host_.AttachedClientWindow()) return nullptr;
    if (!mainWindow_ || !os::IsWindow(mainWindow_)) mainWindow_ = LookUpMainWindow();
    return mainWindow_;
}

os::Hwnd SkypeWindowAutomation::LookUpMainWindow() {
    os::ProcessId client = 0;
    os::GetWindowThreadProcessId(host_.AttachedClientWindow(), &client);
    os::Hwnd found = nullptr;
    os::Hwnd fallback = nullptr;
    os::EnumWindows([&](os::Hwnd window) {
        if (os::GetParent(window)) return true;
        os::ProcessId process = 0;
        os::GetWindowThreadProcessId(window, &process);
        if (process != client) return true;
        const os::Rect rect = os::GetWindowRect(window);
        if (rect.right <= rect.left || rect.bottom <= rect.top) return true;
        if (os::GetWindowText(window).substr(0, kMaxTitle).find(L"Skype") == std::wstring::npos)
            return true;
        os::Hwnd login = nullptr;
        os::EnumChildWindows(window, [&](os::Hwnd child) {
            if (EqualsNoCase(os::GetClassName(child), L"TLoginControl")) login = child;
            return login == nullptr;
        });
        if (login) {
            found = os::GetRootAncestor(login);
            return false;
        }
        if (!fallback && EqualsNoCase(os::GetClassName(window), L"tSkMainForm.UnicodeClass"))
            fallback = window;
        return true;
    });
    return found ? found : fallback;
}

os::Hwnd SkypeWindowAutomation::DialField() {
    const os::Hwnd main = MainWindow();
    if (!main) return nullptr;
    if (!dialField_ || !os::IsWindow(dialField_) || !IsDescendant(dialField_, main))
        dialField_ = LookUpDialField(main);
    return dialField_;
}

os::Hwnd SkypeWindowAutomation::LookUpDialField(os::Hwnd main) {
    // The dial field's class changed between client generations.
    const std::string& version = host_.AttachedClientVersion();
    std::array<std::wstring_view, 3> patterns;
    if (!VersionBelow(version, "3.0.0.00"))
        patterns = {L"TRICHVIEWEDIT", L"TFILTERBAREDIT", L"EDIT"};
    else if (VersionBelow(version, "2.0.0.00"))
        patterns = {L"EDIT", L"TFILTERBAREDIT", L""};
    else
        patterns = {L"TFILTERBAREDIT", L"TRICHVIEWEDIT", L"EDIT"};

    os::Hwnd first = nullptr;
    os::Hwnd second = nullptr;
    os::Hwnd third = nullptr;
    os::EnumChildWindows(main, [&](os::Hwnd child) {
        const std::wstring name = ClassNameIn(child, Upper);
        if (name.find(patterns[0]) != std::wstring::npos) {
            first = child;
            return false;
        }
        if (name.find(patterns[1]) != std::wstring::npos) second = child;
        if (!patterns[2].empty() && name.find(patterns[2]) != std::wstring::npos) third = child;
        return true;
    });
    return first ? first : second ? second : third;
}

os::Hwnd SkypeWindowAutomation::TabControl() {
    const os::Hwnd main = MainWindow();
    if (!main) return nullptr;
    os::Hwnd tabs = nullptr;
    os::EnumChildWindows(main, [&](os::Hwnd child) {
        const std::wstring name = os::GetClassName(child);
        if (name.find(L"PageControl") != std::wstring::npos ||
            name.find(L"TSkypeTabControl") != std::wstring::npos)
            tabs = child;
        return tabs == nullptr;
    });
    return tabs;
}

int SkypeWindowAutomation::CurrentTab() {
    const os::Hwnd tabs = TabControl();
    if (!tabs) return -1;
    os::LResult selected = -1;
    if (!os::SendMessageTimeout(tabs, TCM_GETCURSEL, 0, 0, os::SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                &selected))
        return -1;
    return static_cast<int>(selected);
}

void SkypeWindowAutomation::SelectTab(os::Hwnd tabControl, int target) {
    if (!tabControl) return;
    os::SetForegroundWindow(os::GetRootAncestor(tabControl));
    // A click on the first tab puts the control at a known place; the keys
    // then step from there.
    os::PostMessage(tabControl, os::WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(20, 9));
    os::PostMessage(tabControl, os::WM_LBUTTONUP, 0, ClientPoint(20, 9));
    client_windows::TabSteps(target);
}

os::Hwnd SkypeWindowAutomation::TopPopup() {
    const os::Hwnd main = MainWindow();
    if (!main) return nullptr;
    os::Hwnd popup = nullptr;
    os::EnumThreadWindows(os::GetWindowThreadProcessId(main, nullptr), [&](os::Hwnd window) {
        if (window == main || !os::IsWindowVisible(window) || os::GetParent(window)) return true;
        const std::wstring name = ClassNameIn(window, Lower);
        if (name.find(L"chatform") != std::wstring::npos ||
            name.find(L"filetransfer") != std::wstring::npos)
            return true;
        const os::Rect rect = os::GetWindowRect(window);
        if (rect.right - rect.left <= 50 || rect.bottom - rect.top <= 30) return true;
        if ((os::GetWindowStyle(window) & os::WS_CAPTION) != os::WS_CAPTION) return true;
        popup = window;
        return false;
    });
    return popup;
}

void SkypeWindowAutomation::Backspace() {
    if (const os::Hwnd field = DialField()) os::PostMessage(field, os::WM_KEYDOWN, os::VK_BACK, 0);
}

void SkypeWindowAutomation::ClearDialText() {
    // Escape in the client's window would also end or drop the call.
    if (host_.HasCallUnderway()) return;
    if (const os::Hwnd field = DialField()) os::PostMessage(field, os::WM_KEYDOWN, os::VK_ESCAPE, 0);
}

bool SkypeWindowAutomation::GetDialText(std::wstring& text, int size) {
    const os::Hwnd field = DialField();
    if (!field || !client_windows::ReadText(field, text, size)) {
        text.clear();
        return false;
    }
    for (const wchar_t c : text) {
        if (!IsDialable(c)) {
            text.clear();
            return false;
        }
    }
    return !text.empty();
}

int SkypeWindowAutomation::SetDialText(std::wstring_view text) {
    const os::Hwnd field = DialField();
    if (!field) return 0;
    std::wstring current;
    client_windows::ReadText(field, current, kMaxDialText);
    const std::wstring replacement(text);
    os::LResult result = 0;
    if (!current.empty() && IsDialable(current.front())) {
        os::SendMessageTimeout(field, os::WM_SETTEXT, 0,
                               reinterpret_cast<os::LParam>(replacement.c_str()),
                               os::SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
        return 1;
    }
    // The field shows something else (a contact name): typing through the
    // client's buttons makes it a dial field again.
    const wchar_t empty[1] = {L'\0'};
    os::SendMessageTimeout(field, os::WM_SETTEXT, 0, reinterpret_cast<os::LParam>(empty),
                           os::SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    for (const wchar_t c : replacement) {
        const char button = static_cast<char>(c & 0xFF);
        if (button != '\0') host_.SendClientButton(std::string_view(&button, 1));
    }
    return 1;
}

bool SkypeWindowAutomation::CloseTopPopup() {
    const os::Hwnd popup = TopPopup();
    if (!popup) return false;
    os::PostMessage(popup, os::WM_KEYDOWN, os::VK_ESCAPE, 0);
    return true;
}

bool SkypeWindowAutomation::IsMainWindowShown() {
    const os::Hwnd main = MainWindow();
    return main && !os::IsIconic(main) && os::IsWindowVisible(main);
}

void SkypeWindowAutomation::HideMainWindow() {
    if (const os::Hwnd main = MainWindow()) os::PostMessage(main, os::WM_SYSCOMMAND, os::SC_CLOSE, 0);
}

void SkypeWindowAutomation::MoveFocus(int steps) {
    if (steps > 0) {
        for (int i = 0; i < steps; ++i) host_.StepClientView();
        return;
    }
    if (steps == 0) return;
    const os::Hwnd tabs = TabControl();
    if (!tabs) return;
    os::SetForegroundWindow(os::GetRootAncestor(tabs));
    os::SetFocus(tabs);
    using namespace client_windows;
    Key(os::VK_LCONTROL, kScanControl, false);
    Key(os::VK_LSHIFT, kScanShift, false);
    for (int i = 0; i < -steps; ++i) Tap(os::VK_TAB, kScanTab);
    Key(os::VK_LSHIFT, kScanShift, true);
    Key(os::VK_LCONTROL, kScanControl, true);
}

void SkypeWindowAutomation::ShowView(std::string_view command, int oldTab, int olderTab) {
    host_.SendClientCommand("FOCUS");
    const std::string& version = host_.AttachedClientVersion();
    if (!VersionBelow(version, "1.3.9.99")) {
        host_.SendClientCommand(command);
        return;
    }
    // Older clients have no command for it; their tabs moved once.
    const int target = VersionBelow(version, "1.2.9.99") ? olderTab : oldTab;
    if (CurrentTab() != target) SelectTab(TabControl(), target);
}

void SkypeWindowAutomation::ShowContacts() { ShowView("OPEN CONTACTS", 0, 1); }

void SkypeWindowAutomation::ShowCallHistory() { ShowView("OPEN CALLHISTORY", 1, 2); }

}  // namespace talvio
