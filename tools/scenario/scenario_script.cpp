#include "tools/scenario/scenario_script.h"

#include <charconv>

namespace talvio::scenario {

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

bool Milliseconds(const std::string& word, std::uint32_t& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size() && value > 0;
}

}  // namespace

std::string Step::Rest(std::size_t first) const {
    std::string rest;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first) rest += ' ';
        rest += words[i];
    }
    return rest;
}

Script ParseScript(std::string_view text) {
    Script script;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.remove_suffix(1);
        }
        Step step;
        step.line = number;
        step.text = std::string(line);
        step.words = Words(line);
        if (step.words.empty() || step.words.front().front() == '#') continue;
        const std::size_t count = step.words.size();
        if (count >= 3 && step.words[count - 2] == "->") {
            step.capture = step.words.back();
            step.words.resize(count - 2);
        } else if (count >= 3 && step.words[count - 2] == "within") {
            if (!Milliseconds(step.words.back(), step.withinMs)) {
                if (script.error.empty()) {
                    script.error = "line " + std::to_string(number) + ": within needs milliseconds";
                }
                continue;
            }
            step.words.resize(count - 2);
        }
        script.steps.push_back(std::move(step));
    }
    return script;
}

void Substitute(Step& step, const std::map<std::string, std::string>& values) {
    for (std::string& word : step.words) {
        if (word.size() < 2 || word.front() != '$') continue;
        const auto found = values.find(word.substr(1));
        if (found != values.end()) word = found->second;
    }
}

}  // namespace talvio::scenario
