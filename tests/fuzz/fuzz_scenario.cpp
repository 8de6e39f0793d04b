// Random text as a scenario script and as simulator log lines:
// - every step has words, none holding a blank, from a line of the text
//   and in line order; "within" limits are positive; a substituted step
//   keeps its word count;
// - each log line parses or is refused, and a parsed event's description
//   names its side ("client" or "handset") or is empty.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_target.h"
#include "tools/scenario/scenario_script.h"
#include "tools/scenario/sim_log.h"

namespace {

using namespace talvio::scenario;

void CheckDescription(const std::optional<SimEvent>& event) {
    if (!event) return;
    const std::string line = DescribeEvent(*event);
    TALVIO_FUZZ_CHECK(line.empty() || line.rfind("client   ", 0) == 0 || line.rfind("handset  ", 0) == 0);
}

}  // namespace

TALVIO_FUZZ_TARGET(scenario) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Script script = ParseScript(text);
    const std::map<std::string, std::string> values = {{"call", "100"}, {"x", ""}};
    int line = 0;
    for (Step& step : script.steps) {
        TALVIO_FUZZ_CHECK(step.line > line);
        line = step.line;
        TALVIO_FUZZ_CHECK(!step.words.empty());
        for (const std::string& word : step.words) TALVIO_FUZZ_CHECK(word.find(' ') == std::string::npos);
        const std::size_t count = step.words.size();
        Substitute(step, values);
        TALVIO_FUZZ_CHECK(step.words.size() == count);
    }
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view logLine = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        CheckDescription(ParseClientLogLine(logLine));
        CheckDescription(ParseHandsetLogLine(logLine));
    }
    return 0;
}
