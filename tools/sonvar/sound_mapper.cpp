#include "tools/sonvar/sound_mapper.h"

#include "settings/registry.h"

namespace talvio {
namespace {

constexpr wchar_t kCountName[] = L"SetupPreferredAudioDevicesCount";

void SetDevice(RegistryKey& key, const wchar_t* name, const std::wstring& device, bool usbOnly) {
    if (device.empty()) return;
    if (usbOnly) {
        const auto current = key.query(name, 256);
        if (!current || TextOf(*current).find(L"USB") == std::wstring::npos) return;
    }
    key.set(name, StringValue(device, true));
}

}  // namespace

void SetPreferredDevices(const SonvarOptions& options, Registry& registry) {
    auto key = registry.openKey(RegistryRoot::CurrentUser, kSoundMapperPath,
                                RegistryAccess::ReadWrite);
    if (!key) {
        key = registry.createKey(RegistryRoot::CurrentUser, kSoundMapperPath,
                                 RegistryAccess::ReadWrite);
    }
    if (!key) return;

    // Reading needs no more than read access, which a normal user has.
    if (auto machine = registry.openKey(RegistryRoot::LocalMachine, kPreferredDevicesPath,
                                        RegistryAccess::Read)) {
        if (const auto count = machine->query(kCountName, 4)) key->set(kCountName, *count);
    }
    SetDevice(*key, L"Playback", options.playback, options.usbOnly);
    SetDevice(*key, L"Record", options.record, options.usbOnly);
    key->set(L"PreferredOnly", DwordValue(0));
}

}  // namespace talvio
