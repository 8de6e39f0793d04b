#include "handset_ui/screen/record_pages.h"

#include <array>
#include <cwchar>

#include "foundation/text_convert.h"
#include "handset_ui/screen/handset_screen.h"

namespace talvio {
namespace {

// Strip positions of the contact status icons, by the directory's status index.
constexpr std::array<int, 8> kStatusIcons = {kIconStatusOnline,        kIconStatusUnknown,
                                             kIconStatusOffline,       kIconStatusAway,
                                             kIconStatusNotAvailable,  kIconStatusDoNotDisturb,
                                             kIconStatusOpenForCalls,  kIconHandsetResting};

// "<short date> h:mm" of a client time stamp; empty for none.
std::wstring FormatWhen(int timestamp, const LocalClock& clock) {
    if (timestamp <= 0) return {};
    const LocalTime time = clock.FromUnixTime(timestamp);
    std::array<wchar_t, 80> buffer{};
    int length = clock.ShortDate(time, std::span<wchar_t>(buffer.data(), 64));
    const int written = std::swprintf(buffer.data() + length, buffer.size() - length, L" %d:%02d",
                                      time.hour, time.minute);
    return {buffer.data(), static_cast<std::size_t>(length + std::max(written, 0))};
}

bool InCall(int kind) { return kind == kCallInProgress || kind == kCallOnHold; }

}  // namespace

std::string EntryPartnerHandle(DirectoryView& directory, int kind, int entryId, int connectorId) {
    if (kind == kHistoryVoicemail) {
        const VoicemailRecord* entry = directory.GetVoicemail(entryId, connectorId);
        return entry ? directory.GetVoicemailPartnerHandle(entry) : std::string();
    }
    const CallRecord* entry = directory.GetHistoryCall(entryId, connectorId);
    return entry ? directory.GetCallPartnerHandle(entry) : std::string();
}

void DetailPage::Show(int kind, int entryId, int connectorId) {
    kind_ = kind;
    entryId_ = entryId;
    connectorId_ = connectorId;
    playing_ = false;
}

bool DetailPage::voicemail() const { return kind_ == kHistoryVoicemail; }

void DetailPage::Init(HandsetScreen& screen) {
    SetWidgets({&icon_, &partner_, &when_, &duration_, &screen.leftSoftkey(), &screen.rightSoftkey()});
}

void DetailPage::Enter(HandsetScreen& screen) {
    std::string name;
    int timestamp = 0;
    int duration = -1;
    if (DirectoryView* directory = screen.directory(); directory != nullptr && voicemail()) {
        if (const VoicemailRecord* entry = directory->GetVoicemail(entryId_, connectorId_)) {
            name = directory->GetVoicemailPartnerName(entry);
            if (name.empty()) name = directory->GetVoicemailPartnerHandle(entry);
            timestamp = directory->GetVoicemailTimestamp(entry);
            duration = directory->GetVoicemailDuration(entry);
            playing_ = directory->GetVoicemailPlayState(entry) == 1;
        }
    } else if (directory != nullptr) {
        if (const CallRecord* entry = directory->GetHistoryCall(entryId_, connectorId_)) {
            name = directory->GetCallPartnerName(entry);
            timestamp = directory->GetCallTimestamp(entry);
            duration = directory->GetCallDuration(entry);
        }
    }
    static constexpr int kKindIcons[] = {kIconBlank, kIconIncoming, kIconOutgoing, kIconMissed, kIconVoicemail};
    icon_.SetImage(&StripIconAt(kind_ >= 1 && kind_ <= 4 ? kKindIcons[kind_] : kIconBlank));
    partner_.SetText(Utf8ToWide(name));
    when_.SetText(FormatWhen(timestamp, screen.clock()));
    duration_.SetText({});
    duration_.Stop(duration);
    screen.SetSoftkeys(voicemail() ? (playing_ ? kLcdStop : kLcdPlay) : kLcdCall, kLcdBack);
}

int DetailPage::OnPageKey(HandsetScreen& screen, int key) {
    DirectoryView* directory = screen.directory();
    switch (key) {
    case kPageKeyCall:
        if (voicemail()) {
            if (directory == nullptr) return kAnswerNothing;
            if (playing_) {
                directory->StopVoicemail(entryId_, connectorId_);
            } else {
                directory->PlayVoicemail(entryId_, connectorId_);
            }
            playing_ = !playing_;
            screen.SetSoftkeys(playing_ ? kLcdStop : kLcdPlay, kLcdBack);
            screen.Render();
            return 1;
        }
        [[fallthrough]];
    case kPageKeyLeft:
    case kPageKeyClear:
    case kPageKeyTalk: {
        if (directory == nullptr) return kAnswerNothing;
        if (voicemail() && playing_) {
            directory->StopVoicemail(entryId_, connectorId_);
            playing_ = false;
        }
        const std::string handle = EntryPartnerHandle(*directory, kind_, entryId_, connectorId_);
        if (!handle.empty()) directory->CallNumber(handle, connectorId_);
        return 1;
    }
    case kPageKeyRight:
    case kPageKeyEndCheck:
        screen.Back();
        return 1;
    case kPageKeyUp:
    case kPageKeyDown:
        return kAnswerHistory;
    case kPageKeyEndCall:
        screen.PopToRoot();
        return kAnswerDialChanged;
    default:
        return kAnswerNothing;
    }
}

void ContactPage::SetContact(std::string handle, std::wstring shownName, int connectorId) {
    handle_ = std::move(handle);
    shownName_ = std::move(shownName);
    connectorId_ = connectorId;
}

void ContactPage::Init(HandsetScreen& screen) {
    SetWidgets({&status_, &name_, &second_, &screen.leftSoftkey(), &screen.rightSoftkey()});
}

void ContactPage::Enter(HandsetScreen& screen) {
    screen.SetSoftkeys(kLcdCall, kLcdBack);
    Refresh(screen);
}

void ContactPage::Refresh(HandsetScreen& screen) {
    if (handle_.empty()) {
        status_.SetImage(nullptr);
        name_.SetTextKey(kLcdEmpty, screen.texts());
        second_.SetText({});
        return;
    }
    DirectoryView* directory = screen.directory();
    ContactRecord* contact = directory ? directory->FindListedContact(handle_, connectorId_) : nullptr;
    const std::wstring handle = Utf8ToWide(handle_);
    if (contact != nullptr) {
        const int icon = directory->GetContactIcon(contact);
        status_.SetImage(&StripIconAt(icon >= 0 && icon < 8 ? kStatusIcons[icon] : kIconStatusUnknown));
        name_.SetText(!shownName_.empty() ? shownName_ : Utf8ToWide(directory->GetContactShownName(contact)));
        second_.SetText(Utf8ToWide(directory->GetContactLocation(contact)));
    } else {
        status_.SetImage(&StripIconAt(kIconHandsetResting));
        name_.SetText(!shownName_.empty() ? shownName_ : handle);
        second_.SetText(name_.text() != handle ? std::wstring_view(handle) : std::wstring_view());
    }
}

int ContactPage::OnPageKey(HandsetScreen& screen, int key) {
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyClear:
    case kPageKeyCall:
    case kPageKeyTalk:
        if (screen.directory() == nullptr || handle_.empty()) return kAnswerNothing;
        screen.directory()->CallNumber(handle_, connectorId_);
        return kAnswerDialChanged;
    case kPageKeyRight:
    case kPageKeyEndCheck:
        screen.Back();
        return 1;
    case kPageKeyUp:
    case kPageKeyDown:
        return kAnswerContacts;
    case kPageKeyEndCall:
        screen.PopToRoot();
        return kAnswerDialChanged;
    default:
        return kAnswerNothing;
    }
}

