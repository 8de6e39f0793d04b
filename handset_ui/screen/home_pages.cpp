#include "handset_ui/screen/home_pages.h"

#include <algorithm>

#include "handset_ui/screen/handset_screen.h"

namespace talvio {

IdlePage::IdlePage(const LocalClock& clock)
    : ScreenPage(kIdlePage), date_({0, 32, 128, 48}, clock, LcdHAlign::kCentre) {}

void IdlePage::Init(HandsetScreen& screen) {
    SetWidgets({&screen.logo(), &status_, &screen.clockWidget(), &date_, &missed_, &voicemail_,
                &screen.leftSoftkey(), &screen.rightSoftkey()});
    static const LcdIcon* const frames[] = {&StripIconAt(kIconMissedMark1), &StripIconAt(kIconMissedMark1 + 1),
                                            &StripIconAt(kIconMissedMark1 + 2)};
    missed_.SetFrames(frames);
    voicemail_.SetImage(&StripIconAt(kIconVoicemail));
    status_.SetText({});
    state_ = kStateUnknown;
}

void IdlePage::Enter(HandsetScreen& screen) {
    // An invisible animation would still ask for a redraw every 400 ms.
    missed_.SetVisible(missedMark_);
    missed_.SetActive(missedMark_);
    voicemail_.SetVisible(voicemailMark_);
    screen.SetSoftkeys(kLcdMenu, 0);
}

bool IdlePage::Tick(HandsetScreen& screen, std::uint32_t now) {
    bool redraw = false;
    if (DirectoryView* directory = screen.directory()) {
        const int state = directory->GetConnectorState(screen.connectorId());
        if (state != state_) redraw = ShowState(state, screen.texts());
    }
    return ScreenPage::Tick(screen, now) || redraw;
}

bool IdlePage::ShowState(int state, const LcdTexts& texts) {
    state_ = state;
    if (state < 0) return status_.SetTextKey(kLcdUnavailable, texts);
    if (state == 0) return status_.SetTextKey(kLcdOffline, texts);
    return status_.SetText(logoText_);
}

bool IdlePage::SetLogoText(std::wstring_view text, const LcdTexts& texts) {
    logoText_.assign(text.substr(0, TextWidget::kMaxChars));
    return state_ > 0 && ShowState(state_, texts);
}

bool IdlePage::SetMissedMark(bool on) {
    if (on == missedMark_) return false;
    missedMark_ = on;
    missed_.SetVisible(on);
    missed_.SetActive(on);
    return true;
}

bool IdlePage::SetVoicemailMark(bool on) {
    if (on == voicemailMark_) return false;
    voicemailMark_ = on;
    voicemail_.SetVisible(on);
    return true;
}

int IdlePage::OnPageKey(HandsetScreen& screen, int key) {
    if (key == kPageKeyCall) {
        screen.ShowMainMenu();
        return 1;
    }
    if (key == kPageKeyRight) return kAnswerDialChanged;
    DirectoryView* directory = screen.directory();
    if (directory == nullptr) return kAnswerNothing;
    const int id = screen.connectorId();
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyClear:
    case kPageKeyTalk: {
        std::string handle = directory->GetLastDialledHandle(id);
        if (handle.empty()) return kAnswerNothing;
        screen.ShowContact(std::move(handle), directory->GetLastDialledName(id), id);
        return 1;
    }
    case kPageKeyUp:
    case kPageKeyDown:
        if (directory->GetConnectorState(id) != 1) return 1;
        if (!directory->SuppressesPageStep(id)) screen.ShowContactPage();
        return kAnswerContacts;
    default:
        return kAnswerNothing;
    }
}

DialPage::DialPage() : ScreenPage(kDialPage) { text_.SetWordWrap(true); }

void DialPage::Init(HandsetScreen& screen) {
    SetWidgets({&screen.logo(), &screen.clockWidget(), &text_, &screen.leftSoftkey(), &screen.rightSoftkey(),
                &screen.bottomBar()});
    text_.SetText({});
}

void DialPage::Enter(HandsetScreen& screen) {
    screen.SetSoftkeys(kLcdCall, kLcdClear);
    screen.bottomBar().SetTextKey(kLcdDelete, screen.texts());
}

int DialPage::OnPageKey(HandsetScreen& screen, int key) {
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyCall:
    case kPageKeyTalk:
        if (screen.directory() == nullptr) return kAnswerNothing;
        screen.directory()->PressYes(screen.connectorId());
        screen.Back();
        return 1;
    case kPageKeyClear:
        text_.RemoveLast();
        if (text_.text().empty()) {
            screen.Back();
        } else {
            enteredAt = screen.now();
            screen.Render();
        }
        return kAnswerBackspace;
    case kPageKeyRight:
    case kPageKeyEndCall:
        screen.PopToRoot();
        return kAnswerDialChanged;
    default:
        return kAnswerNothing;
    }
}

int VolumePage::LevelOf(int volume) { return std::clamp((volume + 2048) * kLevels / 65535, 0, kLevels); }

namespace {

int ReadLevel(const HandsetScreen& screen) {
    DirectoryView* directory = screen.directory();
    return VolumePage::LevelOf(directory ? directory->GetSpeakerVolume() : ServiceAudio::kUnreadableVolume);
}

}  // namespace

void VolumePage::Init(HandsetScreen& screen) {
    SetWidgets({&screen.logo(), &screen.clockWidget(), &bar_, &screen.leftSoftkey(), &screen.rightSoftkey()});
    bar_.SetLevelSource([&screen] { return ReadLevel(screen); });
}

void VolumePage::Enter(HandsetScreen& screen) {
    bar_.SetLevel(ReadLevel(screen));
    screen.SetSoftkeys(0, kLcdBack);
}

bool VolumePage::Tick(HandsetScreen& screen, std::uint32_t now) {
    if (now - enteredAt >= kCloseMs) {
        screen.Back();
        return false;
    }
    return ScreenPage::Tick(screen, now);
}

int VolumePage::OnPageKey(HandsetScreen& screen, int key) {
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyRight:
        screen.Back();
        return 1;
    case kPageKeyUp:
    case kPageKeyDown: {
        DirectoryView* directory = screen.directory();
        if (directory == nullptr) return kAnswerNothing;
        const int level = std::clamp(ReadLevel(screen) + (key == kPageKeyUp ? 1 : -1), 0, kLevels);
        directory->SetSpeakerVolume(level * 65535 / kLevels);
        enteredAt = screen.now();
        if (bar_.SetLevel(level)) screen.Render();
        return 5;
    }
    case kPageKeyEndCheck:
    case kPageKeyEndCall:
        screen.PopToRoot();
        return 1;
    default:
        return kAnswerNothing;
    }
}

}  // namespace talvio
