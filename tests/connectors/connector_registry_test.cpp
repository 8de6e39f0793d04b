#include "connectors/connector_registry.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "connectors/skype/skype_connector.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "foundation/text_convert.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

// Any live window stands in for an attached client.
os::Hwnd SomeWindow() {
    static constexpr wchar_t kClass[] = L"RegistryTestClient";
    if (!os::GetClassInfo(kClass)) {
        os::WindowClass windowClass;
        windowClass.proc = &os::DefWindowProc;
        windowClass.name = kClass;
        os::RegisterClass(windowClass);
    }
    return os::CreateWindowEx(0, kClass, L"", 0, 0, 0, 0, 0, nullptr, 0, nullptr);
}

class ConnectorRegistryTest : public DesktopTest {
protected:
    // Three scripted connectors standing for Skype, VoipBuster, VoipStunt.
    void AddScripted() {
        for (const int id : {1, 2, 3}) {
            auto connector = std::make_unique<ScriptedConnector>(registry, id);
            scripted.push_back(connector.get());
            ASSERT_TRUE(registry.Append(std::move(connector)));
        }
    }

    RecordingHost host;
    ConnectorRegistry registry{host};
    std::vector<ScriptedConnector*> scripted;
};

TEST_F(ConnectorRegistryTest, CreatesTheTwelveProgramsInRegistryOrder) {
    ASSERT_TRUE(registry.CreateConnectors());
    struct Expected {
        int id;
        const char* name;
        int icon;
    };
    const Expected expected[] = {
        {1, "Skype", 0},       {2, "VoipBuster", 1},     {3, "VoipStunt", 2},
        {4, "VoipCheap", 3},   {5, "SparVoip", 4},       {6, "VoipDiscount", 5},
        {7, "InternetCalls", 6}, {8, "NetAppel", 7},     {11, "Poivy", 11},
        {9, "FreeCall", 8},    {10, "VoipCheapCom", 9},  {12, "WebCallDirect", 10},
    };
    ASSERT_EQ(registry.Count(), 12);
    EXPECT_EQ(registry.ActiveIndex(), 0);
    for (int i = 0; i < 12; ++i) {
        VoipConnector* connector = registry.At(i);
        EXPECT_EQ(connector->GetConnectorId(), expected[i].id) << i;
        EXPECT_EQ(WideToUtf8(connector->GetDisplayName()), expected[i].name) << i;
        EXPECT_EQ(connector->GetIconIndex(), expected[i].icon) << i;
        EXPECT_FALSE(connector->IsAttached());
        EXPECT_EQ(registry.FindById(expected[i].id), connector);
        if (i == 0) continue;
        auto* family = dynamic_cast<VoipFamilyConnector*>(connector);
        ASSERT_NE(family, nullptr);
        EXPECT_EQ(family->GetProgramName(), expected[i].name);
        std::string key = expected[i].name;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(WideToUtf8(family->GetProgramKey()), key);
        EXPECT_TRUE(family->SuppressesPageStep());
        EXPECT_EQ(family->UserStatus(), VoipConnector::kLoggedOut);
    }
    EXPECT_NE(dynamic_cast<SkypeConnector*>(registry.At(0)), nullptr);
    EXPECT_FALSE(registry.At(0)->SuppressesPageStep());
    EXPECT_EQ(registry.FindById(13), nullptr);

    // Creating again replaces the connectors rather than adding to them.
    ASSERT_TRUE(registry.CreateConnectors());
    EXPECT_EQ(registry.Count(), 12);
}

