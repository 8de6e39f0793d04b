#include <gtest/gtest.h>

#include <string>

#include "foundation/text_convert.h"
#include "settings/memory_registry.h"
#include "tests/settings/settings_test_support.h"

namespace talvio {
namespace {

using testing::ReadText;

const char kDefaultFile[] =
    "<?xml version='1.0' encoding='utf-8'?>\n<Config>"
    "\n\t<General>"
    "\n\t\t<AutoStart value='0' />"
    "\n\t\t<CheckVer value='1' />"
    "\n\t\t<PlayDTMF value='0' />"
    "\n\t\t<PreferredUSB value='0' />"
    "\n\t\t<Language value='0' />"
    "\n\t\t<CallerIDType value='0' />"
    "\n\t</General>"
    "\n\t<AutoAnswer value='0'>"
    "\n\t\t<AutoBusy value='0' txt='' />"
    "\n\t\t<AutoAway value='0' txt='' />"
    "\n\t</AutoAnswer>"
    "\n\t<AppSwitch value='1'>"
    "\n\t\t<AppItem item='skype' value='1' dialtone='0' ringtone='0'/>"
    "\n\t\t<AppItem item='voipbuster' value='2' dialtone='1' ringtone='1'/>"
    "\n\t\t<AppItem item='voipstunt' value='3' dialtone='2' ringtone='2'/>"
    "\n\t\t<AppItem item='voipcheap' value='4' dialtone='3' ringtone='3'/>"
    "\n\t\t<AppItem item='sparvoip' value='5' dialtone='4' ringtone='4'/>"
    "\n\t\t<AppItem item='voipdiscount' value='6' dialtone='5' ringtone='5'/>"
    "\n\t\t<AppItem item='internetcalls' value='7' dialtone='6' ringtone='6'/>"
    "\n\t\t<AppItem item='netappel' value='8' dialtone='7' ringtone='7'/>"
    "\n\t\t<AppItem item='freecall' value='9' dialtone='8' ringtone='8'/>"
    "\n\t\t<AppItem item='voipcheapcom' value='10' dialtone='9' ringtone='9'/>"
    "\n\t\t<AppItem item='poivy' value='11' dialtone='10' ringtone='10'/>"
    "\n\t\t<AppItem item='webcalldirect' value='12' dialtone='11' ringtone='11'/>"
    "\n\t</AppSwitch>"
    "\n\t<AppCallOut value='-1' free='1' >"
    "\n\t</AppCallOut>"
    "\n\t<LCDLogo val=''/>"
    "\n\t<RingVolume val='65535'/>"
    "\n</Config>";

class ConfigWriterTest : public ::testing::Test {
protected:
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};
};

TEST_F(ConfigWriterTest, InitialSettingsGiveTheExactFile) {
    EXPECT_EQ(settings.ConfigText(), kDefaultFile);
}

TEST_F(ConfigWriterTest, EscapesAllFiveCharactersInEveryText) {
    settings.autoBusyText = L"<\"busy\" & 'out'>";
    settings.autoAwayText = L"a&b";
    settings.lcdLogo = L"O'Neil <3>";
    const std::string file = settings.ConfigText();
    EXPECT_NE(file.find("txt='&lt;&quot;busy&quot; &amp; &apos;out&apos;&gt;' />"),
              std::string::npos);
    EXPECT_NE(file.find("<AutoAway value='0' txt='a&amp;b' />"), std::string::npos);
    EXPECT_NE(file.find("<LCDLogo val='O&apos;Neil &lt;3&gt;'/>"), std::string::npos);

    AppSettings reread(registry, nullptr);
    ReadText(reread, file);
    EXPECT_EQ(reread.autoBusyText, settings.autoBusyText);
    EXPECT_EQ(reread.autoAwayText, settings.autoAwayText);
    EXPECT_EQ(reread.lcdLogo, settings.lcdLogo);
}

TEST_F(ConfigWriterTest, FreeIsWrittenAsZeroOrOne) {
    settings.callOutFree = 7;
    settings.callOutProgram = 2;
    EXPECT_NE(settings.ConfigText().find("<AppCallOut value='2' free='1' >"), std::string::npos);
    settings.callOutFree = 0;
    EXPECT_NE(settings.ConfigText().find("<AppCallOut value='2' free='0' >"), std::string::npos);
}

TEST_F(ConfigWriterTest, LongLinesAreWrittenWhole) {
    std::wstring longText;
    for (int i = 0; i < 3000; ++i) longText += static_cast<wchar_t>(L'a' + i % 26);
    settings.lcdLogo = longText + L"<end>";
    EXPECT_NE(settings.ConfigText().find("val='" + std::string(longText.begin(), longText.end()) +
                                         "&lt;end&gt;'/>"),
              std::string::npos);

    // 300 ampersands escape to a 1,500-byte line but read back as 300 bytes.
    const std::wstring ampersands(300, L'&');
    settings.lcdLogo = ampersands;
    settings.autoBusyText = ampersands + L"busy";
    AppSettings reread(registry, nullptr);
    ReadText(reread, settings.ConfigText());
    EXPECT_EQ(reread.lcdLogo, ampersands);
    EXPECT_EQ(reread.autoBusyText, ampersands + L"busy");
}

TEST_F(ConfigWriterTest, LongTextsReadBackWholeWithEverySettingAfterThem) {
    const std::wstring longText(4000, L'x');
    settings.autoBusyText = longText;
    settings.autoAwayText = longText + L"away";
    settings.lcdLogo = longText + L"logo";
    settings.ringVolume = 1234;
    AppSettings reread(registry, nullptr);
    ReadText(reread, settings.ConfigText());
    EXPECT_EQ(reread.autoBusyText, longText);
    EXPECT_EQ(reread.autoAwayText, longText + L"away");
    EXPECT_EQ(reread.lcdLogo, longText + L"logo");
    EXPECT_EQ(reread.ringVolume, 1234);
    EXPECT_EQ(reread.ConfigText(), settings.ConfigText());
}

TEST_F(ConfigWriterTest, SaveLoadSaveIsByteIdentical) {
    settings.autoStart = 1;
    settings.checkVer = 0;
    settings.playDtmf = 1;
    settings.preferredUsb = 1;
    settings.language = 6;
    settings.callerIdType = 2;
    settings.autoAnswer = 1;
    settings.autoBusy = 1;
    settings.autoBusyText = W("Beschäftigt, später \"bitte\"");
    settings.autoAway = 1;
    settings.autoAwayText = W("不在 & 'away'");
    settings.activeProgram = 9;
    for (ProgramSetting& program : settings.programs) {
        program.value = 100 + program.id;
        program.dialTone = 9 - program.id % 10;
        program.ringTone = 16 - program.id;
    }
    settings.callOutProgram = 4;
    settings.callOutFree = 0;
    settings.ringVolume = 4321;
    settings.lcdLogo = W("Línea ☎");
    const std::string first = settings.ConfigText();

    AppSettings reread(registry, nullptr);
    ReadText(reread, first);
    EXPECT_EQ(reread.ConfigText(), first);
    EXPECT_EQ(reread.language, 6);
    EXPECT_EQ(reread.autoBusyText, settings.autoBusyText);
    EXPECT_EQ(reread.programs[6].value, 107);
}

}  // namespace
}  // namespace talvio
