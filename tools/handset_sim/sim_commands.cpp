#include "tools/handset_sim/sim_commands.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "tools/handset_sim/sim_snapshot.h"

namespace talvio {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool Number(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool OnOff(std::string_view text, bool& value) {
    if (text == "on") value = true;
    else if (text == "off") value = false;
    else return false;
    return true;
}

SimCommandResult Reply(std::string text) { return {std::move(text), 0, false}; }

}  // namespace

std::string DescribeSimState(const SimHandset& sim) {
    char text[256];
    std::snprintf(text, sizeof(text),
                  "model=%d offhook=%d line=%d key=%d light=%d route=%d status=%d lights=%d "
                  "chunks=%d lit=%d blank=%d margin=%d rejected=%d",
                  sim.modelId(), sim.offHook() ? 1 : 0, sim.lineSelected() ? 1 : 0, sim.heldKey(),
                  sim.lightOn() ? 1 : 0, sim.audioRoute(), sim.statusCommands(),
                  sim.lightCommands(), sim.chunkReports(), sim.LitPixels(), sim.Blank() ? 1 : 0,
                  sim.marginWritten() ? 1 : 0, sim.rejectedReports());
    return text;
}

SimCommandResult ExecuteSimCommand(SimControlTarget& target, std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0].front() == '#') return Reply("ok");
    const std::string_view name = words[0];
    int number = 0;
    bool flag = false;
    const bool hasNumber = words.size() == 2 && Number(words[1], number);
    const bool hasFlag = words.size() == 2 && OnOff(words[1], flag);
    const auto apply = [&](const std::function<void(SimHandset&)>& action) {
        return Reply(target.Apply(action) ? "ok" : "error: no handset plugged");
    };

    if (name == "quit" && words.size() == 1) return {"ok", 0, true};
    if (name == "wait" && hasNumber && number >= 0) {
        return {"ok", static_cast<std::uint32_t>(number), false};
    }
    if (name == "plug" && hasNumber && (number == 10 || number == 11)) {
        return Reply(target.Plug(number) ? "ok" : "error: a handset is already plugged");
    }
    if (name == "unplug" && words.size() == 1) {
        return Reply(target.Unplug() ? "ok" : "error: no handset plugged");
    }
    if (name == "decoy" && hasFlag) {
        target.SetDecoy(flag);
        return Reply("ok");
    }
    if (name == "state" && words.size() == 1) {
        std::string state = "plugged=0";
        target.Apply([&](SimHandset& sim) { state = "plugged=1 " + DescribeSimState(sim); });
        return Reply(state);
    }
    if (name == "history" && words.size() == 1) {
        std::string history;
        const bool plugged = target.Apply([&](SimHandset& sim) {
            for (const std::string& entry : sim.history()) history += (history.empty() ? "" : " ") + entry;
        });
        return Reply(plugged ? history : "error: no handset plugged");
    }
    if (name == "snapshot" && words.size() >= 2) {
        // The rest of the line, so a path may hold spaces.
        std::string_view path = line.substr(static_cast<std::size_t>(words[1].data() - line.data()));
        while (!path.empty() && (path.back() == ' ' || path.back() == '\r' || path.back() == '\t')) {
            path.remove_suffix(1);
        }
        bool saved = false;
        const bool plugged =
            target.Apply([&](SimHandset& sim) { saved = SaveLcdSnapshot(sim, std::string(path)); });
        if (!plugged) return Reply("error: no handset plugged");
        return Reply(saved ? "ok" : "error: cannot write " + std::string(path));
    }
    if (name == "lift" && words.size() == 1) return apply([](SimHandset& sim) { sim.Lift(); });
    if (name == "hangup" && words.size() == 1) return apply([](SimHandset& sim) { sim.HangUp(); });
    if (name == "release" && words.size() == 1) {
        return apply([](SimHandset& sim) { sim.ReleaseKey(); });
    }
    if (name == "line" && hasFlag) return apply([&](SimHandset& sim) { sim.SetLine(flag); });
    if (name == "silent" && hasFlag) return apply([&](SimHandset& sim) { sim.SetSilent(flag); });
    if (name == "wheel" && hasNumber && number >= -100 && number <= 100) {
        return apply([&](SimHandset& sim) { sim.TurnWheel(number); });
    }
    if (name == "rawkey" && hasNumber && number >= 0 && number <= 255) {
        return apply([&](SimHandset& sim) { sim.HoldKey(static_cast<std::uint8_t>(number)); });
    }
    if (name == "key" && hasNumber) {
        bool known = true;
        const bool plugged =
            target.Apply([&](SimHandset& sim) { known = sim.HoldKeyFor(number); });
        if (!plugged) return Reply("error: no handset plugged");
        return Reply(known ? "ok" : "error: this model has no key for that event");
    }
    return Reply("error: unknown command");
}

}  // namespace talvio
