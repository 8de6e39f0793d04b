// The advapi32 adapter against Wine's real registry, under a scratch key of
// HKEY_CURRENT_USER that the test removes again.
#include <gtest/gtest.h>

#include <windows.h>

#include <process.h>

#include "settings/registry.h"

namespace talvio {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

class Win32RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TalvioTests");  // fails while others' keys remain
    }

    Registry& registry = SystemRegistry();
    const std::wstring path = L"Software\\TalvioTests\\Run" + std::to_wstring(_getpid());
};

TEST_F(Win32RegistryTest, OpenFailsUntilTheKeyIsCreated) {
    EXPECT_FALSE(registry.openKey(kUser, path + L"\\Missing", RegistryAccess::Read));
    EXPECT_TRUE(registry.createKey(kUser, path, RegistryAccess::ReadWrite));
    EXPECT_TRUE(registry.openKey(kUser, path, RegistryAccess::Read));
}

TEST_F(Win32RegistryTest, ValuesKeepTheirTypeAndExactSize) {
    auto key = registry.createKey(kUser, path, RegistryAccess::Full);
    ASSERT_TRUE(key);
    const RegistryValue text = StringValue(L"\"C:\\Path With Space\\x.exe\"", true);
    ASSERT_TRUE(key->set(L"Text", text));
    ASSERT_TRUE(key->set(L"Number", DwordValue(0x01020304)));

    auto reader = registry.openKey(kUser, path, RegistryAccess::Read);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->query(L"Text", 512), text);
    EXPECT_EQ(reader->query(L"Number", 4), DwordValue(0x01020304));
    EXPECT_FALSE(reader->query(L"Text", 8)) << "larger than the buffer";
    EXPECT_FALSE(reader->set(L"Big", DwordValue(1))) << "read access only";

    EXPECT_TRUE(key->remove(L"Text"));
    EXPECT_FALSE(key->remove(L"Text"));
    EXPECT_FALSE(reader->query(L"Text", 512));
}

}  // namespace
}  // namespace talvio
