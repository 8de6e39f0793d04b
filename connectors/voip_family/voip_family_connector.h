// A client of the Voip family (VoipBuster and its ten siblings): a text API
// modelled on Skype's, under the registered messages "VoipAPIDiscover" and
// "VoipAPIAttach" that all eleven programs share, with texts in the system
// ANSI code page both ways. The eleven instances differ only in their
// identity; a program is told from its siblings by its main window's title.
// family_transport.cpp attaches to and watches the program,
// family_replies.cpp parses its replies, family_windows.cpp drives its main
// window and dial field, voip_family_connector.cpp holds the commands.
//
// Ownership: owned by the registry; owns its window, command queue and the
// received texts waiting to be parsed. Threading: main thread only; the
// command queue's worker reads only the two atomic window handles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "connectors/receive_pool.h"
#include "connectors/voip_connector.h"

namespace talvio {

struct VoipFamilyIdentity {
    int id;
    const char* name;  // display name and program name
    const char* key;   // lower case, matched against window titles
    int iconIndex;
};

class VoipFamilyConnector : public VoipConnector {
public:
    // The eleven family programs in registry order (Poivy, id 11, stands
    // eighth).
    static constexpr int kProgramCount = 11;
    static const VoipFamilyIdentity kPrograms[kProgramCount];

    // The liveness timer pings; kTextReady names a received text by its
    // ticket, and any other lParam is not ours and is dropped.
    static constexpr std::uint32_t kPingPeriodMs = 10000;
    static constexpr std::uint32_t kForegroundPauseMs = 200;
    static constexpr int kMaxDialText = 1024;
    static constexpr std::size_t kMaxTitle = 199;

    VoipFamilyConnector(ConnectorRegistry& registry, const VoipFamilyIdentity& identity);

    os::LResult handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) override;
    void onTimer(std::uintptr_t timerId) override;

    int GetConnectorId() const override { return identity_.id; }
    std::wstring GetDisplayName() const override;
    bool Start() override;
    void PressYes(int direct) override;
    void HookOn() override;
    void HookOff() override;
    void BringToFront() override;
    void NextView() override;
    void Backspace() override;
    void PressButton(std::string_view name) override;
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
    int GetIconIndex() const override { return identity_.iconIndex; }

    virtual std::string GetProgramName() const { return identity_.name; }
    virtual std::wstring GetProgramKey() const;

    // One reply or notification of the attached program, in the ANSI code
    // page.
    void HandleReply(std::string_view text);

    // The program's main window (cached while it is a window) and its dial
    // field; null when there is none.
    os::Hwnd MainWindow();
    os::Hwnd DialField();

    std::uint32_t DiscoverMessage() const { return discoverMessage_; }
    std::uint32_t AttachMessage() const { return attachMessage_; }
    const std::string& ClientVersion() const { return clientVersion_; }
    bool PingOutstanding() const { return pingOutstanding_; }
    int ViewIndex() const { return viewIndex_; }
    int TextsWaiting() const;

protected:
    // Commands leave in the ANSI code page.
    void Send(std::string_view command, int priority = CommandQueue::kImmediate) override;
    void QueryContact(std::string_view handle) override;

private:
    // Transport.
    os::LResult OnCopyData(os::WParam sender, const os::CopyDataStruct* data);
    os::LResult OnTextReady(os::LParam ticket);
    void OnAttachReply(os::Hwnd programWindow);
    void OnAttached(os::Hwnd programWindow);
    void OnWatchTimer();
    void OnPingTimer();
    void SendDiscovery(os::Hwnd target);
    void LoseProgram();

    // Replies.
    void HandleUtf8Reply(std::string_view text);
    void OnUserStatusWord(std::string_view word);
    void OnCallNotification(std::string_view rest);
    void OnCallStatus(int id, std::string_view word);

    // Windows.
    os::Hwnd LookUpMainWindow(os::Hwnd programWindow) const;
    bool TitleIsOurs(os::Hwnd window) const;
    void WriteDialField(os::Hwnd field, const std::wstring& text) const;

    const VoipFamilyIdentity& identity_;
    std::uint32_t discoverMessage_;
    std::uint32_t attachMessage_;
    os::Hwnd mainWindow_ = nullptr;
    std::string clientVersion_;
    bool pingOutstanding_ = false;
    int viewIndex_ = 0;
    // Received texts from their arrival until their re-posted ticket is parsed.
    ReceivePool received_;
};

}  // namespace talvio
