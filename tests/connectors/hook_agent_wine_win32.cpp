// The caller-id hook path under Wine with the test-only vantrel.dll: the
// agent's window in the real shared block, the library loaded from the
// program's own folder and nowhere else, and a call window of the client
// reaching our window as caller text (message 1260).
// The program's headers name os:: constants that windows.h would turn into macros.
#include "connectors/hook_agent.h"
#include "handset/caller_text.h"

#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "tests/support/win32_test_process.h"

namespace talvio {
namespace {

using testing::PumpFor;
using testing::PumpUntil;
using testing::TestProgramDirectory;

// The build leaves the library beside the test under another name; the
// tests decide where a "vantrel.dll" is.
std::wstring BuiltLibrary() { return TestProgramDirectory() + L"vantrel-test.dll"; }
std::wstring ProgramFolderLibrary() { return TestProgramDirectory() + L"vantrel.dll"; }

std::vector<std::wstring> g_texts;

LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallerTextMessage) {
        std::wstring text;
        const CallerTextBlock block = TakeCallerTextBlock(lParam);
        if (block && ParseCallerText(*block, text)) g_texts.push_back(text);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* title, bool visible) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = NotifyProc;
    windowClass.lpszClassName = L"TalvioHookTestWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, title,
                           WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0, 200, 100,
                           nullptr, nullptr, nullptr, nullptr);
}

TEST(HookLibraryWine, ALibraryOnlyInTheCurrentFolderOrOnThePathIsNeverLoaded) {
    DeleteFileW(ProgramFolderLibrary().c_str());
    ASSERT_EQ(GetFileAttributesW(ProgramFolderLibrary().c_str()), INVALID_FILE_ATTRIBUTES);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring elsewhere =
        std::wstring(temp) + L"talvio-hook-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(BuiltLibrary().c_str(), (elsewhere + L"\\vantrel.dll").c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));
    SetEnvironmentVariableW(L"PATH", elsewhere.c_str());

    const HWND client = MakeWindow(L"client", false);
    EXPECT_EQ(SystemHookLibrary().InsertHook(os::win32::FromHwnd(client)), 0u);
    EXPECT_EQ(GetModuleHandleW(L"vantrel.dll"), nullptr);

    DestroyWindow(client);
    SetCurrentDirectoryW(previous);
    DeleteFileW((elsewhere + L"\\vantrel.dll").c_str());
    RemoveDirectoryW(elsewhere.c_str());
}

TEST(HookLibraryWine, ANewCallWindowOfTheClientReachesUsAsCallerText) {
    ASSERT_TRUE(CopyFileW(BuiltLibrary().c_str(), ProgramFolderLibrary().c_str(), FALSE));
    g_texts.clear();
    const HWND notify = MakeWindow(L"", false);
    const HWND client = MakeWindow(L"client", true);
    {
        HookAgent agent(os::win32::FromHwnd(notify), os::win32::FromHwnd(client),
                        SystemHookLibrary());
        ASSERT_TRUE(agent.start());
        ASSERT_TRUE(PumpUntil([] { return GetModuleHandleW(L"vantrel.dll") != nullptr; }));
        wchar_t loaded[MAX_PATH] = {};
        GetModuleFileNameW(GetModuleHandleW(L"vantrel.dll"), loaded, MAX_PATH);
        EXPECT_EQ(lstrcmpiW(loaded, ProgramFolderLibrary().c_str()), 0);
        PumpFor(500);  // the library's first look: windows already open are no calls
        EXPECT_TRUE(g_texts.empty());

        const HWND call = MakeWindow(L"Alice A", true);
        EXPECT_TRUE(PumpUntil([] { return !g_texts.empty(); }));
        EXPECT_EQ(g_texts, std::vector<std::wstring>{L"Alice A"});
        DestroyWindow(call);
    }
    DestroyWindow(client);
    DestroyWindow(notify);
}

}  // namespace
}  // namespace talvio
