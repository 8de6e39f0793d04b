// The one object through which the rest of the program reaches the
// connectors: it owns the connector registry, is the connectors' host
// (settings, handset side, status re-evaluation), receives the handset
// link's events and offers the handset screen its DirectoryView.
//
// Ownership: owns the registry; the settings, ports and controllers are not
// owned and must outlive the service. Threading: main thread only.
#pragma once

#include <string>

#include "connectors/connector_host.h"
#include "connectors/connector_registry.h"
#include "connectors/directory_view.h"
#include "connectors/service_ports.h"
#include "handset/handset_event_sink.h"

namespace talvio {

class AppSettings;

class ConnectorService final : public ConnectorHost, public HandsetEventSink, public DirectoryView {
public:
    static constexpr int kControllerSlots = 20;

    // Null settings: the defaults of a program without config.xml.
    explicit ConnectorService(AppSettings* settings = nullptr,
                              ServiceHandset& handset = ServiceHandset::Link(),
                              ServiceTray& tray = ServiceTray::None(),
                              ServiceAudio& audio = ServiceAudio::None());
    ConnectorService(const ConnectorService&) = delete;
    ConnectorService& operator=(const ConnectorService&) = delete;
    ~ConnectorService();

    ConnectorRegistry& Registry() { return registry_; }
    void SetTray(ServiceTray& tray) { tray_ = &tray; }
    void SetAudio(ServiceAudio& audio) { audio_ = &audio; }
    // False when all slots are taken.
    bool AddController(HandsetCallController* controller);
    HandsetCallController* CurrentController() const { return listener_; }

    // Starts the handset link with the service as its sink; result 1.
    int StartHandsetLink();
    // The first shutdown step: the controller's stop notice, then the
    // handset link stops.
    void ShutdownHandset();

    // Passes the news to the current controller, if any.
    void NotifySettingsChanged();
    // The LCD screen, when the handset has one, shows the settings' logo text.
    void ShowLcdLogo();

    // Ring tones for every online connector and the tray state; the
    // controller's answer to the new counts when there is one, else the
    // tray call's result. The argument is ignored.
    int RefreshStatus();

    // Handset event sink.
    void OnHandsetEvent(int code) override;
    void OnDevicePresence(int present, int reserved) override;
    void OnHandsetNotice(int a, int b);
    void OnHandsetNotice1(int a);

    // ConnectorHost.
    int ActiveProgram() override;
    int RingToneOf(int programId) override;
    int CallOutProgram() override;
    bool CallOutFree() override;
    const RateList* RatesOf(int programId) override;
    bool AutoAnswer() override;
    bool AutoBusy() override;
    bool AutoAway() override;
    std::wstring AutoBusyText() override;
    std::wstring AutoAwayText() override;
    bool HandsetPresent() override;
    CallEventListener* Listener() override { return listener_; }
    void RefreshStatus(int connectorId) override;
    void PlayKeyTone(int resource, int mode) override;
    void PublishDeviceNames() override;
    void SetMuteIndicator(bool muted) override;
    void ShowFocusedContact(int connectorId, const std::wstring& handle) override;
    void RefreshScreenPage(int pageCode) override;
    bool StartCallerIdHook(os::Hwnd clientWindow) override;

    // DirectoryView.
    void ShowActiveDialText() override;
    int PressYes(int id) override;
    void CallNumber(std::string_view number, int id) override;
    void PlayVoicemail(int voicemailId, int id) override;
    void StopVoicemail(int voicemailId, int id) override;
    void AnswerCall(int callId, int id) override;
    void RefuseCall(int callId, int id) override;
    void FinishCall(int callId, int id) override;
    void ToggleHold(int callId, int id) override;
    void ToggleMute(int id) override;
    int GetActiveConnectorId() override;
    std::wstring GetDisplayName(int id) override;
    bool ListOnlineConnectors(int* ids, int& count) override;
    int SetActiveProgram(int id) override;
    std::string GetLastDialledHandle(int id) override;
    std::wstring GetLastDialledName(int id) override;
    const CallRecord* GetHistoryCall(int callId, int id) override;
    const CallRecord* GetRecentCall(int kind, int& position, int& count, int id) override;
    const std::string& GetCallPartnerName(const CallRecord* call) override;
    const std::string& GetCallPartnerHandle(const CallRecord* call) override;
    int GetCallId(const CallRecord* call) override;
    int GetCallConferenceId(const CallRecord* call) override;
    int GetCallTimestamp(const CallRecord* call) override;
    int GetCallDuration(const CallRecord* call) override;
    ContactRecord* GetFirstContact(int id) override;
    ContactRecord* FindListedContact(std::string_view handle, int id) override;
    ContactRecord* GetNextContact(std::string_view handle, int id) override;
    ContactRecord* GetPreviousContact(std::string_view handle, int id) override;
    int GetContactPosition(const ContactRecord* contact, int id) override;
    ContactRecord* FindContactByName(std::string_view shownName, int& id) override;
    int GetContactCounts(int& onlineCount, int id) override;
    const std::string& GetContactShownName(const ContactRecord* contact) override;
    const std::string& GetContactHandle(const ContactRecord* contact) override;
    int GetContactIcon(const ContactRecord* contact) override;
    const std::string& GetContactLocation(ContactRecord* contact) override;
    const CallRecord* GetLiveCall(int callId, int id) override;
    int GetConferenceText(const CallRecord* call, int id, std::string& text) override;
    int GetSpeakerVolume() override;
    void SetSpeakerVolume(int volume) override;
    bool SuppressesPageStep(int id) override;
    int GetConnectorState(int id) override;
    const VoicemailRecord* GetVoicemail(int voicemailId, int id) override;
    const VoicemailRecord* GetVoicemailList(int& unplayedCount, int& position, int& total,
                                            int id) override;
    int GetVoicemailId(const VoicemailRecord* voicemail) override;
    const std::string& GetVoicemailPartnerName(const VoicemailRecord* voicemail) override;
    const std::string& GetVoicemailPartnerHandle(const VoicemailRecord* voicemail) override;
    int GetVoicemailTimestamp(const VoicemailRecord* voicemail) override;
    int GetVoicemailDuration(const VoicemailRecord* voicemail) override;
    int GetVoicemailPlayState(const VoicemailRecord* voicemail) override;

private:
    void ProcessDeviceChange();
    DirectoryScreen* Screen();
    VoipConnector* Find(int id) const { return registry_.FindById(id); }

    AppSettings* settings_;
    ServiceHandset& handset_;
    ServiceTray* tray_;
    ServiceAudio* audio_;
    HandsetCallController* controllers_[kControllerSlots] = {};
    int controllerCount_ = 0;
    HandsetCallController* listener_ = nullptr;
    // Last member: its connectors call back into the service while they go.
    ConnectorRegistry registry_{*this};
};

}  // namespace talvio
