// Discovery, attachment, receiving and the liveness watch of a Voip-family
// connector.
#include <optional>
#include <vector>

#include "connectors/call_event_listener.h"
#include "connectors/connector_host.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "foundation/trace_log.h"

namespace talvio {

VoipFamilyConnector::VoipFamilyConnector(ConnectorRegistry& registry,
                                         const VoipFamilyIdentity& identity)
    : VoipConnector(registry),
      identity_(identity),
      discoverMessage_(os::RegisterWindowMessage(L"VoipAPIDiscover")),
      attachMessage_(os::RegisterWindowMessage(L"VoipAPIAttach")) {
    // Never online before the program has told its user's status.
    userStatus_ = kLoggedOut;
}

bool VoipFamilyConnector::Start() {
    if (!CreateHiddenWindow()) return false;
    SendDiscovery(os::kBroadcast);
    os::SetTimer(window(), kWatchTimer, kWatchPeriodMs);
    return true;
}

void VoipFamilyConnector::SendDiscovery(os::Hwnd target) {
    os::SendMessageTimeout(target, discoverMessage_, reinterpret_cast<os::WParam>(Hwnd()), 0,
                           os::SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
}

os::LResult VoipFamilyConnector::handleMessage(std::uint32_t message, os::WParam wParam,
                                               os::LParam lParam) {
    if (message == os::WM_COPYDATA) {
        return OnCopyData(wParam, reinterpret_cast<const os::CopyDataStruct*>(lParam));
    }
    if (message == kTextReady) return OnTextReady(lParam);
    if (message == kAttachReply) {
        OnAttachReply(reinterpret_cast<os::Hwnd>(wParam));
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

os::LResult VoipFamilyConnector::OnCopyData(os::WParam sender, const os::CopyDataStruct* data) {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr || reinterpret_cast<os::Hwnd>(sender) != client || data == nullptr ||
        data->cbData < 1 || data->cbData > kMaxTextBytes || data->lpData == nullptr) {
        return 1;
    }
    const ReceivePool::Ticket ticket = received_.Take(*data, client);
    // Parsed later from the queue, after the sender's send has returned.
    if (ticket != 0 && !os::PostMessage(window(), kTextReady, 0, static_cast<os::LParam>(ticket))) {
        received_.Release(ticket);
    }
    return 1;
}

os::LResult VoipFamilyConnector::OnTextReady(os::LParam lParam) {
    const ReceivePool::Ticket ticket = ReceivePool::TicketIn(lParam);
    const std::optional<ReceivePool::Received> received = received_.Find(ticket);
    if (!received) return 0;
    pingOutstanding_ = false;
    HandleReply(received->text);
    received_.Release(ticket);
    return 1;
}

int VoipFamilyConnector::TextsWaiting() const {
    return received_.BuffersInUse() + received_.HeapCopies();
}

void VoipFamilyConnector::OnAttachReply(os::Hwnd programWindow) {
    if (programWindow == nullptr) {
        SendDiscovery(os::kBroadcast);
        return;
    }
    if (ClientWindow() == nullptr) {
        // Every family program answers every discovery: only the one whose
        // main window carries our program's name is ours.
        const os::Hwnd main = LookUpMainWindow(programWindow);
        TraceLog::global().trace(3, "Connected a Voip program[0x%X, 0x%X]...",
                                 static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(programWindow)),
                                 static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(main)));
        if (main != nullptr && TitleIsOurs(main)) {
            TraceLog::global().trace(7, "Connected to %s!!!\n", identity_.name);
            OnAttached(programWindow);
        }
    }
    os::SetTimer(window(), kWatchTimer, kWatchPeriodMs);
}

void VoipFamilyConnector::OnAttached(os::Hwnd programWindow) {
    SetClientWindow(programWindow);
    mainWindow_ = nullptr;
    MainWindow();
    pingOutstanding_ = false;
    contacts.Clear();
    calls.Clear();
    Send("GET USERSTATUS", CommandQueue::kNormal);
    Send("GET CURRENTUSERHANDLE", CommandQueue::kNormal);
    Send("SEARCH FRIENDS", CommandQueue::kNormal);
    Send("SEARCH CALLS", CommandQueue::kNormal);
    NotifyStatusChanged(identity_.id);
    os::SetTimer(window(), kLivenessTimer, kPingPeriodMs);
}

void VoipFamilyConnector::onTimer(std::uintptr_t timerId) {
    if (timerId == kWatchTimer) OnWatchTimer();
    else if (timerId == kLivenessTimer) OnPingTimer();
    else VoipConnector::onTimer(timerId);
}

void VoipFamilyConnector::OnWatchTimer() {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr) return;
    if (!os::IsWindow(client)) {
        LoseProgram();
        return;
    }
    // Ids first: the replies these commands bring may change the calls.
    std::vector<int> ids;
    for (const auto& [id, call] : calls.liveCalls) ids.push_back(id);
    for (const int id : ids) {
        CallRecord* call = calls.GetLiveCall(id);
        if (call == nullptr) continue;
        if (call->isPstn == -1) QueryCall(id, false);
        if (call->status == CallRecord::kRinging && call->type == CallRecord::kIncoming) {
            AutoBusyReply(*call, false);
        } else if (call->status == CallRecord::kInProgress) {
            Send("GET CALL " + std::to_string(id - 1) + " STATUS", CommandQueue::kNormal);
        }
    }
    Send("GET USERSTATUS", CommandQueue::kBackground);
}

void VoipFamilyConnector::OnPingTimer() {
    const os::Hwnd client = ClientWindow();
    if (client == nullptr) return;
    if (!pingOutstanding_) {
        Send("PING", CommandQueue::kBackground);
        pingOutstanding_ = true;
        return;
    }
    // Nothing came for a whole period: ask the program to attach again.
    if (os::IsWindow(client)) SendDiscovery(client);
    SetClientWindow(nullptr);
    pingOutstanding_ = false;
    NotifyStatusChanged(-1);
}

// The program's window is gone, and it will never report how its calls
// ended: they are filed now, so that a ring of ours for one of them stops.
void VoipFamilyConnector::LoseProgram() {
    SetClientWindow(nullptr);
    mainWindow_ = nullptr;
    const bool hadCalls = !calls.liveCalls.empty();
    calls.EndLiveCalls();
    if (hadCalls) {
        if (CallEventListener* listener = Host().Listener()) listener->Refresh();
    }
    NotifyStatusChanged(-1);
}

}  // namespace talvio
