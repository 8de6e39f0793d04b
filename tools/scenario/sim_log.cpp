#include "tools/scenario/sim_log.h"

#include <charconv>

namespace talvio::scenario {

namespace {

constexpr std::string_view kClient = "client   ";
constexpr std::string_view kHandset = "handset  ";

// The tick count in front of a line ("%10u "), and the rest after one space.
std::optional<std::uint32_t> Tick(std::string_view& line) {
    std::size_t start = 0;
    while (start < line.size() && line[start] == ' ') ++start;
    std::uint32_t tick = 0;
    const char* first = line.data() + start;
    const char* last = line.data() + line.size();
    const auto [end, error] = std::from_chars(first, last, tick);
    if (error != std::errc() || end == first || end == last || *end != ' ') return std::nullopt;
    line.remove_prefix(static_cast<std::size_t>(end - line.data()) + 1);
    return tick;
}

std::string_view FirstWord(std::string_view text, std::string_view* rest) {
    const std::size_t space = text.find(' ');
    *rest = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    return text.substr(0, space);
}

std::string KeyName(std::string_view code) {
    if (code.size() == 1 && code[0] >= '0' && code[0] <= '9') return "key " + std::string(code);
    if (code == "20") return "key *";
    if (code == "21") return "key #";
    if (code == "50") return "call key";
    if (code == "30") return "end key";
    return "key (event " + std::string(code) + ")";
}

std::string DescribeClientCommand(const SimEvent& event) {
    std::string_view args;
    const std::string_view verb = FirstWord(event.text, &args);
    if (verb == "state" || verb == "received" || verb == "wait" || verb == "quit") return {};
    if (event.reply.rfind("error", 0) == 0) {
        return std::string(kClient) + event.text + " failed: " + event.reply;
    }
    std::string_view rest;
    const std::string_view first = FirstWord(args, &rest);
    if (verb == "ring") return std::string(kClient) + "call " + event.reply + " rings, from " + std::string(first);
    if (verb == "callstatus") return std::string(kClient) + "call " + std::string(first) + " is " + std::string(rest);
    if (verb == "crash") return std::string(kClient) + "crashed (every window gone)";
    if (verb == "freeze") return std::string(kClient) + "stops responding for " + std::string(args) + " ms";
    if (verb == "launch") return std::string(kClient) + "started";
    if (verb == "start") return std::string(kClient) + "started, announces its API";
    if (verb == "mainwindow") return std::string(kClient) + "shows its main window";
    return std::string(kClient) + event.text;
}

std::string DescribeHandsetCommand(const SimEvent& event) {
    std::string_view args;
    const std::string_view verb = FirstWord(event.text, &args);
    if (verb == "state" || verb == "history" || verb == "snapshot" || verb == "wait" || verb == "quit") return {};
    if (event.reply != "ok") return std::string(kHandset) + event.text + " failed: " + event.reply;
    if (verb == "lift") return std::string(kHandset) + "lifted";
    if (verb == "hangup") return std::string(kHandset) + "put down";
    if (verb == "key") return std::string(kHandset) + KeyName(args) + " pressed";
    if (verb == "release") return std::string(kHandset) + "key released";
    if (verb == "wheel") {
        return std::string(kHandset) + "wheel turned " + (args.rfind('-', 0) == 0 ? "" : "+") + std::string(args);
    }
    if (verb == "plug") return std::string(kHandset) + "plugged in (model " + std::string(args) + ")";
    if (verb == "unplug") return std::string(kHandset) + "unplugged";
    if (verb == "line") return std::string(kHandset) + (args == "on" ? "PSTN line selected" : "PSTN line released");
    return std::string(kHandset) + event.text;
}

// "<command><separator><reply>", as each simulator logs what it ran.
std::optional<SimEvent> CommandEvent(SimEvent::Kind kind, std::string_view line, std::string_view separator) {
    const std::size_t at = line.rfind(separator);
    if (at == std::string_view::npos) return std::nullopt;
    SimEvent event;
    event.kind = kind;
    event.text = std::string(line.substr(0, at));
    event.reply = std::string(line.substr(at + separator.size()));
    return event;
}

std::string DescribeReport(std::string_view report) {
    if (report == "route=3") return std::string(kHandset) + "<- route ring";
    if (report == "route=2") return std::string(kHandset) + "<- route talk";
    if (report == "light=1") return std::string(kHandset) + "<- light on";
    if (report == "light=0") return std::string(kHandset) + "<- light off";
    return std::string(kHandset) + "<- " + std::string(report);
}

}  // namespace

std::optional<SimEvent> ParseClientLogLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.rfind("> ", 0) == 0) return CommandEvent(SimEvent::kClientCommand, line.substr(2), "  -> ");
    SimEvent event;
    event.tick = Tick(line);
    if (!event.tick) return std::nullopt;
    event.kind = SimEvent::kClientReceived;
    event.text = std::string(line);
    return event;
}

std::optional<SimEvent> ParseHandsetLogLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    SimEvent event;
    event.tick = Tick(line);
    if (!event.tick || line.size() < 2 || line[1] != ' ') return std::nullopt;
    if (line[0] == '<') {
        event.kind = SimEvent::kHandsetReport;
        event.text = std::string(line.substr(2));
        return event;
    }
    if (line[0] != '>') return std::nullopt;
    std::optional<SimEvent> command = CommandEvent(SimEvent::kHandsetCommand, line.substr(2), " -> ");
    if (command) command->tick = event.tick;
    return command;
}

std::string DescribeEvent(const SimEvent& event) {
    switch (event.kind) {
    case SimEvent::kClientReceived: return std::string(kClient) + "<- " + event.text;
    case SimEvent::kClientCommand: return DescribeClientCommand(event);
    case SimEvent::kHandsetCommand: return DescribeHandsetCommand(event);
    case SimEvent::kHandsetReport: return DescribeReport(event.text);
    }
    return {};
}

}  // namespace talvio::scenario
