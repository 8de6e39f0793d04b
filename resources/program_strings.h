// The texts TalvioDriver.exe looks up in locale.xml by string id that belong
// to no menu item or dialog control, each with the English text shown when
// locale.xml has none for the current language. Every such lookup names an
// id of this table, so the table is the list of them. Plain data; any thread.
#pragma once

#include <string_view>

#include "resources/dialog_templates.h"

namespace talvio::art {

inline constexpr int kExitQuestion = 65542;
inline constexpr int kMessageCaption = 65543;
// The tray tooltip's state, after the program's name in brackets.
inline constexpr int kNoHandsetTip = 65544;
inline constexpr int kClientOfflineTip = 65545;
inline constexpr int kNoClientTip = 65546;
// The titles the tray menu's two placeholders take with their submenus.
inline constexpr int kLanguageMenu = 65548;
inline constexpr int kProgramMenu = 65551;
// The ring tones of the programs page: number 0, and the others by number.
inline constexpr int kDefaultRingTone = 65547;
inline constexpr int kNumberedRingTone = 65550;

struct ProgramString {
    int id;
    std::wstring_view english;
};

inline constexpr ProgramString kProgramStrings[] = {
    {kExitQuestion, L"Exit Talvio Phone Driver? The handset will not work until the program is started again."},
    {kMessageCaption, L"Talvio Phone Driver"},
    {kNoHandsetTip, L"Please Connect the USB Device"},
    {kClientOfflineTip, L"Skype Offline"},
    {kNoClientTip, L"Please Launch Skype"},
    {kLanguageMenu, L"&Language"},
    {kProgramMenu, L"VoIP &Program"},
    {kOptionsDialog, L"Options"},
    {kGeneralTitle, L"General"},
    {kAutoAnswerTitle, L"Auto answer"},
    {kProgramsTitle, L"VOIP Application Setting"},
    {kProgramNameColumn, L"Program Name"},
    {kRingToneColumn, L"Ring Tone"},
    {kDefaultRingTone, L"default ring tone"},
    {kNumberedRingTone, L"ring tone %d"},
    {kAboutDialog, L"About"},
    {kHelpDialog, L"Help"},
    {kHelpText, L"\r\n*#*: Switch between PSTN channel and VoIP Channel\r\n\r\nSpeed dial: \"Speed Dial Number\" + "
                L"#\r\n\r\nSkypeOut: 00+\"Phone Number\" + #\r\n"},
};

// The English text of `id`; empty for an id the table does not hold.
constexpr std::wstring_view EnglishString(int id) {
    for (const ProgramString& string : kProgramStrings)
        if (string.id == id) return string.english;
    return {};
}

}  // namespace talvio::art
