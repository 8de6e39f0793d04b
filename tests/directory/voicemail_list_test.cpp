#include <gtest/gtest.h>

#include "directory/voicemail_record.h"

namespace talvio {
namespace {

TEST(VoicemailPlayState, ByStatus) {
    const int expected[] = {0, 0, 0, 2, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    VoicemailRecord voicemail;
    for (int status = 0; status <= 13; ++status) {
        voicemail.status = status;
        EXPECT_EQ(VoicemailPlayState(&voicemail), expected[status]) << status;
    }
    EXPECT_EQ(VoicemailPlayState(nullptr), 2);
}

TEST(VoicemailList, NewRecordsStartUnknownAndKeepTheirAddress) {
    VoipConnector* const owner = reinterpret_cast<VoipConnector*>(0x2000);
    VoicemailList list(owner);
    VoicemailRecord& voicemail = list.FindOrAddVoicemail(42);
    EXPECT_EQ(voicemail.id, 42);
    EXPECT_EQ(voicemail.status, 13);
    EXPECT_EQ(voicemail.type, 4);
    EXPECT_EQ(voicemail.owner, owner);
    voicemail.partnerHandle = "anna";
    EXPECT_EQ(&list.FindOrAddVoicemail(42), &voicemail);
    EXPECT_EQ(list.GetVoicemail(42)->partnerHandle, "anna");
    EXPECT_EQ(list.GetVoicemail(41), nullptr);
    EXPECT_TRUE(list.RemoveVoicemail(42));
    EXPECT_FALSE(list.RemoveVoicemail(42));
    EXPECT_EQ(list.count(), 0);
}

TEST(VoicemailList, ListCoversIncomingOnlyInIdOrder) {
    VoicemailList list;
    const struct { int id, type, status; } entries[] = {
        {30, VoicemailRecord::kIncoming, VoicemailRecord::kPlayed},
        {10, VoicemailRecord::kIncoming, VoicemailRecord::kUnplayed},
        {20, VoicemailRecord::kOutgoing, VoicemailRecord::kUnplayed},
        {25, VoicemailRecord::kDefaultGreeting, VoicemailRecord::kNotDownloaded},
        {40, VoicemailRecord::kIncoming, VoicemailRecord::kNotDownloaded},
        {50, VoicemailRecord::kUnknownType, VoicemailRecord::kUnplayed},
    };
    for (const auto& entry : entries) {
        VoicemailRecord& voicemail = list.FindOrAddVoicemail(entry.id);
        voicemail.type = entry.type;
        voicemail.status = entry.status;
    }
    int unplayed = -1, total = -1, position = 1;
    EXPECT_EQ(list.GetVoicemailList(unplayed, position, total)->id, 30);
    EXPECT_EQ(total, 3);
    EXPECT_EQ(unplayed, 2);
    position = 3;
    EXPECT_EQ(list.GetVoicemailList(unplayed, position, total)->id, 40) << "past the end: the last";
    EXPECT_EQ(position, 2);
    position = -1;
    EXPECT_EQ(list.GetVoicemailList(unplayed, position, total)->id, 10);
    EXPECT_EQ(position, 0);

    VoicemailList empty;
    position = 2;
    EXPECT_EQ(empty.GetVoicemailList(unplayed, position, total), nullptr);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(unplayed, 0);
}

}  // namespace
}  // namespace talvio
