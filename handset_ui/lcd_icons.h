// The two icon strips of the LCD, drawn as text pixel art in resources/
// and compiled at build time (tools/lcdgen) into these tables and into the
// bitmap resources 159 and 2162. Read-only tables: any thread.
#pragma once

#include <array>
#include <cstdint>

namespace talvio {

// 16 x 16 pixels, one row per word, leftmost pixel in bit 15, set = lit.
struct LcdIcon {
    std::array<std::uint16_t, 16> rows;
};

inline constexpr int kStripIconCount = 40;  // bitmap 159
inline constexpr int kLogoIconCount = 15;   // bitmap 2162: 0 blank, n = program id n

// Positions in strip 159.
enum StripIcon : int {
    kIconOutgoing = 1,
    kIconIncoming = 2,
    kIconMissed = 3,
    kIconStatusOffline = 4,
    kIconStatusUnknown = 5,
    kIconStatusOnline = 6,
    kIconBlank = 7,
    kIconMute = 8,
    kIconDialling1 = 9,  // outgoing call animation 9, 10, 11
    kIconRinging1 = 12,  // ringing animation 12, 13, 14
    kIconMissedMark1 = 15,  // missed-call animation 15, 16, 17
    kIconHold = 21,
    kIconMenuItem = 22,
    kIconVoicemail = 23,
    kIconTick = 24,
    kIconCross = 25,
    kIconPause = 26,
    kIconPlay = 27,
    kIconCheckBox = 28,
    kIconCheckBoxTicked = 29,
    kIconStatusAway = 30,
    kIconStatusNotAvailable = 31,
    kIconStatusDoNotDisturb = 32,
    kIconStatusOpenForCalls = 33,
    kIconContacts = 34,
    kIconHandsetResting = 35,  // also the phone-number status mark
    kIconHandsetLifted = 36,
    kIconPrograms = 38,
    kIconHandsFree = 39,
};

// Out-of-range positions and ids give a blank icon.
const LcdIcon& StripIconAt(int position);
const LcdIcon& LogoIconOf(int programId);

}  // namespace talvio
