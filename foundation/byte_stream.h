// Byte input for the XML reader and the WAV decoder. Not thread-safe: one
// stream is used by one thread at a time.
#pragma once

#include <cstdio>
#include <string>

namespace talvio {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    virtual bool atEnd() = 0;
    virtual int readByte() = 0;  // 0-255, or -1 at the end
    virtual int read(void* buffer, int count) = 0;  // bytes copied, -1 when nothing is open
    virtual int tell() = 0;
    virtual int seek(int offset, int origin) = 0;  // origin 0 start, 1 current, 2 end
    virtual int close() = 0;
    virtual bool canSeek() { return true; }
    virtual int size() = 0;
};

// A C runtime FILE opened read-only ("rb"); closed on destruction.
class FileStream : public ByteStream {
public:
    FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override;

    // Closes any open file first. The path is UTF-16 code units.
    bool open(const std::wstring& widePath);
    bool isOpen() const { return file_ != nullptr; }
    bool atEnd() override;
    int readByte() override;
    int read(void* buffer, int count) override;
    int tell() override;
    int seek(int offset, int origin) override;
    int close() override;
    int size() override;

private:
    std::FILE* file_ = nullptr;
};

// A block of bytes: borrowed (mode 0, must outlive the stream), adopted and
// freed with delete[] (mode 1, allocated with new unsigned char[]), or copied
// (mode 2).
class MemoryStream : public ByteStream {
public:
    enum Mode { Borrowed = 0, Adopted = 1, Copied = 2 };

    MemoryStream() = default;
    MemoryStream(const void* source, int length, int mode) { open(source, length, mode); }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream() override { close(); }

    void open(const void* source, int length, int mode);
    bool atEnd() override;
    int readByte() override;
    int read(void* buffer, int count) override;
    int tell() override;
    int seek(int offset, int origin) override;
    int close() override;
    int size() override;

private:
    int mode_ = Borrowed;
    const unsigned char* data_ = nullptr;
    int size_ = 0;
    int position_ = 0;
};

}  // namespace talvio
