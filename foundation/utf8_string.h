// Handle to a shared, reference-counted, immutable UTF-8 text block.
// Copies are O(1). Counts are plain integers: a block may be shared only
// between threads that never touch it at the same time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio {

class Utf8String {
public:
    Utf8String();
    Utf8String(const char* bytes);  // NUL-terminated; null gives the empty string
    Utf8String(const char* bytes, int length);
    explicit Utf8String(const std::wstring& wide);  // UTF-16 code units
    Utf8String(const Utf8String& other);
    Utf8String(Utf8String&& other) noexcept;
    Utf8String& operator=(const Utf8String& other);
    Utf8String& operator=(Utf8String&& other) noexcept;
    ~Utf8String();

    void assign(const Utf8String& other);
    void assign(const char* bytes);
    void assign(const std::wstring& wide);

    int length() const;
    bool isEmpty() const;
    const char* c_str() const;  // NUL-terminated; valid while this handle holds the block
    std::string_view view() const { return {c_str(), static_cast<std::size_t>(length())}; }
    long toLong() const;  // atol of the bytes, clamped instead of overflowing

    Utf8String concat(const Utf8String& other) const;
    bool equals(const Utf8String& other) const;
    int compare(const char* bytes) const;        // strcmp; -1 for null
    int compareNoCase(const char* bytes) const;  // _strcmpi (ASCII case folding); -1 for null

    std::wstring toWide() const;
    std::string toAnsi() const;

    Utf8String escaped() const;  // the five XML escapes
    void escapeInPlace();

    bool operator==(const Utf8String& other) const { return equals(other); }

private:
    struct Block;
    explicit Utf8String(Block* block) : block_(block) {}
    static Block* emptyBlock();
    static Block* allocate(const char* bytes, std::size_t length);
    static void retain(Block* block);
    static void release(Block* block);

    Block* block_;
};

}  // namespace talvio
