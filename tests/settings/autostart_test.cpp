#include <gtest/gtest.h>

#include "settings/autostart.h"
#include "settings/memory_registry.h"

namespace talvio {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

class AutostartTest : public ::testing::Test {
protected:
    std::optional<RegistryValue> run(RegistryRoot root) {
        return registry.get(root, kRunKeyPath, kAutostartValueName);
    }
    void registerMachineWide() {
        registry.put(kMachine, kRunKeyPath, kAutostartValueName, StringValue(L"old", true));
    }

    MemoryRegistry registry;
    const std::wstring path = L"C:\\Program Files\\Talvio\\TalvioDriver.exe";
};

TEST_F(AutostartTest, OnWritesTheQuotedPathPerUserOnly) {
    registerMachineWide();
    ApplyAutostart(true, registry, path);
    ASSERT_TRUE(run(kUser));
    EXPECT_EQ(run(kUser)->type, kRegSz);
    EXPECT_EQ(TextOf(*run(kUser)), L"\"" + path + L"\"");
    EXPECT_EQ(run(kUser)->data.size(), (path.size() + 3) * 2) << "quotes and terminator counted";
    EXPECT_FALSE(run(kMachine)) << "an older machine-wide entry goes";
}

TEST_F(AutostartTest, OffRemovesBothValues) {
    registry.put(kUser, kRunKeyPath, kAutostartValueName, StringValue(L"x", true));
    registry.put(kUser, kRunKeyPath, L"Other", StringValue(L"y", true));
    registerMachineWide();
    ApplyAutostart(false, registry, path);
    EXPECT_FALSE(run(kUser));
    EXPECT_FALSE(run(kMachine));
    EXPECT_TRUE(registry.get(kUser, kRunKeyPath, L"Other")) << "other programs' values stay";
}

TEST_F(AutostartTest, AMachineRootWithoutWriteAccessIsSkipped) {
    registerMachineWide();
    registry.refuseWrites(kMachine, true);
    ApplyAutostart(true, registry, path);
    EXPECT_TRUE(run(kUser));
    EXPECT_TRUE(run(kMachine));
    registry.refuseWrites(kUser, true);
    ApplyAutostart(false, registry, path);
    EXPECT_TRUE(run(kUser)) << "failures are silent and change nothing";
}

}  // namespace
}  // namespace talvio
