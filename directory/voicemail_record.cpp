#include "directory/voicemail_record.h"

namespace talvio {
namespace {

const std::string kNoText;

}  // namespace

int VoicemailPlayState(const VoicemailRecord* voicemail) {
    if (!voicemail) return 2;
    if (voicemail->status >= VoicemailRecord::kNotDownloaded &&
        voicemail->status <= VoicemailRecord::kUnplayed)
        return 0;
    return voicemail->status == VoicemailRecord::kPlaying ? 1 : 2;
}

int VoicemailId(const VoicemailRecord* voicemail) { return voicemail ? voicemail->id : 0; }
const std::string& VoicemailPartnerName(const VoicemailRecord* voicemail) {
    return voicemail ? voicemail->partnerDisplayName : kNoText;
}
const std::string& VoicemailPartnerHandle(const VoicemailRecord* voicemail) {
    return voicemail ? voicemail->partnerHandle : kNoText;
}
int VoicemailTimestamp(const VoicemailRecord* voicemail) {
    return voicemail ? voicemail->timestamp : 0;
}
int VoicemailDuration(const VoicemailRecord* voicemail) {
    return voicemail ? voicemail->duration : 0;
}

VoicemailRecord* VoicemailList::GetVoicemail(int id) {
    const auto it = records_.find(id);
    return it == records_.end() ? nullptr : &it->second;
}

VoicemailRecord& VoicemailList::FindOrAddVoicemail(int id) {
    auto [it, created] = records_.try_emplace(id);
    if (created) {
        it->second.id = id;
        it->second.owner = owner_;
    }
    return it->second;
}

bool VoicemailList::RemoveVoicemail(int id) { return records_.erase(id) != 0; }

VoicemailRecord* VoicemailList::GetVoicemailList(int& unplayedCount, int& position, int& total) {
    unplayedCount = 0;
    total = 0;
    for (const auto& [id, voicemail] : records_) {
        if (voicemail.type != VoicemailRecord::kIncoming) continue;
        ++total;
        if (VoicemailPlayState(&voicemail) == 0) ++unplayedCount;
    }
    if (total == 0) {
        position = 0;
        return nullptr;
    }
    if (position < 0) position = 0;
    if (position > total - 1) position = total - 1;
    int index = 0;
    for (auto& [id, voicemail] : records_)
        if (voicemail.type == VoicemailRecord::kIncoming && index++ == position) return &voicemail;
    return nullptr;
}

}  // namespace talvio
