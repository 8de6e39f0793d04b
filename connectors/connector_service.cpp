#include "connectors/connector_service.h"

#include "directory/contact_list.h"
#include "handset/lcd_screen.h"
#include "settings/app_settings.h"

namespace talvio {

ConnectorService::ConnectorService(AppSettings* settings, ServiceHandset& handset,
                                   ServiceTray& tray, ServiceAudio& audio)
    : settings_(settings), handset_(handset), tray_(&tray), audio_(&audio) {}

// The connectors' windows and queue workers go before the ports they call.
ConnectorService::~ConnectorService() { registry_.DestroyConnectors(); }

bool ConnectorService::AddController(HandsetCallController* controller) {
    if (controller == nullptr || controllerCount_ == kControllerSlots) return false;
    controllers_[controllerCount_++] = controller;
    return true;
}

int ConnectorService::StartHandsetLink() {
    handset_.Start(this);
    return 1;
}

void ConnectorService::ShutdownHandset() {
    if (listener_ != nullptr) listener_->OnStop();
    handset_.Stop();
    listener_ = nullptr;
}

int ConnectorService::RefreshStatus() {
    int attached = 0;
    int online = 0;
    int trayResult;
    if (handset_.IsPresent()) {
        for (int i = 0; i < registry_.Count(); ++i) {
            VoipConnector* connector = registry_.At(i);
            const bool isOnline = connector->IsOnline();
            if (isOnline) {
                connector->SetRingtone(
                    audio_->GetRingTonePath(connector->GetRingtoneSetting()).value_or(L""));
                ++online;
            }
            if (isOnline || connector->IsAttached()) ++attached;
        }
        trayResult = online > 0 ? tray_->SetTrayReady() : tray_->SetTrayNoClient();
    } else {
        // The clients must stop ringing through a handset that is gone.
        for (int i = 0; i < registry_.Count(); ++i) {
            VoipConnector* connector = registry_.At(i);
            if (connector->IsOnline()) connector->SetRingtone(L"");
        }
        trayResult = tray_->SetTrayNoDevice();
    }
    if (listener_ != nullptr) return listener_->OnConnectorStatus(attached, online);
    return trayResult;
}

void ConnectorService::OnHandsetEvent(int code) {
    if (listener_ != nullptr) listener_->HandleEvent(code);
}

void ConnectorService::OnDevicePresence(int present, int) {
    ProcessDeviceChange();
    if (present && !registry_.Started()) registry_.StartAll();
}

void ConnectorService::NotifySettingsChanged() {
    if (listener_ != nullptr) listener_->OnSettingsChanged();
}

void ConnectorService::OnHandsetNotice(int a, int b) {
    if (listener_ != nullptr) listener_->OnServiceNotice(a, b);
}

void ConnectorService::OnHandsetNotice1(int a) {
    if (listener_ != nullptr) listener_->OnServiceNotice1(a);
}

void ConnectorService::ProcessDeviceChange() {
    const int model = handset_.IsPresent() ? handset_.GetModel() : 0;
    listener_ = nullptr;
    for (int i = 0; i < controllerCount_ && model != 0; ++i) {
        if (controllers_[i]->Model() == model) {
            listener_ = controllers_[i];
            break;
        }
    }
    RefreshStatus();
    tray_->StartAudioSetupTimer();
    if (DirectoryScreen* screen = Screen()) {
        screen->SetDirectoryView(this);
        if (VoipConnector* skype = Find(1)) skype->OnClientVersionKnown();
    }
    ShowLcdLogo();
}

void ConnectorService::ShowLcdLogo() {
    if (DirectoryScreen* screen = Screen())
        screen->ShowLogoText(settings_ != nullptr ? settings_->lcdLogo : std::wstring());
}

DirectoryScreen* ConnectorService::Screen() {
    return dynamic_cast<DirectoryScreen*>(handset_.GetScreen());
}

// ConnectorHost

int ConnectorService::ActiveProgram() {
    return settings_ ? settings_->activeProgram : Standalone().ActiveProgram();
}

int ConnectorService::RingToneOf(int programId) {
    if (settings_ == nullptr) return Standalone().RingToneOf(programId);
    if (programId < 1 || programId > kProgramCount) return -1;
    return settings_->programs[programId - 1].ringTone;
}

int ConnectorService::CallOutProgram() {
    return settings_ ? settings_->callOutProgram : Standalone().CallOutProgram();
}

bool ConnectorService::CallOutFree() {
    return settings_ ? settings_->callOutFree != 0 : Standalone().CallOutFree();
}

const RateList* ConnectorService::RatesOf(int programId) {
    return settings_ ? settings_->RatesOf(programId) : Standalone().RatesOf(programId);
}

bool ConnectorService::AutoAnswer() {
    return settings_ ? settings_->autoAnswer != 0 : Standalone().AutoAnswer();
}

bool ConnectorService::AutoBusy() {
    return settings_ ? settings_->autoBusy != 0 : Standalone().AutoBusy();
}

bool ConnectorService::AutoAway() {
    return settings_ ? settings_->autoAway != 0 : Standalone().AutoAway();
}

std::wstring ConnectorService::AutoBusyText() {
    return settings_ ? settings_->autoBusyText : Standalone().AutoBusyText();
}

std::wstring ConnectorService::AutoAwayText() {
    return settings_ ? settings_->autoAwayText : Standalone().AutoAwayText();
}

bool ConnectorService::HandsetPresent() { return handset_.IsPresent(); }

void ConnectorService::RefreshStatus(int) { RefreshStatus(); }

void ConnectorService::PlayKeyTone(int resource, int mode) { audio_->PlayKeyTone(resource, mode); }

void ConnectorService::PublishDeviceNames() { audio_->PublishDeviceNames(); }

void ConnectorService::SetMuteIndicator(bool muted) {
    if (DirectoryScreen* screen = Screen()) screen->ShowMuteState(muted);
}

void ConnectorService::ShowFocusedContact(int connectorId, const std::wstring& handle) {
    if (DirectoryScreen* screen = Screen()) screen->ShowFocusedContact(connectorId, handle);
}

void ConnectorService::RefreshScreenPage(int pageCode) {
    if (DirectoryScreen* screen = Screen()) screen->RefreshPage(pageCode);
}

bool ConnectorService::StartCallerIdHook(os::Hwnd clientWindow) {
    DirectoryScreen* screen = Screen();
    if (screen == nullptr) return false;
    screen->StartCallerIdHook(clientWindow);
    return true;
}

// DirectoryView: connector operations

void ConnectorService::ShowActiveDialText() {
    VoipConnector* active = registry_.GetActiveConnector();
    DirectoryScreen* screen = Screen();
    if (active == nullptr || screen == nullptr) return;
    std::wstring text;
    active->GetDialText(text, 1024);
    screen->ShowDialText(text);
}

int ConnectorService::PressYes(int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) return 0;
    connector->PressYes(0);
    return 1;
}

