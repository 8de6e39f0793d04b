#include "tools/lcdgen/pcf_reader.h"

#include <algorithm>

namespace talvio::lcdgen {
namespace {

constexpr std::uint32_t kAccelerators = 1u << 1;
constexpr std::uint32_t kMetrics = 1u << 2;
constexpr std::uint32_t kBitmaps = 1u << 3;
constexpr std::uint32_t kEncodings = 1u << 5;
constexpr std::uint32_t kBdfAccelerators = 1u << 8;

constexpr std::uint32_t kMsbByteFirst = 1u << 2;
constexpr std::uint32_t kMsbBitFirst = 1u << 3;
constexpr std::uint32_t kCompressedMetrics = 0x100;

// A cursor over one table; a read past its end marks it failed and gives 0.
// Fonts may state a last table longer than the file: the file's end counts.
class Cursor {
public:
    Cursor(std::span<const std::uint8_t> data, std::size_t offset, std::size_t size)
        : data_(data), pos_(offset), end_(offset + std::min(size, data.size() - std::min(offset, data.size()))) {
        if (offset > data.size()) ok_ = false;
    }

    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }

    std::uint32_t U32() { return Read(4); }
    std::int32_t I32() { return static_cast<std::int32_t>(Read(4)); }
    std::int16_t I16() { return static_cast<std::int16_t>(Read(2)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Read(1)); }
    // Reads the format word, which is always little-endian, and takes its byte order.
    std::uint32_t Format() {
        big_ = false;
        const std::uint32_t format = U32();
        big_ = (format & kMsbByteFirst) != 0;
        return format;
    }
    std::span<const std::uint8_t> Bytes(std::size_t count) {
        if (!ok_ || count > end_ - pos_) {
            ok_ = false;
            return {};
        }
        const auto bytes = data_.subspan(pos_, count);
        pos_ += count;
        return bytes;
    }

private:
    std::uint32_t Read(int count) {
        if (!ok_ || static_cast<std::size_t>(count) > end_ - pos_) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint32_t byte = data_[pos_ + i];
            value |= big_ ? byte << (8 * (count - 1 - i)) : byte << (8 * i);
        }
        pos_ += count;
        return value;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_;
    std::size_t end_;
    bool big_ = false;
    bool ok_ = true;
};

struct Table {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

struct Metric {
    int left = 0;
    int right = 0;
    int advance = 0;
    int ascent = 0;
    int descent = 0;
};

bool ReadMetrics(std::span<const std::uint8_t> data, const Table& table, std::vector<Metric>& out) {
    Cursor in(data, table.offset, table.size);
    const std::uint32_t format = in.Format();
    if (format & kCompressedMetrics) {
        const int count = in.U16();
        for (int i = 0; i < count && in.ok(); ++i) {
            Metric m;
            m.left = in.U8() - 0x80;
            m.right = in.U8() - 0x80;
            m.advance = in.U8() - 0x80;
            m.ascent = in.U8() - 0x80;
            m.descent = in.U8() - 0x80;
            out.push_back(m);
        }
    } else {
        const std::uint32_t count = in.U32();
        if (count > table.size / 12) return false;
        for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
            Metric m;
            m.left = in.I16();
            m.right = in.I16();
            m.advance = in.I16();
            m.ascent = in.I16();
            m.descent = in.I16();
            in.U16();  // attributes
            out.push_back(m);
        }
    }
    return in.ok();
}

std::uint8_t ReverseBits(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

}  // namespace

std::optional<PcfFont> ReadPcf(std::span<const std::uint8_t> data) {
    Cursor header(data, 0, data.size());
    if (header.U32() != 0x70636601) return std::nullopt;  // "\1fcp"
    const std::uint32_t tableCount = header.U32();
    if (tableCount > 64) return std::nullopt;
    std::map<std::uint32_t, Table> tables;
    for (std::uint32_t i = 0; i < tableCount && header.ok(); ++i) {
        const std::uint32_t type = header.U32();
        header.U32();  // format, repeated at the table's start
        const std::uint32_t size = header.U32();
        tables.emplace(type, Table{header.U32(), size});
    }
    if (!header.ok() || !tables.count(kMetrics) || !tables.count(kBitmaps) ||
        !tables.count(kEncodings))
        return std::nullopt;

    PcfFont font;
    const auto accel = tables.count(kBdfAccelerators) ? tables.find(kBdfAccelerators)
                                                      : tables.find(kAccelerators);
    if (accel != tables.end()) {
        Cursor in(data, accel->second.offset, accel->second.size);
        in.Format();
        in.Bytes(8);  // flags and padding
        font.ascent = in.I32();
        font.descent = in.I32();
        if (!in.ok() || font.ascent < 0 || font.descent < 0 || font.ascent > 256 || font.descent > 256)
            return std::nullopt;
    }

    std::vector<Metric> metrics;
    if (!ReadMetrics(data, tables[kMetrics], metrics)) return std::nullopt;

    Cursor bitmaps(data, tables[kBitmaps].offset, tables[kBitmaps].size);
    const std::uint32_t format = bitmaps.Format();
    const std::uint32_t glyphCount = bitmaps.U32();
    if (!bitmaps.ok() || glyphCount != metrics.size()) return std::nullopt;
    std::vector<std::uint32_t> offsets(glyphCount);
    for (auto& offset : offsets) offset = bitmaps.U32();
    std::uint32_t sizes[4];
    for (auto& size : sizes) size = bitmaps.U32();
    const std::span<const std::uint8_t> bits = bitmaps.Bytes(sizes[format & 3]);
    if (!bitmaps.ok()) return std::nullopt;
    const int pad = 1 << (format & 3);
    const int unit = 1 << ((format >> 4) & 3);
    const bool msbBit = (format & kMsbBitFirst) != 0;
    const bool msbByte = (format & kMsbByteFirst) != 0;
    if (unit > 4 || (unit > 1 && pad % unit != 0)) return std::nullopt;

    Cursor encodings(data, tables[kEncodings].offset, tables[kEncodings].size);
    encodings.Format();
    const int minByte2 = encodings.I16();
    const int maxByte2 = encodings.I16();
    const int minByte1 = encodings.I16();
    const int maxByte1 = encodings.I16();
    encodings.I16();  // default character
    if (!encodings.ok() || minByte2 < 0 || maxByte2 > 255 || minByte2 > maxByte2 || minByte1 < 0 ||
        maxByte1 > 255 || minByte1 > maxByte1)
        return std::nullopt;

    for (int byte1 = minByte1; byte1 <= maxByte1; ++byte1) {
        for (int byte2 = minByte2; byte2 <= maxByte2; ++byte2) {
            const std::uint16_t index = encodings.U16();
            if (!encodings.ok()) return std::nullopt;
            if (index == 0xFFFF) continue;
            if (index >= glyphCount) return std::nullopt;
            const Metric& m = metrics[index];
            PcfGlyph glyph;
            glyph.left = m.left;
            glyph.ascent = m.ascent;
            glyph.width = m.right - m.left;
            glyph.height = m.ascent + m.descent;
            glyph.advance = m.advance;
            if (glyph.width < 0 || glyph.height < 0 || glyph.width > 256 || glyph.height > 256)
                return std::nullopt;
            const int rowBytes = (glyph.width + 7) / 8;
            const int stride = (rowBytes + pad - 1) / pad * pad;
            const std::size_t start = offsets[index];
            if (start > bits.size() ||
                static_cast<std::size_t>(stride) * glyph.height > bits.size() - start)
                return std::nullopt;
            glyph.pixels.assign(static_cast<std::size_t>(glyph.width) * glyph.height, false);
            for (int y = 0; y < glyph.height; ++y) {
                const std::size_t row = start + static_cast<std::size_t>(y) * stride;
                for (int x = 0; x < glyph.width; ++x) {
                    // Bytes are stored in scan units of the font's byte order.
                    std::size_t at = row + x / 8;
                    if (msbBit != msbByte && unit > 1) {
                        const std::size_t base = at - (at - row) % unit;
                        at = base + (unit - 1 - (at - base));
                    }
                    std::uint8_t byte = bits[at];
                    if (!msbBit) byte = ReverseBits(byte);
                    glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x] =
                        (byte & (0x80 >> (x % 8))) != 0;
                }
            }
            font.glyphs[static_cast<std::uint32_t>(byte1 << 8 | byte2)] = std::move(glyph);
        }
    }
    if (accel == tables.end()) {
        for (const Metric& m : metrics) {
            font.ascent = std::max(font.ascent, m.ascent);
            font.descent = std::max(font.descent, m.descent);
        }
    }
    return font;
}

}  // namespace talvio::lcdgen
