// The pictures and the tray menu of TalvioDriver.exe, as data: the tray
// icons and the volume popup's speaker are drawn here, the menu's items are
// listed here. resgen writes them into the program's resource script at
// build time; hosted tests install the same data on the hosted desktop.
// Plain data, no OS calls; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::art {

inline constexpr int kIconNoClient = 131;
inline constexpr int kIconReady = 2053;
inline constexpr int kIconNoHandset = 2054;
inline constexpr int kSpeakerBitmap = 164;
inline constexpr int kTrayMenu = 155;
inline constexpr int kAppIcon = 107;
inline constexpr int kPlayIcon = 158;
inline constexpr int kProgramIcons = 163;
inline constexpr int kAboutBanner = 165;
// Pixels of this colour are transparent in the program icon strip.
inline constexpr std::uint32_t kStripTransparent = 0xFFFF00FF;
inline constexpr int kProgramIconSize = 32;
inline constexpr int kProgramIconCount = 13;

// Pixels as 0xAARRGGBB, the top row first. Alpha 0 is transparent.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    std::uint32_t at(int x, int y) const { return argb[std::size_t(y) * width + x]; }
};

std::vector<int> TrayIconIds();
// The icon in one of its sizes, 16 or 32 pixels square.
Image TrayIconImage(int id, int size);
// Opaque; white (0xFFFFFFFF) where the popup's background shows through.
Image SpeakerImage();
// The Options dialog's program icons side by side, kProgramIconSize pixels
// square, at the connectors' icon indices; opaque, kStripTransparent around
// each picture.
Image ProgramIconStrip();
// The play button's triangle, 16 or 32 pixels square.
Image PlayIconImage(int size);
// The coloured band along the top of the About dialog; opaque.
Image AboutBannerImage();

struct MenuEntry {
    const char* text;  // ASCII; empty for a separator
    std::uint32_t id;
    bool separator;
};

// A menu resource of one popup, as LoadMenu gives it: the popup is item 0.
struct MenuResource {
    int id;
    const char* popupTitle;
    std::vector<MenuEntry> entries;
};
MenuResource TrayMenu();

}  // namespace talvio::art
