#include "settings/app_settings.h"

#include <string>
#include <utility>

#include "foundation/byte_stream.h"
#include "foundation/utf8_string.h"
#include "platform/platform.h"
#include "settings/autostart.h"
#include "settings/file_replace.h"
#include "settings/program_files.h"
#include "settings/settings_reader.h"
#include "ui/locale_table.h"

namespace talvio {

const std::array<const char*, kProgramCount> kProgramItemNames = {
    "skype",         "voipbuster", "voipstunt", "voipcheap",    "sparvoip", "voipdiscount",
    "internetcalls", "netappel",   "freecall",  "voipcheapcom", "poivy",    "webcalldirect",
};

namespace {

// Builds config.xml piece by piece: literal texts as they are, numbers as
// signed decimals, wide texts as escaped UTF-8. Lines of any length.
class ConfigWriter {
public:
    template <typename... Parts>
    void line(const Parts&... parts) {
        (put(parts), ...);
    }

    std::string take() { return std::move(out_); }

private:
    void put(const char* piece) { out_ += piece; }
    void put(int value) { out_ += std::to_string(value); }
    void put(const std::wstring& value) {
        const Utf8String text = Utf8String(value).escaped();
        out_.append(text.c_str(), static_cast<std::size_t>(text.length()));
    }

    std::string out_;
};

}  // namespace

AppSettings::AppSettings(Registry& registry, LocaleTable* locale)
    : registry_(registry), locale_(locale) {
    for (int id = 1; id <= kProgramCount; ++id) {
        ProgramSetting& program = programs[id - 1];
        program.id = id;
        program.value = id;
        program.dialTone = id - 1;
        program.ringTone = id - 1;
    }
}

void AppSettings::Load() {
    FileStream config;
    if (!config.open(ProgramFilePath(L"config.xml"))) return;
    ReadSettings(*this, config);
    config.close();

    FileStream rates;
    if (!rates.open(ProgramFilePath(L"FeeConf.xml"))) return;
    ReadSettings(*this, rates);
    rates.close();

    ApplyAutostart(autoStart != 0, registry_, os::GetModuleFileName());
}

bool AppSettings::Save() {
    const bool written = ReplaceFileContents(ProgramFilePath(L"config.xml"), ConfigText());
    ApplyAutostart(autoStart != 0, registry_, os::GetModuleFileName());
    return written;
}

bool AppSettings::SetLanguage(int index) {
    language = index;
    return locale_ != nullptr && locale_->setLanguage(index);
}

RateList* AppSettings::RatesOf(int programId) {
    if (programId < 1 || programId > kProgramCount) return nullptr;
    return &programs[programId - 1].rates;
}

std::string AppSettings::ConfigText() const {
    ConfigWriter w;
    w.line("<?xml version='1.0' encoding='utf-8'?>\n<Config>");
    w.line("\n\t<General>");
    w.line("\n\t\t<AutoStart value='", autoStart, "' />");
    w.line("\n\t\t<CheckVer value='", checkVer, "' />");
    w.line("\n\t\t<PlayDTMF value='", playDtmf, "' />");
    w.line("\n\t\t<PreferredUSB value='", preferredUsb, "' />");
    w.line("\n\t\t<Language value='", language, "' />");
    w.line("\n\t\t<CallerIDType value='", callerIdType, "' />");
    w.line("\n\t</General>");
    w.line("\n\t<AutoAnswer value='", autoAnswer, "'>");
    w.line("\n\t\t<AutoBusy value='", autoBusy, "' txt='", autoBusyText, "' />");
    w.line("\n\t\t<AutoAway value='", autoAway, "' txt='", autoAwayText, "' />");
    w.line("\n\t</AutoAnswer>");
    w.line("\n\t<AppSwitch value='", activeProgram, "'>");
    for (const ProgramSetting& program : programs) {
        w.line("\n\t\t<AppItem item='", kProgramItemNames[program.id - 1], "' value='",
               program.value, "' dialtone='", program.dialTone, "' ringtone='", program.ringTone,
               "'/>");
    }
    w.line("\n\t</AppSwitch>");
    w.line("\n\t<AppCallOut value='", callOutProgram, "' free='", callOutFree != 0 ? 1 : 0,
           "' >");
    w.line("\n\t</AppCallOut>");
    w.line("\n\t<LCDLogo val='", lcdLogo, "'/>");
    w.line("\n\t<RingVolume val='", ringVolume, "'/>");
    w.line("\n</Config>");
    return w.take();
}

}  // namespace talvio
