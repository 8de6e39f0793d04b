// Random operation sequences on one connector's contact, call and voicemail
// containers, with every query the handset screen uses checked against
// invariants: the display-order walk visits each contact once in both
// directions and agrees with the positions, clamped positions stay in
// range, found records belong to their container, texts stay bounded.
// Ids and handles come from small ranges so the containers stay small.
#include <set>
#include <string>

#include "directory/call_record.h"
#include "directory/contact_list.h"
#include "directory/voicemail_record.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using namespace talvio;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    int Byte() { return position_ < size_ ? data_[position_++] : 0; }
    int Signed() { return static_cast<signed char>(Byte()); }
    std::string Text(std::size_t limit) {
        std::string text;
        const std::size_t length = static_cast<std::size_t>(Byte()) % (limit + 1);
        while (text.size() < length && !empty()) text.push_back(static_cast<char>(Byte()));
        return text;
    }
    std::string Handle() { return fuzz::Handle(Byte() % 24); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

void CheckContactWalk(ContactList& contacts) {
    std::set<const ContactRecord*> seen;
    int index = 0;
    const ContactRecord* last = nullptr;
    for (ContactRecord* c = contacts.GetFirstContact(); c; c = contacts.GetNextContact(c->handle)) {
        TALVIO_FUZZ_CHECK(seen.insert(c).second);
        TALVIO_FUZZ_CHECK(contacts.FindContact(c->handle) == c);
        TALVIO_FUZZ_CHECK(contacts.GetContactPosition(c) == index);
        TALVIO_FUZZ_CHECK(contacts.GetPreviousContact(c->handle) == last);
        if (last) TALVIO_FUZZ_CHECK(CompareForDisplay(*last, *c) <= 0);
        last = c;
        ++index;
    }
    int online = -1;
    TALVIO_FUZZ_CHECK(index == contacts.GetContactCounts(online));
    TALVIO_FUZZ_CHECK(online >= 0 && online <= index);
}

void CheckCalls(CallLists& calls, Input& in) {
    int total = 0;
    for (int kind = 1; kind <= 3; ++kind) {
        int position = in.Signed();
        const int asked = position;
        int count = -1;
        CallRecord* call = calls.GetRecentCall(kind, position, count);
        TALVIO_FUZZ_CHECK(count == calls.HistoryCount(kind));
        total += count;
        if (count == 0) {
            TALVIO_FUZZ_CHECK(!call);
            continue;
        }
        TALVIO_FUZZ_CHECK(position >= 0 && position < count);
        TALVIO_FUZZ_CHECK(asked < 0 || asked >= count || position == asked);
        if (call) TALVIO_FUZZ_CHECK(calls.GetHistoryCall(call->id) == call);
    }
    TALVIO_FUZZ_CHECK(total <= static_cast<int>(calls.recentCalls.size()));
    std::set<int> indexed;
    for (const auto& [key, entry] : calls.recentCalls) {
        TALVIO_FUZZ_CHECK(key.first == entry.timestamp && key.first != 0 && key.second == entry.id);
        TALVIO_FUZZ_CHECK(indexed.insert(entry.id).second);
        TALVIO_FUZZ_CHECK(calls.GetHistoryCall(entry.id) != nullptr);
    }
    for (const auto& [id, call] : calls.liveCalls) {
        std::string text;
        const int complete = calls.GetConferenceText(&call, text);
        TALVIO_FUZZ_CHECK(text.size() <= 1000);
        TALVIO_FUZZ_CHECK(complete == 0 || !text.empty());
    }
    for (int kind = 0; kind <= 4; ++kind) {
        const int found = calls.FindOtherLiveCall(kind, in.Byte() % 16);
        TALVIO_FUZZ_CHECK(found == 0 || calls.GetLiveCall(found));
    }
    const int ringing = calls.FindRingingIncomingCall(true);
    TALVIO_FUZZ_CHECK(ringing == 0 || !calls.GetLiveCall(ringing)->partnerHandle.empty());
}

void CheckVoicemails(VoicemailList& voicemails, Input& in) {
    int unplayed = -1, total = -1, position = in.Signed();
    VoicemailRecord* entry = voicemails.GetVoicemailList(unplayed, position, total);
    TALVIO_FUZZ_CHECK(total >= 0 && total <= voicemails.count());
    TALVIO_FUZZ_CHECK(unplayed >= 0 && unplayed <= total);
    TALVIO_FUZZ_CHECK((entry != nullptr) == (total > 0));
    if (entry) {
        TALVIO_FUZZ_CHECK(entry->type == VoicemailRecord::kIncoming);
        TALVIO_FUZZ_CHECK(voicemails.GetVoicemail(entry->id) == entry);
        TALVIO_FUZZ_CHECK(position >= 0 && position < total);
    }
    TALVIO_FUZZ_CHECK(VoicemailPlayState(entry) >= 0 && VoicemailPlayState(entry) <= 2);
}

}  // namespace

