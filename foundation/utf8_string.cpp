#include "foundation/utf8_string.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "foundation/text_convert.h"

namespace talvio {

// The bytes and their NUL follow the header in the same allocation.
struct Utf8String::Block {
    std::int32_t count;  // negative: static, never counted or freed
    std::int32_t length;

    char* text() { return reinterpret_cast<char*>(this + 1); }
};

Utf8String::Block* Utf8String::emptyBlock() {
    static struct {
        Block header{-1, 0};
        char nul = '\0';
    } empty;
    static_assert(sizeof(Block) == 8, "the NUL must directly follow the header");
    return &empty.header;
}

Utf8String::Block* Utf8String::allocate(const char* bytes, std::size_t length) {
    if (length == 0) return emptyBlock();
    if (length > static_cast<std::size_t>(INT32_MAX) - sizeof(Block) - 1)
        throw std::length_error("Utf8String too long");
    void* memory = ::operator new(sizeof(Block) + length + 1);
    Block* block = new (memory) Block{1, static_cast<std::int32_t>(length)};
    std::memcpy(block->text(), bytes, length);
    block->text()[length] = '\0';
    return block;
}

void Utf8String::retain(Block* block) {
    if (block->count >= 0) ++block->count;
}

void Utf8String::release(Block* block) {
    // The pointer test also shows the optimiser that the static block is never freed.
    if (block == emptyBlock() || block->count < 0) return;
    if (--block->count == 0) ::operator delete(block);
}

Utf8String::Utf8String() : block_(emptyBlock()) {}

Utf8String::Utf8String(const char* bytes)
    : block_(bytes ? allocate(bytes, std::strlen(bytes)) : emptyBlock()) {}

Utf8String::Utf8String(const char* bytes, int length)
    : block_(bytes && length > 0 ? allocate(bytes, static_cast<std::size_t>(length))
                                 : emptyBlock()) {}

Utf8String::Utf8String(const std::wstring& wide) : block_(emptyBlock()) { assign(wide); }

Utf8String::Utf8String(const Utf8String& other) : block_(other.block_) { retain(block_); }

Utf8String::Utf8String(Utf8String&& other) noexcept
    : block_(std::exchange(other.block_, emptyBlock())) {}

Utf8String& Utf8String::operator=(const Utf8String& other) {
    assign(other);
    return *this;
}

Utf8String& Utf8String::operator=(Utf8String&& other) noexcept {
    if (this != &other) {
        release(block_);
        block_ = std::exchange(other.block_, emptyBlock());
    }
    return *this;
}

Utf8String::~Utf8String() { release(block_); }

void Utf8String::assign(const Utf8String& other) {
    // Retain first: other may share this very block.
    retain(other.block_);
    release(block_);
    block_ = other.block_;
}

void Utf8String::assign(const char* bytes) {
    // Build before releasing: bytes may point into the current block.
    Block* fresh = bytes ? allocate(bytes, std::strlen(bytes)) : emptyBlock();
    release(block_);
    block_ = fresh;
}

void Utf8String::assign(const std::wstring& wide) {
    const std::string utf8 = WideToUtf8(wide);
    Block* fresh = allocate(utf8.data(), utf8.size());
    release(block_);
    block_ = fresh;
}

int Utf8String::length() const { return block_->length; }

bool Utf8String::isEmpty() const { return block_->length <= 0; }

const char* Utf8String::c_str() const { return block_->text(); }

long Utf8String::toLong() const {
    // strtol parses what atol does, but saturates at LONG_MIN/LONG_MAX.
    const int saved = errno;
    const long value = std::strtol(c_str(), nullptr, 10);
    errno = saved;
    return value;
}

Utf8String Utf8String::concat(const Utf8String& other) const {
    if (other.isEmpty()) return *this;
    if (isEmpty()) return other;
    const std::size_t total = static_cast<std::size_t>(length()) + other.length();
    if (total > static_cast<std::size_t>(INT32_MAX) - sizeof(Block) - 1)
        throw std::length_error("Utf8String too long");
    void* memory = ::operator new(sizeof(Block) + total + 1);
    Block* block = new (memory) Block{1, static_cast<std::int32_t>(total)};
    std::memcpy(block->text(), c_str(), length());
    std::memcpy(block->text() + length(), other.c_str(), other.length());
    block->text()[total] = '\0';
    return Utf8String(block);
}

bool Utf8String::equals(const Utf8String& other) const {
    if (block_ == other.block_) return true;
    return length() == other.length() && std::memcmp(c_str(), other.c_str(), length()) == 0;
}

int Utf8String::compare(const char* bytes) const {
    if (!bytes) return -1;
    return std::strcmp(c_str(), bytes);
}

int Utf8String::compareNoCase(const char* bytes) const {
    if (!bytes) return -1;
    // _strcmpi folds to lower case in the "C" locale: ASCII letters only.
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const auto* a = reinterpret_cast<const unsigned char*>(c_str());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    for (;; ++a, ++b) {
        const int difference = fold(*a) - fold(*b);
        if (difference != 0 || *a == 0) return difference;
    }
}

std::wstring Utf8String::toWide() const { return Utf8ToWide(view()); }

std::string Utf8String::toAnsi() const { return Utf8ToAnsi(view()); }

Utf8String Utf8String::escaped() const {
    std::size_t extra = 0;
    for (char c : view()) {
        switch (c) {
        case '"':
        case '\'': extra += 5; break;
        case '&': extra += 4; break;
        case '<':
        case '>': extra += 3; break;
        default: break;
        }
    }
    if (extra == 0) return *this;

    std::string out;
    out.reserve(static_cast<std::size_t>(length()) + extra);
    for (char c : view()) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return Utf8String(allocate(out.data(), out.size()));
}

void Utf8String::escapeInPlace() { *this = escaped(); }

}  // namespace talvio
