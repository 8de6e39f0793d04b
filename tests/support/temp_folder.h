// A fresh folder under the system temp directory, removed with its contents
// when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#define TALVIO_TEST_PID _getpid()
#else
#include <unistd.h>
#define TALVIO_TEST_PID getpid()
#endif

namespace talvio::testing {

class TempFolder {
public:
    explicit TempFolder(std::string_view leaf) {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                (std::string(leaf) + "-" + std::to_string(TALVIO_TEST_PID) + "-" +
                 std::to_string(++serial));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::string_view name) const { return path_ / std::string(name); }

    void write(std::string_view name, std::string_view bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    std::string read(std::string_view name) const {
        std::ifstream in(file(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

}  // namespace talvio::testing