void ConnectorService::CallNumber(std::string_view number, int id) {
    if (VoipConnector* connector = Find(id)) connector->CallNumber(number);
}

void ConnectorService::PlayVoicemail(int voicemailId, int id) {
    if (VoipConnector* connector = Find(id)) connector->PlayVoicemail(voicemailId);
}

void ConnectorService::StopVoicemail(int voicemailId, int id) {
    if (VoipConnector* connector = Find(id)) connector->StopVoicemail(voicemailId);
}

void ConnectorService::AnswerCall(int callId, int id) {
    if (VoipConnector* connector = Find(id)) connector->AnswerCall(callId);
}

void ConnectorService::RefuseCall(int callId, int id) {
    if (VoipConnector* connector = Find(id)) connector->RefuseCall(callId);
}

void ConnectorService::FinishCall(int callId, int id) {
    if (VoipConnector* connector = Find(id)) connector->FinishCall(callId);
}

void ConnectorService::ToggleHold(int callId, int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) return;
    const CallRecord* call = connector->calls.GetLiveCall(callId);
    if (call != nullptr && call->status == CallRecord::kOnHold) connector->ResumeCall(callId);
    else connector->HoldCall(callId);
}

void ConnectorService::ToggleMute(int id) {
    if (VoipConnector* connector = Find(id)) connector->ToggleMute();
}

int ConnectorService::GetActiveConnectorId() {
    VoipConnector* active = registry_.GetActiveConnector();
    return active ? active->GetConnectorId() : 0;
}

std::wstring ConnectorService::GetDisplayName(int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->GetDisplayName() : std::wstring();
}

bool ConnectorService::ListOnlineConnectors(int* ids, int& count) {
    const int room = ids != nullptr ? count : 0;
    int written = 0;
    for (int i = 0; i < registry_.Count() && written < room; ++i) {
        VoipConnector* connector = registry_.At(i);
        if (connector->IsOnline()) ids[written++] = connector->GetConnectorId();
    }
    count = written;
    return room >= registry_.Count();
}

int ConnectorService::SetActiveProgram(int id) {
    if (!registry_.ActivateById(id)) return 0;
    // One refresh: each one sends every online client its ring tone again.
    if (settings_ != nullptr) settings_->activeProgram = id;
    return RefreshStatus();
}

std::string ConnectorService::GetLastDialledHandle(int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->LastDialledHandle() : std::string();
}

std::wstring ConnectorService::GetLastDialledName(int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->LastDialledName() : std::wstring();
}

// DirectoryView: calls

const CallRecord* ConnectorService::GetHistoryCall(int callId, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->calls.GetHistoryCall(callId) : nullptr;
}

