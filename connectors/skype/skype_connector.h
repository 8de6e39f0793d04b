// The connector of the Skype client, over the client's desktop API: two
// registered messages for discovery and attachment, text commands and
// replies in WM_COPYDATA. The transport (skype_transport.cpp) finds,
// attaches to and watches the client; the reply parser (skype_replies.cpp)
// keeps the directory and raises call events; skype_connector.cpp holds
// the commands of each operation.
//
// Ownership: owned by the registry; owns its window, command queue, receive
// pool and window automation. Threading: main thread only; the command
// queue's worker reads only the two atomic window handles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "connectors/command_queue.h"
#include "connectors/skype/pending_queries.h"
#include "connectors/receive_pool.h"
#include "connectors/skype/window_automation.h"
#include "connectors/voip_connector.h"

namespace talvio {

class SkypeConnector : public VoipConnector, private SkypeAutomationHost {
public:
    static constexpr int kId = 1;
    // 1040 (a copy to parse, VoipConnector's kTextReady) and 1042 (a copy
    // to handle as if just received) name a receive-pool copy by its
    // ticket; any other lParam is dropped.
    static constexpr std::uint32_t kCopyData = os::WM_USER + 18;  // 1042
    static constexpr std::uint32_t kLivenessPeriodMs = 3000;
    static constexpr std::uint32_t kQueryRepeatAgeMs = 5000;
    static constexpr int kPingCountdown = 3;
    // Attach statuses of the client.
    static constexpr os::LParam kAttachSuccess = 0;
    static constexpr os::LParam kApiAvailable = 0x8001;

    explicit SkypeConnector(ConnectorRegistry& registry);
    ~SkypeConnector() override;

    os::LResult handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) override;
    void onTimer(std::uintptr_t timerId) override;

    int GetConnectorId() const override { return kId; }
    std::wstring GetDisplayName() const override { return L"Skype"; }
    bool Start() override;
    int OnClientVersionKnown() override;
    bool SuppressesPageStep() const override { return false; }
    void SetRingtone(const std::wstring& path) override;
    void PressYes(int direct) override;
    void HookOn() override;
    void HookOff() override;
    void BringToFront() override;
    void NextView() override;
    void Backspace() override;
    void PressButton(std::string_view name) override;
    void ToggleMute() override;
    void ShowContacts() override;
    void ShowCallHistory() override;
    void MoveFocus(int steps) override;
    bool CloseTopPopup() override;
    bool IsMainWindowShown() override;
    void ClearDialText() override;
    int SetDialText(const std::wstring& text) override;
    int GetDialText(std::wstring& text, int size) override;
    void HideMainWindow() override;
    void QueryCall(int callId, bool queued) override;
    void QueryVoicemail(int id, bool queued) override;
    void PlayVoicemail(int id) override;
    void StopVoicemail(int id) override;
    int GetIconIndex() const override { return 0; }

    // One reply or notification of the client, as sent by `sender`; texts
    // from any window but the attached client are ignored.
    void HandleReply(std::string_view text, os::Hwnd sender);

    std::uint32_t AttachMessage() const { return attachMessage_; }
    std::uint32_t DiscoverMessage() const { return discoverMessage_; }
    const std::string& ClientVersion() const { return clientVersion_; }
    int PingCountdown() const { return pingCountdown_; }
    const PendingQueries& Pending() const { return pendingQueries_; }
    const ReceivePool& Pool() const { return pool_; }
    SkypeWindowAutomation& Automation() { return automation_; }

private:
    // Transport.
    os::LResult OnCopyData(os::WParam sender, const os::CopyDataStruct* data);
    os::LResult OnTextReady(os::LParam ticket);
    void PostTextReady(os::WParam sender, os::LParam ticket);
    void OnAttachReply(os::Hwnd clientApiWindow, os::LParam status);
    void OnAttached(os::Hwnd clientApiWindow);
    void OnWatchTimer();
    void OnLivenessTimer();
    void SendDiscovery(os::Hwnd target);
    void RegisterQuery(std::string_view command, std::string_view replyKeyword);
    // Detaches, files the live calls in the history and reports the change.
    void LoseClient(int userStatus);

    // Replies.
    void OnMuteReply(int state);
    void OnCallNotification(std::string_view rest);
    void OnCallStatus(int id, std::string_view word);
    void OnLiveCallStatus(int id, std::string_view word);
    void OnCallPartnerHandle(int id, std::string_view value);
    void OnCallType(int id, std::string_view value);
    void TryLeastCostRedirect(int id, std::string_view number);
    void OnUserStatus(std::string_view word);
    void Detach();
    void QueryContact(std::string_view handle) override;
    void OnVoicemailList(std::string_view list);
    void OnVoicemailProperty(std::string_view rest);

    // SkypeAutomationHost.
    os::Hwnd AttachedClientWindow() const override { return ClientWindow(); }
    const std::string& AttachedClientVersion() const override { return clientVersion_; }
    bool HasCallUnderway() const override { return HasActiveCall(0); }
    void SendClientButton(std::string_view name) override { PressButton(name); }
    void SendClientCommand(std::string_view command) override { Send(command); }
    void StepClientView() override { NextView(); }

    std::uint32_t attachMessage_;
    std::uint32_t discoverMessage_;
    std::string clientVersion_;
    int discovering_ = 1;
    int pingCountdown_ = kPingCountdown;
    // Set by a re-discovery sent to the attached client, cleared by its
    // answer (a text or an attach reply).
    bool rediscoveryUnanswered_ = false;
    int unattachedTicks_ = 0;
    PendingQueries pendingQueries_;
    ReceivePool pool_;
    SkypeWindowAutomation automation_{*this};
};

}  // namespace talvio
