// A Voip-family connector fed by a program that says anything, in the ANSI
// code page. The first byte picks the mode:
// - even: the rest is raw program text, one reply per line, each sent as
//   WM_COPYDATA (with or without its terminating zero, by the line's first
//   byte) through the ticketed copy and the re-posted parse;
// - odd: the rest drives a generator of valid-looking replies over small id
//   and handle ranges, with names of random bytes, mixed with watch and
//   ping ticks and the operations the call controller uses.
// After every step: no received text is left waiting, live calls have a
// live status, the directory stays within what the input can name, and
// every text in the records is UTF-8.
#include <string>
#include <string_view>

#include "connectors/voip_family/voip_family_connector.h"
#include "foundation/text_convert.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/fuzz/fuzz_target.h"
#include "tests/fuzz/reply_fuzz.h"

namespace {

using namespace talvio;

constexpr std::string_view kStatusWord[] = {"ONLINE", "OFFLINE", "AWAY", "LOGGEDOUT", "online", "DND"};

std::string Generated(ReplyFuzzInput& in) {
    switch (in.Byte() % 11) {
        case 0: return "CALL " + in.Id() + " STATUS " + std::string(in.Pick(kCallStatus));
        case 1: return "CALL " + in.Id() + " TYPE " + std::string(in.Pick(kCallType));
        case 2: {
            std::string text = "CALL " + in.Id() + " ";
            text.append(in.Pick(kCallProperty)).append(" ");
            return text + (in.Byte() % 2 ? in.Handle(true) : in.Text());
        }
        case 3: {
            std::string list = "USERS ";
            const int count = in.Byte() % 5;
            for (int i = 0; i < count; ++i) list += in.Handle(true) + (in.Byte() % 2 ? "," : " ");
            return list;
        }
        case 4: {
            std::string text = "USER " + in.Handle(true) + " ";
            text.append(in.Pick(kUserProperty)).append(" ");
            return text + (in.Byte() % 2 ? std::string(in.Pick(kUserValue)) : in.Text());
        }
        case 5: {
            std::string list = "CALLS ";
            const int count = in.Byte() % 5;
            for (int i = 0; i < count; ++i) list.append(i ? "," : "").append(in.Id());
            return list;
        }
        case 6: return "USERSTATUS " + std::string(in.Pick(kStatusWord));
        case 7: return "ERROR " + std::to_string(in.Byte() % 4 + 90);
        case 8: return "CONTACTS FOCUSED " + in.Handle(true);
        case 9: return "CURRENTUSERHANDLE " + in.Text();
        default: return in.Byte() % 2 ? "SKYPEVERSION " + in.Text() : "CONNSTATUS LOGGEDOUT";
    }
}

// Operations the call controller and the handset use between replies.
void Operate(VoipFamilyConnector& family, ReplyFuzzInput& in) {
    const int id = in.Byte() % kIdRange + 1;
    switch (in.Byte() % 7) {
        case 0: os::hosted::AdvanceTime(2000); break;
        case 1: os::hosted::AdvanceTime(10000); break;
        case 2:
            if (CallRecord* call = family.calls.GetLiveCall(id)) family.AutoBusyReply(*call, true);
            break;
        case 3: family.PressKey(in.Byte() % 24); break;
        case 4: family.NextView(); break;
        case 5: family.PressYes(in.Byte() % 2); break;
        default: family.AnswerCall(id); break;
    }
}

bool IsUtf8(const std::string& text) { return WideToUtf8(Utf8ToWide(text)) == text; }

void CheckInvariants(VoipFamilyConnector& family, std::size_t bound) {
    TALVIO_FUZZ_CHECK(family.TextsWaiting() == 0);
    for (const auto& [id, call] : family.calls.liveCalls) {
        TALVIO_FUZZ_CHECK(id >= 1 && call.id == id);
        TALVIO_FUZZ_CHECK(call.status >= 1 && call.status <= 5);
        TALVIO_FUZZ_CHECK(IsUtf8(call.partnerHandle) && IsUtf8(call.partnerDisplayName));
    }
    for (const ContactRecord& contact : family.contacts) {
        TALVIO_FUZZ_CHECK(IsUtf8(contact.handle) && IsUtf8(contact.displayName) && IsUtf8(contact.city));
    }
    TALVIO_FUZZ_CHECK(static_cast<std::size_t>(family.contacts.count()) <= bound);
    TALVIO_FUZZ_CHECK(family.calls.liveCalls.size() <= bound);
    TALVIO_FUZZ_CHECK(family.calls.callHistory.size() <= bound);
    TALVIO_FUZZ_CHECK(family.calls.recentCalls.size() <= family.calls.callHistory.size());
}

}  // namespace

TALVIO_FUZZ_TARGET(family_replies) {
    if (size == 0) return 0;
    os::hosted::Reset();
    talvio::testing::RecordingHost host;
    host.handsetPresent = (data[0] & 2) != 0;
    host.autoAnswer = host.autoBusy = host.autoAway = true;
    {
        talvio::testing::AttachedFamily attached(host);
        VoipFamilyConnector& family = attached.family;
        TALVIO_FUZZ_CHECK(family.IsAttached());
        FeedReplies(
            data, size, kIdRange + kHandleRange * 256,
            [&](std::string_view text, bool withZero) { attached.program.Reply(family.Hwnd(), text, withZero); },
            [&](ReplyFuzzInput& in) { Operate(family, in); }, Generated,
            [&](std::size_t bound) { CheckInvariants(family, bound); });
    }
    os::hosted::Reset();
    return 0;
}
