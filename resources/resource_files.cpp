#include "resources/resource_files.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace talvio::art {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kFileHeaderSize = 14;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::uint32_t Stride(int width, int bitsPerPixel) {
    return std::uint32_t(width * bitsPerPixel + 31) / 32 * 4;
}

// BITMAPINFOHEADER without compression or palette.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitsPerPixel,
                   std::uint32_t imageSize) {
    Put32(out, kInfoHeaderSize);
    Put32(out, std::uint32_t(width));
    Put32(out, std::uint32_t(height));
    Put16(out, 1);
    Put16(out, std::uint32_t(bitsPerPixel));
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

std::vector<std::uint8_t> AndMask(const Image& image) {
    const std::uint32_t stride = Stride(image.width, 1);
    std::vector<std::uint8_t> mask(stride * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* row = mask.data() + std::size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x)
            if ((image.at(x, y) >> 24) == 0) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
    }
    return mask;
}

}  // namespace

std::vector<std::uint8_t> DibRows(const Image& image, int bitsPerPixel) {
    const std::uint32_t stride = Stride(image.width, bitsPerPixel);
    const int bytes = bitsPerPixel / 8;
    std::vector<std::uint8_t> rows(stride * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* row = rows.data() + std::size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.at(x, y);
            for (int b = 0; b < bytes; ++b) row[x * bytes + b] = std::uint8_t(pixel >> (8 * b));
        }
    }
    return rows;
}

std::vector<std::uint8_t> IcoFile(const std::vector<Image>& images) {
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const Image& image : images) {
        const std::vector<std::uint8_t> colour = DibRows(image, 32);
        const std::vector<std::uint8_t> mask = AndMask(image);
        std::vector<std::uint8_t> body;
        // An icon image's header counts the colour and mask rows together.
        PutInfoHeader(body, image.width, 2 * image.height, 32,
                      std::uint32_t(colour.size() + mask.size()));
        body.insert(body.end(), colour.begin(), colour.end());
        body.insert(body.end(), mask.begin(), mask.end());
        bodies.push_back(std::move(body));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, std::uint32_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(images[i].width));  // 0 would mean 256
        out.push_back(std::uint8_t(images[i].height));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, std::uint32_t(bodies[i].size()));
        Put32(out, offset);
        offset += std::uint32_t(bodies[i].size());
    }
    for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> BmpFile(const Image& image) {
    const std::vector<std::uint8_t> rows = DibRows(image, 24);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, kFileHeaderSize + kInfoHeaderSize + std::uint32_t(rows.size()));
    Put32(out, 0);
    Put32(out, kFileHeaderSize + kInfoHeaderSize);
    PutInfoHeader(out, image.width, image.height, 24, std::uint32_t(rows.size()));
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';  // the script doubles a quote inside a string
        out += c;
    }
    return out + "\"";
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

constexpr std::uint32_t kVisible = 0x10000000;  // WS_VISIBLE
constexpr std::uint32_t kChild = 0x40000000;    // WS_CHILD
constexpr std::uint32_t kIconStatic = 0x0003;   // SS_ICON

}  // namespace

std::string DialogScript(const DialogTemplate& dialog) {
    auto numbers = [](std::initializer_list<int> values) {
        std::string out;
        for (int value : values) out += ", " + std::to_string(value);
        return out;
    };
    std::string script = std::to_string(dialog.id) + " DIALOGEX 0, 0, " + std::to_string(dialog.width) +
                         ", " + std::to_string(dialog.height) + "\nSTYLE " + Hex(dialog.style) +
                         "\nCAPTION " + Quoted(dialog.title) + "\nFONT " + std::to_string(kDialogFontSize) +
                         ", " + Quoted(kDialogFont) + "\nBEGIN\n";
    for (const DialogItem& item : dialog.items) {
        if (std::string_view(item.className) == "Static" && (item.style & 0x1F) == kIconStatic) {
            script += "    ICON " + std::string(item.text) + numbers({item.id, item.x, item.y, item.width, item.height});
        } else {
            // The compiler shows a CONTROL unless told otherwise.
            const std::uint32_t style = item.style | kChild;
            script += "    CONTROL " + Quoted(item.text) + ", " + std::to_string(item.id) + ", " +
                      Quoted(item.className) + ", " + Hex(style) +
                      ((style & kVisible) ? "" : " | NOT " + Hex(kVisible)) +
                      numbers({item.x, item.y, item.width, item.height});
        }
        script += "\n";
    }
    return script + "END\n";
}

std::string MenuScript(const MenuResource& menu) {
    std::string script = std::to_string(menu.id) + " MENU\nBEGIN\n    POPUP " +
                         Quoted(menu.popupTitle) + "\n    BEGIN\n";
    for (const MenuEntry& entry : menu.entries) {
        script += entry.separator ? "        MENUITEM SEPARATOR\n"
                                  : "        MENUITEM " + Quoted(entry.text) + ", " +
                                        std::to_string(entry.id) + "\n";
    }
    return script + "    END\nEND\n";
}

}  // namespace talvio::art
