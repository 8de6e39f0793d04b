#include "tray/tray_application.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "audio/audio_service.h"
#include "connectors/connector_service.h"
#include "foundation/trace_log.h"
#include "resources/program_art.h"
#include "resources/program_strings.h"
#include "settings/app_settings.h"
#include "tray/about_dialogs.h"
#include "tray/options_dialog.h"
#include "ui/locale_table.h"
#include "update/version_check.h"

namespace talvio {
namespace {

constexpr int kTraceLevel = 3;
constexpr int kMenuDepthLimit = 16;
constexpr int kRaiseSpeakerAndMicrophone = 3;

bool SamePlaceholder(std::wstring_view text, std::wstring_view placeholder) {
    return std::equal(text.begin(), text.end(), placeholder.begin(), placeholder.end(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

bool InRange(int id, int first, int range) { return id >= first && id < first + range; }

}  // namespace

TrayApplication::TrayApplication(LocaleTable& locale, AppSettings& settings,
                                 ConnectorService& connectors, SpeakerVolume& speaker,
                                 VersionCheck& versionCheck, TrayShell& shell,
                                 std::wstring displayName)
    : TrayIcon(shell),
      locale_(locale),
      settings_(settings),
      connectors_(connectors),
      versionCheck_(versionCheck),
      displayName_(std::move(displayName)),
      popup_(speaker) {}

// The window goes while the indicator and the popup still exist.
TrayApplication::~TrayApplication() { destroy(); }

bool TrayApplication::Init(void* instance) {
    locale_.load();
    settings_.Load();  // also the rate table and the autostart value
    if (!create(instance, art::kTrayMenu)) {
        TraceLog::global().trace(kTraceLevel, "tray window could not be created");
    }
    versionCheck_.StartCheck();
    if (!versionCheck_.HasSucceeded()) os::SetTimer(window(), kVersionRetryTimer, kVersionRetryMs);
    os::SetTimer(window(), kNewerVersionTimer, kNewerVersionMs);
    SetTrayNoDevice();
    os::SetTimer(window(), HandsetIndicator::kTimerId, HandsetIndicator::kTickMs);
    return true;
}

std::wstring ProgramText(const LocaleTable& locale, int id) { return locale.getText(id, art::EnglishString(id)); }

std::wstring TrayApplication::Text(int id) const { return ProgramText(locale_, id); }

// Cut as the formatting buffer holds it.
std::wstring TrayApplication::Tooltip(int stateId) const {
    std::wstring tip = displayName_;
    if (stateId != 0) tip.append(L" (").append(Text(stateId)).append(L")");
    if (tip.size() >= kTooltipBuffer) tip.resize(kTooltipBuffer - 1);
    return tip;
}

// Kept so that a change of language can show the state's text again.
int TrayApplication::ShowState(int icon, int stateId) {
    stateIcon_ = icon;
    stateId_ = stateId;
    return setIcon(icon, Tooltip(stateId));
}

int TrayApplication::SetTrayReady() { return ShowState(art::kIconReady, 0); }

int TrayApplication::SetTrayNoDevice() { return ShowState(art::kIconNoHandset, art::kNoHandsetTip); }

int TrayApplication::SetTrayNoClient() {
    ConnectorRegistry& registry = connectors_.Registry();
    bool attached = false;
    for (int i = 0; i < registry.Count(); ++i) {
        const VoipConnector* connector = registry.At(i);
        if (connector->IsOnline()) return SetTrayReady();
        attached = attached || connector->IsAttached();
    }
    return ShowState(art::kIconNoClient, attached ? art::kClientOfflineTip : art::kNoClientTip);
}

void TrayApplication::StartAudioSetupTimer() {
    // Without a window SetTimer would make a thread timer nobody receives.
    if (window()) os::SetTimer(window(), kAudioSetupTimer, kAudioSetupMs);
}

int TrayApplication::AskYesNo(int stringId) {
    return os::MessageBox(window(), Text(stringId), Text(art::kMessageCaption), os::MB_YESNO | os::MB_ICONQUESTION);
}

void TrayApplication::ApplySettings() {
    settings_.Save();  // also the autostart value
    // Before Windows 6 the preferred sound devices are set by the setter tool.
    os::OsVersionInfo version;
    if (os::GetVersionEx(version) && version.majorVersion < 6) Audio_LaunchSetter();
    connectors_.NotifySettingsChanged();
    connectors_.ShowLcdLogo();
    if (stateIcon_ != 0) ShowState(stateIcon_, stateId_);  // the language may have changed
}

void TrayApplication::SetOpenDialog(os::Hwnd dialog) {
    if (!openDialog_) openDialog_ = dialog;
}

void TrayApplication::ClearOpenDialog(os::Hwnd dialog) {
    if (openDialog_ == dialog) openDialog_ = nullptr;
}

bool TrayApplication::BringDialogToFront() {
    // A dialog that ended without saying so must not keep the menu away for good.
    if (openDialog_ && !os::IsWindow(openDialog_)) openDialog_ = nullptr;
    if (!openDialog_) return true;
    os::SetForegroundWindow(openDialog_);
    return false;
}

int TrayApplication::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    if (id == kExit) {
        if (AskYesNo(art::kExitQuestion) == os::IDYES) {
            destroy();
            os::PostQuitMessage(0);
        }
    } else if (InRange(id, kFirstLanguageCommand, kCommandRange)) {
        const int index = id - kFirstLanguageCommand;
        if (KnownLanguage(index)) {
            settings_.SetLanguage(index);
            ApplySettings();
        }
    } else if (InRange(id, kFirstProgramCommand, kCommandRange)) {
        connectors_.SetActiveProgram(id - kFirstProgramCommand);
    } else if (id == kCheckUpdate) {
        versionCheck_.OpenVersionPage();
    } else if (id == kAbout || id == kOptions || id == kHelp) {
        // One dialog at a time: a second command brings the open one forward.
        if (!BringDialogToFront()) return 0;
        if (id == kAbout) ShowAbout();
        if (id == kOptions) ShowOptions();
        if (id == kHelp) ShowHelp();
    }
    return 0;
}

std::intptr_t TrayApplication::ShowAbout() { return AboutDialog(*this).show(window()); }

std::intptr_t TrayApplication::ShowHelp() { return HelpDialog(*this).show(window()); }

std::intptr_t TrayApplication::ShowOptions() {
    const std::intptr_t result = OptionsDialog(*this).show(window());
    if (result == OptionsDialog::kOk) ApplySettings();
    return result;
}

void TrayApplication::onDoubleClick() { onCommand(kAbout, 0); }

void TrayApplication::onInitMenuPopup(os::Hmenu menu, os::LParam) {
    for (const Language& language : locale_.languages()) {
        if (!InRange(language.index, 0, kCommandRange)) continue;
        os::CheckMenuItem(menu, kFirstLanguageCommand + language.index,
                          os::MF_BYCOMMAND | (language.index == settings_.language ? os::MF_CHECKED
                                                                                   : os::MF_UNCHECKED));
    }
    ConnectorRegistry& registry = connectors_.Registry();
    const VoipConnector* active = registry.GetActiveConnector();
    const int activeId = active ? active->GetConnectorId() : 0;
    for (int i = 0; i < registry.Count(); ++i) {
        const VoipConnector* connector = registry.At(i);
        const int id = connector->GetConnectorId();
        if (!InRange(id, 0, kCommandRange)) continue;
        const std::uint32_t command = static_cast<std::uint32_t>(kFirstProgramCommand + id);
        os::EnableMenuItem(menu, command,
                           os::MF_BYCOMMAND | (connector->IsOnline() ? os::MF_ENABLED : os::MF_GRAYED));
        os::CheckMenuItem(menu, command,
                          os::MF_BYCOMMAND | (id == activeId ? os::MF_CHECKED : os::MF_UNCHECKED));
    }
    LocalizeMenu(menu, 0);
}

// Each item takes its localised text; the two placeholders become the
// language and program submenus the first time they are seen.
void TrayApplication::LocalizeMenu(os::Hmenu menu, int depth) {
    if (depth > kMenuDepthLimit) return;
    const int count = os::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        os::MenuItemInfo item;
        item.mask = os::MIIM_ID | os::MIIM_STRING | os::MIIM_SUBMENU | os::MIIM_FTYPE;
        if (!os::GetMenuItemInfo(menu, static_cast<std::uint32_t>(position), true, item)) continue;
        if (item.type & os::MFT_SEPARATOR) continue;
        os::Hmenu submenu = item.subMenu;
        if (SamePlaceholder(item.text, L"myLanguage")) {
            submenu = BuildLanguageMenu();
            AttachSubmenu(menu, position, art::kLanguageMenu, item.subMenu, submenu);
        } else if (SamePlaceholder(item.text, L"myFocus")) {
            submenu = BuildProgramMenu();
            AttachSubmenu(menu, position, art::kProgramMenu, item.subMenu, submenu);
        } else {
            // An item without a text of its own keeps the resource's.
            const std::wstring text = Text(static_cast<int>(item.id));
            if (!text.empty() && text != item.text) {
                os::MenuItemInfo rename;
                rename.mask = os::MIIM_STRING;
                rename.text = text;
                os::SetMenuItemInfo(menu, static_cast<std::uint32_t>(position), true, rename);
            }
        }
        if (submenu) LocalizeMenu(submenu, depth + 1);
    }
}

void TrayApplication::AttachSubmenu(os::Hmenu menu, int position, int id, os::Hmenu previous,
                                    os::Hmenu submenu) {
    os::MenuItemInfo change;
    change.mask = os::MIIM_ID | os::MIIM_SUBMENU;
    change.id = static_cast<std::uint32_t>(id);
    change.subMenu = submenu;
    // The placeholder's own text is no title: without a translation the English one.
    change.mask |= os::MIIM_STRING;
    change.text = Text(id);
    if (!os::SetMenuItemInfo(menu, static_cast<std::uint32_t>(position), true, change)) {
        os::DestroyMenu(submenu);
        return;
    }
    // Attaching does not destroy the submenu it replaces.
    if (previous) os::DestroyMenu(previous);
}

os::Hmenu TrayApplication::BuildLanguageMenu() const {
    const os::Hmenu languages = os::CreatePopupMenu();
    for (const Language& language : locale_.languages()) {
        if (!InRange(language.index, 0, kCommandRange)) continue;
        os::AppendMenu(languages, os::MF_STRING,
                       static_cast<std::uintptr_t>(kFirstLanguageCommand + language.index),
                       language.displayName.c_str());
    }
    return languages;
}

os::Hmenu TrayApplication::BuildProgramMenu() const {
    const os::Hmenu programs = os::CreatePopupMenu();
    ConnectorRegistry& registry = connectors_.Registry();
    for (int i = 0; i < registry.Count(); ++i) {
        const VoipConnector* connector = registry.At(i);
        const int id = connector->GetConnectorId();
        if (!InRange(id, 0, kCommandRange)) continue;
        os::AppendMenu(programs, os::MF_STRING, static_cast<std::uintptr_t>(kFirstProgramCommand + id),
                       connector->GetDisplayName().c_str());
    }
    return programs;
}

// Language indices come from locale.xml: one outside the command range
// gets no item, and a command for a language the file lacks is refused.
bool TrayApplication::KnownLanguage(int index) const {
    if (!InRange(index, 0, kCommandRange)) return false;
    const auto& languages = locale_.languages();
    return std::any_of(languages.begin(), languages.end(),
                       [index](const Language& language) { return language.index == index; });
}

void TrayApplication::onTimer(std::uintptr_t timerId) {
    if (timerId == kAudioSetupTimer) {
        os::KillTimer(window(), kAudioSetupTimer);
        Audio_ReselectDevices();
        Audio_RaiseVolumes(kRaiseSpeakerAndMicrophone);
        Audio_PublishDeviceNames();  // acts only before Windows 6
    } else if (timerId == HandsetIndicator::kTimerId) {
        indicator_.Tick();
    } else if (timerId == kVersionRetryTimer) {
        if (versionCheck_.HasSucceeded()) {
            os::KillTimer(window(), kVersionRetryTimer);
        } else {
            versionCheck_.StartCheck();
        }
    } else if (timerId == kNewerVersionTimer && versionCheck_.TakeNewerFlag() == 0) {
        // Stopped first: the prompt is modal, and this timer still ticks under it.
        os::KillTimer(window(), kNewerVersionTimer);
        versionCheck_.ShowUpdatePrompt(window(), *this);
    }
}

}  // namespace talvio
