// Pages about one record of a program's directory: a past call or
// voicemail, a contact, and the call page that follows a call from ringing
// to its end. Each keeps the record's key (id or handle) and copies of the
// texts it shows, never the record. Main thread only.
#pragma once

#include <string>

#include "handset_ui/screen/screen_page.h"

namespace talvio {

class DirectoryView;

// The partner handle of a history entry of `kind` (1 to 3: a call, 4: a
// voicemail) looked up by id; empty when the entry is gone.
std::string EntryPartnerHandle(DirectoryView& directory, int kind, int entryId, int connectorId);

// One history call or voicemail: partner, date and time, duration; "Call"
// (or "Play"/"Stop" for a voicemail) and "Back".
class DetailPage final : public ScreenPage {
public:
    DetailPage() : ScreenPage(kDetailPage) {}

    void Show(int kind, int entryId, int connectorId);
    int entryId() const { return entryId_; }
    int connectorId() const { return connectorId_; }
    bool voicemail() const;

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

private:
    int kind_ = 0;
    int entryId_ = -1;
    int connectorId_ = 0;
    bool playing_ = false;
    IconWidget icon_{{0, 0, 16, 16}};
    TextWidget partner_{{17, 0, 128, 16}};
    TextWidget when_{{0, 16, 128, 32}, LcdHAlign::kCentre};
    TimerWidget duration_{{0, 32, 128, 48}, LcdHAlign::kCentre};
};

// A contact by handle: the last dialled one, the one focused in the
// client, or a caller named by the hook library.
class ContactPage final : public ScreenPage {
public:
    ContactPage() : ScreenPage(kContactPage) {}

    // `shownName` is the name reported with the handle (may be empty).
    void SetContact(std::string handle, std::wstring shownName, int connectorId);
    const std::string& handle() const { return handle_; }

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    int OnPageKey(HandsetScreen& screen, int key) override;
    // The contact's lines again from the directory.
    void Refresh(HandsetScreen& screen);

private:
    std::string handle_;
    std::wstring shownName_;
    int connectorId_ = 0;
    IconWidget status_{{0, 0, 16, 16}};
    TextWidget name_{{17, 0, 128, 16}};
    TextWidget second_{{0, 16, 128, 32}};
};

// A call from ringing to its end: logo, state icon, marks, the partner's
// name (scrolling when long), the timer and the softkeys of the call's kind.
class CallPage final : public ScreenPage {
public:
    static constexpr std::uint32_t kEndedShownMs = 3000;
    static constexpr std::uint32_t kNoCallShownMs = 8000;

    CallPage() : ScreenPage(kCallPage) {}

    void Show(int kind, int callId, int connectorId);
    // The hands-free mark; true when it changed.
    bool SetHandsFreeMark(bool on);
    int kind() const { return kind_; }
    int callId() const { return callId_; }

    void Init(HandsetScreen& screen) override;
    void Enter(HandsetScreen& screen) override;
    bool Tick(HandsetScreen& screen, std::uint32_t now) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

private:
    bool ReadCallData(HandsetScreen& screen);

    int kind_ = 0;
    int callId_ = 0;
    int connectorId_ = 0;
    bool needsData_ = false;
    bool handsFree_ = false;
    // The call whose talk time the timer counts; hold and resume keep it.
    int timedCallId_ = 0;
    int timedConnectorId_ = 0;
    bool talkTimed_ = false;
    IconWidget state_{{17, 0, 33, 16}};
    IconWidget mark_{{34, 0, 50, 16}};
    IconWidget handsFreeMark_{{51, 0, 67, 16}};
    TextWidget partner_{{0, 16, 128, 32}, LcdHAlign::kCentre};
    TimerWidget timer_{{0, 32, 128, 48}, LcdHAlign::kCentre};
};

}  // namespace talvio
