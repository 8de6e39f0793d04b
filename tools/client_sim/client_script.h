// The simulator's command language, shared by script files and the control
// pipe: one command per line, '#' starts a comment, one reply line each.
//   version V          user HANDLE        status WORD (notifies USERSTATUS)
//   friend HANDLE      unfriend HANDLE    prop HANDLE PROPERTY VALUE...
//   attach ok|pending|unavailable|ignore  launch   start (launch, main window,
//                      and the 0x8001 notice when attach was unavailable)
//   announce           mainwindow         popup TITLE...     chatwindow
//   type TEXT...       (the user types into the dial field)
//   ring HANDLE [pstn] callstatus ID|last WORD   voicemail ID HANDLE [STATUS]
//   mute on|off        notify TEXT...     hang      resume    crash
//   freeze MS          (the client's thread stops pumping for MS, as a
//                      program that hangs; the reply comes first)
//   received TEXT...   (count of the latest commands received equal to TEXT)
//   wait MS            state              quit
// Replies: "ok", "error: ...", a number, or name=value pairs for "state".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/client_sim/simulated_client.h"

namespace talvio::clientsim {

struct ScriptResult {
    std::string reply;
    std::uint32_t waitMs = 0;  // "wait": the caller waits this long, pumping
    std::uint32_t freezeMs = 0;  // "freeze": the client's thread then blocks this long
    bool quit = false;
};

ScriptResult RunScriptLine(SimulatedClient& client, std::string_view line);

}  // namespace talvio::clientsim
