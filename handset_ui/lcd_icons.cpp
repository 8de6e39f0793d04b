#include "handset_ui/lcd_icons.h"

namespace talvio {

// Generated from resources/lcd_icons.txt and resources/lcd_logos.txt.
extern const LcdIcon kStripIcons[kStripIconCount];
extern const LcdIcon kLogoIcons[kLogoIconCount];

namespace {

constexpr LcdIcon kNoIcon{};

}  // namespace

const LcdIcon& StripIconAt(int position) {
    return position >= 0 && position < kStripIconCount ? kStripIcons[position] : kNoIcon;
}

const LcdIcon& LogoIconOf(int programId) {
    return programId >= 0 && programId < kLogoIconCount ? kLogoIcons[programId] : kNoIcon;
}

}  // namespace talvio
