// The fixed texts of the LCD, by localisation key, with their English
// defaults; translations come from locale.xml through the locale table.
// Main thread only (the locale table is).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace talvio {

class LocaleTable;

enum LcdTextKey : int {
    kLcdMenu = 0x10004,
    kLcdOk = 0x10014,
    kLcdBack = 0x10015,
    kLcdCall = 0x10016,
    kLcdClear = 0x10017,
    kLcdDelete = 0x10018,
    kLcdDetail = 0x10019,
    kLcdPlay = 0x1001a,
    kLcdStop = 0x1001b,
    kLcdCancel = 0x1001c,
    kLcdHangUp = 0x1001d,
    kLcdResume = 0x1001e,
    kLcdAccept = 0x1001f,
    kLcdRefuse = 0x10020,
    kLcdEmpty = 0x10021,
    kLcdOffline = 0x10022,
    kLcdUnavailable = 0x10023,
    kLcdHold = 0x10024,
    kLcdMute = 0x10025,
    kLcdIncomingCall = 0x10026,
    kLcdOutgoingCall = 0x10027,
    kLcdMissedCall = 0x10028,
    kLcdVoiceMail = 0x10029,
    kLcdHistoryCall = 0x1002a,
    kLcdActiveVoip = 0x1002b,
    kLcdVolumeSetting = 0x1002c,
};

class LcdTexts {
public:
    // `locale` is not owned and may be null (English only); it must outlive
    // this object.
    explicit LcdTexts(const LocaleTable* locale) : locale_(locale) {}

    // Every key with its English default.
    static std::span<const std::pair<int, std::wstring_view>> All();
    // The English default of a key; empty for a key not in the table.
    static std::wstring_view English(int key);

    // The key's text in the current language: the translation when there is
    // one, else the English default; empty for a key not in the table.
    std::wstring Text(int key) const;

    // A text equal, ignoring case, to a default becomes that key's text in
    // the current language; any other text comes back unchanged.
    std::wstring Localise(std::wstring_view text) const;

private:
    const LocaleTable* locale_;
};

}  // namespace talvio
