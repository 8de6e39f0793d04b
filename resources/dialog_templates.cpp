#include "resources/dialog_templates.h"

#include "platform/controls.h"

namespace talvio::art {
namespace {

using namespace os;

constexpr std::uint32_t kShown = WS_VISIBLE | WS_TABSTOP;
constexpr std::uint32_t kCheckBox = kShown | BS_AUTOCHECKBOX;
constexpr std::uint32_t kLabel = WS_VISIBLE | SS_LEFT;
constexpr std::uint32_t kDropDown = kShown | CBS_DROPDOWNLIST | WS_VSCROLL;
constexpr std::uint32_t kTextBox = kShown | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
constexpr std::uint32_t kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr std::uint32_t kPage = WS_CHILD | DS_CONTROL | DS_SETFONT;
// Siblings drawn over a control must not be painted over by it.
constexpr std::uint32_t kClipSiblings = 0x04000000;

}  // namespace

std::vector<DialogTemplate> DialogTemplates() {
    return {
        {kOptionsDialog, "Options", kModal, 252, 196,
         {
             {"SysTabControl32", "", kOptionsTabs, kShown, 4, 4, 244, 166},
             {"Button", "OK", kOptionsOk, kShown | BS_DEFPUSHBUTTON, 88, 176, 50, 14},
             {"Button", "Cancel", kOptionsCancel, kShown, 143, 176, 50, 14},
             {"Button", "Apply", kOptionsApply, kShown, 198, 176, 50, 14},
         }},
        {kGeneralPage, "General", kPage, 236, 140,
         {
             {"Button", "Automaticaly start on Windows startup", kAutoStartBox, kCheckBox, 10, 8, 216, 10},
             {"Button", "Notify me when new version released", kCheckVersionBox, kCheckBox, 10, 22, 216, 10},
             {"Button", "Play DTMF when press key", kPlayDtmfBox, kCheckBox, 10, 36, 216, 10},
             {"Button", "Set USB Audio as preferred Audio Device", kPreferredUsbBox, kCheckBox, 10, 50, 216, 10},
             {"Button", "Interface language", kLanguageGroup, WS_VISIBLE | BS_GROUPBOX, 10, 68, 216, 36},
             {"ComboBox", "", kLanguageList, kDropDown, 20, 82, 150, 100},
         }},
        {kAutoAnswerPage, "Auto answer", kPage, 236, 140,
         {
             {"Button", "Enable text answering", kAutoAnswerBox, kCheckBox, 10, 6, 216, 10},
             {"Button", "Enabled if active call present", kAutoBusyBox, kCheckBox, 20, 20, 206, 10},
             {"Edit", "", kAutoBusyText, kTextBox, 20, 32, 206, 36},
             {"Button", "Enabled if status is away", kAutoAwayBox, kCheckBox, 20, 74, 206, 10},
             {"Edit", "", kAutoAwayText, kTextBox, 20, 86, 206, 36},
         }},
        {kProgramsPage, "VOIP Application Setting", kPage, 236, 158,
         {
             // Before the list: earlier controls lie above later ones, and
             // these two are placed over the list's cells.
             {"ComboBox", "", kRingToneList, WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 80, 120},
             {"Button", "", kPlayButton, WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0, 0, 14, 12},
             {"SysListView32", "", kProgramList,
              kShown | WS_BORDER | kClipSiblings | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 6, 4, 224, 84},
             {"Static", "Ring Volume:", kRingVolumeLabel, kLabel, 6, 96, 52, 10},
             {"msctls_trackbar32", "", kRingVolumeSlider, kShown | TBS_AUTOTICKS, 60, 92, 170, 18},
             {"Button", "Use other VOIP program  when skype out", kCallOutBox, kCheckBox, 6, 114, 224, 10},
             {"Static", "Call out Program", kCallOutLabel, kLabel, 18, 130, 70, 10},
             {"ComboBox", "", kCallOutList, kDropDown, 90, 128, 140, 100},
             {"Button", "Use other free VOIP program when skype out", kCallOutFreeBox, kCheckBox, 6, 142, 224, 10},
         }},
        {kAboutDialog, "About", kModal, 200, 76,
         {
             {"Static", "107", -1, WS_VISIBLE | SS_ICON, 10, 16, 21, 20},
             {"Static", "Talvio Phone Driver", kAboutName, kLabel, 42, 16, 150, 10},
             {"Static", "Version %s", kAboutVersion, kLabel, 42, 30, 150, 10},
             {"Button", "OK", IDOK, kShown | BS_DEFPUSHBUTTON, 75, 54, 50, 14},
         }},
        {kHelpDialog, "Help", kModal, 220, 122,
         {
             // No tab stop: the focus goes to Close, and the text is not shown selected.
             {"Edit", "", kHelpText, WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL,
              6, 6, 208, 90},
             {"Button", "Close", kHelpClose, kShown | BS_DEFPUSHBUTTON, 164, 102, 50, 14},
         }},
        // Owned by the tray window and centred by the program.
        {kUpdatePromptDialog, "Orvane Driver", kModal, 236, 78,
         {
             {"Static", "A new version is detected. Would you like to download and update now?", kUpdateText, kLabel,
              10, 10, 216, 20},
             {"Button", "&Do not ask me again!", kDoNotAskAgain, kCheckBox, 10, 36, 216, 10},
             {"Button", "&Update now", kUpdateNow, kShown | BS_DEFPUSHBUTTON, 64, 56, 76, 14},
             {"Button", "Update &later", kUpdateLater, kShown, 150, 56, 76, 14},
         }},
    };
}

}  // namespace talvio::art
