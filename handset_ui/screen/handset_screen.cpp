#include "handset_ui/screen/handset_screen.h"

#include "foundation/text_convert.h"
#include "handset/handset_device.h"
#include "handset/handset_link.h"

namespace talvio {
namespace {

constexpr int kVoicemailPageCode = 4;

// A dial field shows only text that can be dialled: a digit, a letter, or
// '#', '*', '+' first; punctuation and symbols first mean nothing to show.
bool StartsDialText(wchar_t c) {
    if (c == L'#' || c == L'*' || c == L'+') return true;
    if (c < 0x80) return (c >= L'0' && c <= L'9') || ((c | 0x20) >= L'a' && (c | 0x20) <= L'z');
    if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;  // Latin-1 signs and the two operators
    if (c >= 0x2000 && c <= 0x2BFF) return false;          // punctuation, symbols, arrows, shapes
    if (c >= 0x3000 && c <= 0x303F) return false;          // CJK punctuation
    if (c >= 0xFF01 && c <= 0xFF0F) return false;          // full-width signs before the digits
    return !((c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65));
}

}  // namespace

HandsetScreen::HandsetScreen(HandsetDevice& device, const HandsetScreenContext& context)
    : device_(device),
      context_(context),
      localClock_(context.clock != nullptr ? *context.clock : SystemLocalClock()),
      texts_(context.locale),
      idle_(localClock_) {}

HandsetScreen::~HandsetScreen() = default;

void HandsetScreen::Start() {
    for (TextWidget* softkey : {&leftSoftkey_, &rightSoftkey_, &bottomBar_}) softkey->SetFont(LcdFontSize::kSmall);
    ShowLogo();
    for (ScreenPage* page : std::initializer_list<ScreenPage*>{&idle_, &volume_, &dial_, &call_, &detail_, &contact_,
                                                               &historyMenu_, &mainMenu_, &programs_, &historyList_})
        page->Init(*this);
    depth_ = 0;
    PopToRoot();
}

void HandsetScreen::Tick(std::uint32_t now) {
    now_ = now;
    ScreenPage* page = Current();
    if (page == nullptr) return;
    const int rendered = renders_;
    bool redraw = page->Tick(*this, now);
    if (Current() == &idle_ && directory_ != nullptr) {
        int unplayed = 0;
        int position = 0;
        int total = 0;
        directory_->GetVoicemailList(unplayed, position, total, connectorId_);
        redraw |= idle_.SetVoicemailMark(unplayed > 0);
    }
    if (directory_ != nullptr) directory_->ShowActiveDialText();
    if (redraw && renders_ == rendered) Render();
}

void HandsetScreen::Draw(LcdCanvas& canvas) {
    if (ScreenPage* page = Current()) page->Draw(canvas, now_);
}

void HandsetScreen::Render() {
    ++renders_;
    device_.RenderScreen(0);
}

void HandsetScreen::OnCallerText(const std::wstring& text) {
    if (directory_ == nullptr || text.empty()) return;
    int id = 0;  // names no program: the active one is searched
    ContactRecord* contact = directory_->FindContactByName(WideToUtf8(text), id);
    if (contact == nullptr) return;
    contact_.SetContact(directory_->GetContactHandle(contact), text, id);
    if (Current() != &contact_) return;
    contact_.Refresh(*this);
    Render();
}

void HandsetScreen::ShowFocusedContact(int connectorId, const std::wstring& handle) {
    contact_.SetContact(WideToUtf8(handle), {}, connectorId);
    if (Current() != &contact_) return;
    contact_.Refresh(*this);
    Render();
}

void HandsetScreen::RefreshPage(int pageCode) {
    if (pageCode != kVoicemailPageCode) return;
    if (Current() == &historyList_ && historyList_.kind() == kHistoryVoicemail) {
        historyList_.Fill(*this);
        Render();
    } else if (Current() == &detail_ && detail_.voicemail() && directory_ != nullptr &&
               directory_->GetVoicemail(detail_.entryId(), detail_.connectorId()) == nullptr) {
        Back();  // the voicemail was deleted
    }
}

void HandsetScreen::StartCallerIdHook(os::Hwnd clientWindow) {
    if (clientWindow == nullptr) {
        watcher_.reset();
        watchedWindow_ = nullptr;
        PopToRoot();
        return;
    }
    if (watcher_ && watchedWindow_ == clientWindow) return;
    if (watcher_) {
        watcher_.reset();
    } else {
        PopToRoot();
    }
    watchedWindow_ = clientWindow;
    if (context_.watcherFactory != nullptr) watcher_ = context_.watcherFactory(context_.notifyWindow, clientWindow);
}

int HandsetScreen::PageKey(int key) {
    ScreenPage* page = Current();
    return page != nullptr ? page->OnPageKey(*this, key) : kAnswerNothing;
}

void HandsetScreen::ShowDialText(const std::wstring& text) {
    const std::wstring_view shown =
        !text.empty() && StartsDialText(text[0]) ? std::wstring_view(text) : std::wstring_view();
    if (dial_.SetText(shown)) {
        if (Current() == &dial_) {
            if (dial_.text().empty()) {
                PopToRoot();
            } else {
                Render();
            }
        }
        if (Current() != &idle_ && Current() != &contact_) return;
    } else if (Current() != &idle_) {
        return;
    }
    if (!dial_.text().empty()) ShowPage(dial_);
}

void HandsetScreen::PopToRoot() {
    Unwind();
    Render();
}

void HandsetScreen::Unwind() {
    while (Current() != nullptr && Current() != &idle_) {
        Current()->Leave(*this);
        --depth_;
    }
    Push(idle_);
}

void HandsetScreen::ShowCall(int kind, int callId, int connectorId) {
    Unwind();
    call_.Show(kind, callId, connectorId);
    Push(call_);
    Render();
}

int HandsetScreen::NotifyCall(int kind, int callId, int connectorId) {
    switch (kind) {
    case kCallMissed:
        SetMissedMark(true);
        [[fallthrough]];
    case kCallEnded:
    case kCallInProgress:
    case kCallOnHold:
    case kCallOutgoing:
    case kCallRinging:
        if (Current() == nullptr) return 0;
        ShowCall(kind, callId, connectorId);
        return 1;
    default:
        return 0;
    }
}

void HandsetScreen::SetCallMark(bool on) {
    if (call_.SetHandsFreeMark(on) && Current() == &call_) Render();
}

void HandsetScreen::SetConnectorId(int id) {
    if (id == connectorId_) return;
    connectorId_ = id;
    ShowLogo();
    if (id > 0) {
        Render();
    } else {
        PopToRoot();
    }
}

bool HandsetScreen::Push(ScreenPage& page) {
    const bool changed = &page != Current();
    if (changed) {
        if (&page == &idle_) depth_ = 0;
        if (depth_ > kMaxDepth - 1) depth_ = kMaxDepth - 1;
        pages_[depth_++] = &page;
    }
    page.Enter(*this);
    page.enteredAt = now_;
    return changed;
}

void HandsetScreen::Back() {
    if (depth_ <= 1) {
        depth_ = 1;
        PopToRoot();
        return;
    }
    Current()->Leave(*this);
    --depth_;
    Current()->Enter(*this);
    Current()->enteredAt = now_;
    Render();
}

void HandsetScreen::ShowPage(ScreenPage& page) {
    Push(page);
    Render();
}

void HandsetScreen::ShowMainMenu() {
    mainMenu_.Rewind();
    ShowPage(mainMenu_);
}

void HandsetScreen::ShowHistoryMenu() {
    historyMenu_.Rewind();
    ShowPage(historyMenu_);
}

void HandsetScreen::ShowHistoryList(int kind, int connectorId) {
    // Looking at the missed calls is what the mark asked for.
    if (kind == kHistoryMissed) SetMissedMark(false);
    historyList_.Open(kind, connectorId);
    ShowPage(historyList_);
}

void HandsetScreen::ShowDetail(int kind, int entryId, int connectorId) {
    detail_.Show(kind, entryId, connectorId);
    ShowPage(detail_);
}

void HandsetScreen::ShowContact(std::string handle, std::wstring name, int connectorId) {
    contact_.SetContact(std::move(handle), std::move(name), connectorId);
    ShowPage(contact_);
}

void HandsetScreen::SetLogoText(std::wstring_view text) {
    if (idle_.SetLogoText(text, texts_) && Current() == &idle_) Render();
}

void HandsetScreen::SetMissedMark(bool on) {
    if (idle_.SetMissedMark(on) && Current() == &idle_) Render();
}

void HandsetScreen::SetSoftkeys(int leftKey, int rightKey) {
    leftSoftkey_.SetTextKey(leftKey, texts_);
    rightSoftkey_.SetTextKey(rightKey, texts_);
}

void HandsetScreen::ShowLogo() {
    logo_.SetImage(connectorId_ >= 1 && connectorId_ <= 9 ? &LogoIconOf(connectorId_) : nullptr);
}

namespace {

HandsetScreenContext g_installed;

std::unique_ptr<LcdScreen> MakeHandsetScreen(HandsetDevice& device) {
    HandsetScreenContext context = g_installed;
    if (context.notifyWindow == nullptr) context.notifyWindow = HandsetLink_GetWindow();
    return std::make_unique<HandsetScreen>(device, context);
}

}  // namespace

void InstallHandsetScreen(const HandsetScreenContext& context) {
    g_installed = context;
    HandsetLink_SetScreenFactory(&MakeHandsetScreen);
}

}  // namespace talvio
