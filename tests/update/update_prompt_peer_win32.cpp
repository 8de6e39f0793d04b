// Test peer for the update check under Wine: waits for the update prompt of
// the running TalvioDriver (a visible dialog owned by its tray window with
// the prompt's controls), prints its title and control texts as WM_GETTEXT
// gives them, ticks "Do not ask me again!" and chooses "Update later".
//   update_prompt_peer <seconds to wait>
// Exit code 0 when the prompt came, took the answer and closed; 1 otherwise.
#include "platform/win32/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kText = 2105;
constexpr int kUpdateNow = 2104;
constexpr int kUpdateLater = 2120;
constexpr int kDoNotAsk = 2107;
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;

struct Search {
    HWND tray = nullptr;
    HWND prompt = nullptr;
};

BOOL CALLBACK FindPrompt(HWND window, LPARAM argument) {
    auto* search = reinterpret_cast<Search*>(argument);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && GetWindow(window, GW_OWNER) == search->tray &&
        IsWindowVisible(window) && GetDlgItem(window, kText) && GetDlgItem(window, kDoNotAsk)) {
        search->prompt = window;
        return FALSE;
    }
    return TRUE;
}

std::string Text(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &ignored);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    return utf8;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD waitMs = (argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 30) * 1000;
    Search search;
    for (DWORD waited = 0; !search.prompt && waited < waitMs; waited += kPollMs) {
        search.tray = FindWindowExW(nullptr, nullptr, L"QmxUsbPhoneWndClass", nullptr);
        if (search.tray) EnumWindows(&FindPrompt, reinterpret_cast<LPARAM>(&search));
        if (!search.prompt) Sleep(kPollMs);
    }
    if (!search.prompt) {
        std::printf("no update prompt within %lu ms\n", static_cast<unsigned long>(waitMs));
        return 1;
    }
    const HWND prompt = search.prompt;
    std::printf("title: %s\n", Text(prompt).c_str());
    for (const int id : {kText, kUpdateNow, kUpdateLater, kDoNotAsk}) {
        std::printf("%d: %s\n", id, Text(GetDlgItem(prompt, id)).c_str());
    }
    Send(GetDlgItem(prompt, kDoNotAsk), BM_CLICK);
    std::printf("ticked: %d\n", Send(GetDlgItem(prompt, kDoNotAsk), BM_GETCHECK) == BST_CHECKED ? 1 : 0);
    Send(GetDlgItem(prompt, kUpdateLater), BM_CLICK);
    for (DWORD waited = 0; IsWindow(prompt) && waited < waitMs; waited += kPollMs) Sleep(kPollMs);
    std::printf("closed: %d\n", IsWindow(prompt) ? 0 : 1);
    std::fflush(stdout);
    return IsWindow(prompt) ? 1 : 0;
}
