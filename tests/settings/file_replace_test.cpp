#include <gtest/gtest.h>

#include <filesystem>

#include "settings/file_replace.h"
#include "tests/support/temp_folder.h"

namespace talvio {
namespace {

class FileReplaceTest : public ::testing::Test {
protected:
    std::wstring target() const { return folder.file("config.xml").wstring(); }
    int entries() const {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            ++count;
        }
        return count;
    }

    testing::TempFolder folder{"talvio-replace"};
};

TEST_F(FileReplaceTest, CreatesOrReplacesWithExactlyTheBytes) {
    const std::string bytes("line\none\r\n\0tail", 15);
    ASSERT_TRUE(ReplaceFileContents(target(), bytes));
    EXPECT_EQ(folder.read("config.xml"), bytes);

    folder.write("config.xml", std::string(10000, 'x'));
    ASSERT_TRUE(ReplaceFileContents(target(), "short"));
    EXPECT_EQ(folder.read("config.xml"), "short");
    EXPECT_EQ(entries(), 1) << "nothing is left beside the file";
}

TEST_F(FileReplaceTest, AFailedWriteLeavesTheOldFile) {
    folder.write("config.xml", "old settings");
    // The new bytes go first to a per-process name beside the file; a folder
    // of that name makes the write fail.
    std::filesystem::create_directory(
        folder.file("config.xml." + std::to_string(TALVIO_TEST_PID) + ".new"));
    EXPECT_FALSE(ReplaceFileContents(target(), "new settings"));
    EXPECT_EQ(folder.read("config.xml"), "old settings");
}

TEST_F(FileReplaceTest, AMissingFolderFails) {
    EXPECT_FALSE(ReplaceFileContents(folder.file("absent/config.xml").wstring(), "x"));
    EXPECT_EQ(entries(), 0);
}

}  // namespace
}  // namespace talvio
