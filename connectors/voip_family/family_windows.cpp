// The family program's own windows: its main window (found by its title),
// the dial field in it, pop-ups, and keystrokes for what the API lacks.
#include "connectors/client_windows.h"
#include "connectors/voip_family/voip_family_connector.h"

namespace talvio {
namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool NonEmpty(const os::Rect& rect) { return rect.right > rect.left && rect.bottom > rect.top; }

// The title in lower case, at most `limit` characters.
std::wstring LowerTitle(os::Hwnd window, std::size_t limit) {
    std::wstring title = os::GetWindowText(window).substr(0, limit);
    for (wchar_t& c : title) c = Lower(c);
    return title;
}

}  // namespace

os::Hwnd VoipFamilyConnector::LookUpMainWindow(os::Hwnd programWindow) const {
    os::ProcessId program = 0;
    if (os::GetWindowThreadProcessId(programWindow, &program) == 0) return nullptr;
    const std::wstring key = GetProgramKey();
    os::Hwnd found = nullptr;
    os::EnumWindows([&](os::Hwnd window) {
        os::ProcessId process = 0;
        os::GetWindowThreadProcessId(window, &process);
        if (process != program || !NonEmpty(os::GetWindowRect(window))) return true;
        if (LowerTitle(window, kMaxTitle).starts_with(key)) found = window;
        return found == nullptr;
    });
    return found;
}

// A sibling whose name only begins with ours (VoipCheapCom for VoipCheap)
// goes on with a letter.
bool VoipFamilyConnector::TitleIsOurs(os::Hwnd window) const {
    const std::wstring key = GetProgramKey();
    const std::wstring title = LowerTitle(window, kMaxTitle);
    return title.starts_with(key) && (title.size() == key.size() || !IsLetter(title[key.size()]));
}

os::Hwnd VoipFamilyConnector::MainWindow() {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr) return nullptr;
    if (mainWindow_ == nullptr || !os::IsWindow(mainWindow_)) mainWindow_ = LookUpMainWindow(client);
    return mainWindow_;
}

// The lowest EDIT of the main window.
os::Hwnd VoipFamilyConnector::DialField() {
    const os::Hwnd main = MainWindow();
    if (main == nullptr) return nullptr;
    os::Hwnd field = nullptr;
    int lowest = 0;
    os::EnumChildWindows(main, [&](os::Hwnd child) {
        std::wstring name = os::GetClassName(child);
        for (wchar_t& c : name) c = Lower(c);
        const int top = os::GetWindowRect(child).top;
        if (name == L"edit" && top > lowest) {
            lowest = top;
            field = child;
        }
        return true;
    });
    return field;
}

// The text, and the caret after it.
void VoipFamilyConnector::WriteDialField(os::Hwnd field, const std::wstring& text) const {
    os::LResult result = 0;
    os::SendMessageTimeout(field, os::WM_SETTEXT, 0, reinterpret_cast<os::LParam>(text.c_str()),
                           os::SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    const auto end = static_cast<os::WParam>(text.size());
    os::SendMessageTimeout(field, os::EM_SETSEL, end, static_cast<os::LParam>(end),
                           os::SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}

void VoipFamilyConnector::PressYes(int direct) {
    if (direct == 0) {
        std::wstring text;
        const os::Hwnd field = DialField();
        if (field != nullptr && client_windows::ReadText(field, text, kMaxDialText) && text.empty()) {
            // Nothing to call: the key steps down the program's list instead.
            os::LResult result = 0;
            os::SendMessageTimeout(field, os::WM_KEYDOWN, os::VK_DOWN, 0, os::SMTO_ABORTIFHUNG,
                                   kSendTimeoutMs, &result);
            os::SendMessageTimeout(field, os::WM_KEYUP, os::VK_DOWN, 0, os::SMTO_ABORTIFHUNG,
                                   kSendTimeoutMs, &result);
            return;
        }
    }
    PressButton("YES");
}

void VoipFamilyConnector::PressButton(std::string_view name) {
    if (name.empty()) return;
    if (name.size() == 1) {
        if (const os::Hwnd field = DialField()) {
            // Keypad characters type into the program's dial field.
            std::wstring text;
            client_windows::ReadText(field, text, kMaxDialText);
            text += static_cast<wchar_t>(static_cast<unsigned char>(name.front()));
            WriteDialField(field, text);
            return;
        }
    }
    Send("BTN_PRESSED " + std::string(name));
}

void VoipFamilyConnector::ClearDialText() {
    if (const os::Hwnd field = DialField()) {
        const wchar_t empty[1] = {L'\0'};
        os::LResult result = 0;
        os::SendMessageTimeout(field, os::WM_SETTEXT, 0, reinterpret_cast<os::LParam>(empty),
                               os::SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    }
}

int VoipFamilyConnector::SetDialText(const std::wstring& text) {
    const os::Hwnd field = DialField();
    if (field == nullptr) return 0;
    WriteDialField(field, text);
    return 1;
}

int VoipFamilyConnector::GetDialText(std::wstring& text, int size) {
    const os::Hwnd field = DialField();
    if (field == nullptr || !client_windows::ReadText(field, text, size)) {
        text.clear();
        return 0;
    }
    return text.empty() ? 0 : 1;
}

bool VoipFamilyConnector::IsMainWindowShown() {
    const os::Hwnd main = MainWindow();
    return main != nullptr && os::IsWindowVisible(main) && !os::IsIconic(main);
}

void VoipFamilyConnector::BringToFront() {
    if (IsMainWindowShown()) {
        os::SetForegroundWindow(mainWindow_);
        os::BringWindowToTop(mainWindow_);
        return;
    }
    // Hidden or minimised: the program brings itself up.
    Send("FOCUS");
    os::Sleep(kForegroundPauseMs);
}

void VoipFamilyConnector::MoveFocus(int steps) {
    const os::Hwnd main = MainWindow();
    if (main == nullptr) return;
    os::SetForegroundWindow(main);
    client_windows::TabSteps(steps);
}

bool VoipFamilyConnector::CloseTopPopup() {
    const os::Hwnd main = MainWindow();
    if (main == nullptr) return false;
    os::Hwnd popup = nullptr;
    os::EnumThreadWindows(os::GetWindowThreadProcessId(main, nullptr), [&](os::Hwnd window) {
        if (!os::IsWindowVisible(window) || os::GetParent(window) != main) return true;
        const os::Rect rect = os::GetWindowRect(window);
        if (rect.right - rect.left <= 1 || rect.bottom - rect.top <= 1) return true;
        const std::uint32_t style = os::GetWindowStyle(window);
        if (!(style & os::WS_POPUP) || (style & os::WS_CAPTION) != os::WS_CAPTION) return true;
        popup = window;
        return false;
    });
    if (popup == nullptr) return false;
    os::PostMessage(popup, os::WM_SYSCOMMAND, os::SC_CLOSE, 0);
    return true;
}

}  // namespace talvio
