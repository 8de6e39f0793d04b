// What the handset screen reads and asks of the connectors, always naming a
// program by its connector id; an id that names no connector gives the
// empty result (0, none or an empty text). The connector service implements
// it and hands it to the LCD screen when a handset is connected.
//
// Records handed out belong to their connector and stay valid until the
// next client reply changes that connector's containers. Main thread only.
#pragma once

#include <string>
#include <string_view>

#include "directory/call_record.h"
#include "directory/contact_record.h"
#include "directory/voicemail_record.h"

namespace talvio {

class DirectoryView {
public:
    // Connector operations (positions 0 to 15).
    virtual void ShowActiveDialText() = 0;
    virtual int PressYes(int id) = 0;
    virtual void CallNumber(std::string_view number, int id) = 0;
    virtual void PlayVoicemail(int voicemailId, int id) = 0;
    virtual void StopVoicemail(int voicemailId, int id) = 0;
    virtual void AnswerCall(int callId, int id) = 0;
    virtual void RefuseCall(int callId, int id) = 0;
    virtual void FinishCall(int callId, int id) = 0;
    virtual void ToggleHold(int callId, int id) = 0;
    virtual void ToggleMute(int id) = 0;
    virtual int GetActiveConnectorId() = 0;
    virtual std::wstring GetDisplayName(int id) = 0;
    // Writes up to `count` ids of online connectors, stores how many were
    // written; true when `count` could hold every connector.
    virtual bool ListOnlineConnectors(int* ids, int& count) = 0;
    virtual int SetActiveProgram(int id) = 0;
    virtual std::string GetLastDialledHandle(int id) = 0;
    virtual std::wstring GetLastDialledName(int id) = 0;

    // Calls (16 to 23).
    virtual const CallRecord* GetHistoryCall(int callId, int id) = 0;
    virtual const CallRecord* GetRecentCall(int kind, int& position, int& count, int id) = 0;
    virtual const std::string& GetCallPartnerName(const CallRecord* call) = 0;
    virtual const std::string& GetCallPartnerHandle(const CallRecord* call) = 0;
    virtual int GetCallId(const CallRecord* call) = 0;
    virtual int GetCallConferenceId(const CallRecord* call) = 0;
    virtual int GetCallTimestamp(const CallRecord* call) = 0;
    virtual int GetCallDuration(const CallRecord* call) = 0;

    // Contacts (24 to 34), in display order.
    virtual ContactRecord* GetFirstContact(int id) = 0;
    virtual ContactRecord* FindListedContact(std::string_view handle, int id) = 0;
    virtual ContactRecord* GetNextContact(std::string_view handle, int id) = 0;
    virtual ContactRecord* GetPreviousContact(std::string_view handle, int id) = 0;
    virtual int GetContactPosition(const ContactRecord* contact, int id) = 0;
    // Falls back to the active program when no connector has `id`, and
    // stores the id of the program searched into it.
    virtual ContactRecord* FindContactByName(std::string_view shownName, int& id) = 0;
    virtual int GetContactCounts(int& onlineCount, int id) = 0;
    virtual const std::string& GetContactShownName(const ContactRecord* contact) = 0;
    virtual const std::string& GetContactHandle(const ContactRecord* contact) = 0;
    virtual int GetContactIcon(const ContactRecord* contact) = 0;
    virtual const std::string& GetContactLocation(ContactRecord* contact) = 0;

    // Live calls and conferences (35, 36).
    virtual const CallRecord* GetLiveCall(int callId, int id) = 0;
    virtual int GetConferenceText(const CallRecord* call, int id, std::string& text) = 0;

    // Handset speaker volume, mixer units (37, 38).
    virtual int GetSpeakerVolume() = 0;
    virtual void SetSpeakerVolume(int volume) = 0;

    // Connector state (39, 40). GetConnectorState: -1 none or not attached,
    // 1 online, 0 attached but offline.
    virtual bool SuppressesPageStep(int id) = 0;
    virtual int GetConnectorState(int id) = 0;

    // Voicemails (41 to 48).
    virtual const VoicemailRecord* GetVoicemail(int voicemailId, int id) = 0;
    virtual const VoicemailRecord* GetVoicemailList(int& unplayedCount, int& position, int& total,
                                                    int id) = 0;
    virtual int GetVoicemailId(const VoicemailRecord* voicemail) = 0;
    virtual const std::string& GetVoicemailPartnerName(const VoicemailRecord* voicemail) = 0;
    virtual const std::string& GetVoicemailPartnerHandle(const VoicemailRecord* voicemail) = 0;
    virtual int GetVoicemailTimestamp(const VoicemailRecord* voicemail) = 0;
    virtual int GetVoicemailDuration(const VoicemailRecord* voicemail) = 0;
    virtual int GetVoicemailPlayState(const VoicemailRecord* voicemail) = 0;

protected:
    ~DirectoryView() = default;
};

}  // namespace talvio