TEST_F(ConnectorRegistryTest, StartAllCreatesWindowsOnceAndActivatesTheConfiguredProgram) {
    ASSERT_TRUE(registry.CreateConnectors());
    host.activeProgram = 11;
    EXPECT_TRUE(registry.StartAll());
    EXPECT_TRUE(registry.Started());
    for (int i = 0; i < registry.Count(); ++i) {
        EXPECT_TRUE(os::IsWindow(registry.At(i)->Hwnd())) << i;
    }
    EXPECT_EQ(registry.ActiveIndex(), 8);  // Poivy stands eighth
    const os::Hwnd skypeWindow = registry.At(0)->Hwnd();
    host.activeProgram = 2;
    EXPECT_TRUE(registry.StartAll());
    EXPECT_EQ(registry.ActiveIndex(), 8);
    EXPECT_EQ(registry.At(0)->Hwnd(), skypeWindow);
}

TEST_F(ConnectorRegistryTest, ActiveConnectorPrefersOnlineThenAttached) {
    AddScripted();
    EXPECT_EQ(registry.GetActiveConnector(), nullptr);

    const os::Hwnd client = SomeWindow();
    scripted[0]->SetClient(client, VoipConnector::kLoggedOut);
    EXPECT_EQ(registry.GetActiveConnector(), scripted[0]);  // attached only

    scripted[1]->SetClient(client, VoipConnector::kOnline);
    EXPECT_EQ(registry.ActiveIndex(), -1);
    ASSERT_TRUE(registry.Activate(0));
    EXPECT_EQ(registry.GetActiveConnector(), scripted[1]);

    for (const int status : {VoipConnector::kUnknown, VoipConnector::kOffline}) {
        scripted[1]->SetClient(client, status);
        EXPECT_FALSE(scripted[1]->IsOnline());
    }
    for (const int status : {VoipConnector::kAway, VoipConnector::kNotAvailable,
                             VoipConnector::kDoNotDisturb, VoipConnector::kInvisible}) {
        scripted[1]->SetClient(client, status);
        EXPECT_TRUE(scripted[1]->IsOnline());
    }
    scripted[0]->SetClient(client, VoipConnector::kOnline);
    EXPECT_EQ(registry.GetActiveConnector(), scripted[0]);
}

TEST_F(ConnectorRegistryTest, ActivatePausesForTheClientAndHidesOnlyOnAChange) {
    AddScripted();
    const os::Hwnd client = SomeWindow();
    scripted[0]->SetClient(client, VoipConnector::kOnline);
    ASSERT_TRUE(registry.Activate(0));
    scripted[0]->log.clear();

    const std::uint64_t before = os::hosted::Now();
    ASSERT_TRUE(registry.ActivateById(2));
    EXPECT_EQ(os::hosted::Now() - before, 200u);
    EXPECT_EQ(scripted[0]->log, (std::vector<std::string>{"ClearDialText", "HideMainWindow"}));
    EXPECT_EQ(scripted[1]->log, (std::vector<std::string>{"BringToFront", "ClearDialText"}));
    EXPECT_EQ(registry.ActiveIndex(), 1);

    // VoipBuster is offline, so the connector hidden is Skype, the one
    // GetActiveConnector names, although VoipBuster is at activeIndex.
    scripted[0]->log.clear();
    scripted[1]->log.clear();
    ASSERT_TRUE(registry.Activate(2));
    EXPECT_EQ(scripted[0]->log, (std::vector<std::string>{"ClearDialText", "HideMainWindow"}));
    EXPECT_TRUE(scripted[1]->log.empty());

    scripted[2]->log.clear();
    scripted[0]->log.clear();
    ASSERT_TRUE(registry.Activate(2));
    EXPECT_TRUE(scripted[0]->log.empty());
    EXPECT_EQ(scripted[2]->log, (std::vector<std::string>{"BringToFront", "ClearDialText"}));

    EXPECT_FALSE(registry.Activate(3));
    EXPECT_FALSE(registry.Activate(-1));
    EXPECT_FALSE(registry.ActivateById(12));
    EXPECT_EQ(registry.ActiveIndex(), 2);
}

