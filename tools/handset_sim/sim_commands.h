// The simulator's command language, shared by its script files and its
// control pipe: one command per line, one reply line per command.
//   plug 10|11      unplug          decoy on|off (a long-path HID device that cannot be opened)
//   lift            hangup          line on|off       silent on|off
//   key <event code> (the key that raises it)   rawkey <key code>   release
//   wheel <steps>   (negative: the other way)   wait <ms>   state   history   quit
//   snapshot <file> (the LCD as a 4x PNG, or a plain PBM for a .pbm name)
// Replies: "ok", "error: ...", for "state" a list of name=value pairs, for
// "history" the latest route and light commands and LCD chunk runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tools/handset_sim/sim_handset.h"

namespace talvio {

class SimControlTarget {
public:
    virtual bool Plug(int modelId) = 0;
    virtual bool Unplug() = 0;
    virtual void SetDecoy(bool on) = 0;
    // Runs `action` on the plugged handset under its lock; false when none is plugged.
    virtual bool Apply(const std::function<void(SimHandset&)>& action) = 0;

protected:
    ~SimControlTarget() = default;
};

struct SimCommandResult {
    std::string reply;
    std::uint32_t waitMs = 0;  // "wait": the caller waits this long
    bool quit = false;
};

SimCommandResult ExecuteSimCommand(SimControlTarget& target, std::string_view line);

// "name=value ..." for the state reply.
std::string DescribeSimState(const SimHandset& sim);

}  // namespace talvio
