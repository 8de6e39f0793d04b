// Discovery, attachment, receiving and the liveness watch of the Skype
// connector.
#include <optional>

#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/skype/skype_connector.h"
#include "foundation/trace_log.h"

namespace talvio {

SkypeConnector::SkypeConnector(ConnectorRegistry& registry)
    : VoipConnector(registry),
      attachMessage_(os::RegisterWindowMessage(L"SkypeControlAPIAttach")),
      discoverMessage_(os::RegisterWindowMessage(L"SkypeControlAPIDiscover")) {}

SkypeConnector::~SkypeConnector() {
    // No send may be under way, and no re-posted copy delivered, once the
    // pool and the queue go.
    queue_.stop();
    if (window() != nullptr) os::DestroyWindow(window());
}

bool SkypeConnector::Start() {
    if (!CreateHiddenWindow()) return false;
    discovering_ = 1;
    SendDiscovery(os::kBroadcast);
    discovering_ = 0;
    // Re-broadcast every 12 s until a client answers: one that was running
    // but busy (hung) at this broadcast never announces itself again.
    os::SetTimer(window(), kLivenessTimer, kLivenessPeriodMs);
    return true;
}

void SkypeConnector::SendDiscovery(os::Hwnd target) {
    os::SendMessageTimeout(target, discoverMessage_, reinterpret_cast<os::WParam>(Hwnd()), 0,
                           os::SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
}

os::LResult SkypeConnector::handleMessage(std::uint32_t message, os::WParam wParam,
                                          os::LParam lParam) {
    if (message == os::WM_COPYDATA) {
        return OnCopyData(wParam, reinterpret_cast<const os::CopyDataStruct*>(lParam));
    }
    // 1040 and 1042 carry no data between processes: their lParam is a
    // receive-pool ticket, and one that names no copy of ours is dropped.
    if (message == kTextReady) return OnTextReady(lParam);
    if (message == kCopyData) {
        if (pool_.Find(ReceivePool::TicketIn(lParam))) PostTextReady(wParam, lParam);
        return 1;
    }
    if (message == kAttachReply) {
        OnAttachReply(reinterpret_cast<os::Hwnd>(wParam), lParam);
        return 0;
    }
    // Registered message ids are never 0, so an unregistered one cannot
    // match here.
    if (message == attachMessage_ && attachMessage_ != 0) {
        os::PostMessage(window(), kAttachReply, wParam, lParam);
        return 1;
    }
    return VoipConnector::handleMessage(message, wParam, lParam);
}

os::LResult SkypeConnector::OnCopyData(os::WParam sender, const os::CopyDataStruct* data) {
    if (data == nullptr || data->cbData < 1 || data->cbData > kMaxTextBytes ||
        data->lpData == nullptr) {
        return 1;
    }
    const ReceivePool::Ticket ticket = pool_.Take(*data, reinterpret_cast<os::Hwnd>(sender));
    if (ticket != 0) PostTextReady(sender, static_cast<os::LParam>(ticket));
    return 1;
}

// Parsed later from the queue, after the sender's send has returned.
void SkypeConnector::PostTextReady(os::WParam sender, os::LParam ticket) {
    if (!os::PostMessage(window(), kTextReady, sender, ticket)) {
        pool_.Release(ReceivePool::TicketIn(ticket));
    }
}

os::LResult SkypeConnector::OnTextReady(os::LParam lParam) {
    const ReceivePool::Ticket ticket = ReceivePool::TicketIn(lParam);
    const std::optional<ReceivePool::Received> received = pool_.Find(ticket);
    if (!received) return 0;
    // Only the client's own texts prove it alive; the sender is the one the
    // copy was made for, whatever the re-posted message says.
    if (received->sender != nullptr && received->sender == ClientWindow()) {
        pingCountdown_ = kPingCountdown;
        rediscoveryUnanswered_ = false;
    }
    HandleReply(received->text, received->sender);
    pool_.Release(ticket);
    return 1;
}

void SkypeConnector::OnAttachReply(os::Hwnd clientApiWindow, os::LParam status) {
    if (status == kAttachSuccess) {
        TraceLog::global().trace(7, "Connected Skype!!!!\n");
        if (clientApiWindow == nullptr) return;
        if (ClientWindow() == nullptr) OnAttached(clientApiWindow);
        else if (clientApiWindow == ClientWindow()) rediscoveryUnanswered_ = false;
        os::SetTimer(window(), kWatchTimer, kWatchPeriodMs);
    } else if (status == kApiAvailable) {
        if (discovering_) return;
        discovering_ = 1;
        SendDiscovery(os::kBroadcast);
        discovering_ = 0;
    }
}

void SkypeConnector::OnAttached(os::Hwnd clientApiWindow) {
    SetClientWindow(clientApiWindow);
    automation_.Forget();
    automation_.MainWindow();
    contacts.Clear();
    calls.Clear();
    pendingQueries_.Clear();
    RegisterQuery("GET SKYPEVERSION", "SKYPEVERSION ");
    RegisterQuery("SEARCH FRIENDS", "USERS ");
    RegisterQuery("SEARCH CALLS", "CALLS ");
    RegisterQuery("SEARCH VOICEMAILS", "VOICEMAILS ");
    RegisterQuery("GET USERSTATUS", "USERSTATUS ");
    NotifyStatusChanged(kId);
    Host().PublishDeviceNames();
    os::SetTimer(window(), kLivenessTimer, kLivenessPeriodMs);
    pingCountdown_ = kPingCountdown;
}

void SkypeConnector::RegisterQuery(std::string_view command, std::string_view replyKeyword) {
    Send(command, CommandQueue::kNormal);
    pendingQueries_.Register(command, replyKeyword, os::GetTickCount());
}

void SkypeConnector::onTimer(std::uintptr_t timerId) {
    if (timerId == kWatchTimer) OnWatchTimer();
    else if (timerId == kLivenessTimer) OnLivenessTimer();
    else VoipConnector::onTimer(timerId);
}

void SkypeConnector::OnWatchTimer() {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr) return;
    if (!os::IsWindow(client)) {
        LoseClient(kOffline);
        return;
    }
    RetryBusyReplies();
    Send("GET MUTE", CommandQueue::kBackground);
    pendingQueries_.ForEachOverdue(os::GetTickCount(), kQueryRepeatAgeMs,
                                   [this](const std::string& command) {
                                       Send(command, CommandQueue::kNormal);
                                   });
}

void SkypeConnector::OnLivenessTimer() {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr) {
        if (++unattachedTicks_ <= 3) return;
        unattachedTicks_ = 0;
        TraceLog::global().trace(4, "Send broadcast message!!");
        SendDiscovery(os::kBroadcast);
        return;
    }
    // A whole ping cycle and the re-discovery after it went unanswered: the
    // client hangs, and must not look ready.
    if (rediscoveryUnanswered_) {
        LoseClient(kOffline);
        return;
    }
    if (pingCountdown_ > 0) {
        // A call may be silent for long; the client is not pinged meanwhile.
        if (HasActiveCall(0)) return;
        if (pingCountdown_ == 1) Send("PING", CommandQueue::kBackground);
        --pingCountdown_;
        return;
    }
    if (os::IsWindow(client) && !discovering_) {
        discovering_ = 1;
        SendDiscovery(client);
        discovering_ = 0;
        pingCountdown_ = kPingCountdown;
        rediscoveryUnanswered_ = true;
        return;
    }
    LoseClient(kOffline);
}

void SkypeConnector::LoseClient(int userStatus) {
    SetClientWindow(nullptr);
    rediscoveryUnanswered_ = false;
    // The client will never report how its calls ended; filing them now
    // lets the ring stop and the handset stop aiming at them.
    const bool hadCalls = !calls.liveCalls.empty();
    calls.EndLiveCalls();
    userStatus_ = userStatus;
    if (hadCalls) {
        if (CallEventListener* listener = Host().Listener()) listener->Refresh();
    }
    NotifyStatusChanged(-1);
}

}  // namespace talvio
