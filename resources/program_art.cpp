#include "resources/program_art.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace talvio::art {
namespace {

// The handset, one character a pixel: K outline, G body, g highlight.
constexpr std::array<std::string_view, 16> kHandset = {
    "................",
    "..KKKK..........",
    ".KGGGGK.........",
    ".KGggGK.........",
    ".KGgGK..........",
    ".KGGK...........",
    ".KGgK...........",
    ".KGgK...........",
    ".KGGK...........",
    ".KGGGK..........",
    "..KGGGK.........",
    "..KGGGGK..KKKK..",
    "...KKGGGKKGGgGK.",
    ".....KKGGGGGGK..",
    ".......KKKKKK...",
    "................",
};

// Badges drawn in the corner the handset leaves free: B disc, W sign.
constexpr std::array<std::string_view, 7> kCrossBadge = {
    ".BBBBB.",
    "BWBBBWB",
    "BBWBWBB",
    "BBBWBBB",
    "BBWBWBB",
    "BWBBBWB",
    ".BBBBB.",
};

constexpr std::array<std::string_view, 7> kExclamationBadge = {
    ".BBBBB.",
    "BBBWBBB",
    "BBBWBBB",
    "BBBWBBB",
    "BBBBBBB",
    "BBBWBBB",
    ".BBBBB.",
};

constexpr int kBadgeLeft = 9;
constexpr int kBadgeTop = 0;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

struct Palette {
    std::uint32_t outline;
    std::uint32_t body;
    std::uint32_t highlight;
    std::uint32_t badge;  // 0: no badge
    const std::array<std::string_view, 7>* badgeArt;
};

Palette PaletteOf(int id) {
    switch (id) {
        case kIconReady:
            return {0xFF14532D, 0xFF22C55E, 0xFF86EFAC, 0, nullptr};
        case kIconNoHandset:
            return {0xFF404040, 0xFF9CA3AF, 0xFFD1D5DB, 0xFFDC2626, &kCrossBadge};
        case kIconNoClient:
            return {0xFF1E3A5F, 0xFF3B82F6, 0xFF93C5FD, 0xFFF59E0B, &kExclamationBadge};
        default:
            throw std::invalid_argument("no such tray icon");
    }
}

Image Icon16(int id) {
    const Palette palette = PaletteOf(id);
    Image image{16, 16, std::vector<std::uint32_t>(16 * 16, 0)};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::uint32_t& pixel = image.argb[std::size_t(y) * 16 + x];
            switch (kHandset[y][x]) {
                case 'K': pixel = palette.outline; break;
                case 'G': pixel = palette.body; break;
                case 'g': pixel = palette.highlight; break;
                default: break;
            }
        }
    }
    if (!palette.badgeArt) return image;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const char c = (*palette.badgeArt)[y][x];
            if (c == '.') continue;
            image.argb[std::size_t(kBadgeTop + y) * 16 + kBadgeLeft + x] = c == 'W' ? kWhite : palette.badge;
        }
    }
    return image;
}

// A point inside the convex polygon (corners in clockwise order on screen).
bool Inside(const std::vector<std::array<double, 2>>& corners, double x, double y) {
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto& a = corners[i];
        const auto& b = corners[(i + 1) % corners.size()];
        if ((b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]) < 0) return false;
    }
    return true;
}

}  // namespace

std::vector<int> TrayIconIds() { return {kIconNoClient, kIconReady, kIconNoHandset}; }

Image TrayIconImage(int id, int size) {
    const Image small = Icon16(id);
    if (size == 16) return small;
    if (size != 32) throw std::invalid_argument("tray icons come in 16 and 32 pixels");
    Image large{32, 32, std::vector<std::uint32_t>(32 * 32)};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) large.argb[std::size_t(y) * 32 + x] = small.at(x / 2, y / 2);
    return large;
}

Image SpeakerImage() {
    constexpr int kSize = 96;
    constexpr std::uint32_t kOutline = 0xFF2A2A2A;
    constexpr std::uint32_t kMagnet = 0xFFB8B8B8;
    constexpr std::uint32_t kCone = 0xFFD8D8D8;
    constexpr std::uint32_t kWave = 0xFFA0E8A0;
    // The magnet box and the cone, each with a 2-pixel outline, and three
    // sound waves opening to the right from the cone's mouth.
    const std::vector<std::array<double, 2>> magnet = {{12, 34}, {31, 34}, {31, 62}, {12, 62}};
    const std::vector<std::array<double, 2>> magnetInside = {{14, 36}, {29, 36}, {29, 60}, {14, 60}};
    const std::vector<std::array<double, 2>> cone = {{29, 34}, {52, 12}, {52, 84}, {29, 62}};
    const std::vector<std::array<double, 2>> coneInside = {{31, 35.5}, {50, 17}, {50, 79}, {31, 60.5}};
    constexpr double kCentreX = 52;
    constexpr double kCentreY = 48;
    constexpr double kWaveRadii[3][2] = {{12, 16}, {22, 26}, {32, 36}};
    const double kWaveAngle = 50.0 * 3.14159265358979 / 180.0;

    Image image{kSize, kSize, std::vector<std::uint32_t>(kSize * kSize, kWhite)};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            std::uint32_t& pixel = image.argb[std::size_t(y) * kSize + x];
            if (Inside(coneInside, px, py)) {
                pixel = kCone;
            } else if (Inside(magnetInside, px, py)) {
                pixel = kMagnet;
            } else if (Inside(cone, px, py) || Inside(magnet, px, py)) {
                pixel = kOutline;
            } else if (px > kCentreX) {
                const double dx = px - kCentreX;
                const double dy = py - kCentreY;
                const double radius = std::sqrt(dx * dx + dy * dy);
                if (std::abs(std::atan2(dy, dx)) > kWaveAngle) continue;
                for (const auto& band : kWaveRadii)
                    if (radius >= band[0] && radius <= band[1]) pixel = kWave;
            }
        }
    }
    return image;
}

