// dialog_peer: opens and closes the running TalvioDriver's dialogs for the
// screenshot script, through window messages only.
// A dialog is named by the id of one of its controls (titles are localised).
//   dialog_peer open <menu command> <control>  posts the command, waits for the dialog
//   dialog_peer tab <index>                    shows a page of the Options dialog
//   dialog_peer close <control>                Esc on the dialog, waits until it is gone
// Exit code 0 on success, 1 when the dialog did not come or go, 2 on bad use.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "tests/wine/dialog_peer.h"

using namespace talvio::testing;

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"open" && argc == 4) {
        return OpenDriverDialog(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)),
                                static_cast<int>(std::wcstol(argv[3], nullptr, 10)))
                   ? 0
                   : 1;
    }
    if (verb == L"tab" && argc == 3) {
        constexpr int kTabs = 1087;
        HWND dialog = WaitForDialog(kTabs);
        if (!dialog) return 1;
        const int index = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
        // WM_NOTIFY does not cross processes: the arrow keys move the tab
        // control's selection, and it tells the dialog itself.
        HWND tabs = GetDlgItem(dialog, kTabs);
        const int current = static_cast<int>(ControlMessage(dialog, kTabs, TCM_GETCURSEL));
        for (int step = current; step != index; step += index > current ? 1 : -1) {
            PostMessageW(tabs, WM_KEYDOWN, index > current ? VK_RIGHT : VK_LEFT, 0);
        }
        for (DWORD waited = 0; waited < kDialogWaitMs; waited += 20) {
            if (IsWindowVisible(OptionsPage(dialog, index))) return 0;
            Sleep(20);
        }
        return 1;
    }
    if (verb == L"close" && argc == 3) {
        HWND dialog = WaitForDialog(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
        if (!dialog) return 1;
        PressButton(dialog, IDCANCEL);
        return WaitUntilGone(dialog) ? 0 : 1;
    }
    return 2;
}
