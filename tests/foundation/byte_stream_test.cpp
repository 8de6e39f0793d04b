#include "foundation/byte_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/text_convert.h"

namespace talvio {
namespace {

namespace fs = std::filesystem;

std::wstring WidePath(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return Utf8ToWide(std::string(utf8.begin(), utf8.end()));
}

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("talvio-stream-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                      "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    fs::path write(const std::u8string& name, const std::string& bytes) {
        const fs::path path = directory_ / fs::path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path directory_;
};

TEST_F(FileStreamTest, ReadsBytesAsUnsignedValuesThenEnd) {
    FileStream stream;
    ASSERT_TRUE(stream.open(WidePath(write(u8"bytes.bin", "\x3C\xFF\x3E"))));
    EXPECT_FALSE(stream.atEnd());
    EXPECT_EQ(stream.readByte(), 60);
    EXPECT_EQ(stream.readByte(), 255);
    EXPECT_EQ(stream.readByte(), 62);
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_TRUE(stream.atEnd());
}

TEST_F(FileStreamTest, OpensANonAsciiPath) {
    FileStream stream;
    ASSERT_TRUE(stream.open(WidePath(write(u8"r\u00e9glages-\u4e2d.xml", "<a/>"))));
    EXPECT_EQ(stream.size(), 4);
}

TEST_F(FileStreamTest, SizeSeekTellAndRead) {
    FileStream stream;
    ASSERT_TRUE(stream.open(WidePath(write(u8"data.bin", "0123456789"))));
    EXPECT_EQ(stream.seek(3, 0), 0);
    EXPECT_EQ(stream.size(), 10);
    EXPECT_EQ(stream.tell(), 3);  // size() puts the position back
    char buffer[16] = {};
    EXPECT_EQ(stream.read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ(stream.seek(-2, 2), 0);
    EXPECT_EQ(stream.read(buffer, 16), 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(stream.seek(-1, 1), 0);
    EXPECT_EQ(stream.readByte(), '9');
    EXPECT_EQ(stream.seek(0, 7), -1);
    EXPECT_TRUE(stream.canSeek());
}

TEST_F(FileStreamTest, WithoutAFileEveryOperationFails) {
    FileStream stream;
    EXPECT_FALSE(stream.open(WidePath(directory_ / "missing.xml")));
    EXPECT_FALSE(stream.open(L""));
    char buffer[4];
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_EQ(stream.read(buffer, 4), -1);
    EXPECT_EQ(stream.tell(), -1);
    EXPECT_EQ(stream.seek(0, 0), -1);
    EXPECT_EQ(stream.size(), -1);
    EXPECT_EQ(stream.close(), 0);
}

TEST_F(FileStreamTest, ReopeningClosesThePreviousFile) {
    FileStream stream;
    ASSERT_TRUE(stream.open(WidePath(write(u8"one", "1"))));
    ASSERT_TRUE(stream.open(WidePath(write(u8"two", "22"))));
    EXPECT_EQ(stream.size(), 2);
    EXPECT_EQ(stream.close(), 0);
    EXPECT_FALSE(stream.isOpen());
}

TEST(MemoryStream, SeekClampsForEveryOrigin) {
    const char data[] = "abcdefgh";
    MemoryStream stream(data, 8, MemoryStream::Borrowed);
    EXPECT_EQ(stream.seek(-5, 0), 0);
    EXPECT_EQ(stream.tell(), 0);
    EXPECT_EQ(stream.seek(10, 2), 0);
    EXPECT_EQ(stream.tell(), 8);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.seek(-3, 1), 0);
    EXPECT_EQ(stream.tell(), 5);
    EXPECT_EQ(stream.seek(100, 1), 0);
    EXPECT_EQ(stream.tell(), 8);
    EXPECT_EQ(stream.seek(-2147483647, 1), 0);
    EXPECT_EQ(stream.tell(), 0);
    EXPECT_EQ(stream.seek(2147483647, 2), 0);
    EXPECT_EQ(stream.tell(), 8);
}

TEST(MemoryStream, ReadCopiesWhatIsLeft) {
    const unsigned char data[] = {1, 2, 0xFF};
    MemoryStream stream(data, 3, MemoryStream::Borrowed);
    unsigned char buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 2), 2);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(stream.readByte(), 255);
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_EQ(stream.read(buffer, 8), 0);
    EXPECT_EQ(stream.read(buffer, -1), 0);
    EXPECT_EQ(stream.size(), 3);
}

TEST(MemoryStream, CopiedModeOutlivesTheSource) {
    MemoryStream stream;
    {
        std::string source = "xyz";
        stream.open(source.data(), 3, MemoryStream::Copied);
        source = "???";
    }
    EXPECT_EQ(stream.readByte(), 'x');
    EXPECT_EQ(stream.size(), 3);
}

TEST(MemoryStream, AdoptedBlockIsFreedByTheStream) {
    auto* block = new unsigned char[2]{7, 8};
    MemoryStream stream(block, 2, MemoryStream::Adopted);
    EXPECT_EQ(stream.readByte(), 7);
    stream.open(nullptr, 0, MemoryStream::Borrowed);  // frees the block (ASan checks)
    EXPECT_EQ(stream.size(), 0);
}

TEST(MemoryStream, ClosedStreamIsEmpty) {
    MemoryStream stream;
    char buffer[2];
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_EQ(stream.read(buffer, 2), -1);
    EXPECT_EQ(stream.size(), 0);
    MemoryStream negative("ab", -4, MemoryStream::Copied);
    EXPECT_EQ(negative.size(), 0);
    EXPECT_EQ(negative.readByte(), -1);
}

}  // namespace
}  // namespace talvio
