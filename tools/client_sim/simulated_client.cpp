#include "tools/client_sim/simulated_client.h"

#include <cstdio>
#include <iterator>

#include "foundation/text_convert.h"

namespace talvio::clientsim {

namespace {

constexpr wchar_t kApiClass[] = L"ClientSimApiWindow";
constexpr wchar_t kMainClass[] = L"tSkMainForm.UnicodeClass";
constexpr wchar_t kFamilyMainClass[] = L"ClientSimVoipMain";
constexpr wchar_t kEditClass[] = L"Edit";
constexpr wchar_t kPopupClass[] = L"TClientSimPopup";
constexpr wchar_t kChatClass[] = L"TChatForm";
constexpr std::uint32_t TCM_GETCURSEL = 0x130B;
constexpr std::uint32_t kSendTimeoutMs = 2000;
// Sends the queued replies once the command's sender has returned.
constexpr std::uint32_t kFlushMessage = os::WM_USER + 100;

// Window classes of each client generation: the dial field, a decoy edit
// field the dial-field search must pass over, and the tab control.
struct VersionClasses {
    const wchar_t* dialField;
    const wchar_t* decoy;
    const wchar_t* tabControl;
};

template <typename Entry>
void KeepLatest(std::deque<Entry>& entries, Entry entry) {
    entries.push_back(std::move(entry));
    if (entries.size() > SimulatedClient::kKeptCommands) entries.pop_front();
}

VersionClasses ClassesFor(const std::string& version) {
    if (version >= "3.0.0.00") return {L"TRichViewEdit", L"TFilterBarEdit", L"TSkypeTabControl"};
    if (version >= "2.0.0.00") return {L"TFilterBarEdit", L"TRichViewEdit", L"TSkypeTabControl"};
    return {L"Edit", nullptr, L"PageControl"};
}

}  // namespace

SimulatedClient::SimulatedClient(std::wstring_view processName, std::string_view familyProgram)
    : process_(processName),
      program_(familyProgram),
      discoverMessage_(os::RegisterWindowMessage(Family() ? L"VoipAPIDiscover" : L"SkypeControlAPIDiscover")),
      attachMessage_(os::RegisterWindowMessage(Family() ? L"VoipAPIAttach" : L"SkypeControlAPIAttach")) {
    model.family = Family();
}

SimulatedClient::~SimulatedClient() { Crash(); }

os::Hwnd SimulatedClient::Create(const wchar_t* className, std::wstring_view title,
                                 std::uint32_t style, int x, int y, int width, int height,
                                 os::Hwnd parent) {
    os::Hwnd window = nullptr;
    process_.Run([&] {
        if (!os::GetClassInfo(className)) {
            os::WindowClass windowClass;
            windowClass.proc = &SimulatedClient::Procedure;
            windowClass.name = className;
            os::RegisterClass(windowClass);
        }
        window = os::CreateWindowEx(0, className, std::wstring(title).c_str(), style, x, y, width,
                                    height, parent, 0, this);
    });
    return window;
}

void SimulatedClient::Launch() {
    Crash();
    api_ = Create(kApiClass, L"", os::WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr);
}

void SimulatedClient::Crash() {
    for (os::Hwnd popup : popups_) {
        if (os::IsWindow(popup)) os::DestroyWindow(popup);
    }
    popups_.clear();
    for (os::Hwnd* window : {&dialField_, &decoyField_, &tabControl_, &main_, &api_}) {
        if (*window != nullptr && os::IsWindow(*window)) os::DestroyWindow(*window);
        *window = nullptr;
    }
    outbox_.clear();
    peer_ = nullptr;
}

void SimulatedClient::ShowMainWindow() {
    if (main_ != nullptr) return;
    if (Family()) {
        ShowFamilyMainWindow();
        return;
    }
    const VersionClasses classes = ClassesFor(model.version);
    main_ = Create(kMainClass, L"Skype - " + Utf8ToWide(model.currentUser),
                   os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, 10, 10, 400, 300, nullptr);
    const std::uint32_t child = os::WS_CHILD | os::WS_VISIBLE;
    tabControl_ = Create(classes.tabControl, L"", child, 5, 5, 390, 20, main_);
    dialField_ = Create(classes.dialField, L"", child, 5, 250, 200, 20, main_);
    if (classes.decoy != nullptr) decoyField_ = Create(classes.decoy, L"", child, 5, 30, 200, 20, main_);
}

void SimulatedClient::ShowFamilyMainWindow() {
    main_ = Create(kFamilyMainClass, Utf8ToWide(program_) + L" - " + Utf8ToWide(model.currentUser),
                   os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, 10, 10, 300, 400, nullptr);
    const std::uint32_t child = os::WS_CHILD | os::WS_VISIBLE;
    decoyField_ = Create(kEditClass, L"", child, 5, 30, 200, 20, main_);
    dialField_ = Create(kEditClass, L"", child, 5, 350, 200, 20, main_);
    process_.Run([&] {
        os::SetUserData(dialField_, this);
        editProcedure_ = os::SetWindowProc(dialField_, &SimulatedClient::EditProcedure);
    });
}

os::LResult SimulatedClient::EditProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                           os::LParam lParam) {
    auto* self = static_cast<SimulatedClient*>(os::GetUserData(window));
    if (self == nullptr) return os::DefWindowProc(window, message, wParam, lParam);
    if (message == os::WM_KEYDOWN) self->dialFieldKeys.push_back(wParam);
    if (message == os::WM_KEYUP) self->dialFieldKeyUps.push_back(wParam);
    return os::CallWindowProc(self->editProcedure_, window, message, wParam, lParam);
}

