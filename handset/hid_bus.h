// The HID bus port: what the handset link needs of the system's HID stack.
// The Win32 adapter (hid_bus_win32.cpp) uses SetupAPI, HID and file I/O;
// tests use a fake bus with simulated handsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace talvio {

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

struct HidCapabilities {
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
};

enum class HidPathResult {
    kOk,
    kNoInterface,  // no interface at this index
    kFailed,       // an interface is there but its path cannot be read
};

// A snapshot of the present HID interfaces, in the system's order.
class HidInterfaceList {
public:
    virtual ~HidInterfaceList() = default;
    virtual HidPathResult GetPath(int index, std::wstring& path) = 0;
};

// One opened interface: a synchronous write handle and an overlapped read
// handle. Write may be called from any thread (callers serialise writes);
// Read only from one thread at a time.
class HidConnection {
public:
    virtual ~HidConnection() = default;
    virtual bool GetAttributes(HidAttributes& attributes) = 0;
    virtual bool GetCapabilities(HidCapabilities& capabilities) = 0;
    // True when all `length` bytes were written.
    virtual bool Write(const std::uint8_t* data, std::size_t length) = 0;
    // Reads one input report into `buffer` (at least `length` bytes). Waits
    // at most timeoutMs and cancels the read when nothing came. True when a
    // report arrived.
    virtual bool Read(std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) = 0;
};

// Registration for HID interface arrival and removal (WM_DEVICECHANGE with
// kDeviceArrival / kDeviceRemoveComplete to the window); destroying it
// unregisters.
class HidNotification {
public:
    virtual ~HidNotification() = default;
};

// wParam of WM_DEVICECHANGE (DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE).
inline constexpr os::WParam kDeviceArrival = 0x8000;
inline constexpr os::WParam kDeviceRemoveComplete = 0x8004;

class HidBus {
public:
    virtual ~HidBus() = default;
    // Null when the list cannot be made.
    virtual std::unique_ptr<HidInterfaceList> ListPresent() = 0;
    // Opens the path for reading and writing (shared), reads the attributes
    // and closes it again.
    virtual bool QueryAttributes(const std::wstring& path, HidAttributes& attributes) = 0;
    // Null when the write handle cannot be opened. A connection whose read
    // handle failed to open reads nothing.
    virtual std::unique_ptr<HidConnection> Open(const std::wstring& path) = 0;
    // Null when registration fails.
    virtual std::unique_ptr<HidNotification> RegisterNotification(os::Hwnd window) = 0;
    // The one error box of the link (modal, error icon).
    virtual void ShowError(const std::wstring& text, const std::wstring& title) = 0;
};

// The system's HID bus (Windows); null on the hosted backend, which has no
// HID devices of its own. Not owned.
HidBus* SystemHidBus();

}  // namespace talvio
