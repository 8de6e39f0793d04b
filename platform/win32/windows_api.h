// Include this instead of <windows.h> wherever Win32 calls sit beside os::
// names. platform.h must come first: windows.h defines the message, style
// and error numbers as macros, which would rewrite platform.h's constants.
// After this header, write those numbers unqualified (WM_COPYDATA, not
// os::WM_COPYDATA) and call Win32 functions by their W names (SendMessageW):
// the A/W selector macros are removed so that os::SendMessage and friends
// keep their names.
#pragma once

#include "platform/platform.h"

#include <windows.h>

#undef AppendMenu
#undef CallWindowProc
#undef CreateDialogParam
#undef CreateEvent
#undef CreateMutex
#undef CreateWindow
#undef CreateWindowEx
#undef DefWindowProc
#undef DialogBoxParam
#undef DispatchMessage
#undef FindWindow
#undef FindWindowEx
#undef GetClassInfo
#undef GetClassName
#undef GetMenuItemInfo
#undef GetMessage
#undef GetModuleFileName
#undef GetModuleHandle
#undef GetVersionEx
#undef GetWindowText
#undef LoadIcon
#undef LoadMenu
#undef MessageBox
#undef PeekMessage
#undef PostMessage
#undef PostThreadMessage
#undef RegisterClass
#undef RegisterWindowMessage
#undef SendDlgItemMessage
#undef SendMessage
#undef SendMessageTimeout
#undef SetMenuItemInfo
#undef SetWindowText