TALVIO_FUZZ_TARGET(directory) {
    Input in(data, size);
    ContactList contacts;
    CallLists calls;
    VoicemailList voicemails;
    for (int step = 0; step < 2000 && !in.empty(); ++step) {
        switch (in.Byte() % 16) {
        case 0: contacts.FindOrAddContact(in.Handle(), static_cast<std::uint8_t>(in.Byte() & 1)); break;
        case 1: contacts.FindOrAddContact(in.Handle()); break;
        case 2:
            if (ContactRecord* c = contacts.FindContact(in.Handle())) {
                SetShownName(*c, in.Text(40));
                TALVIO_FUZZ_CHECK(c->lcdName.size() <= 2 * c->displayName.size() + 2);
            }
            break;
        case 3:
            if (ContactRecord* c = contacts.FindContact(in.Handle())) {
                c->onlineStatus = in.Byte() % 9 - 1;
                c->callForwardActive = in.Byte() & 1;
                c->buddyStatus = in.Byte() % 3 - 1;
                TALVIO_FUZZ_CHECK(ContactIcon(c) >= 0 && ContactIcon(c) <= 7);
            }
            break;
        case 4:
            if (ContactRecord* c = contacts.FindContact(in.Handle())) {
                c->city = in.Text(8);
                c->country = in.Text(8);
                TALVIO_FUZZ_CHECK(ContactLocation(c).size() <= c->city.size() + c->country.size() + 2 +
                                                                   c->province.size());
            }
            break;
        case 5: contacts.RemoveContact(in.Handle()); break;
        case 6: {
            const std::string mark = fuzz::Handle(in.Byte() % 24);
            contacts.RemoveIf([&](const ContactRecord& c) { return c.handle == mark; });
            break;
        }
        case 7: calls.SetStatus(in.Byte() % 16 + 1, in.Byte() % 6); break;
        case 8: calls.MoveToHistory(in.Byte() % 16 + 1, in.Byte() % 6); break;
        case 9:
            if (CallRecord* call = calls.GetLiveCall(in.Byte() % 16 + 1)) {
                call->type = in.Byte() % 3;
                call->timestamp = in.Byte() % 8;
                call->conferenceId = in.Byte() % 4 - 1;
                call->partnerDisplayName = in.Text(200);
                call->partnerHandle = in.Text(4);
            }
            break;
        case 10:
            if (CallRecord* call = calls.GetHistoryCall(in.Byte() % 16 + 1)) {
                call->timestamp = in.Byte() % 8;
                call->type = in.Byte() % 3;
                call->endReason = in.Byte() % 6;
                calls.CopyToRecent(*call);
            }
            break;
        case 11: calls.FindOrAddHistoryCall(in.Byte() % 16 + 1); break;
        case 12: {
            VoicemailRecord& vm = voicemails.FindOrAddVoicemail(in.Byte() % 16);
            vm.type = in.Byte() % 6;
            vm.status = in.Byte() % 15;
            break;
        }
        case 13: voicemails.RemoveVoicemail(in.Byte() % 16); break;
        case 14:
            if (in.Byte() % 2) calls.EndLiveCalls();
            else calls.ReviveHistoryCall(in.Byte() % 16 + 1, in.Byte() % 5 + 1);
            break;
        default:
            if (in.Byte() % 8 == 0) contacts.Clear();
            break;
        }
        CheckContactWalk(contacts);
        CheckCalls(calls, in);
        CheckVoicemails(voicemails, in);
    }
    return 0;
}