os::Hwnd SimulatedClient::ShowPopup(std::wstring_view title, bool chatWindow) {
    if (Family()) {
        os::Hwnd popup = Create(kPopupClass, title, os::WS_POPUP | os::WS_CAPTION | os::WS_VISIBLE, 60, 60,
                                240, 120, main_);
        if (popup != nullptr) popups_.push_back(popup);
        return popup;
    }
    os::Hwnd popup = Create(chatWindow ? kChatClass : kPopupClass, title,
                            os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, 60, 60, 240, 120, nullptr);
    if (popup != nullptr) popups_.push_back(popup);
    return popup;
}

std::wstring SimulatedClient::DialText() const {
    return dialField_ != nullptr ? os::GetWindowText(dialField_) : std::wstring();
}

void SimulatedClient::TypeDialText(std::wstring_view text) {
    if (dialField_ == nullptr) return;
    // Only the client's own process may change its controls' texts.
    process_.Run([&] { os::SetWindowText(dialField_, text); });
}

void SimulatedClient::SetAttachSequence(std::vector<os::LParam> statuses) {
    attachStatuses_ = std::move(statuses);
}

void SimulatedClient::AnnounceApi() {
    process_.Run([&] {
        os::SendMessageTimeout(os::kBroadcast, attachMessage_, reinterpret_cast<os::WParam>(api_),
                               kApiAvailable, os::SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
    });
}

void SimulatedClient::Reply(os::Hwnd connector, std::string_view text, bool withZero) {
    std::string bytes(text);
    os::CopyDataStruct data;
    data.cbData = static_cast<std::uint32_t>(bytes.size() + (withZero ? 1 : 0));
    data.lpData = bytes.c_str();
    process_.Run([&] {
        os::SendMessageTimeout(connector, os::WM_COPYDATA, reinterpret_cast<os::WParam>(api_),
                               reinterpret_cast<os::LParam>(&data), os::SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, nullptr);
    });
}

bool SimulatedClient::Notify(std::string_view text) {
    if (peer_ == nullptr || api_ == nullptr) return false;
    Reply(peer_, Outgoing(text));
    return true;
}

std::string SimulatedClient::Outgoing(std::string_view text) const {
    return Family() ? Utf8ToAnsi(text) : std::string(text);
}

int SimulatedClient::Ring(std::string_view handle, bool pstn) {
    std::vector<std::string> out;
    const int id = model.Ring(handle, pstn, out);
    for (const std::string& text : out) Notify(text);
    return id;
}

std::vector<std::string> SimulatedClient::Take() {
    std::vector<std::string> taken(std::make_move_iterator(commands.begin()),
                                   std::make_move_iterator(commands.end()));
    commands.clear();
    return taken;
}

os::LResult SimulatedClient::Procedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                       os::LParam lParam) {
    if (message == os::WM_NCCREATE) {
        const auto* create = reinterpret_cast<const os::CreateStruct*>(lParam);
        os::SetUserData(window, create->lpCreateParams);
    }
    auto* self = static_cast<SimulatedClient*>(os::GetUserData(window));
    if (self == nullptr || message == os::WM_NCDESTROY) {
        os::SetUserData(window, nullptr);
        return os::DefWindowProc(window, message, wParam, lParam);
    }
    return self->Handle(window, message, wParam, lParam);
}

os::LResult SimulatedClient::Handle(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                    os::LParam lParam) {
    if (window == api_) return HandleApi(message, wParam, lParam);
    if (window == dialField_ && message == os::WM_KEYDOWN) {
        dialFieldKeys.push_back(wParam);
        std::wstring text = DialText();
        if (wParam == os::VK_ESCAPE) text.clear();
        else if (wParam == os::VK_BACK && !text.empty()) text.pop_back();
        TypeDialText(text);
        return 0;
    }
    if (window == tabControl_) {
        if (message == TCM_GETCURSEL) return currentTab_;
        if (message == os::WM_LBUTTONDOWN) currentTab_ = 0;
    }
    if (window == main_ && message == os::WM_SYSCOMMAND && (wParam & 0xFFF0) == os::SC_CLOSE) {
        // The client goes to the tray rather than closing.
        os::ShowWindow(window, os::SW_HIDE);
        return 0;
    }
    const bool closes = Family() ? message == os::WM_SYSCOMMAND && (wParam & 0xFFF0) == os::SC_CLOSE
                                 : message == os::WM_KEYDOWN && wParam == os::VK_ESCAPE;
    if (closes) {
        for (auto popup = popups_.begin(); popup != popups_.end(); ++popup) {
            if (*popup == window) {
                popups_.erase(popup);
                os::DestroyWindow(window);
                return 0;
            }
        }
    }
    return os::DefWindowProc(window, message, wParam, lParam);
}

