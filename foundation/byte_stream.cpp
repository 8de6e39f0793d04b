#include "foundation/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace talvio {

FileStream::~FileStream() { close(); }

bool FileStream::atEnd() { return !file_ || std::feof(file_) != 0; }

int FileStream::readByte() {
    if (!file_) return -1;
    const int c = std::fgetc(file_);
    return c == EOF ? -1 : c;
}

int FileStream::read(void* buffer, int count) {
    if (!file_) return -1;
    if (count <= 0) return 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

int FileStream::tell() {
    if (!file_) return -1;
    return static_cast<int>(std::ftell(file_));
}

int FileStream::seek(int offset, int origin) {
    if (!file_) return -1;
    static constexpr int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return -1;
    return std::fseek(file_, offset, kOrigins[origin]);
}

int FileStream::close() {
    if (!file_) return 0;
    const int result = std::fclose(file_);
    file_ = nullptr;
    return result;
}

int FileStream::size() {
    if (!file_) return -1;
    const long position = std::ftell(file_);
    if (position < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file_);
    std::fseek(file_, position, SEEK_SET);
    return static_cast<int>(end);
}

void MemoryStream::open(const void* source, int length, int mode) {
    close();
    if (!source || length < 0) length = 0;
    if (mode == Copied) {
        auto* copy = new unsigned char[static_cast<std::size_t>(length)];
        if (length > 0) std::memcpy(copy, source, static_cast<std::size_t>(length));
        data_ = copy;
    } else {
        data_ = static_cast<const unsigned char*>(source);
    }
    mode_ = mode == Adopted || mode == Copied ? mode : Borrowed;
    size_ = length;
    position_ = 0;
}

bool MemoryStream::atEnd() { return position_ >= size_; }

int MemoryStream::readByte() { return position_ < size_ ? data_[position_++] : -1; }

int MemoryStream::read(void* buffer, int count) {
    if (!data_) return -1;
    const int n = std::clamp(size_ - position_, 0, std::max(count, 0));
    if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

int MemoryStream::tell() { return position_; }

int MemoryStream::seek(int offset, int origin) {
    long long base = 0;
    if (origin == 1) base = position_;
    else if (origin == 2) base = size_;
    position_ = static_cast<int>(std::clamp<long long>(base + offset, 0, size_));
    return 0;
}

int MemoryStream::close() {
    if (mode_ != Borrowed) delete[] data_;
    mode_ = Borrowed;
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
    return 0;
}

int MemoryStream::size() { return size_; }

}  // namespace talvio
