#include <gtest/gtest.h>

#include <filesystem>

#include "platform/hosted/desktop.h"
#include "settings/app_settings.h"
#include "settings/autostart.h"
#include "settings/memory_registry.h"
#include "tests/support/temp_folder.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

const char kConfig[] =
    "<Config><General><AutoStart value='1'/></General><LCDLogo val='Mine'/></Config>";
const char kFees[] = "<Fees><AppItem item='voipbuster'><FeeItem item='44' value='0.01'/>"
                     "</AppItem></Fees>";

class SettingsFilesTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        std::filesystem::create_directories(folder.file("Program Files"));
        executable = (folder.file("Program Files") / "TalvioDriver.exe").wstring();
        os::hosted::SetModuleFileName(executable);
        registry.put(kUser, kRunKeyPath, kAutostartValueName, StringValue(L"before", true));
    }

    std::string program(std::string_view name) const { return "Program Files/" + std::string(name); }
    std::optional<std::wstring> userRun() const {
        auto value = registry.get(kUser, kRunKeyPath, kAutostartValueName);
        if (!value) return std::nullopt;
        return TextOf(*value);
    }

    testing::TempFolder folder{"talvio-settings"};
    std::wstring executable;
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};
};

TEST_F(SettingsFilesTest, WithoutConfigNothingElseIsRead) {
    folder.write(program("FeeConf.xml"), kFees);
    settings.Load();
    EXPECT_TRUE(settings.RatesOf(2)->empty());
    EXPECT_TRUE(settings.lcdLogo.empty());
    EXPECT_EQ(userRun(), L"before") << "the autostart value is not touched";
}

TEST_F(SettingsFilesTest, WithoutFeeConfTheAutostartValueIsNotTouched) {
    folder.write(program("config.xml"), kConfig);
    settings.Load();
    EXPECT_EQ(settings.lcdLogo, L"Mine");
    EXPECT_EQ(settings.autoStart, 1);
    EXPECT_EQ(userRun(), L"before");
}

TEST_F(SettingsFilesTest, BothFilesThenTheAutostartValue) {
    folder.write(program("config.xml"), kConfig);
    folder.write(program("FeeConf.xml"), kFees);
    registry.put(kMachine, kRunKeyPath, kAutostartValueName, StringValue(L"old", true));
    settings.Load();
    ASSERT_EQ(settings.RatesOf(2)->size(), 1u);
    EXPECT_EQ(userRun(), L"\"" + executable + L"\"") << "a path with a space, quoted";
    EXPECT_FALSE(registry.get(kMachine, kRunKeyPath, kAutostartValueName));
}

TEST_F(SettingsFilesTest, AMalformedConfigStillLeadsToTheNextSteps) {
    folder.write(program("config.xml"), "<Config><General><AutoStart value='1'/><</Config>");
    folder.write(program("FeeConf.xml"), kFees);
    settings.Load();
    EXPECT_EQ(settings.autoStart, 1);
    EXPECT_EQ(settings.RatesOf(2)->size(), 1u);
    EXPECT_EQ(userRun(), L"\"" + executable + L"\"");
}

TEST_F(SettingsFilesTest, SaveReplacesTheFileAndAppliesAutostart) {
    folder.write(program("config.xml"), std::string(5000, 'x'));
    settings.lcdLogo = L"Saved";
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(folder.read(program("config.xml")), settings.ConfigText());
    EXPECT_FALSE(userRun()) << "autoStart 0 removes the value";
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.file("Program Files"))) {
        ++files;
    }
    EXPECT_EQ(files, 1) << "no temporary file is left beside config.xml";

    AppSettings reread(registry, nullptr);
    reread.Load();
    EXPECT_EQ(reread.lcdLogo, L"Saved");
}

TEST_F(SettingsFilesTest, AFailedSaveStillAppliesAutostart) {
    // Nothing can be written into a folder that does not exist.
    executable = (folder.file("Gone") / "TalvioDriver.exe").wstring();
    os::hosted::SetModuleFileName(executable);
    settings.autoStart = 1;
    EXPECT_FALSE(settings.Save());
    EXPECT_EQ(userRun(), L"\"" + executable + L"\"");
}

}  // namespace
}  // namespace talvio
