// What another process can see of and do to a running TalvioDriver.exe
// through its windows: list them, check that each answers, post junk to
// them, find a dialog box or the volume popup among them. Main thread only.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::scenario {

// Top-level and message-only windows of process `processId`.
std::vector<HWND> ProcessWindows(DWORD processId);

std::wstring ClassOf(HWND window);

// The first window of `windows` that does not answer WM_NULL within
// `timeoutMs`, or null; `slowestMs` is the longest answer.
HWND FirstSilentWindow(const std::vector<HWND>& windows, DWORD timeoutMs, DWORD& slowestMs);

// `count` messages that no well-behaved process sends, spread over
// `windows`: the program's private message numbers, stray timer ids, random
// numbers of the user and application ranges, and some sent WM_COPYDATA
// texts and device notices with random contents. The same `seed` gives the
// same messages.
void PostJunk(const std::vector<HWND>& windows, int count, std::uint32_t seed);

// A visible dialog box (a message box is one), or null.
HWND FindDialogBox(const std::vector<HWND>& windows);

// The visible layered pop-up of `width` x `height`, or null.
HWND FindLayeredPopup(const std::vector<HWND>& windows, int width, int height);

}  // namespace talvio::scenario
