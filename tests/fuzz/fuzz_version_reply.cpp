// Any bytes as the update server's reply: the parser reads only them, a
// version it finds is never longer than the reply, and the version order
// stays an order on whatever it found (each number equals itself and a
// trailing ".0", and swapping the sides swaps the result).
#include <string>
#include <string_view>

#include "foundation/text_convert.h"
#include "tests/fuzz/fuzz_target.h"
#include "update/version_number.h"
#include "update/version_reply.h"

namespace {

using namespace talvio;

int Sign(int value) { return (value > 0) - (value < 0); }

void CheckOrder(const std::wstring& a, const std::wstring& b) {
    TALVIO_FUZZ_CHECK(CompareVersions(a, a) == 0);
    TALVIO_FUZZ_CHECK(CompareVersions(a + L".0", a) == 0);
    TALVIO_FUZZ_CHECK(Sign(CompareVersions(a, b)) == -Sign(CompareVersions(b, a)));
}

}  // namespace

TALVIO_FUZZ_TARGET(version_reply) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const VersionReply reply = ParseVersionReply(bytes);
    const std::wstring program = Utf8ToWide(kProgramVersion);
    if (reply.latestVersion) {
        TALVIO_FUZZ_CHECK(!reply.latestVersion->empty());
        TALVIO_FUZZ_CHECK(reply.latestVersion->size() <= size);
        CheckOrder(*reply.latestVersion, program);
    }
    // The two halves of the input as version numbers of their own.
    const std::size_t half = size / 2;
    CheckOrder(Utf8ToWide(bytes.substr(0, half)), Utf8ToWide(bytes.substr(half)));
    return 0;
}