Image ProgramIconStrip() {
    // One colour per program, in icon-index order; the last is unused.
    constexpr std::uint32_t kColours[kProgramIconCount] = {
        0xFF00AFF0, 0xFFE4572E, 0xFF17BEBB, 0xFF76B041, 0xFFFFC914, 0xFF8E44AD, 0xFF2E86AB,
        0xFFC0392B, 0xFF16A085, 0xFFD35400, 0xFF34495E, 0xFFE91E63, 0xFF7F8C8D};
    constexpr int kSize = kProgramIconSize;
    constexpr double kRadius = 14.5;
    Image strip{kSize * kProgramIconCount, kSize,
                std::vector<std::uint32_t>(std::size_t(kSize) * kSize * kProgramIconCount, kStripTransparent)};
    for (int icon = 0; icon < kProgramIconCount; ++icon) {
        const std::uint32_t colour = kColours[icon];
        // The same hue at half brightness for the rim.
        const std::uint32_t rim = 0xFF000000 | ((colour >> 1) & 0x7F7F7F);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const double dx = x + 0.5 - kSize / 2.0;
                const double dy = y + 0.5 - kSize / 2.0;
                const double distance = std::sqrt(dx * dx + dy * dy);
                std::uint32_t& pixel = strip.argb[std::size_t(y) * strip.width + icon * kSize + x];
                if (distance <= kRadius - 1.5) {
                    pixel = colour;
                } else if (distance <= kRadius) {
                    pixel = rim;
                }
            }
        }
        // The handset in white, centred on the disc.
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const char c = kHandset[y][x];
                if (c == '.') continue;
                strip.argb[std::size_t(y + 9) * strip.width + icon * kSize + x + 9] = c == 'K' ? rim : kWhite;
            }
        }
    }
    return strip;
}

Image PlayIconImage(int size) {
    if (size != 16 && size != 32) throw std::invalid_argument("the play icon comes in 16 and 32 pixels");
    constexpr std::uint32_t kFill = 0xFF1F9D3A;
    constexpr std::uint32_t kEdge = 0xFF0B4D1B;
    Image image{size, size, std::vector<std::uint32_t>(std::size_t(size) * size, 0)};
    // A triangle pointing right, its corners at a quarter and three quarters.
    const double scale = size / 16.0;
    const std::vector<std::array<double, 2>> outer = {{4 * scale, 2 * scale}, {14 * scale, 8 * scale}, {4 * scale, 14 * scale}};
    const std::vector<std::array<double, 2>> inner = {
        {5 * scale, 3.8 * scale}, {12 * scale, 8 * scale}, {5 * scale, 12.2 * scale}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t& pixel = image.argb[std::size_t(y) * size + x];
            if (Inside(inner, x + 0.5, y + 0.5)) {
                pixel = kFill;
            } else if (Inside(outer, x + 0.5, y + 0.5)) {
                pixel = kEdge;
            }
        }
    }
    return image;
}

Image AboutBannerImage() {
    constexpr int kWidth = 480;
    constexpr int kHeight = 10;
    // From the tray's ready green to a deep blue.
    constexpr int kFrom[3] = {0x22, 0xC5, 0x5E};
    constexpr int kTo[3] = {0x1E, 0x3A, 0x5F};
    Image image{kWidth, kHeight, std::vector<std::uint32_t>(std::size_t(kWidth) * kHeight)};
    for (int x = 0; x < kWidth; ++x) {
        std::uint32_t pixel = 0xFF000000;
        for (int channel = 0; channel < 3; ++channel) {
            const int value = kFrom[channel] + (kTo[channel] - kFrom[channel]) * x / (kWidth - 1);
            pixel |= std::uint32_t(value) << (16 - 8 * channel);
        }
        for (int y = 0; y < kHeight; ++y) image.argb[std::size_t(y) * kWidth + x] = pixel;
    }
    return image;
}

MenuResource TrayMenu() {
    return {kTrayMenu,
            "Tray",
            {
                {"&Options...", 32773, false},
                {"myFocus", 65535, false},
                {"", 0, true},
                {"myLanguage", 65535, false},
                {"&Check Update", 32793, false},
                {"&About...", 104, false},
                {"", 0, true},
                {"E&xit", 105, false},
            }};
}

}  // namespace talvio::art