void CallPage::Show(int kind, int callId, int connectorId) {
    if (callId != callId_ || connectorId != connectorId_) partner_.SetText({});
    kind_ = kind;
    callId_ = callId;
    connectorId_ = connectorId;
    needsData_ = true;
}

bool CallPage::SetHandsFreeMark(bool on) {
    if (on == handsFree_) return false;
    handsFree_ = on;
    handsFreeMark_.SetVisible(on);
    return true;
}

void CallPage::Init(HandsetScreen&) {
    handsFreeMark_.SetImage(&StripIconAt(kIconHandsFree));
    handsFreeMark_.SetVisible(handsFree_);
    timedCallId_ = 0;
    talkTimed_ = false;
}

void CallPage::Enter(HandsetScreen& screen) {
    SetWidgets({&screen.logo(), &state_, &partner_, &timer_, &mark_, &screen.leftSoftkey(), &screen.rightSoftkey()});

    const bool sameCall = callId_ == timedCallId_ && connectorId_ == timedConnectorId_;
    if (kind_ == kCallEnded || kind_ == kCallMissed) {
        timer_.Stop(0);
        talkTimed_ = false;
    } else if (!(InCall(kind_) && talkTimed_ && sameCall && timer_.running())) {
        timer_.Start(screen.now());
        talkTimed_ = InCall(kind_);
    }
    timedCallId_ = callId_;
    timedConnectorId_ = connectorId_;

    int left = 0;
    int right = kLcdHangUp;
    mark_.SetVisible(true);
    state_.SetImage(&StripIconAt(kIconHandsetLifted));
    switch (kind_) {
    case kCallInProgress:
        mark_.SetImage(&StripIconAt(kIconMute));
        mark_.SetVisible(screen.muteMark());
        AddWidget(handsFreeMark_);
        if (connectorId_ == 1) left = kLcdHold;
        break;
    case kCallOnHold:
        mark_.SetImage(&StripIconAt(kIconHold));
        left = kLcdResume;
        break;
    case kCallOutgoing: {
        static const LcdIcon* const frames[] = {&StripIconAt(kIconDialling1), &StripIconAt(kIconDialling1 + 1),
                                                &StripIconAt(kIconDialling1 + 2)};
        mark_.SetFrames(frames);
        state_.SetImage(&StripIconAt(kIconOutgoing));
        break;
    }
    case kCallRinging: {
        static const LcdIcon* const frames[] = {&StripIconAt(kIconRinging1), &StripIconAt(kIconRinging1 + 1),
                                                &StripIconAt(kIconRinging1 + 2)};
        mark_.SetFrames(frames);
        state_.SetImage(&StripIconAt(kIconIncoming));
        left = kLcdAccept;
        right = kLcdRefuse;
        break;
    }
    default:  // ended or missed
        mark_.SetImage(&StripIconAt(kIconHandsetResting));
        state_.SetImage(kind_ == kCallMissed ? &StripIconAt(kIconMissed) : nullptr);
        right = kLcdCancel;
        break;
    }
    screen.SetSoftkeys(left, right);
    if (needsData_) ReadCallData(screen);
}

