// What the simulator shares with its test-only setupapi.dll and hid.dll:
// the named listing of simulated HID interfaces and the hello message that
// opens every pipe connection. Plain layout, no OS headers.
#pragma once

#include <cstdint>

namespace talvio::sim {

// Named file mapping holding a BusListing, and the named mutex guarding it.
inline constexpr wchar_t kListingName[] = L"TalvioHandsetSimBus";
inline constexpr wchar_t kListingLockName[] = L"TalvioHandsetSimBusLock";
inline constexpr std::uint32_t kListingMagic = 0x4D495354;  // "TSIM"
inline constexpr int kMaxInterfaces = 8;
inline constexpr int kMaxPathUnits = 400;

struct BusListing {
    std::uint32_t magic;
    std::uint32_t count;
    char16_t paths[kMaxInterfaces][kMaxPathUnits];  // zero-terminated UTF-16
};

// Sent by the simulator first on every connection. Byte 0 is not a report
// id, so a driver that reads it sees "no report".
inline constexpr int kHelloLength = 8;
inline constexpr std::uint8_t kHelloTag = 'T';
struct Hello {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint8_t inputLength = 0;
    std::uint8_t outputLength = 0;
};

inline void EncodeHello(const Hello& hello, std::uint8_t* out) {
    out[0] = 0;
    out[1] = kHelloTag;
    out[2] = static_cast<std::uint8_t>(hello.vendorId);
    out[3] = static_cast<std::uint8_t>(hello.vendorId >> 8);
    out[4] = static_cast<std::uint8_t>(hello.productId);
    out[5] = static_cast<std::uint8_t>(hello.productId >> 8);
    out[6] = hello.inputLength;
    out[7] = hello.outputLength;
}

inline bool DecodeHello(const std::uint8_t* in, Hello& hello) {
    if (in[0] != 0 || in[1] != kHelloTag) return false;
    hello.vendorId = static_cast<std::uint16_t>(in[2] | in[3] << 8);
    hello.productId = static_cast<std::uint16_t>(in[4] | in[5] << 8);
    hello.inputLength = in[6];
    hello.outputLength = in[7];
    return true;
}

}  // namespace talvio::sim
