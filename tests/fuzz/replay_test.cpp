// Replays every file of corpus/<target>/ through its fuzz entry point, so
// the ordinary test run keeps every input the fuzzers ever kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/fuzz_target.h"

namespace talvio::fuzz {

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

namespace {

namespace fs = std::filesystem;

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryCorpusFileRunsCleanly) {
    const fs::path folder = fs::path(TALVIO_FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(fs::is_directory(folder)) << "no seed corpus at " << folder;
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(GetParam().entry(bytes.data(), bytes.size()), 0);
        ++files;
    }
    EXPECT_GT(files, 0) << "empty seed corpus at " << folder;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<Target>& info) { return info.param.name; });

}  // namespace
}  // namespace talvio::fuzz
