#include "connectors/connector_host.h"

namespace talvio {

namespace {

// The settings defaults of a program without config.xml, and no handset.
class StandaloneHost final : public ConnectorHost {
public:
    int ActiveProgram() override { return 1; }
    int RingToneOf(int programId) override { return programId - 1; }
    int CallOutProgram() override { return -1; }
    bool CallOutFree() override { return true; }
    const RateList* RatesOf(int) override { return nullptr; }
    bool AutoAnswer() override { return false; }
    bool AutoBusy() override { return false; }
    bool AutoAway() override { return false; }
    std::wstring AutoBusyText() override { return {}; }
    std::wstring AutoAwayText() override { return {}; }
    bool HandsetPresent() override { return false; }
    CallEventListener* Listener() override { return nullptr; }
    void RefreshStatus(int) override {}
    void PlayKeyTone(int, int) override {}
    void PublishDeviceNames() override {}
    void SetMuteIndicator(bool) override {}
    void ShowFocusedContact(int, const std::wstring&) override {}
    void RefreshScreenPage(int) override {}
    bool StartCallerIdHook(os::Hwnd) override { return false; }
};

}  // namespace

ConnectorHost& ConnectorHost::Standalone() {
    static StandaloneHost host;
    return host;
}

}  // namespace talvio
