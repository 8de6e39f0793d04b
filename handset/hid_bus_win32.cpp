#include "handset/hid_bus.h"

#include "platform/unique.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

#include <dbt.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <vector>

namespace talvio {
namespace {

struct DevInfoTraits {
    using Type = HDEVINFO;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type set) noexcept { SetupDiDestroyDeviceInfoList(set); }
};

struct EventTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type event) noexcept { CloseHandle(event); }
};

struct NotifyTraits {
    using Type = HDEVNOTIFY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type notify) noexcept { UnregisterDeviceNotification(notify); }
};

using File = os::win32::File;

GUID HidGuid() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

File OpenPath(const std::wstring& path, DWORD access, DWORD flags) {
    return File(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, flags, nullptr));
}

class Win32InterfaceList : public HidInterfaceList {
public:
    Win32InterfaceList(HDEVINFO set, GUID guid) : set_(set), guid_(guid) {}

    HidPathResult GetPath(int index, std::wstring& path) override {
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(set_.get(), nullptr, &guid_, static_cast<DWORD>(index),
                                         &data)) {
            return HidPathResult::kNoInterface;
        }
        // Paths of composite and Bluetooth devices are long: size the detail
        // block from what the system asks for instead of a fixed buffer.
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set_.get(), &data, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return HidPathResult::kFailed;
        std::vector<DWORD> block((required + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(block.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set_.get(), &data, detail, required, nullptr,
                                              nullptr)) {
            return HidPathResult::kFailed;
        }
        path = detail->DevicePath;
        return HidPathResult::kOk;
    }

private:
    os::Unique<DevInfoTraits> set_;
    GUID guid_;
};

class Win32Connection : public HidConnection {
public:
    Win32Connection(File write, File read, os::Unique<EventTraits> event)
        : write_(std::move(write)), read_(std::move(read)), event_(std::move(event)) {}

    bool GetAttributes(HidAttributes& attributes) override {
        HIDD_ATTRIBUTES hid = {};
        hid.Size = sizeof(hid);
        if (!HidD_GetAttributes(write_.get(), &hid)) return false;
        attributes = {hid.VendorID, hid.ProductID};
        return true;
    }

    bool GetCapabilities(HidCapabilities& capabilities) override {
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (!HidD_GetPreparsedData(write_.get(), &preparsed)) return false;
        HIDP_CAPS caps = {};
        const bool ok = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        HidD_FreePreparsedData(preparsed);
        if (ok) capabilities = {caps.InputReportByteLength, caps.OutputReportByteLength};
        return ok;
    }

    bool Write(const std::uint8_t* data, std::size_t length) override {
        DWORD written = 0;
        return WriteFile(write_.get(), data, static_cast<DWORD>(length), &written, nullptr) &&
               written == length;
    }

    bool Read(std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override {
        if (!read_ || !event_) return false;
        OVERLAPPED overlapped = {};
        overlapped.hEvent = event_.get();
        DWORD transferred = 0;
        if (ReadFile(read_.get(), buffer, static_cast<DWORD>(length), &transferred, &overlapped)) {
            return true;
        }
        // Without a pending read the event may still be signalled from before.
        if (GetLastError() != ERROR_IO_PENDING) return false;
        const DWORD wait = WaitForSingleObject(event_.get(), timeoutMs);
        if (wait == WAIT_OBJECT_0) {
            return GetOverlappedResult(read_.get(), &overlapped, &transferred, FALSE) != 0;
        }
        CancelIo(read_.get());
        // The cancelled read still owns `buffer` and `overlapped` until it
        // completes; a report that landed meanwhile is kept, not lost.
        return GetOverlappedResult(read_.get(), &overlapped, &transferred, TRUE) && transferred > 0;
    }

private:
    File write_;
    File read_;
    os::Unique<EventTraits> event_;
};

class Win32Notification : public HidNotification {
public:
    explicit Win32Notification(HDEVNOTIFY notify) : notify_(notify) {}

private:
    os::Unique<NotifyTraits> notify_;
};

class Win32HidBus : public HidBus {
public:
    std::unique_ptr<HidInterfaceList> ListPresent() override {
        GUID guid = HidGuid();
        HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr,
                                            DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32InterfaceList>(set, guid);
    }

    bool QueryAttributes(const std::wstring& path, HidAttributes& attributes) override {
        File file = OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0);
        if (!file) return false;
        HIDD_ATTRIBUTES hid = {};
        hid.Size = sizeof(hid);
        if (!HidD_GetAttributes(file.get(), &hid)) return false;
        attributes = {hid.VendorID, hid.ProductID};
        return true;
    }

    std::unique_ptr<HidConnection> Open(const std::wstring& path) override {
        File write = OpenPath(path, GENERIC_READ | GENERIC_WRITE, 0);
        if (!write) return nullptr;
        File read = OpenPath(path, GENERIC_READ, FILE_FLAG_OVERLAPPED);
        // Manual reset and initially signalled, as the overlapped read expects.
        os::Unique<EventTraits> event(CreateEventW(nullptr, TRUE, TRUE, nullptr));
        return std::make_unique<Win32Connection>(std::move(write), std::move(read), std::move(event));
    }

    std::unique_ptr<HidNotification> RegisterNotification(os::Hwnd window) override {
        DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = HidGuid();
        HDEVNOTIFY notify = RegisterDeviceNotificationW(os::win32::ToHwnd(window), &filter,
                                                        DEVICE_NOTIFY_WINDOW_HANDLE);
        if (notify == nullptr) return nullptr;
        return std::make_unique<Win32Notification>(notify);
    }

    void ShowError(const std::wstring& text, const std::wstring& title) override {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    }
};

}  // namespace

HidBus* SystemHidBus() {
    static Win32HidBus bus;
    return &bus;
}

}  // namespace talvio
