// Pictures of the simulated handset's LCD as a person sees it: the window's
// colours at any scale, a PNG file of it, and a plain PBM ("P1", one text
// character per pixel, 1 = lit) that tests can compare line by line.
// Not thread-safe: callers hold the handset's lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/handset_sim/sim_handset.h"

namespace talvio {

inline constexpr std::uint32_t kLcdLitColour = 0xFFE0F0FF;
inline constexpr std::uint32_t kLcdDarkColour = 0xFF202020;
inline constexpr int kSnapshotScale = 4;

// (kWidth * scale) x (kHeight * scale) pixels as 0xAARRGGBB, top row first.
std::vector<std::uint32_t> LcdPicture(const SimHandset& sim, int scale);

std::string LcdPbm(const SimHandset& sim);

// A path ending in ".pbm" gets the PBM, any other the PNG at 4x. False when
// the file cannot be written.
bool SaveLcdSnapshot(const SimHandset& sim, const std::string& path);

}  // namespace talvio
