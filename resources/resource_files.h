// The file formats the resource compiler takes: icons (.ico), bitmaps
// (.bmp) and the script text of a menu. Plain data; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/dialog_templates.h"
#include "resources/program_art.h"

namespace talvio::art {

// The rows of a DIB of 24 or 32 bits per pixel as Windows keeps them:
// bottom row first, blue-green-red(-alpha) bytes, each row padded to four bytes.
std::vector<std::uint8_t> DibRows(const Image& image, int bitsPerPixel);

// An icon file holding each image as a 32-bit image with its AND mask
// (set where alpha is 0).
std::vector<std::uint8_t> IcoFile(const std::vector<Image>& images);
// A 24-bit bitmap file; alpha is dropped.
std::vector<std::uint8_t> BmpFile(const Image& image);
// "<id> DIALOGEX" with the template's style, caption, font and controls.
std::string DialogScript(const DialogTemplate& dialog);
// "<id> MENU" with the one popup and its entries.
std::string MenuScript(const MenuResource& menu);

}  // namespace talvio::art