TEST_F(ConnectorRegistryTest, FindOnlineWithCallByKindAndExclusion) {
    AddScripted();
    const os::Hwnd client = SomeWindow();
    for (ScriptedConnector* connector : scripted) connector->SetClient(client, VoipConnector::kOnline);
    scripted[0]->calls.SetStatus(5, CallRecord::kInProgress);
    scripted[1]->calls.SetStatus(5, CallRecord::kRinging);
    scripted[2]->calls.SetStatus(7, CallRecord::kOnHold);

    EXPECT_EQ(registry.FindOnlineWithCall(1, nullptr, 5), scripted[0]);  // null exclude ignores the id
    EXPECT_EQ(registry.FindOnlineWithCall(2, nullptr, 0), scripted[1]);
    EXPECT_EQ(registry.FindOnlineWithCall(3, scripted[0], 0), scripted[1]);
    EXPECT_EQ(registry.FindOnlineWithCall(1, scripted[0], 0), nullptr);
    // With a call id the excluded connector still counts, for its other calls.
    EXPECT_EQ(registry.FindOnlineWithCall(3, scripted[0], 5), scripted[1]);
    scripted[0]->calls.SetStatus(6, CallRecord::kOnHold);
    EXPECT_EQ(registry.FindOnlineWithCall(3, scripted[0], 5), scripted[0]);
    // The skipped id belongs to the excluded connector only: VoipBuster's
    // own call 5 still counts.
    EXPECT_EQ(registry.FindOnlineWithCall(2, scripted[0], 5), scripted[1]);

    scripted[1]->SetClient(client, VoipConnector::kOffline);
    EXPECT_EQ(registry.FindOnlineWithCall(2, nullptr, 0), nullptr);
    EXPECT_EQ(registry.FindOnlineWithCall(4, nullptr, 0), nullptr);
}

TEST_F(ConnectorRegistryTest, RingtoneSettingAndStatusNotice) {
    AddScripted();
    auto outside = std::make_unique<ScriptedConnector>(registry, 13);
    ScriptedConnector* unknown = outside.get();
    ASSERT_TRUE(registry.Append(std::move(outside)));
    EXPECT_EQ(scripted[1]->GetRingtoneSetting(), 102);
    EXPECT_EQ(unknown->GetRingtoneSetting(), -1);

    scripted[2]->NotifyStatusChanged(3);
    scripted[2]->NotifyStatusChanged(-1);
    EXPECT_EQ(host.statusRefreshes, (std::vector<int>{3, -1}));
}

TEST_F(ConnectorRegistryTest, AppendRefusesBeyondTwentySlots) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(registry.Append(std::make_unique<ScriptedConnector>(registry, 100 + i)));
    }
    EXPECT_FALSE(registry.Append(std::make_unique<ScriptedConnector>(registry, 99)));
    EXPECT_FALSE(registry.Append(nullptr));
    EXPECT_EQ(registry.Count(), 20);
}

// Scripted connectors standing in registry order for Skype, VoipBuster,
// VoipStunt, NetAppel, Poivy and FreeCall, all online.
class ChooseCheapestTest : public ConnectorRegistryTest {
protected:
    void SetUp() override {
        client = SomeWindow();
        for (const int id : {1, 2, 3, 8, 11, 9}) {
            auto connector = std::make_unique<ScriptedConnector>(registry, id);
            connector->SetClient(client, VoipConnector::kOnline);
            byId[id] = connector.get();
            ASSERT_TRUE(registry.Append(std::move(connector)));
        }
    }

    void Rate(int id, std::string_view prefix, double rate) { host.rates[id].add(prefix, rate); }

    os::Hwnd client = nullptr;
    std::map<int, ScriptedConnector*> byId;
};

TEST_F(ChooseCheapestTest, AFreeDestinationPicksItsProgram) {
    EXPECT_EQ(registry.ChooseCheapest("+441234"), nullptr);  // no rates at all
    Rate(2, "44", 0.0);
    EXPECT_EQ(registry.ChooseCheapest("+441234"), byId[2]);
    // "00", "+" or neither: the same number.
    EXPECT_EQ(registry.ChooseCheapest("00441234"), byId[2]);
    EXPECT_EQ(registry.ChooseCheapest("441234"), byId[2]);
    EXPECT_EQ(registry.ChooseCheapest("+0+"), nullptr);

    host.rates.clear();
    Rate(2, "44", 0.02);
    EXPECT_EQ(registry.ChooseCheapest("+441234"), nullptr);  // cheap, not free
}

