#include "tools/handset_sim/sim_snapshot.h"

#include <fstream>

#include "foundation/png_writer.h"

namespace talvio {

std::vector<std::uint32_t> LcdPicture(const SimHandset& sim, int scale) {
    const int width = SimHandset::kWidth * scale;
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(width) * SimHandset::kHeight * scale);
    for (int y = 0; y < SimHandset::kHeight * scale; ++y) {
        for (int x = 0; x < width; ++x) {
            picture[static_cast<std::size_t>(y) * width + x] =
                sim.Pixel(x / scale, y / scale) ? kLcdLitColour : kLcdDarkColour;
        }
    }
    return picture;
}

std::string LcdPbm(const SimHandset& sim) {
    std::string text = "P1\n" + std::to_string(SimHandset::kWidth) + " " +
                       std::to_string(SimHandset::kHeight) + "\n";
    for (int y = 0; y < SimHandset::kHeight; ++y) {
        for (int x = 0; x < SimHandset::kWidth; ++x) text += sim.Pixel(x, y) ? '1' : '0';
        text += '\n';
    }
    return text;
}

bool SaveLcdSnapshot(const SimHandset& sim, const std::string& path) {
    const bool pbm = path.size() >= 4 && path.compare(path.size() - 4, 4, ".pbm") == 0;
    std::string bytes;
    if (pbm) {
        bytes = LcdPbm(sim);
    } else {
        const std::vector<std::uint8_t> png =
            EncodePng(SimHandset::kWidth * kSnapshotScale, SimHandset::kHeight * kSnapshotScale,
                      LcdPicture(sim, kSnapshotScale));
        bytes.assign(png.begin(), png.end());
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace talvio
