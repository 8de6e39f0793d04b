#include <cstdlib>
#include <string>

#include "platform/win32/windows_api.h"
#include "tests/platform_win32/peer_protocol.h"

namespace {

using namespace talvio::test;

std::uint32_t pingMessage = 0;
std::uint32_t pongMessage = 0;

os::LResult PeerProc(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                     os::LParam lParam) {
    if (message == pingMessage) {
        os::PostMessage(reinterpret_cast<os::Hwnd>(wParam), pongMessage,
                        os::GetCurrentProcessId(), 0);
        return 1;
    }
    switch (message) {
    case WM_COPYDATA: {
        const auto* received = reinterpret_cast<const os::CopyDataStruct*>(lParam);
        std::string reversed(static_cast<const char*>(received->lpData), received->cbData);
        reversed.assign(reversed.rbegin(), reversed.rend());
        os::CopyDataStruct reply;
        reply.dwData = received->dwData + 1;
        reply.cbData = static_cast<std::uint32_t>(reversed.size());
        reply.lpData = reversed.data();
        os::SendMessage(reinterpret_cast<os::Hwnd>(wParam), WM_COPYDATA,
                        reinterpret_cast<os::WParam>(window), reinterpret_cast<os::LParam>(&reply));
        return static_cast<os::LResult>(received->cbData);
    }
    case WM_DESTROY:
        os::PostQuitMessage(0);
        return 0;
    default:
        return os::DefWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const auto test = reinterpret_cast<os::Hwnd>(std::strtoul(argv[1], nullptr, 16));
    pingMessage = os::RegisterWindowMessage(peer::kPing);
    pongMessage = os::RegisterWindowMessage(peer::kPong);
    os::WindowClass windowClass;
    windowClass.proc = &PeerProc;
    windowClass.name = peer::kWindowClass;
    if (!os::RegisterClass(windowClass)) return 3;
    const os::Hwnd window = os::CreateWindowEx(0, peer::kWindowClass, L"peer", 0, 0, 0, 100, 100,
                                               nullptr, 0, nullptr);
    if (!window) return 4;
    os::PostMessage(test, os::RegisterWindowMessage(peer::kReady),
                    reinterpret_cast<os::WParam>(window), os::GetCurrentProcessId());
    os::Msg msg;
    int got = 0;
    while ((got = os::GetMessage(msg)) > 0) os::DispatchMessage(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : 5;
}
