#include "handset/handset_factory.h"

#include <new>

#include "handset/keypad_handset.h"
#include "handset/lcd_handset.h"

namespace talvio {
namespace {

struct FactoryRow {
    std::uint16_t (*vendorId)();
    std::uint16_t (*productId)();
    HandsetDevice* (*create)(const HandsetContext& context);
};

template <typename Model>
HandsetDevice* Create(const HandsetContext& context) {
    return new (std::nothrow) Model(context);
}

constexpr FactoryRow kModels[] = {
    {[] { return kHandsetVendorId; }, [] { return kLcdProductId; }, Create<LcdHandset>},
    {[] { return kHandsetVendorId; }, [] { return kKeypadProductId; }, Create<KeypadHandset>},
    {nullptr, nullptr, nullptr},
};

}  // namespace

std::unique_ptr<HandsetDevice> CreateHandset(std::uint16_t vendorId, std::uint16_t productId,
                                             const HandsetContext& context) {
    for (const FactoryRow* row = kModels; row->create != nullptr; ++row) {
        if (row->productId() == productId && row->vendorId() == vendorId) {
            return std::unique_ptr<HandsetDevice>(row->create(context));
        }
    }
    return nullptr;
}

}  // namespace talvio
