// Voicemails a client reports, kept by id. Main thread only.
#pragma once

#include <map>
#include <string>

namespace talvio {

class VoipConnector;

struct VoicemailRecord {
    enum Status {
        kNotDownloaded = 0, kDownloading, kUnplayed, kBuffering, kPlaying, kPlayed, kBlank,
        kRecording, kRecorded, kUploading, kUploaded, kDeleting, kFailed, kUnknownStatus
    };
    enum Type { kIncoming = 0, kOutgoing, kDefaultGreeting, kCustomGreeting, kUnknownType };

    int id = 0;
    int status = kUnknownStatus;
    int type = kUnknownType;
    std::string partnerHandle;
    std::string partnerDisplayName;
    int timestamp = 0;
    int duration = 0;
    VoipConnector* owner = nullptr;  // not owned
};

// 0 not yet played, 1 playing, 2 otherwise (also for none).
int VoicemailPlayState(const VoicemailRecord* voicemail);

// Null-safe field reads for the handset screen; none gives empty or 0.
int VoicemailId(const VoicemailRecord* voicemail);
const std::string& VoicemailPartnerName(const VoicemailRecord* voicemail);
const std::string& VoicemailPartnerHandle(const VoicemailRecord* voicemail);
int VoicemailTimestamp(const VoicemailRecord* voicemail);
int VoicemailDuration(const VoicemailRecord* voicemail);

class VoicemailList {
public:
    explicit VoicemailList(VoipConnector* owner = nullptr) : owner_(owner) {}
    VoicemailList(const VoicemailList&) = delete;
    VoicemailList& operator=(const VoicemailList&) = delete;

    VoipConnector* owner() const { return owner_; }  // not owned
    int count() const { return static_cast<int>(records_.size()); }

    VoicemailRecord* GetVoicemail(int id);
    VoicemailRecord& FindOrAddVoicemail(int id);
    bool RemoveVoicemail(int id);
    void Clear() { records_.clear(); }

    std::map<int, VoicemailRecord>::iterator begin() { return records_.begin(); }
    std::map<int, VoicemailRecord>::iterator end() { return records_.end(); }

    // Over the incoming voicemails in ascending id order: total and the
    // number not yet played, and the entry at position (clamped into range).
    // None when there is no incoming voicemail.
    VoicemailRecord* GetVoicemailList(int& unplayedCount, int& position, int& total);

private:
    VoipConnector* owner_;
    std::map<int, VoicemailRecord> records_;
};

}  // namespace talvio
