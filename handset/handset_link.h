// The handset link: finds the handset among the HID interfaces, follows its
// arrival and removal, polls it and offers the rest of the program these
// functions. Each takes the device lock (one process-wide mutex) and gives
// its "none" value when no handset is open.
//
// Threading: Start, Stop and the device-notification window (timers,
// device changes, message 1260) run on the main thread; the other
// functions may be called from any thread. The event sink is called on the
// main thread without the device lock held.
#pragma once

#include "handset/handset_audio.h"
#include "handset/handset_event_sink.h"
#include "handset/hid_bus.h"
#include "handset/lcd_screen.h"
#include "platform/platform.h"

namespace talvio {

inline constexpr wchar_t kNotificationWindowClass[] = L"QmxUsbPhoneWndClass2005";

// Wiring, before Start: the HID bus (default SystemHidBus()), the audio
// service (default: does nothing) and the screen factory of the LCD model.
// None is owned; each must outlive the link.
void HandsetLink_SetBus(HidBus* bus);
void HandsetLink_SetAudio(HandsetAudio* audio);
void HandsetLink_SetScreenFactory(LcdScreenFactory factory);

// Creates the device-notification window, registers for HID device
// notifications, stores the sink (not owned), looks for a handset and
// reports OnDevicePresence(1, 0) when one is open.
void HandsetLink_Start(HandsetEventSink* sink);
// Releases the audio path (command 1, value 2), closes and deletes the
// device (light off, LCD blank), unregisters the notification and destroys
// the window. Other threads may go on calling the link: they find no device.
void HandsetLink_Stop();
os::Hwnd HandsetLink_GetWindow();

int HandsetLink_IsPresent();
int HandsetLink_GetModel();
void HandsetLink_SetSink(HandsetEventSink* sink);
// mode 0: the route follows the hook and line switches, and unless tone is
// -2 the ring state ends; mode 1: ring route and ring tone `tone` loops;
// other modes: ring route, and a tone other than 0 enters the silent ring
// state. 0, or -1 without a device.
int HandsetLink_SetAudioPath(int mode, int tone = 0);
int HandsetLink_SetLed(int on);
int HandsetLink_SetLight(int a, int on);
int HandsetLink_Configure(int a, int b);
int HandsetLink_GetHookState();
int HandsetLink_GetLineState();
int HandsetLink_QueryState();
int HandsetLink_Control(int a, int b);
// The LCD model's screen (owned by the device), or null.
LcdScreen* HandsetLink_GetScreen();

}  // namespace talvio
