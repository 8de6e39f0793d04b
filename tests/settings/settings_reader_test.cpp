#include <gtest/gtest.h>

#include <climits>

#include "foundation/text_convert.h"
#include "settings/memory_registry.h"
#include "tests/settings/settings_test_support.h"
#include "ui/locale_table.h"

namespace talvio {
namespace {

using testing::ReadText;

class SettingsReaderTest : public ::testing::Test {
protected:
    MemoryRegistry registry;
    LocaleTable locale;
    AppSettings settings{registry, &locale};
};

TEST_F(SettingsReaderTest, GeneralValuesCountOnlyInsideGeneral) {
    ReadText(settings, "<Config><AutoStart value='1'/><CheckVer value='0'/></Config>");
    EXPECT_EQ(settings.autoStart, 0);
    EXPECT_EQ(settings.checkVer, 1);

    ReadText(settings, "<Config><General><AutoStart value='1'/></General>"
                       "<PreferredUSB value='1'/></Config>");
    EXPECT_EQ(settings.autoStart, 1);
    EXPECT_EQ(settings.preferredUsb, 0) << "the section ends with </General>";
}

TEST_F(SettingsReaderTest, MissingGeneralValues) {
    settings.autoStart = 1;
    settings.callerIdType = 4;
    ReadText(settings, "<Config><General><PlayDTMF/><AutoStart/><CheckVer/><CallerIDType/>"
                       "<PreferredUSB/></General></Config>");
    EXPECT_EQ(settings.playDtmf, 1);
    EXPECT_EQ(settings.autoStart, 0);
    EXPECT_EQ(settings.checkVer, 0);
    EXPECT_EQ(settings.callerIdType, 0);
    EXPECT_EQ(settings.preferredUsb, 0);
}

TEST_F(SettingsReaderTest, NamesAreCaseSensitiveAndTheRootIsFree) {
    ReadText(settings, "<anything><general><AutoStart value='1'/></general>"
                       "<General><autostart value='1'/><Language value='3'/></General></anything>");
    EXPECT_EQ(settings.autoStart, 0);
    EXPECT_EQ(settings.language, 3);
}

TEST_F(SettingsReaderTest, LanguageSwitchesTheLocaleTable) {
    ReadText(settings, "<C><General><Language value='5'/></General></C>");
    EXPECT_EQ(settings.language, 5);
    EXPECT_EQ(locale.currentLanguage(), 5);
    ReadText(settings, "<C><General><Language/></General></C>");
    EXPECT_EQ(locale.currentLanguage(), 0);
}

TEST_F(SettingsReaderTest, ActiveProgramBelowOneGivesOne) {
    ReadText(settings, "<C><AppSwitch value='7'></AppSwitch></C>");
    EXPECT_EQ(settings.activeProgram, 7);
    ReadText(settings, "<C><AppSwitch value='0'></AppSwitch></C>");
    EXPECT_EQ(settings.activeProgram, 1);
    settings.activeProgram = 4;
    ReadText(settings, "<C><AppSwitch value='-2'/></C>");
    EXPECT_EQ(settings.activeProgram, 1);
    settings.activeProgram = 4;
    ReadText(settings, "<C><AppSwitch/></C>");
    EXPECT_EQ(settings.activeProgram, 1);
}

TEST_F(SettingsReaderTest, AppItemByNameOrNumber) {
    ReadText(settings, "<C><AppSwitch value='1'>"
                       "<AppItem item='VoipStunt' value='30' dialtone='3' ringtone='13'/>"
                       "<AppItem item='WEBCALLDIRECT' ringtone='16'/>"
                       "<AppItem item='3' dialtone='9'/>"
                       "</AppSwitch></C>");
    const ProgramSetting& stunt = settings.programs[2];
    EXPECT_EQ(stunt.value, 30);
    EXPECT_EQ(stunt.ringTone, 13);
    EXPECT_EQ(stunt.dialTone, 3);
    const ProgramSetting& webCall = settings.programs[11];
    EXPECT_EQ(webCall.ringTone, 16);
    EXPECT_EQ(webCall.value, 12) << "missing value is the id";
    EXPECT_EQ(webCall.dialTone, 11) << "missing dial tone is id - 1";
    EXPECT_EQ(settings.programs[3].dialTone, 9) << "item='3' is program 4";

    ReadText(settings, "<C><AppSwitch><AppItem item='2' ringtone='5'/></AppSwitch></C>");
    EXPECT_EQ(settings.programs[2].ringTone, 5);
    EXPECT_EQ(settings.programs[2].value, 3) << "absent attributes take their missing values";
}

TEST_F(SettingsReaderTest, AppItemsOutsideTheTableAreIgnoredOrProgramOne) {
    ReadText(settings, "<C><AppSwitch>"
                       "<AppItem item='12' ringtone='7'/><AppItem item='-1' ringtone='7'/>"
                       "<AppItem ringtone='7'/><AppItem item='99999999999' ringtone='7'/>"
                       "</AppSwitch></C>");
    for (const ProgramSetting& program : settings.programs) {
        EXPECT_EQ(program.ringTone, program.id - 1) << program.id;
    }
    ReadText(settings, "<C><AppSwitch><AppItem item='nosuchclient' ringtone='9'/></AppSwitch></C>");
    EXPECT_EQ(settings.programs[0].ringTone, 9);
}

TEST_F(SettingsReaderTest, AppItemOutsideAppSwitchLeavesProgramsAlone) {
    ReadText(settings, "<C><AppItem item='skype' ringtone='9'/></C>");
    EXPECT_EQ(settings.programs[0].ringTone, 0);
}

TEST_F(SettingsReaderTest, CallOutAndRingVolume) {
    ReadText(settings, "<C><AppCallOut value='3' free='0'/><RingVolume val='1200'/></C>");
    EXPECT_EQ(settings.callOutProgram, 3);
    EXPECT_EQ(settings.callOutFree, 0);
    EXPECT_EQ(settings.ringVolume, 1200);
    ReadText(settings, "<C><AppCallOut/><RingVolume/></C>");
    EXPECT_EQ(settings.callOutProgram, -1);
    EXPECT_EQ(settings.callOutFree, 1);
    EXPECT_EQ(settings.ringVolume, 65535);
    ReadText(settings, "<C><RingVolume val='70000'/></C>");
    EXPECT_EQ(settings.ringVolume, 65535);
    ReadText(settings, "<C><RingVolume val='-4'/></C>");
    EXPECT_EQ(settings.ringVolume, 0);
}

TEST_F(SettingsReaderTest, LogoTexts) {
    ReadText(settings, "<C><LCDLogo val=''/></C>");
    EXPECT_EQ(settings.lcdLogo, L"Nexaro");
    settings.lcdLogo.clear();
    ReadText(settings, "<C><LCDLogo/></C>");
    EXPECT_EQ(settings.lcdLogo, L"Nexaro");
    ReadText(settings, "<C><LCDLogo val='&amp;ab'/></C>");
    EXPECT_EQ(settings.lcdLogo, L"&ab");
    ReadText(settings, "<C><LCDLogo val='Caf\xC3\xA9 \xE4\xB8\xAD'/></C>");
    EXPECT_EQ(settings.lcdLogo, W("Café 中"));
}

TEST_F(SettingsReaderTest, AutoAnswerTexts) {
    ReadText(settings, "<C><AutoAnswer value='1'>"
                       "<AutoBusy value='1' txt='I&apos;m busy'/><AutoAway value='2'/>"
                       "</AutoAnswer><AutoBusy value='0' txt='outside'/></C>");
    EXPECT_EQ(settings.autoAnswer, 1);
    EXPECT_EQ(settings.autoBusy, 1);
    EXPECT_EQ(settings.autoBusyText, L"I'm busy");
    EXPECT_EQ(settings.autoAway, 2);
    EXPECT_TRUE(settings.autoAwayText.empty());
}

TEST_F(SettingsReaderTest, NumbersReadLikeAtoiWithoutOverflow) {
    ReadText(settings, "<C><General><Language value=' +12abc'/><CallerIDType value='x5'/>"
                       "<CheckVer value='99999999999'/><PlayDTMF value='-99999999999'/>"
                       "</General></C>");
    EXPECT_EQ(settings.language, 12);
    EXPECT_EQ(settings.callerIdType, 0);
    EXPECT_EQ(settings.checkVer, INT_MAX);
    EXPECT_EQ(settings.playDtmf, INT_MIN);
}

TEST_F(SettingsReaderTest, TheFirstOfTwoEqualAttributesCounts) {
    ReadText(settings, "<C><General><AutoStart value='1' value='0'/></General></C>");
    EXPECT_EQ(settings.autoStart, 1);
}

TEST_F(SettingsReaderTest, MalformedXmlKeepsWhatCameBefore) {
    ReadText(settings, "<C><General><AutoStart value='1'/></General><RingVolume val='5'/>"
                       "<!-- a comment is malformed here --><LCDLogo val='late'/></C>");
    EXPECT_EQ(settings.autoStart, 1);
    EXPECT_EQ(settings.ringVolume, 5);
    EXPECT_TRUE(settings.lcdLogo.empty());

    ReadText(settings, "<C><LCDLogo val='a &bogus; b'/></C>");
    EXPECT_TRUE(settings.lcdLogo.empty());
}

}  // namespace
}  // namespace talvio
