// An in-memory registry with the semantics the program relies on: key paths
// and value names compare without regard to case, a missing key cannot be
// opened, and a root can be made to refuse write access (a normal user's
// view of HKEY_LOCAL_MACHINE). Not thread-safe.
#pragma once

#include <map>
#include <set>

#include "settings/registry.h"

namespace talvio {

class MemoryRegistry : public Registry {
public:
    std::unique_ptr<RegistryKey> openKey(RegistryRoot root, std::wstring_view path,
                                         RegistryAccess access) override;
    std::unique_ptr<RegistryKey> createKey(RegistryRoot root, std::wstring_view path,
                                           RegistryAccess access) override;

    // Opening or creating a key under this root with more than read access
    // fails while refused.
    void refuseWrites(RegistryRoot root, bool refused);

    void put(RegistryRoot root, std::wstring_view path, std::wstring_view name,
             RegistryValue value);
    std::optional<RegistryValue> get(RegistryRoot root, std::wstring_view path,
                                     std::wstring_view name) const;
    bool hasKey(RegistryRoot root, std::wstring_view path) const;

private:
    class Key;
    using KeyName = std::pair<RegistryRoot, std::wstring>;
    using Values = std::map<std::wstring, RegistryValue>;

    static std::wstring Fold(std::wstring_view text);
    static std::wstring Trimmed(std::wstring_view path);
    bool allowed(RegistryRoot root, RegistryAccess access) const;

    std::map<KeyName, Values> keys_;
    std::set<RegistryRoot> refused_;
};

}  // namespace talvio
