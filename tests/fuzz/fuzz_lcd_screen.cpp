// The LCD handset screen driven by random page keys, call events, page
// requests and 200 ms ticks while the directory it reads changes under it:
// contacts, live and past calls and voicemails of four programs come and go
// (records freed between two keys), with names of ASCII, Latin-1, GBK
// ideographs, stray UTF-8 bytes and up to 120 characters. Every step is
// drawn. The sanitisers catch a page that kept a freed record or read past
// a text; the stack always holds one to ten pages.
#include <iterator>
#include <string>

#include "foundation/text_convert.h"
#include "platform/hosted/desktop.h"
#include "tests/fuzz/fuzz_target.h"
#include "tests/handset_ui/support/screen_rig.h"

namespace {

using namespace talvio;
using namespace talvio::testing;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    int Byte() { return position_ < size_ ? data_[position_++] : 0; }
    int Small(int range) { return Byte() % range; }

    // UTF-8 the way clients send names, and now and then not quite.
    std::string Name() {
        std::string text;
        const int length = Byte() % 4 == 0 ? 90 + Small(31) : Small(16);
        for (int i = 0; i < length && !empty(); ++i) {
            const int kind = Small(8);
            if (kind < 4) {
                text.push_back(static_cast<char>(0x20 + Small(0x5F)));
            } else if (kind == 4) {
                AppendUtf8(text, static_cast<char32_t>(0xA0 + Small(0x60)));
            } else if (kind < 7) {
                AppendUtf8(text, static_cast<char32_t>(0x4E00 + (Byte() << 6 | Small(64)) % (0x9FA6 - 0x4E00)));
            } else {
                text.push_back(static_cast<char>(0x80 + Small(0x80)));
            }
        }
        return text;
    }
    std::wstring Wide() {
        std::wstring text;
        const int length = Small(8) == 0 ? 100 + Small(20) : Small(12);
        for (int i = 0; i < length && !empty(); ++i) text.push_back(static_cast<wchar_t>(Byte() << 8 | Byte()));
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

constexpr int kPageKeys[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 254, 255};

void ChangeDirectory(ScreenConnector& connector, Input& in) {
    const int id = 1 + in.Small(8);
    switch (in.Small(7)) {
    case 0: {
        ContactRecord& contact = connector.contacts.FindOrAddContact(fuzz::Handle(id), in.Small(2));
        SetShownName(contact, in.Name());
        contact.onlineStatus = in.Small(8) - 1;
        contact.city = in.Name();
        break;
    }
    case 1: {
        CallRecord& call = connector.calls.SetStatus(id, 1 + in.Small(5));
        call.partnerDisplayName = in.Name();
        call.partnerHandle = in.Name();
        call.conferenceId = in.Small(3) - 1;
        call.timestamp = in.Byte() * 100000;
        call.duration = in.Byte() * 60;
        break;
    }
    case 2:
        connector.calls.MoveToHistory(id, 1 + in.Small(5));
        break;
    case 3: {
        VoicemailRecord& voicemail = connector.voicemails.FindOrAddVoicemail(id);
        voicemail.type = in.Small(2);
        voicemail.status = in.Small(14);
        voicemail.partnerDisplayName = in.Name();
        voicemail.partnerHandle = in.Name();
        break;
    }
    case 4:
        connector.voicemails.RemoveVoicemail(id);
        break;
    case 5:
        connector.calls.Clear();  // a re-attach: every call record goes
        break;
    default:
        connector.contacts.Clear();
        break;
    }
}

}  // namespace

TALVIO_FUZZ_TARGET(lcd_screen) {
    os::hosted::Reset();
    {
        ScreenRig rig;
        ScreenConnector* connectors[] = {rig.skype, rig.buster, rig.Add(5, L"SparVoip"), rig.Add(12, L"WebCallDirect")};
        HandsetScreen& screen = rig.screen;
        Input in(data, size);
        std::uint32_t now = 0;
        while (!in.empty()) {
            ScreenConnector& connector = *connectors[in.Small(4)];
            const int id = connector.GetConnectorId();
            switch (in.Small(12)) {
            case 0:
            case 1:
                screen.PageKey(kPageKeys[in.Small(std::size(kPageKeys))]);
                break;
            case 2:
                screen.NotifyCall(4 + in.Small(8), in.Small(9), id);
                break;
            case 3:
                now += 200 * (1 + in.Small(40));
                screen.Tick(now);
                break;
            case 4:
            case 5:
                ChangeDirectory(connector, in);
                break;
            case 6:
                connector.dialText = in.Wide();
                screen.ShowDialText(in.Wide());
                break;
            case 7:
                screen.SetConnectorId(in.Small(14));
                break;
            case 8:
                connector.SetOnline(in.Small(2) == 0);
                connector.SetLastDialled(in.Name(), in.Wide());
                break;
            case 9:
                switch (in.Small(6)) {
                case 0: screen.ShowMainMenu(); break;
                case 1: screen.ShowHistoryList(in.Small(6), id); break;
                case 2: screen.ShowDetail(in.Small(6), in.Small(10), id); break;
                case 3: screen.ShowProgramList(); break;
                case 4: screen.ShowVolumePage(); break;
                default: screen.ShowContactPage(); break;
                }
                break;
            case 10:
                if (in.Small(2)) {
                    screen.OnCallerText(in.Wide());
                } else {
                    screen.ShowFocusedContact(id, in.Wide());
                }
                break;
            default:
                rig.audio.volume = in.Byte() << 8 | in.Byte();
                screen.SetCallMark(in.Small(2) == 0);
                screen.ShowMuteState(in.Small(2) == 0);
                screen.SetLogoText(in.Wide());
                screen.RefreshPage(in.Small(6));
                break;
            }
            screen.Render();
            TALVIO_FUZZ_CHECK(screen.depth() >= 1 && screen.depth() <= HandsetScreen::kMaxDepth);
            TALVIO_FUZZ_CHECK(screen.Current() != nullptr);
        }
    }
    os::hosted::Reset();
    return 0;
}
