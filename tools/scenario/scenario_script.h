// The scenario language of tools/scenario: one step per line, words split
// at spaces, '#' at the start of a line for a comment. Two endings are not
// part of the words: "within MS" (the step's time limit) and "-> NAME"
// (the step's reply is kept as $NAME for later steps).
//   case TEXT...            client COMMAND...      handset COMMAND...
//   expect client TEXT...   expect handset route=N|light=N|blink
//   driver start|quit|junk N   wait MS ...          (see the runner)
// Plain data; any thread.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::scenario {

struct Step {
    int line = 0;      // in the file, from 1
    std::string text;  // the line as written, for messages
    std::vector<std::string> words;
    std::uint32_t withinMs = 0;  // 0: the runner's default
    std::string capture;         // "-> NAME": NAME, else empty

    // Words from `first` on, joined by single spaces.
    std::string Rest(std::size_t first) const;
};

struct Script {
    std::vector<Step> steps;
    std::string error;  // the first malformed line, or empty
};

Script ParseScript(std::string_view text);

// `$NAME` words replaced by their value; an unknown name stays as written.
void Substitute(Step& step, const std::map<std::string, std::string>& values);

}  // namespace talvio::scenario