bool CallPage::ReadCallData(HandsetScreen& screen) {
    DirectoryView* directory = screen.directory();
    if (directory == nullptr) return false;
    const CallRecord* call = directory->GetLiveCall(callId_, connectorId_);
    if (call == nullptr) call = directory->GetHistoryCall(callId_, connectorId_);
    if (call == nullptr) return false;
    bool changed = false;
    if (kind_ == kCallEnded || kind_ == kCallMissed) {
        timer_.Stop(directory->GetCallDuration(call));
        changed = true;
    }
    if (kind_ == kCallInProgress) {
        state_.SetImage(&StripIconAt(directory->GetCallConferenceId(call) > 0 ? kIconContacts : kIconHandsetLifted));
        changed = true;
    }
    std::string text;
    needsData_ = directory->GetConferenceText(call, connectorId_, text) == 0;
    // Until the client names the partner, the handle or number stands in.
    if (text.empty()) text = directory->GetCallPartnerName(call);
    return partner_.SetText(Utf8ToWide(text)) || changed;
}

bool CallPage::Tick(HandsetScreen& screen, std::uint32_t now) {
    const std::uint32_t shown = now - enteredAt;
    if (kind_ == kCallEnded || kind_ == kCallMissed ? shown >= kEndedShownMs
                                                    : callId_ == 0 && shown >= kNoCallShownMs) {
        screen.Back();
        return false;
    }
    bool redraw = needsData_ && ReadCallData(screen);
    if (kind_ == kCallInProgress && mark_.visible() != screen.muteMark()) {
        mark_.SetVisible(screen.muteMark());
        redraw = true;
    }
    return ScreenPage::Tick(screen, now) || redraw;
}

int CallPage::OnPageKey(HandsetScreen& screen, int key) {
    if (kind_ == kCallEnded || kind_ == kCallMissed) {
        switch (key) {
        case kPageKeyLeft:
        case kPageKeyCall:
        case kPageKeyRight:
        case kPageKeyEndCall:
        case kPageKeyTalk:
        case kPageKeyEndCheck:
            screen.Back();
            return 1;
        default:
            return kAnswerNothing;
        }
    }
    DirectoryView* directory = screen.directory();
    if (directory == nullptr) return kAnswerNothing;
    const bool left = key == kPageKeyLeft || key == kPageKeyCall;
    const bool right = key == kPageKeyRight || key == kPageKeyEndCall;
    switch (kind_) {
    case kCallInProgress:
    case kCallOnHold:
        if (left) directory->ToggleHold(callId_, connectorId_);
        if (right || key == kPageKeyTalk) directory->FinishCall(callId_, connectorId_);
        return left || right || key == kPageKeyTalk ? 1 : 0;
    case kCallOutgoing:
        if (right && callId_ == 0) {
            screen.PopToRoot();
            return 1;
        }
        if (right || key == kPageKeyTalk) directory->FinishCall(callId_, connectorId_);
        return right || key == kPageKeyTalk ? 1 : 0;
    case kCallRinging:
        if (left || key == kPageKeyTalk) directory->AnswerCall(callId_, connectorId_);
        if (right) directory->RefuseCall(callId_, connectorId_);
        return left || right || key == kPageKeyTalk ? 1 : 0;
    default:
        return kAnswerNothing;
    }
}

}  // namespace talvio
