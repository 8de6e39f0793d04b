// The simulators' log lines as events of a scenario, and each event as one
// line a person reads in the transcript:
//   client_sim:  "<ticks> <command received>"      -> client   <- GET MUTE
//                "> ring alice  -> 100"            -> client   call 100 rings, from alice
//   handset_sim: "<ticks> > lift -> ok"            -> handset  lifted
//                "<ticks> < route=3"               -> handset  <- route ring
// Plain data; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvio::scenario {

struct SimEvent {
    enum Kind {
        kClientReceived,  // a command the client received from the driver
        kClientCommand,   // a command the client simulator ran (script or pipe)
        kHandsetCommand,  // a command the handset simulator ran (pipe, script or button)
        kHandsetReport,   // a route or light command the handset received
    };
    Kind kind = kClientReceived;
    std::optional<std::uint32_t> tick;  // none: the client's own commands carry none
    std::string text;                   // the command, or "route=3" and the like
    std::string reply;                  // of a simulator command
};

std::optional<SimEvent> ParseClientLogLine(std::string_view line);
std::optional<SimEvent> ParseHandsetLogLine(std::string_view line);

// "client   <- BTN_PRESSED YES", "handset  lifted"; empty for events not worth
// a line (state queries, waits).
std::string DescribeEvent(const SimEvent& event);

}  // namespace talvio::scenario
