// Test-only hid.dll: answers for the handset simulator's pipe connections,
// whose first message (the hello, left unread by peeking) carries the
// vendor and product ids and the report lengths. Loaded only by test runs
// through WINEDLLOVERRIDES; implements what the handset link calls.
#include <windows.h>

extern "C" {
#include <hidsdi.h>
}

#include <new>

#include "tools/handset_sim/sim_bus_shared.h"

namespace {

constexpr DWORD kHelloWaitMs = 2000;
constexpr GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct Preparsed {
    talvio::sim::Hello hello;
};

// The simulator writes the hello as soon as it accepts the connection.
bool PeekHello(HANDLE handle, talvio::sim::Hello& hello) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::uint8_t bytes[talvio::sim::kHelloLength];
        DWORD read = 0, available = 0;
        if (!PeekNamedPipe(handle, bytes, sizeof(bytes), &read, &available, nullptr)) return false;
        if (read == sizeof(bytes)) return talvio::sim::DecodeHello(bytes, hello);
        if (GetTickCount() - start > kHelloWaitMs) return false;
        Sleep(2);
    }
}

}  // namespace

extern "C" {

void NTAPI HidD_GetHidGuid(LPGUID guid) {
    if (guid) *guid = kHidGuid;
}

BOOLEAN NTAPI HidD_GetAttributes(HANDLE handle, PHIDD_ATTRIBUTES attributes) {
    talvio::sim::Hello hello;
    if (!attributes || !PeekHello(handle, hello)) return FALSE;
    attributes->VendorID = hello.vendorId;
    attributes->ProductID = hello.productId;
    attributes->VersionNumber = 0x0100;
    return TRUE;
}

BOOLEAN NTAPI HidD_GetPreparsedData(HANDLE handle, PHIDP_PREPARSED_DATA* data) {
    talvio::sim::Hello hello;
    if (!data || !PeekHello(handle, hello)) return FALSE;
    auto* preparsed = new (std::nothrow) Preparsed{hello};
    if (!preparsed) return FALSE;
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(preparsed);
    return TRUE;
}

BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    delete reinterpret_cast<Preparsed*>(data);
    return TRUE;
}

NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps) {
    if (!data || !caps) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    const auto* preparsed = reinterpret_cast<const Preparsed*>(data);
    *caps = {};
    caps->UsagePage = 0xFF00;
    caps->InputReportByteLength = preparsed->hello.inputLength;
    caps->OutputReportByteLength = preparsed->hello.outputLength;
    return HIDP_STATUS_SUCCESS;
}

}  // extern "C"
