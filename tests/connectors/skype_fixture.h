// A Skype connector registered first in a registry of its own, with a fake
// client in another simulated process, on a fresh hosted desktop.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connectors/connector_registry.h"
#include "connectors/skype/skype_connector.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {

class SkypeTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        auto connector = std::make_unique<SkypeConnector>(registry);
        skype = connector.get();
        ASSERT_TRUE(registry.Append(std::move(connector)));
        client.emplace();
    }

    void TearDown() override {
        registry.DestroyConnectors();  // stops the queue's worker first
        client.reset();
        DesktopTest::TearDown();
    }

    // The client runs, the connector starts and attaches; the commands of
    // the attach are dropped.
    void Attach() {
        client->Launch();
        ASSERT_TRUE(skype->Start());
        os::hosted::PumpMessages();
        Settle();
        ASSERT_EQ(skype->ClientWindow(), client->ApiWindow());
        client->Take();
        host.statusRefreshes.clear();
    }

    // Lets the command queue deliver what is queued (normal commands go out
    // 10 ms apart).
    void Settle(std::uint32_t ms = 200) { os::hosted::AdvanceTime(ms); }

    void Reply(std::string_view text) {
        client->Reply(skype->Hwnd(), text);
        os::hosted::PumpMessages();
    }

    // What the client received once the queue had time to deliver (up to
    // fifty commands).
    std::vector<std::string> Sent() {
        Settle(500);
        return client->Take();
    }

    RecordingHost host;
    ConnectorRegistry registry{host};
    SkypeConnector* skype = nullptr;
    std::optional<FakeSkypeClient> client;
};

}  // namespace talvio::testing
