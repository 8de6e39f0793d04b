// The LCD handset's user interface: a stack of pages (the idle page at the
// bottom, at most 10 deep) drawn into the device's canvas whenever
// something changes. It takes page keys and call events from call control
// (CallScreen), its 200 ms tick and drawing from the LCD model (LcdScreen),
// and what the connectors push to it (DirectoryScreen); it reads the
// connectors only through the connector service's DirectoryView.
//
// Time: the screen knows only the tick counts its Tick is given; a page
// entered between two ticks counts from the last one.
//
// Ownership: created by the LCD model's AfterOpen through the installed
// factory and owned by the device, which outlives it; the directory view,
// locale table and clock are not owned and outlive it; it owns the pages
// and the caller-id watcher. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "connectors/directory_view.h"
#include "connectors/service_ports.h"
#include "handset/lcd_screen.h"
#include "handset_ui/call/call_screen.h"
#include "handset_ui/lcd_texts.h"
#include "handset_ui/screen/home_pages.h"
#include "handset_ui/screen/menu_pages.h"
#include "handset_ui/screen/record_pages.h"

namespace talvio {

class HandsetDevice;
class LocaleTable;

struct HandsetScreenContext {
    const LocaleTable* locale = nullptr;  // null: the English texts
    const LocalClock* clock = nullptr;    // null: SystemLocalClock()
    CallerIdWatcherFactory watcherFactory = nullptr;  // null: old clients give no caller names
    os::Hwnd notifyWindow = nullptr;  // where the watcher posts caller texts
};

class HandsetScreen final : public LcdScreen, public DirectoryScreen, public CallScreen {
public:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 64;
    static constexpr int kRowHeight = 16;
    static constexpr int kSoftkeyHeight = 16;
    static constexpr int kMaxDepth = 10;

    HandsetScreen(HandsetDevice& device, const HandsetScreenContext& context);
    ~HandsetScreen() override;

    // LcdScreen.
    // Lays out every page and shows the idle page.
    void Start() override;
    void Tick(std::uint32_t now) override;
    void Draw(LcdCanvas& canvas) override;
    // A caller's name from the hook library: a listed contact of the active
    // program with that name becomes the contact page's contact.
    void OnCallerText(const std::wstring& text) override;

    // DirectoryScreen.
    void SetDirectoryView(DirectoryView* view) override { directory_ = view; }
    void ShowLogoText(const std::wstring& text) override { SetLogoText(text); }
    void ShowMuteState(bool muted) override { muteMark_ = muted; }
    // The contact the user moved to in the client.
    void ShowFocusedContact(int connectorId, const std::wstring& handle) override;
    // Code 4: the voicemails changed.
    void RefreshPage(int pageCode) override;
    // One watcher at a time; null stops it and returns to the idle page.
    void StartCallerIdHook(os::Hwnd clientWindow) override;

    // CallScreen (and ShowDialText of DirectoryScreen).
    int PageKey(int key) override;
    void ShowDialText(const std::wstring& text) override;
    void ShowVolumePage() override { ShowPage(volume_); }
    void PopToRoot() override;
    void ShowCall(int kind, int callId, int connectorId) override;
    int NotifyCall(int kind, int callId, int connectorId) override;
    void SetCallMark(bool on) override;
    void SetConnectorId(int id) override;

    // The page stack.
    // Makes `page` current (the idle page empties the stack) and enters it;
    // true when the current page changed.
    bool Push(ScreenPage& page);
    // The page below becomes current; at the bottom, the idle page.
    void Back();
    // Draws the current page through the device.
    void Render();
    ScreenPage* Current() const { return depth_ >= 1 ? pages_[depth_ - 1] : nullptr; }
    int CurrentPageId() const { return Current() ? Current()->id() : 0; }
    int depth() const { return depth_; }

    void ShowPage(ScreenPage& page);
    void ShowMainMenu();
    void ShowHistoryMenu();
    void ShowProgramList() { ShowPage(programs_); }
    void ShowContactPage() { ShowPage(contact_); }
    void ShowHistoryList(int kind, int connectorId);
    void ShowDetail(int kind, int entryId, int connectorId);
    // `name` may be empty.
    void ShowContact(std::string handle, std::wstring name, int connectorId);

    void SetLogoText(std::wstring_view text);
    void SetMissedMark(bool on);

    // For the pages.
    DirectoryView* directory() const { return directory_; }
    const LcdTexts& texts() const { return texts_; }
    const LocalClock& clock() const { return localClock_; }
    std::uint32_t now() const { return now_; }
    int connectorId() const { return connectorId_; }
    bool muteMark() const { return muteMark_; }
    IconWidget& logo() { return logo_; }
    ClockWidget& clockWidget() { return clock_; }
    TextWidget& leftSoftkey() { return leftSoftkey_; }
    TextWidget& rightSoftkey() { return rightSoftkey_; }
    TextWidget& bottomBar() { return bottomBar_; }
    // Softkey labels by localisation key; 0 leaves a softkey empty.
    void SetSoftkeys(int leftKey, int rightKey);
    // The program logo for ids 1 to 9, else none.
    void ShowLogo();

private:
    // Leaves every page above the idle page and enters it, without drawing.
    void Unwind();

    HandsetDevice& device_;
    HandsetScreenContext context_;
    const LocalClock& localClock_;
    LcdTexts texts_;
    int renders_ = 0;
    DirectoryView* directory_ = nullptr;
    std::uint32_t now_ = 0;
    int connectorId_ = 0;
    bool muteMark_ = false;
    std::array<ScreenPage*, kMaxDepth> pages_{};
    int depth_ = 0;
    std::unique_ptr<CallerIdWatcher> watcher_;
    os::Hwnd watchedWindow_ = nullptr;

    // Shared by the pages that list them.
    IconWidget logo_{{0, 0, 16, 16}};
    ClockWidget clock_{{64, 0, 128, 16}, localClock_, LcdHAlign::kRight};
    TextWidget leftSoftkey_{{0, 48, 64, 64}, LcdHAlign::kCentre, LcdVAlign::kCentre};
    TextWidget rightSoftkey_{{64, 48, 128, 64}, LcdHAlign::kCentre, LcdVAlign::kCentre};
    TextWidget bottomBar_{{0, 48, 128, 64}, LcdHAlign::kCentre, LcdVAlign::kCentre};

    IdlePage idle_;
    VolumePage volume_;
    DialPage dial_;
    CallPage call_;
    DetailPage detail_;
    ContactPage contact_;
    HistoryMenuPage historyMenu_;
    MainMenuPage mainMenu_;
    ProgramListPage programs_;
    HistoryListPage historyList_;
};

// From now on the LCD model makes its screens with this context (the
// notification window defaults to the handset link's); the locale table
// and clock must outlive every screen.
void InstallHandsetScreen(const HandsetScreenContext& context);

}  // namespace talvio
