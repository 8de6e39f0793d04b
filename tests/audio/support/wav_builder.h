// Builds RIFF/WAVE bytes chunk by chunk for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::testing {

class WavBuilder {
public:
    WavBuilder& Chunk(const std::string& id, const std::vector<unsigned char>& body) {
        Tag(id);
        U32(std::uint32_t(body.size()));
        chunks_.insert(chunks_.end(), body.begin(), body.end());
        if (body.size() & 1) chunks_.push_back(0);
        return *this;
    }
    WavBuilder& Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                       std::uint16_t bits) {
        const std::uint16_t align = std::uint16_t(channels * ((bits + 7) / 8));
        std::vector<unsigned char> body;
        Put16(body, tag);
        Put16(body, channels);
        Put32(body, rate);
        Put32(body, rate * align);
        Put16(body, align);
        Put16(body, bits);
        return Chunk("fmt ", body);
    }
    WavBuilder& Data(const std::vector<unsigned char>& samples) { return Chunk("data", samples); }
    std::vector<unsigned char> Bytes() const {
        std::vector<unsigned char> out = {'R', 'I', 'F', 'F'};
        Put32(out, std::uint32_t(chunks_.size() + 4));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), chunks_.begin(), chunks_.end());
        return out;
    }

    static void Put16(std::vector<unsigned char>& out, std::uint16_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    }
    static void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
    }

private:
    void Tag(const std::string& id) { chunks_.insert(chunks_.end(), id.begin(), id.begin() + 4); }
    void U32(std::uint32_t v) { Put32(chunks_, v); }
    std::vector<unsigned char> chunks_;
};

}  // namespace talvio::testing
