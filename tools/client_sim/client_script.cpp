#include "tools/client_sim/client_script.h"

#include <algorithm>
#include <charconv>

#include "foundation/text_convert.h"

namespace talvio::clientsim {

namespace {

bool ToInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

ScriptResult Ok() { return {"ok"}; }
ScriptResult Error(std::string_view why) { return {"error: " + std::string(why)}; }

}  // namespace

ScriptResult RunScriptLine(SimulatedClient& client, std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') return {};
    std::string_view rest;
    const std::string_view word = FirstWord(line, &rest);
    std::string_view tail;
    const std::string_view first = FirstWord(rest, &tail);
    ClientModel& model = client.model;

    if (word == "version" && !rest.empty()) {
        model.version = std::string(rest);
    } else if (word == "user" && !rest.empty()) {
        model.currentUser = std::string(rest);
    } else if (word == "status" && !rest.empty()) {
        client.Notify(model.SetUserStatus(rest));
    } else if (word == "friend" && !rest.empty()) {
        model.AddFriend(rest);
    } else if (word == "unfriend" && !rest.empty()) {
        model.RemoveFriend(rest);
    } else if (word == "prop" && !tail.empty()) {
        std::string_view value;
        const std::string_view property = FirstWord(tail, &value);
        model.SetUserProperty(first, property, value);
    } else if (word == "attach") {
        if (rest == "ok") client.SetAttachStatus(SimulatedClient::kAttachSuccess);
        else if (rest == "pending")
            client.SetAttachSequence({SimulatedClient::kAttachPending, SimulatedClient::kAttachSuccess});
        else if (rest == "unavailable") client.SetAttachStatus(SimulatedClient::kAttachNotAvailable);
        else if (rest == "ignore") client.SetAttachStatus(-1);
        else return Error("attach ok|pending|unavailable|ignore");
    } else if (word == "launch") {
        client.Launch();
    } else if (word == "start") {
        // A client that was not available announces its API once it runs.
        client.Launch();
        client.ShowMainWindow();
        client.SetAttachStatus(SimulatedClient::kAttachSuccess);
        client.AnnounceApi();
    } else if (word == "announce") {
        client.AnnounceApi();
    } else if (word == "mainwindow") {
        client.ShowMainWindow();
    } else if (word == "popup" || word == "chatwindow") {
        if (client.ShowPopup(Utf8ToWide(rest.empty() ? std::string_view("Skype") : rest),
                             word == "chatwindow") == nullptr) {
            return Error("no window");
        }
    } else if (word == "type") {
        if (client.DialField() == nullptr) return Error("no main window");
        client.TypeDialText(Utf8ToWide(rest));
    } else if (word == "ring" && !first.empty()) {
        return {std::to_string(client.Ring(first, tail == "pstn"))};
    } else if (word == "callstatus" && !tail.empty()) {
        int id = 0;
        // "last": the newest call, such as one the driver had the client place.
        if (first == "last" && !model.calls.empty()) id = model.calls.rbegin()->first;
        else if (!ToInt(first, id) || model.calls.count(id) == 0) return Error("no such call");
        client.Notify(model.SetCallStatus(id, tail));
    } else if (word == "voicemail" && !tail.empty()) {
        int id = 0;
        if (!ToInt(first, id)) return Error("voicemail ID HANDLE [STATUS]");
        std::string_view status;
        SimVoicemail& voicemail = model.voicemails[id];
        voicemail.partnerHandle = std::string(FirstWord(tail, &status));
        if (!status.empty()) voicemail.status = std::string(status);
    } else if (word == "mute" && (rest == "on" || rest == "off")) {
        model.muted = rest == "on";
        client.Notify(model.muted ? "MUTE ON" : "MUTE OFF");
    } else if (word == "notify" && !rest.empty()) {
        if (!client.Notify(rest)) return Error("no program attached");
    } else if (word == "hang") {
        client.SetHung(true);
    } else if (word == "resume") {
        client.SetHung(false);
    } else if (word == "crash") {
        client.Crash();
    } else if (word == "received") {
        const auto count = std::count_if(client.log.begin(), client.log.end(),
                                         [&](const SimulatedClient::LogEntry& e) { return e.text == rest; });
        return {std::to_string(count)};
    } else if (word == "wait" || word == "freeze") {
        int ms = 0;
        if (!ToInt(rest, ms) || ms < 0) return Error(std::string(word) + " MS");
        ScriptResult result = Ok();
        (word == "wait" ? result.waitMs : result.freezeMs) = static_cast<std::uint32_t>(ms);
        return result;
    } else if (word == "state") {
        return {"attached=" + std::to_string(client.Peer() != nullptr ? 1 : 0) +
                " running=" + std::to_string(client.ApiWindow() != nullptr ? 1 : 0) +
                " hung=" + std::to_string(client.Hung() ? 1 : 0) +
                " commands=" + std::to_string(client.received) +
                " discoveries=" + std::to_string(client.discoveries) +
                " calls=" + std::to_string(model.calls.size())};
    } else if (word == "quit") {
        ScriptResult result = Ok();
        result.quit = true;
        return result;
    } else {
        return Error("unknown command");
    }
    return Ok();
}

}  // namespace talvio::clientsim
