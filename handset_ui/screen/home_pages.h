// The three pages call control addresses directly: the idle page at the
// bottom of the stack, the dial page that mirrors the client's dial field,
// and the volume page of the handset speaker. Main thread only.
#pragma once

#include <string>

#include "handset_ui/screen/screen_page.h"

namespace talvio {

// Logo, clock, the connector's status line, date, the missed-call and
// voicemail marks, "Menu" on the left softkey.
class IdlePage final : public ScreenPage {
public:
    explicit IdlePage(const LocalClock& clock);

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    bool Tick(HandsetScreen& screen, std::uint32_t now) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

    // The settings' logo text, shown while the connector is online; true
    // when the status line changed.
    bool SetLogoText(std::wstring_view text, const LcdTexts& texts);
    // True when the mark changed.
    bool SetMissedMark(bool on);
    bool SetVoicemailMark(bool on);
    bool missedMark() const { return missedMark_; }
    bool voicemailMark() const { return voicemailMark_; }

private:
    bool ShowState(int state, const LcdTexts& texts);

    TextWidget status_{{0, 16, 128, 32}, LcdHAlign::kCentre};
    DateWidget date_;
    IconWidget missed_{{17, 0, 33, 16}};
    IconWidget voicemail_{{33, 0, 49, 16}};
    std::wstring logoText_;
    int state_ = kStateUnknown;
    bool missedMark_ = false;
    bool voicemailMark_ = false;

    static constexpr int kStateUnknown = -2;
};

// The client's dial field, word-wrapped in the middle rows: "Call",
// "Clear", and "Delete" for the clear key.
class DialPage final : public ScreenPage {
public:
    DialPage();

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

    // At most 99 characters; true when the text changed.
    bool SetText(std::wstring_view text) { return text_.SetText(text); }
    std::wstring_view text() const { return text_.text(); }

private:
    TextWidget text_{{0, 16, 128, 48}, LcdHAlign::kCentre, LcdVAlign::kCentre};
};

// The handset speaker volume as 16 rising columns; the navigation keys step
// it. Closes itself 5 s after it was shown or last changed.
class VolumePage final : public ScreenPage {
public:
    static constexpr std::uint32_t kCloseMs = 5000;
    static constexpr int kLevels = 16;

    VolumePage() : ScreenPage(kVolumePage) {}

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    bool Tick(HandsetScreen& screen, std::uint32_t now) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

    // The bar level of a mixer volume (0 to 65535).
    static int LevelOf(int volume);

private:
    BarWidget bar_{{10, 18, 136, 46}};
};

}  // namespace talvio
