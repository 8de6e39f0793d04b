// Every user setting of the main program, mirrored to config.xml in the
// program's directory; the same load reads the FeeConf.xml rate table and
// keeps the autostart registry value in step. One instance lives for the
// whole run. Main thread only: other threads never touch it.
#pragma once

#include <array>
#include <string>

#include "settings/rate_table.h"

namespace talvio {

class LocaleTable;
class Registry;

inline constexpr int kProgramCount = 12;

// The item names of config.xml and FeeConf.xml, index = program id - 1.
extern const std::array<const char*, kProgramCount> kProgramItemNames;

struct ProgramSetting {
    int id = 0;        // 1 to 12, fixed at construction
    int value = 0;     // kept and written back only
    int dialTone = 0;  // 0 to 9, kept and written back only
    int ringTone = 0;  // 0 to 16, 0 the default ring tone
    RateList rates;    // from FeeConf.xml
};

class AppSettings {
public:
    // Neither is owned; both must outlive the settings. `locale` may be null
    // (no interface language is switched then).
    AppSettings(Registry& registry, LocaleTable* locale);
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // config.xml, then FeeConf.xml, then the autostart value. A file that
    // cannot be opened ends the load there; a malformed one keeps what was
    // read before the fault.
    void Load();
    // Rewrites config.xml (atomically) and then the autostart value. True
    // when the file was written; on failure the old file stays as it was.
    bool Save();
    // Stores the language and switches the locale table to it; true when the
    // table's language changed.
    bool SetLanguage(int index);

    // config.xml's exact bytes for the current fields.
    std::string ConfigText() const;
    // The rates of a program, or null outside ids 1 to 12.
    RateList* RatesOf(int programId);

    int autoStart = 0;
    int checkVer = 1;
    int playDtmf = 0;
    int preferredUsb = 0;
    int language = 0;
    int callerIdType = 0;
    int autoAnswer = 0;
    int autoBusy = 0;
    std::wstring autoBusyText;
    int autoAway = 0;
    std::wstring autoAwayText;
    int activeProgram = 1;
    std::array<ProgramSetting, kProgramCount> programs;
    int callOutProgram = -1;  // position in the connector list after Skype; -1 none
    int callOutFree = 1;
    int ringVolume = 65535;  // 0 to 65535
    std::wstring lcdLogo;

private:
    Registry& registry_;
    LocaleTable* locale_;
};

}  // namespace talvio
