// The program's application object: the tray icon and its state (handset
// missing, no client, ready), the tray menu with its language and program
// submenus and the exit question, the handset indicator and LED patterns
// on timer 1002, the first audio set-up on timer 1001, the one volume
// popup, the version check's start-up, retry (timer 2001) and poll for a
// newer version (timer 2002) with the update prompt, and ApplySettings
// after a settings change. The connector service
// reaches it as its tray; call control as its CallTray (Indicator()) and
// CallVolumePopup (Popup()).
//
// Ownership: owns the tray window, the indicator and the popup. The locale
// table, the settings, the connector service, the speaker volume, the
// version check and the shell are not owned and outlive it; the connector service may still be
// under construction when this object is made and is used only from Init
// on. Call control holds the indicator and popup ports: it must go first.
//
// Threading: main thread only (the tray window's thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "connectors/service_ports.h"
#include "handset_ui/call/call_ports.h"
#include "tray/handset_indicator.h"
#include "ui/open_dialog_register.h"
#include "ui/tray_icon.h"
#include "ui/volume_popup.h"

namespace talvio {

class AppSettings;
class ConnectorService;
class LocaleTable;
class VersionCheck;

// String `id` of locale.xml in the current language; without one, the
// English text of the program's string table (empty for other ids).
std::wstring ProgramText(const LocaleTable& locale, int id);

class TrayApplication final : public TrayIcon, public ServiceTray, public OpenDialogRegister {
public:
    static constexpr std::wstring_view kDisplayName = L"Talvio Phone Driver";
    // The tooltip is formatted into this many wide characters, terminator included.
    static constexpr std::size_t kTooltipBuffer = 100;

    static constexpr std::uintptr_t kAudioSetupTimer = 1001;
    static constexpr std::uint32_t kAudioSetupMs = 200;
    // Until a version check succeeds it is tried again this often.
    static constexpr std::uintptr_t kVersionRetryTimer = 2001;
    static constexpr std::uint32_t kVersionRetryMs = 30 * 60 * 1000;
    // How often the check's outcome is looked at, until a newer version is offered.
    static constexpr std::uintptr_t kNewerVersionTimer = 2002;
    static constexpr std::uint32_t kNewerVersionMs = 5000;

    // Menu command ids.
    static constexpr int kAbout = 104;
    static constexpr int kExit = 105;
    static constexpr int kOptions = 32773;
    static constexpr int kCheckUpdate = 32793;
    static constexpr int kHelp = 32798;
    static constexpr int kFirstLanguageCommand = 16000;  // + language index
    static constexpr int kFirstProgramCommand = 17000;   // + connector id
    static constexpr int kCommandRange = 100;

    TrayApplication(LocaleTable& locale, AppSettings& settings, ConnectorService& connectors,
                    SpeakerVolume& speaker, VersionCheck& versionCheck,
                    TrayShell& shell = SystemTrayShell(),
                    std::wstring displayName = std::wstring(kDisplayName));
    ~TrayApplication() override;

    // Loads locale.xml and the settings, creates the tray window with menu
    // 155, starts the version check and its timers, shows the no-handset
    // state and starts the indicator timer.
    // Always true: a tray that could not be made leaves the handset working.
    bool Init(void* instance);

    // The connector service's tray. Each answers setIcon's result.
    int SetTrayReady() override;
    int SetTrayNoDevice() override;
    // "Skype Offline" while some client is attached, "Please Launch Skype"
    // otherwise; the ready state when a client turns out to be online.
    int SetTrayNoClient() override;
    // Timer 1001: the audio devices are chosen again and raised once the
    // handset's audio function has settled.
    void StartAudioSetupTimer() override;

    // ProgramText of the tray's locale table.
    std::wstring Text(int id) const;
    // A Yes/No question owned by the tray window: string `stringId`,
    // captioned with string 65543. The box's answer (IDYES, IDNO).
    int AskYesNo(int stringId);
    // Saves the settings, starts the setter tool before Windows 6, tells
    // call control, shows the LCD logo again and the tooltip in the
    // language now chosen.
    void ApplySettings();

    // The one open desktop dialog: recorded only while none is, cleared
    // only by the recorded one.
    void SetOpenDialog(os::Hwnd dialog) override;
    void ClearOpenDialog(os::Hwnd dialog) override;
    os::Hwnd OpenDialog() const { return openDialog_; }
    // Brings the open dialog to the front; true when there is none, so the
    // menu may show.
    bool BringDialogToFront();

    // The modal dialogs of the menu, owned by the tray window. Options
    // answers 1 after OK (the settings are then applied) and 2 after Cancel;
    // each answers -1 when its dialog could not be made.
    std::intptr_t ShowAbout();
    std::intptr_t ShowHelp();
    std::intptr_t ShowOptions();

    // What the dialogs edit and show.
    LocaleTable& Locale() { return locale_; }
    AppSettings& Settings() { return settings_; }
    ConnectorService& Connectors() { return connectors_; }
    const std::wstring& DisplayName() const { return displayName_; }

    CallTray& Indicator() { return indicator_; }
    CallVolumePopup& Popup() { return popupPort_; }

    bool canShowMenu() override { return BringDialogToFront(); }
    int onCommand(os::WParam wParam, os::LParam lParam) override;
    void onInitMenuPopup(os::Hmenu menu, os::LParam lParam) override;
    void onTimer(std::uintptr_t timerId) override;
    void onDoubleClick() override;

private:
    class PopupPort final : public CallVolumePopup {
    public:
        explicit PopupPort(VolumePopup& popup) : popup_(popup) {}
        void show() override { popup_.show(); }
        void startFade() override { popup_.startFade(); }
        void volumeUp() override { popup_.volumeUp(); }
        void volumeDown() override { popup_.volumeDown(); }

    private:
        VolumePopup& popup_;
    };

    // The display name, and the state's text in brackets unless `stateId` is 0.
    std::wstring Tooltip(int stateId) const;
    int ShowState(int icon, int stateId);
    void LocalizeMenu(os::Hmenu menu, int depth);
    void AttachSubmenu(os::Hmenu menu, int position, int id, os::Hmenu previous, os::Hmenu submenu);
    os::Hmenu BuildLanguageMenu() const;
    os::Hmenu BuildProgramMenu() const;
    bool KnownLanguage(int index) const;

    LocaleTable& locale_;
    AppSettings& settings_;
    ConnectorService& connectors_;
    VersionCheck& versionCheck_;
    std::wstring displayName_;
    os::Hwnd openDialog_ = nullptr;
    int stateIcon_ = 0;  // none shown yet
    int stateId_ = 0;
    HandsetIndicator indicator_;
    VolumePopup popup_;
    PopupPort popupPort_{popup_};
};

}  // namespace talvio