os::LResult SimulatedClient::HandleApi(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == discoverMessage_) {
        ++discoveries;
        lastDiscoverer = reinterpret_cast<os::Hwnd>(wParam);
        if (hung_ || attachStatuses_.empty() || attachStatuses_.front() < 0) return 1;
        peer_ = lastDiscoverer;
        attachStep_ = 0;
        PostNextAttachStatus();
        return 1;
    }
    if (message == os::WM_TIMER && wParam == kAttachTimer) {
        os::KillTimer(api_, kAttachTimer);
        PostNextAttachStatus();
        return 0;
    }
    if (message == os::WM_COPYDATA) {
        const auto* data = reinterpret_cast<const os::CopyDataStruct*>(lParam);
        if (data == nullptr || data->lpData == nullptr) return 0;
        Receive(reinterpret_cast<os::Hwnd>(wParam),
                std::string(static_cast<const char*>(data->lpData), data->cbData));
        return 1;
    }
    if (message == kFlushMessage) {
        std::vector<std::pair<os::Hwnd, std::string>> sending;
        sending.swap(outbox_);
        for (const auto& [target, text] : sending) Reply(target, text);
        return 0;
    }
    return os::DefWindowProc(api_, message, wParam, lParam);
}

void SimulatedClient::PostNextAttachStatus() {
    if (attachStep_ >= attachStatuses_.size() || lastDiscoverer == nullptr) return;
    os::PostMessage(lastDiscoverer, attachMessage_, reinterpret_cast<os::WParam>(api_),
                    attachStatuses_[attachStep_++]);
    if (attachStep_ < attachStatuses_.size()) os::SetTimer(api_, kAttachTimer, kAttachStepMs);
}

void SimulatedClient::Receive(os::Hwnd sender, std::string text) {
    // Every command must arrive with its terminating zero.
    if (text.empty() || text.back() != '\0') text = "<unterminated>" + text;
    else text.pop_back();
    if (Family()) text = AnsiToUtf8(text);
    const std::uint32_t now = os::GetTickCount();
    ++received;
    KeepLatest(log, LogEntry{now, text});
    if (logSink) {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%10u ", static_cast<unsigned>(now));
        logSink(stamp + text);
    }
    KeepLatest(commands, text);
    if (onCommand) onCommand(text);
    if (!answering_ || hung_ || sender == nullptr) return;
    peer_ = sender;
    // Brought to the front, the client shows its main window again, hidden or minimised.
    if (text == "FOCUS" && main_ != nullptr) process_.Run([&] { os::ShowWindow(main_, os::SW_RESTORE); });
    ApplyButton(text);
    // The green button with a number typed and nothing ringing calls it.
    const bool placesCall = text == "BTN_PRESSED YES" && !model.HasIncomingRinging() && !DialText().empty();
    // Replies go out after the sender's send has returned, as a client's own
    // thread would send them.
    for (std::string& reply : model.Handle(text)) outbox_.emplace_back(sender, Outgoing(reply));
    if (placesCall) {
        outbox_.emplace_back(sender, Outgoing(model.PlaceCall(WideToUtf8(DialText()))));
        TypeDialText(L"");
    }
    os::PostMessage(api_, kFlushMessage, 0, 0);
}

// Keypad buttons type into the dial field as on the client's own keypad. A
// family program also deletes from it on DELETE and minimises its main window.
void SimulatedClient::ApplyButton(std::string_view command) {
    std::string_view key;
    const std::string_view word = FirstWord(command, &key);
    if (Family()) ApplyFamilyCommand(word, key);
    if (word != "BTN_PRESSED" || key.size() != 1 || dialField_ == nullptr) return;
    const char c = key.front();
    if ((c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+') {
        TypeDialText(DialText() + static_cast<wchar_t>(c));
    }
}

void SimulatedClient::ApplyFamilyCommand(std::string_view word, std::string_view argument) {
    if (main_ != nullptr && word == "MINIMIZE") process_.Run([&] { os::ShowWindow(main_, os::SW_MINIMIZE); });
    if (word != "BTN_PRESSED" || argument != "DELETE" || dialField_ == nullptr) return;
    const std::wstring dialled = DialText();
    if (!dialled.empty()) TypeDialText(dialled.substr(0, dialled.size() - 1));
}

}  // namespace talvio::clientsim