const CallRecord* ConnectorService::GetRecentCall(int kind, int& position, int& count, int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) {
        count = 0;
        return nullptr;
    }
    return connector->calls.GetRecentCall(kind, position, count);
}

const std::string& ConnectorService::GetCallPartnerName(const CallRecord* call) {
    return CallPartnerName(call);
}

const std::string& ConnectorService::GetCallPartnerHandle(const CallRecord* call) {
    return CallPartnerHandle(call);
}

int ConnectorService::GetCallId(const CallRecord* call) { return CallId(call); }
int ConnectorService::GetCallConferenceId(const CallRecord* call) { return CallConferenceId(call); }
int ConnectorService::GetCallTimestamp(const CallRecord* call) { return CallTimestamp(call); }
int ConnectorService::GetCallDuration(const CallRecord* call) { return CallDuration(call); }

// DirectoryView: contacts

ContactRecord* ConnectorService::GetFirstContact(int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->contacts.GetFirstContact() : nullptr;
}

ContactRecord* ConnectorService::FindListedContact(std::string_view handle, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->contacts.FindListedContact(handle) : nullptr;
}

ContactRecord* ConnectorService::GetNextContact(std::string_view handle, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->contacts.GetNextContact(handle) : nullptr;
}

ContactRecord* ConnectorService::GetPreviousContact(std::string_view handle, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->contacts.GetPreviousContact(handle) : nullptr;
}

int ConnectorService::GetContactPosition(const ContactRecord* contact, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->contacts.GetContactPosition(contact) : 0;
}

ContactRecord* ConnectorService::FindContactByName(std::string_view shownName, int& id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) connector = registry_.GetActiveConnector();
    if (connector == nullptr) return nullptr;
    id = connector->GetConnectorId();
    return connector->contacts.FindContactByName(shownName);
}

int ConnectorService::GetContactCounts(int& onlineCount, int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) {
        onlineCount = 0;
        return 0;
    }
    return connector->contacts.GetContactCounts(onlineCount);
}

const std::string& ConnectorService::GetContactShownName(const ContactRecord* contact) {
    return ContactShownName(contact);
}

const std::string& ConnectorService::GetContactHandle(const ContactRecord* contact) {
    return ContactHandle(contact);
}

int ConnectorService::GetContactIcon(const ContactRecord* contact) { return ContactIcon(contact); }

const std::string& ConnectorService::GetContactLocation(ContactRecord* contact) {
    return ContactLocation(contact);
}

// DirectoryView: live calls, volume, state

const CallRecord* ConnectorService::GetLiveCall(int callId, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->calls.GetLiveCall(callId) : nullptr;
}

int ConnectorService::GetConferenceText(const CallRecord* call, int id, std::string& text) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) {
        text.clear();
        return 0;
    }
    return connector->calls.GetConferenceText(call, text);
}

int ConnectorService::GetSpeakerVolume() { return audio_->GetSpeakerVolume(); }
void ConnectorService::SetSpeakerVolume(int volume) { audio_->SetSpeakerVolume(volume); }

bool ConnectorService::SuppressesPageStep(int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->SuppressesPageStep() : true;
}

int ConnectorService::GetConnectorState(int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) return -1;
    if (connector->IsOnline()) return 1;
    return connector->IsAttached() ? 0 : -1;
}

// DirectoryView: voicemails

const VoicemailRecord* ConnectorService::GetVoicemail(int voicemailId, int id) {
    VoipConnector* connector = Find(id);
    return connector ? connector->voicemails.GetVoicemail(voicemailId) : nullptr;
}

const VoicemailRecord* ConnectorService::GetVoicemailList(int& unplayedCount, int& position,
                                                          int& total, int id) {
    VoipConnector* connector = Find(id);
    if (connector == nullptr) {
        unplayedCount = 0;
        total = 0;
        return nullptr;
    }
    return connector->voicemails.GetVoicemailList(unplayedCount, position, total);
}

int ConnectorService::GetVoicemailId(const VoicemailRecord* voicemail) { return VoicemailId(voicemail); }

const std::string& ConnectorService::GetVoicemailPartnerName(const VoicemailRecord* voicemail) {
    return VoicemailPartnerName(voicemail);
}

const std::string& ConnectorService::GetVoicemailPartnerHandle(const VoicemailRecord* voicemail) {
    return VoicemailPartnerHandle(voicemail);
}

int ConnectorService::GetVoicemailTimestamp(const VoicemailRecord* voicemail) {
    return VoicemailTimestamp(voicemail);
}

int ConnectorService::GetVoicemailDuration(const VoicemailRecord* voicemail) {
    return VoicemailDuration(voicemail);
}

int ConnectorService::GetVoicemailPlayState(const VoicemailRecord* voicemail) {
    return VoicemailPlayState(voicemail);
}

}  // namespace talvio
