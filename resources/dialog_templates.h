// The dialog templates of TalvioDriver.exe as data: the Options dialog and
// its three pages, About, Help and the update prompt, with their control
// ids, texts, kinds and layout in dialog units. resgen writes them into the
// program's resource script; hosted tests install the same data on the
// hosted desktop. The ids are also the locale.xml ids of the texts. Plain
// data; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvio::art {

// Templates, and the string ids of the tab titles.
inline constexpr int kOptionsDialog = 2001;
inline constexpr int kGeneralPage = 151;
inline constexpr int kAutoAnswerPage = 2033;
inline constexpr int kProgramsPage = 2159;
inline constexpr int kAboutDialog = 2052;
inline constexpr int kHelpDialog = 2131;
inline constexpr int kGeneralTitle = 65536;
inline constexpr int kAutoAnswerTitle = 65549;
inline constexpr int kProgramsTitle = 2159;

// Options.
inline constexpr int kOptionsTabs = 1087;
inline constexpr int kOptionsOk = 1088;
inline constexpr int kOptionsApply = 1089;
inline constexpr int kOptionsCancel = 1090;
// General page.
inline constexpr int kAutoStartBox = 2006;
inline constexpr int kCheckVersionBox = 2133;
inline constexpr int kPlayDtmfBox = 2161;
inline constexpr int kPreferredUsbBox = 2165;
inline constexpr int kLanguageGroup = 2166;
inline constexpr int kLanguageList = 1045;
// Auto answer page.
inline constexpr int kAutoAnswerBox = 2032;
inline constexpr int kAutoBusyBox = 2030;
inline constexpr int kAutoBusyText = 2031;
inline constexpr int kAutoAwayBox = 1196;
inline constexpr int kAutoAwayText = 1029;
// Programs page.
inline constexpr int kProgramList = 2158;
inline constexpr int kRingToneList = 2142;
inline constexpr int kPlayButton = 1054;
inline constexpr int kRingVolumeLabel = 2167;
inline constexpr int kRingVolumeSlider = 1055;
inline constexpr int kCallOutBox = 2144;
inline constexpr int kCallOutLabel = 1044;
inline constexpr int kCallOutList = 2143;
inline constexpr int kCallOutFreeBox = 2149;
// The list's column titles (strings only).
inline constexpr int kProgramNameColumn = 65554;
inline constexpr int kRingToneColumn = 65555;
// About.
inline constexpr int kAboutIcon = 107;
inline constexpr int kAboutName = 1059;
inline constexpr int kAboutVersion = 2164;
// Help.
inline constexpr int kHelpText = 2103;
inline constexpr int kHelpClose = 2134;
// The update prompt.
inline constexpr int kUpdatePromptDialog = 2098;
inline constexpr int kUpdateText = 2105;
inline constexpr int kUpdateNow = 2104;
inline constexpr int kUpdateLater = 2120;
inline constexpr int kDoNotAskAgain = 2107;

// One control: CONTROL "text", id, "class", style, x, y, width, height.
// A "Static" with SS_ICON names its icon resource by number in `text`.
struct DialogItem {
    const char* className;
    const char* text;  // ASCII
    int id;
    std::uint32_t style;  // WS_CHILD is implied
    int x;
    int y;
    int width;
    int height;
};

struct DialogTemplate {
    int id;
    const char* title;
    std::uint32_t style;
    int width;
    int height;
    std::vector<DialogItem> items;
};

// The template's font, as every dialog of the program declares it.
inline constexpr const char* kDialogFont = "MS Sans Serif";
inline constexpr int kDialogFontSize = 10;

std::vector<DialogTemplate> DialogTemplates();

}  // namespace talvio::art
