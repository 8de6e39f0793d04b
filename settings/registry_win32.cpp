#include "platform/win32/windows_api.h"
#include "platform/unique.h"
#include "settings/registry.h"

namespace talvio {
namespace {

struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type key) noexcept { RegCloseKey(key); }
};
using UniqueKey = os::Unique<KeyTraits>;

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM Rights(RegistryAccess access) {
    switch (access) {
        case RegistryAccess::Read:
            return KEY_READ;
        case RegistryAccess::ReadWrite:
            return KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;
        case RegistryAccess::Full:
            break;
    }
    return KEY_ALL_ACCESS;
}

class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}

    std::optional<RegistryValue> query(std::wstring_view name, std::size_t maxBytes) override {
        const std::wstring terminated(name);
        RegistryValue value;
        value.data.resize(maxBytes);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(maxBytes);
        if (RegQueryValueExW(key_.get(), terminated.c_str(), nullptr, &type,
                             value.data.data(), &size) != ERROR_SUCCESS ||
            size > maxBytes) {
            return std::nullopt;
        }
        value.type = type;
        value.data.resize(size);
        return value;
    }

    bool set(std::wstring_view name, const RegistryValue& value) override {
        const std::wstring terminated(name);
        return RegSetValueExW(key_.get(), terminated.c_str(), 0, value.type, value.data.data(),
                              static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    }

    bool remove(std::wstring_view name) override {
        const std::wstring terminated(name);
        return RegDeleteValueW(key_.get(), terminated.c_str()) == ERROR_SUCCESS;
    }

private:
    UniqueKey key_;
};

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> openKey(RegistryRoot root, std::wstring_view path,
                                         RegistryAccess access) override {
        const std::wstring terminated(path);
        HKEY key = nullptr;
        if (RegOpenKeyExW(RootKey(root), terminated.c_str(), 0, Rights(access), &key) !=
            ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<Win32Key>(key);
    }

    std::unique_ptr<RegistryKey> createKey(RegistryRoot root, std::wstring_view path,
                                           RegistryAccess access) override {
        const std::wstring terminated(path);
        HKEY key = nullptr;
        if (RegCreateKeyExW(RootKey(root), terminated.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, Rights(access), nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<Win32Key>(key);
    }
};

}  // namespace

Registry& SystemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace talvio
