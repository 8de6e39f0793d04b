#include "ui/control_texts.h"

#include <utility>

namespace talvio {
namespace {
ControlTextLookup& installedLookup() {
    static ControlTextLookup lookup;
    return lookup;
}
}  // namespace

void SetControlTextLookup(ControlTextLookup lookup) { installedLookup() = std::move(lookup); }

std::optional<std::wstring> LookUpControlText(int id) {
    const ControlTextLookup& lookup = installedLookup();
    if (!lookup) return std::nullopt;
    return lookup(id);
}

}  // namespace talvio
