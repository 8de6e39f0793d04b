// Narrow port to the Windows registry: the autostart value and the sound
// mapper values are all this program touches. The Windows adapter sits on
// advapi32 (registry_win32.cpp); MemoryRegistry is the in-memory stand-in
// for tests and the hosted build. Keys close when their object is destroyed.
// A key object is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

enum class RegistryRoot { CurrentUser, LocalMachine };

enum class RegistryAccess {
    Read,       // query values
    ReadWrite,  // query and set values, create subkeys
    Full,
};

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

struct RegistryValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const RegistryValue&) const = default;
};

class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Fails, like RegQueryValueExW, when the value is missing or larger than
    // maxBytes.
    virtual std::optional<RegistryValue> query(std::wstring_view name, std::size_t maxBytes) = 0;
    virtual bool set(std::wstring_view name, const RegistryValue& value) = 0;
    virtual bool remove(std::wstring_view name) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Null when the key does not exist or the access is refused.
    virtual std::unique_ptr<RegistryKey> openKey(RegistryRoot root, std::wstring_view path,
                                                 RegistryAccess access) = 0;
    // Opens the key, creating it and its missing parents first.
    virtual std::unique_ptr<RegistryKey> createKey(RegistryRoot root, std::wstring_view path,
                                                   RegistryAccess access) = 0;
};

// The registry of the machine: advapi32 on Windows, one process-wide
// MemoryRegistry on the hosted backend. Lives until the process ends.
Registry& SystemRegistry();

// REG_SZ data as UTF-16LE bytes, with or without the terminating NUL.
RegistryValue StringValue(std::wstring_view text, bool withTerminator);
RegistryValue DwordValue(std::uint32_t number);
// The text of REG_SZ data up to its first NUL (or its end, when unterminated).
std::wstring TextOf(const RegistryValue& value);

}  // namespace talvio