TEST_F(ChooseCheapestTest, TheLongestPrefixShorterThanTheNumberSetsTheRate) {
    Rate(2, "44", 0.0);
    Rate(2, "4412", 0.01);
    EXPECT_EQ(registry.ChooseCheapest("441234"), nullptr);
    // Letters match in any case; entries that sort between the prefix and
    // the number, or are longer than it, change nothing.
    Rate(3, "4410", 0.5);
    Rate(3, "4411", 0.5);
    Rate(3, "4412a", 0.0);
    Rate(3, "4412a5", 0.5);
    Rate(3, "4412A9", 0.5);
    Rate(3, "44123456", 0.5);
    EXPECT_EQ(registry.ChooseCheapest("4412A9"), byId[3]);
    // The prefix as long as the number is not a prefix of it.
    host.rates.clear();
    Rate(2, "44", 0.0);
    EXPECT_EQ(registry.ChooseCheapest("44"), nullptr);
    EXPECT_EQ(registry.ChooseCheapest("445"), byId[2]);
}

TEST_F(ChooseCheapestTest, EqualRatesGoToTheEarlierProgramAndOnlyOnlineOnesCount) {
    for (const int id : {3, 2, 9, 11, 8}) Rate(id, "358", 0.0);
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[2]);
    byId[2]->SetClient(client, VoipConnector::kOffline);  // attached, logged in elsewhere
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[3]);
    byId[3]->SetClient(nullptr, VoipConnector::kOnline);  // not attached
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[8]);
    byId[8]->SetClient(client, VoipConnector::kLoggedOut);
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[11]);  // Poivy stands before FreeCall
    // A cheaper program later in order wins; so may Skype itself.
    Rate(9, "35840", -1.0);
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[9]);
    Rate(1, "3584", -2.0);
    EXPECT_EQ(registry.ChooseCheapest("+358401234"), byId[1]);
}

// The choice against the plain walk over the sorted entries: remember each
// entry shorter than the number that begins it, stop at the first entry the
// number sorts below.
TEST_F(ChooseCheapestTest, AgreesWithTheWalkOverTheSortedEntries) {
    std::mt19937 random(44);
    const auto text = [&](std::size_t length) {
        std::string t;
        while (t.size() < length) t.push_back("12aA"[random() % 4]);
        return t;
    };
    int matched = 0;
    for (int round = 0; round < 300; ++round) {
        RateList probe;
        for (int i = 0; i < 30; ++i) probe.add(text(1 + random() % 4), 1.0);
        const std::vector<RateEntry>& sorted = probe.entries();
        const std::string number = text(1 + random() % 5);
        std::size_t walked = sorted.size();
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            const std::string& prefix = sorted[i].prefix;
            const int order = prefix.size() < number.size()
                                  ? ComparePrefixes(std::string_view(number).substr(0, prefix.size()), prefix)
                                  : (ComparePrefixes(number, prefix) < 0 ? -1 : 1);
            if (order < 0) break;
            if (order == 0) walked = i;
        }
        // Free through one entry only: chosen exactly when that entry is the walk's.
        const std::size_t free = walked < sorted.size() && random() % 2 ? walked : random() % sorted.size();
        host.rates[2] = RateList();
        for (std::size_t i = 0; i < sorted.size(); ++i) host.rates[2].add(sorted[i].prefix, i == free ? 0.0 : 1.0);
        EXPECT_EQ(registry.ChooseCheapest(number) != nullptr, walked == free) << number << " round " << round;
        matched += walked < sorted.size();
    }
    EXPECT_GT(matched, 100);  // the random tables do reach deep matches
}

}  // namespace
}  // namespace talvio::testing
