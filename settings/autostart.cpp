#include "settings/autostart.h"

#include "settings/registry.h"

namespace talvio {
namespace {

void WithRunKey(Registry& registry, RegistryRoot root, auto&& action) {
    if (auto key = registry.createKey(root, kRunKeyPath, RegistryAccess::Full)) action(*key);
}

}  // namespace

void ApplyAutostart(bool on, Registry& registry, const std::wstring& executablePath) {
    if (on) {
        // The NUL is counted: REG_SZ data must carry its terminator.
        const RegistryValue command = StringValue(L"\"" + executablePath + L"\"", true);
        WithRunKey(registry, RegistryRoot::CurrentUser,
                   [&](RegistryKey& key) { key.set(kAutostartValueName, command); });
    } else {
        WithRunKey(registry, RegistryRoot::CurrentUser,
                   [](RegistryKey& key) { key.remove(kAutostartValueName); });
    }
    WithRunKey(registry, RegistryRoot::LocalMachine,
               [](RegistryKey& key) { key.remove(kAutostartValueName); });
}

}  // namespace talvio
