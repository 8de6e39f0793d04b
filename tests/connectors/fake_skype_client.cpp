#include "tests/connectors/connector_fakes.h"

#include "platform/hosted/desktop.h"

namespace talvio::testing {

namespace {

constexpr wchar_t kClassName[] = L"FakeSkypeApiWindow";
constexpr wchar_t kMainClassName[] = L"tSkMainForm.UnicodeClass";
constexpr wchar_t kDialClassName[] = L"TRecordingEdit";

void RegisterOnce(const wchar_t* name, os::WndProc proc) {
    if (os::GetClassInfo(name)) return;
    os::WindowClass windowClass;
    windowClass.proc = proc;
    windowClass.name = name;
    os::RegisterClass(windowClass);
}

}  // namespace

FakeSkypeClient::FakeSkypeClient(std::wstring_view processName)
    : process_(os::hosted::CreateProcess(processName)),
      discoverMessage_(os::RegisterWindowMessage(L"SkypeControlAPIDiscover")),
      attachMessage_(os::RegisterWindowMessage(L"SkypeControlAPIAttach")) {}

FakeSkypeClient::~FakeSkypeClient() { Crash(); }

void FakeSkypeClient::Launch() {
    Crash();
    os::hosted::ProcessScope scope(process_);
    RegisterOnce(kClassName, &FakeSkypeClient::Procedure);
    api_ = os::CreateWindowEx(0, kClassName, L"", os::WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, 0,
                              this);
}

void FakeSkypeClient::Crash() {
    for (os::Hwnd* window : {&dialField_, &main_, &api_}) {
        if (*window != nullptr) os::DestroyWindow(*window);
        *window = nullptr;
    }
}

void FakeSkypeClient::ShowMainWindow() {
    os::hosted::ProcessScope scope(process_);
    RegisterOnce(kMainClassName, &os::DefWindowProc);
    RegisterOnce(kDialClassName, &FakeSkypeClient::Procedure);
    main_ = os::CreateWindowEx(0, kMainClassName, L"Skype - user", os::WS_OVERLAPPEDWINDOW, 10, 10,
                               400, 300, nullptr, 0, nullptr);
    dialField_ = os::CreateWindowEx(0, kDialClassName, L"", os::WS_CHILD | os::WS_VISIBLE, 5, 250,
                                    200, 20, main_, 0, this);
}

void FakeSkypeClient::AnnounceApi() {
    os::hosted::ProcessScope scope(process_);
    os::SendMessageTimeout(os::kBroadcast, attachMessage_, reinterpret_cast<os::WParam>(api_),
                           0x8001, os::SMTO_ABORTIFHUNG, 2000, nullptr);
}

void FakeSkypeClient::Reply(os::Hwnd connector, std::string_view text, bool withZero) {
    std::string bytes(text);
    os::CopyDataStruct data;
    data.cbData = static_cast<std::uint32_t>(bytes.size() + (withZero ? 1 : 0));
    data.lpData = bytes.c_str();
    os::hosted::ProcessScope scope(process_);
    os::SendMessage(connector, os::WM_COPYDATA, reinterpret_cast<os::WParam>(api_),
                    reinterpret_cast<os::LParam>(&data));
}

std::vector<std::string> FakeSkypeClient::Take() {
    std::vector<std::string> taken;
    taken.swap(commands);
    return taken;
}

os::LResult FakeSkypeClient::Procedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                       os::LParam lParam) {
    if (message == os::WM_NCCREATE) {
        const auto* create = reinterpret_cast<const os::CreateStruct*>(lParam);
        os::SetUserData(window, create->lpCreateParams);
    }
    auto* self = static_cast<FakeSkypeClient*>(os::GetUserData(window));
    if (self == nullptr || message == os::WM_NCDESTROY) {
        os::SetUserData(window, nullptr);
        return os::DefWindowProc(window, message, wParam, lParam);
    }
    return self->Handle(window, message, wParam, lParam);
}

os::LResult FakeSkypeClient::Handle(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                    os::LParam lParam) {
    if (window == dialField_) {
        if (message == os::WM_KEYDOWN) dialFieldKeys.push_back(wParam);
        return os::DefWindowProc(window, message, wParam, lParam);
    }
    if (message == discoverMessage_) {
        ++discoveries;
        lastDiscoverer = reinterpret_cast<os::Hwnd>(wParam);
        if (attachStatus_ >= 0) {
            os::PostMessage(lastDiscoverer, attachMessage_, reinterpret_cast<os::WParam>(api_),
                            attachStatus_);
        }
        return 1;
    }
    if (message == os::WM_COPYDATA) {
        const auto* data = reinterpret_cast<const os::CopyDataStruct*>(lParam);
        std::string text(static_cast<const char*>(data->lpData), data->cbData);
        // Every command must arrive with its terminating zero.
        if (text.empty() || text.back() != '\0') text = "<unterminated>" + text;
        else text.pop_back();
        commands.push_back(text);
        if (onCommand) onCommand(text);
        return 1;
    }
    return os::DefWindowProc(window, message, wParam, lParam);
}

}  // namespace talvio::testing
