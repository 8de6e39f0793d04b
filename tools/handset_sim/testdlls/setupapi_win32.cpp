// Test-only setupapi.dll: lists the handset simulator's interfaces (the
// named listing it publishes) as the present HID interfaces. Loaded only by
// test runs through WINEDLLOVERRIDES; implements what the handset link calls.
#define _SETUPAPI_
#include <windows.h>

#include <setupapi.h>

#include <new>
#include <string>
#include <vector>

#include "tools/handset_sim/sim_bus_shared.h"

namespace {

constexpr DWORD kSetMagic = 0x53455431;

struct InterfaceSet {
    DWORD magic = kSetMagic;
    std::vector<std::wstring> paths;
};

InterfaceSet* FromHandle(HDEVINFO set) {
    auto* interfaces = static_cast<InterfaceSet*>(set);
    return interfaces != nullptr && set != INVALID_HANDLE_VALUE && interfaces->magic == kSetMagic
               ? interfaces
               : nullptr;
}

void ReadListing(InterfaceSet& set) {
    using talvio::sim::BusListing;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, talvio::sim::kListingName);
    if (!mapping) return;
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, talvio::sim::kListingLockName);
    const auto* listing =
        static_cast<const BusListing*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(BusListing)));
    if (listing) {
        if (lock) WaitForSingleObject(lock, 5000);
        if (listing->magic == talvio::sim::kListingMagic) {
            const DWORD count = listing->count < talvio::sim::kMaxInterfaces ? listing->count
                                                                              : talvio::sim::kMaxInterfaces;
            for (DWORD i = 0; i < count; ++i) {
                std::wstring path;
                for (int u = 0; u < talvio::sim::kMaxPathUnits && listing->paths[i][u] != 0; ++u) {
                    path.push_back(static_cast<wchar_t>(listing->paths[i][u]));
                }
                set.paths.push_back(path);
            }
        }
        if (lock) ReleaseMutex(lock);
        UnmapViewOfFile(listing);
    }
    if (lock) CloseHandle(lock);
    CloseHandle(mapping);
}

}  // namespace

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsW(CONST GUID*, PCWSTR, HWND, DWORD) {
    auto* set = new (std::nothrow) InterfaceSet;
    if (!set) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    ReadListing(*set);
    return set;
}

WINBOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA, CONST GUID* guid,
                                           DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
    InterfaceSet* set = FromHandle(handle);
    if (!set || !data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (index >= set->paths.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    if (guid) data->InterfaceClassGuid = *guid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index;
    return TRUE;
}

WINBOOL WINAPI SetupDiGetDeviceInterfaceDetailW(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data,
                                                PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                                                DWORD size, PDWORD required, PSP_DEVINFO_DATA) {
    InterfaceSet* set = FromHandle(handle);
    if (!set || !data || data->Reserved >= set->paths.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::wstring& path = set->paths[data->Reserved];
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                            (path.size() + 1) * sizeof(WCHAR));
    if (required) *required = needed;
    if (!detail || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    path.copy(detail->DevicePath, path.size());
    detail->DevicePath[path.size()] = 0;
    return TRUE;
}

WINBOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    InterfaceSet* set = FromHandle(handle);
    if (!set) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    set->magic = 0;
    delete set;
    return TRUE;
}

}  // extern "C"
