#include "settings/settings_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "foundation/text_convert.h"
#include "foundation/xml_reader.h"
#include "settings/app_settings.h"
#include "settings/attribute_values.h"

namespace talvio {
namespace {

constexpr int kNoItem = -99;

// A program name of the table, or a number n meaning program n + 1.
int ProgramIdOf(const char* item) {
    if (item == nullptr) return kNoItem;
    for (int index = 0; index < kProgramCount; ++index) {
        if (ComparePrefixes(item, kProgramItemNames[index]) == 0) return index + 1;
    }
    const int number = DecimalValue(item);
    return number == INT_MAX ? INT_MAX : number + 1;
}

class SettingsHandler : public XmlHandler {
public:
    explicit SettingsHandler(AppSettings& settings) : settings_(settings) {}

    void startDocument() override { programId_ = 0; }

    void startElement(const Utf8String& name, const XmlAttributes* attributes) override {
        const Attributes a{attributes};
        const char* element = name.c_str();
        if (Is(element, "AutoAnswer")) {
            section_ = "AutoAnswer";
            settings_.autoAnswer = a.number("value", 0);
        } else if (Is(element, "General")) {
            section_ = "General";
        } else if (Is(element, "AppSwitch")) {
            section_ = "AppSwitch";
            const int active = a.number("value", 1);
            settings_.activeProgram = active > 0 ? active : 1;
        } else if (Is(element, "AppCallOut")) {
            section_ = "AppCallOut";
            settings_.callOutProgram = a.number("value", -1);
            settings_.callOutFree = a.number("free", 1);
        } else if (Is(element, "AppItem")) {
            startProgram(a);
        } else if (Is(element, "FeeItem")) {
            addRate(a);
        } else if (Is(element, "LCDLogo")) {
            const char* logo = a.find("val");
            settings_.lcdLogo = logo == nullptr || *logo == '\0' ? L"Nexaro" : Utf8ToWide(logo);
        } else if (Is(element, "RingVolume")) {
            settings_.ringVolume = std::clamp(a.number("val", 65535), 0, 65535);
        } else if (section_ == "General") {
            readGeneral(element, a);
        } else if (section_ == "AutoAnswer") {
            readAutoAnswer(element, a);
        }
    }

    void characters(const char*, int) override {}

    void endElement(const Utf8String& name) override {
        if (section_ == name.c_str()) section_.clear();
    }

    void endDocument() override {}

private:
    // The handler's view of one start tag's attributes.
    struct Attributes {
        const XmlAttributes* block;

        const char* find(const char* name) const { return AttributeText(block, name); }
        int number(const char* name, int missing) const {
            return AttributeNumber(block, name, missing);
        }
    };

    static bool Is(const char* element, const char* name) { return std::strcmp(element, name) == 0; }

    void startProgram(const Attributes& a) {
        programId_ = ProgramIdOf(a.find("item"));
        if (section_ != "AppSwitch") {
            section_ = "AppItem";
            return;
        }
        const int id = programId_;
        if (id < 1 || id > kProgramCount) return;
        ProgramSetting& program = settings_.programs[id - 1];
        program.value = a.number("value", id);
        program.dialTone = a.number("dialtone", id - 1);
        program.ringTone = a.number("ringtone", id - 1);
    }

    void addRate(const Attributes& a) {
        RateList* rates = settings_.RatesOf(programId_);
        const char* prefix = a.find("item");
        if (rates == nullptr || prefix == nullptr || *prefix == '\0') return;
        rates->add(prefix, DecimalFraction(a.find("value")));
    }

    void readGeneral(const char* element, const Attributes& a) {
        if (Is(element, "AutoStart")) {
            settings_.autoStart = a.number("value", 0);
        } else if (Is(element, "Language")) {
            settings_.SetLanguage(a.number("value", 0));
        } else if (Is(element, "CheckVer")) {
            settings_.checkVer = a.number("value", 0);
        } else if (Is(element, "PreferredUSB")) {
            settings_.preferredUsb = a.number("value", 0);
        } else if (Is(element, "CallerIDType")) {
            settings_.callerIdType = a.number("value", 0);
        } else if (Is(element, "PlayDTMF")) {
            settings_.playDtmf = a.number("value", 1);
        }
    }

    void readAutoAnswer(const char* element, const Attributes& a) {
        int* flag = nullptr;
        std::wstring* text = nullptr;
        if (Is(element, "AutoBusy")) {
            flag = &settings_.autoBusy;
            text = &settings_.autoBusyText;
        } else if (Is(element, "AutoAway")) {
            flag = &settings_.autoAway;
            text = &settings_.autoAwayText;
        } else {
            return;
        }
        *flag = a.number("value", 0);
        const char* txt = a.find("txt");
        *text = txt == nullptr ? std::wstring() : Utf8ToWide(txt);
    }

    AppSettings& settings_;
    std::string section_;
    int programId_ = 0;
};

}  // namespace

void ReadSettings(AppSettings& settings, ByteStream& input) {
    SettingsHandler handler(settings);
    XmlReader reader(handler);
    // Malformed XML ends the read; what came before it stays.
    reader.tryParse(input, true, true);
}

}  // namespace talvio
