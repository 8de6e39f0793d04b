// Declares a fuzz entry point once for two uses:
//   TALVIO_FUZZ_TARGET(wav_reader) { ...; return 0; }
// In the fuzz build (TALVIO_FUZZ_MAIN) it becomes the libFuzzer entry of
// fuzz_<name>; in the test build it registers the function so that
// fuzz_corpus_replay runs every file of corpus/<name>/ through it.
// Crash on any broken invariant (TALVIO_FUZZ_CHECK) so both builds see it.
// All targets link into the one replay test: keep helpers in an anonymous
// namespace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace talvio::fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    std::string name;
    Entry entry;
};

inline std::vector<Target>& Targets() {
    static std::vector<Target> targets;
    return targets;
}

inline bool Register(const char* name, Entry entry) {
    Targets().push_back({name, entry});
    return true;
}

// A contact handle "h<number>". Appended, not "h" + string: GCC 12 warns
// falsely (-Wrestrict) on that at -O2 and above.
inline std::string Handle(int number) { return std::string("h").append(std::to_string(number)); }

[[noreturn]] inline void CheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace talvio::fuzz

#define TALVIO_FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::talvio::fuzz::CheckFailed(#condition, __FILE__, __LINE__))

#if defined(TALVIO_FUZZ_MAIN)
#define TALVIO_FUZZ_REGISTER_(name)                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        return TalvioFuzz_##name(data, size);                                       \
    }
#else
#define TALVIO_FUZZ_REGISTER_(name) \
    [[maybe_unused]] static const bool talvioFuzzRegistered_##name = \
        ::talvio::fuzz::Register(#name, &TalvioFuzz_##name);
#endif

#define TALVIO_FUZZ_TARGET(name)                                                     \
    static int TalvioFuzz_##name(const std::uint8_t* data, std::size_t size);        \
    TALVIO_FUZZ_REGISTER_(name)                                                      \
    static int TalvioFuzz_##name(const std::uint8_t* data, std::size_t size)
