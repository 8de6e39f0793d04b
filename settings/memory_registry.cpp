#include "settings/memory_registry.h"

namespace talvio {

class MemoryRegistry::Key : public RegistryKey {
public:
    Key(Values& values, bool writable) : values_(values), writable_(writable) {}

    std::optional<RegistryValue> query(std::wstring_view name, std::size_t maxBytes) override {
        auto found = values_.find(Fold(name));
        if (found == values_.end() || found->second.data.size() > maxBytes) return std::nullopt;
        return found->second;
    }

    bool set(std::wstring_view name, const RegistryValue& value) override {
        if (!writable_) return false;
        values_[Fold(name)] = value;
        return true;
    }

    bool remove(std::wstring_view name) override {
        return writable_ && values_.erase(Fold(name)) > 0;
    }

private:
    Values& values_;  // map nodes live as long as the registry
    bool writable_;
};

std::wstring MemoryRegistry::Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return folded;
}

std::wstring MemoryRegistry::Trimmed(std::wstring_view path) {
    while (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    while (!path.empty() && path.front() == L'\\') path.remove_prefix(1);
    return Fold(path);
}

bool MemoryRegistry::allowed(RegistryRoot root, RegistryAccess access) const {
    return access == RegistryAccess::Read || !refused_.contains(root);
}

std::unique_ptr<RegistryKey> MemoryRegistry::openKey(RegistryRoot root, std::wstring_view path,
                                                     RegistryAccess access) {
    auto found = keys_.find({root, Trimmed(path)});
    if (found == keys_.end() || !allowed(root, access)) return nullptr;
    return std::make_unique<Key>(found->second, access != RegistryAccess::Read);
}

std::unique_ptr<RegistryKey> MemoryRegistry::createKey(RegistryRoot root, std::wstring_view path,
                                                       RegistryAccess access) {
    if (!allowed(root, access)) return nullptr;
    const std::wstring full = Trimmed(path);
    for (std::size_t cut = full.find(L'\\'); cut != std::wstring::npos;
         cut = full.find(L'\\', cut + 1)) {
        keys_[{root, full.substr(0, cut)}];
    }
    return std::make_unique<Key>(keys_[{root, full}], access != RegistryAccess::Read);
}

void MemoryRegistry::refuseWrites(RegistryRoot root, bool refused) {
    if (refused) {
        refused_.insert(root);
    } else {
        refused_.erase(root);
    }
}

void MemoryRegistry::put(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                         RegistryValue value) {
    const bool wasRefused = refused_.erase(root) > 0;
    createKey(root, path, RegistryAccess::ReadWrite)->set(name, value);
    if (wasRefused) refused_.insert(root);
}

std::optional<RegistryValue> MemoryRegistry::get(RegistryRoot root, std::wstring_view path,
                                                 std::wstring_view name) const {
    auto key = keys_.find({root, Trimmed(path)});
    if (key == keys_.end()) return std::nullopt;
    auto value = key->second.find(Fold(name));
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

bool MemoryRegistry::hasKey(RegistryRoot root, std::wstring_view path) const {
    return keys_.contains({root, Trimmed(path)});
}

}  // namespace talvio
