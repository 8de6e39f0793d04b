#include <gtest/gtest.h>

#include "directory/call_record.h"

namespace talvio {
namespace {

VoipConnector* const kOwner = reinterpret_cast<VoipConnector*>(0x1000);

class CallListsTest : public ::testing::Test {
protected:
    // An ended call: type, end reason and time stamp as the client reported.
    void Ended(int id, int type, int reason, int timestamp) {
        CallRecord& call = calls.SetStatus(id, CallRecord::kInProgress);
        call.type = type;
        call.timestamp = timestamp;
        ASSERT_TRUE(calls.MoveToHistory(id, reason));
    }

    std::vector<int> Kind(int kind) {
        std::vector<int> ids;
        int count = 0;
        for (int position = 0;; ++position) {
            int asked = position;
            CallRecord* call = calls.GetRecentCall(kind, asked, count);
            if (!call || asked != position) break;
            ids.push_back(call->id);
        }
        return ids;
    }

    CallLists calls{kOwner};
};

TEST_F(CallListsTest, SetStatusCreatesWithInitialFields) {
    CallRecord& call = calls.SetStatus(13, CallRecord::kRinging);
    EXPECT_EQ(call.id, 13);
    EXPECT_EQ(call.status, 3);
    EXPECT_EQ(call.type, 1);
    EXPECT_EQ(call.endReason, 0);
    EXPECT_EQ(call.conferenceId, -1);
    EXPECT_EQ(call.isPstn, -1);
    EXPECT_EQ(call.isNew, 0);
    EXPECT_EQ(call.owner, kOwner);
    call.partnerHandle = "anna";
    EXPECT_EQ(&calls.SetStatus(13, CallRecord::kInProgress), &call);
    EXPECT_EQ(call.partnerHandle, "anna");
    EXPECT_EQ(call.type, 1);
    calls.SetStatus(13, CallRecord::kRouting);
    EXPECT_EQ(call.type, 2) << "routing means being placed";
}

TEST_F(CallListsTest, MoveToHistoryFilesTheCallOnce) {
    EXPECT_FALSE(calls.MoveToHistory(5, CallRecord::kFinished));
    EXPECT_TRUE(calls.callHistory.empty());

    CallRecord& live = calls.SetStatus(5, CallRecord::kInProgress);
    live.partnerHandle = "anna";
    live.timestamp = 1000;
    EXPECT_TRUE(calls.MoveToHistory(5, CallRecord::kMissed));
    EXPECT_EQ(calls.GetLiveCall(5), nullptr);
    CallRecord* past = calls.GetHistoryCall(5);
    ASSERT_NE(past, nullptr);
    EXPECT_EQ(past->endReason, 2);
    EXPECT_EQ(past->status, 2) << "the history record's status carries the end reason";
    EXPECT_EQ(past->partnerHandle, "anna");
    ASSERT_EQ(calls.recentCalls.size(), 1u);
    EXPECT_EQ(calls.recentCalls.begin()->second.id, 5);
}

TEST_F(CallListsTest, ExistingHistoryRecordIsKept) {
    CallRecord& listed = calls.FindOrAddHistoryCall(8);
    EXPECT_EQ(listed.status, CallRecord::kRouting);
    listed.partnerDisplayName = "From the call list";
    calls.SetStatus(8, CallRecord::kInProgress).partnerDisplayName = "Live";
    EXPECT_TRUE(calls.MoveToHistory(8, CallRecord::kFinished));
    EXPECT_EQ(calls.GetHistoryCall(8)->partnerDisplayName, "From the call list");
    EXPECT_EQ(calls.GetHistoryCall(8)->endReason, 1);
    EXPECT_TRUE(calls.recentCalls.empty()) << "no time stamp, no recent entry";
}

TEST_F(CallListsTest, LiveCallPredicates) {
    EXPECT_EQ(calls.FindOtherLiveCall(3, 0), 0);
    calls.SetStatus(4, CallRecord::kOnHold);
    calls.SetStatus(7, CallRecord::kRinging);
    calls.SetStatus(9, CallRecord::kInProgress);
    calls.SetStatus(2, CallRecord::kCreated);
    EXPECT_EQ(calls.FindOtherLiveCall(1, 0), 9);
    EXPECT_EQ(calls.FindOtherLiveCall(1, 9), 0);
    EXPECT_EQ(calls.FindOtherLiveCall(2, 0), 7);
    EXPECT_EQ(calls.FindOtherLiveCall(3, 0), 4) << "ascending id, created calls skipped";
    EXPECT_EQ(calls.FindOtherLiveCall(3, 4), 7);
    EXPECT_EQ(calls.FindOtherLiveCall(4, 0), 0);
    EXPECT_EQ(calls.FindOtherLiveCall(0, 0), 0);
    EXPECT_EQ(calls.FindCallInProgress(), 9);

    EXPECT_EQ(calls.FindRingingIncomingCall(), 7);
    EXPECT_EQ(calls.FindRingingIncomingCall(true), 0) << "partner not known yet";
    calls.SetStatus(3, CallRecord::kRinging).type = CallRecord::kOutgoing;
    EXPECT_EQ(calls.FindRingingIncomingCall(), 7);
    calls.GetLiveCall(7)->partnerHandle = "bob";
    EXPECT_EQ(calls.FindRingingIncomingCall(true), 7);
}

TEST_F(CallListsTest, HistoryByKindNewestFirstWithMissedApart) {
    Ended(1, CallRecord::kIncoming, CallRecord::kFinished, 100);
    Ended(2, CallRecord::kOutgoing, CallRecord::kFinished, 300);
    Ended(3, CallRecord::kIncoming, CallRecord::kMissed, 200);
    Ended(4, CallRecord::kIncoming, CallRecord::kRefused, 400);
    Ended(5, CallRecord::kOutgoing, CallRecord::kMissed, 500);
    Ended(6, CallRecord::kIncoming, CallRecord::kFinished, 0);
    EXPECT_EQ(Kind(1), (std::vector<int>{4, 1}));
    EXPECT_EQ(Kind(2), (std::vector<int>{5, 2})) << "only incoming calls count as missed";
    EXPECT_EQ(Kind(3), (std::vector<int>{3}));
    EXPECT_EQ(calls.HistoryCount(1), 2);
    EXPECT_EQ(calls.HistoryCount(7), 0);
}

TEST_F(CallListsTest, RecentPositionIsClamped) {
    Ended(1, CallRecord::kIncoming, CallRecord::kFinished, 100);
    Ended(2, CallRecord::kIncoming, CallRecord::kFinished, 200);
    int position = 9;
    int count = -1;
    EXPECT_EQ(calls.GetRecentCall(1, position, count)->id, 1);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(count, 2);
    position = -3;
    EXPECT_EQ(calls.GetRecentCall(1, position, count)->id, 2);
    EXPECT_EQ(position, 0);
    position = 4;
    EXPECT_EQ(calls.GetRecentCall(3, position, count), nullptr);
    EXPECT_EQ(count, 0);
}

TEST_F(CallListsTest, SameSecondCallsAreBothKeptAndRecopyReplaces) {
    Ended(1, CallRecord::kIncoming, CallRecord::kFinished, 100);
    Ended(2, CallRecord::kIncoming, CallRecord::kFinished, 100);
    EXPECT_EQ(Kind(1), (std::vector<int>{2, 1}));

    CallRecord& first = *calls.GetHistoryCall(1);
    first.timestamp = 300;
    first.type = CallRecord::kOutgoing;
    calls.CopyToRecent(first);
    EXPECT_EQ(calls.recentCalls.size(), 2u);
    EXPECT_EQ(Kind(1), (std::vector<int>{2}));
    EXPECT_EQ(Kind(2), (std::vector<int>{1}));

    first.timestamp = 0;
    calls.CopyToRecent(first);
    EXPECT_EQ(calls.recentCalls.size(), 2u) << "a call without time stamp is not indexed";
    calls.Clear();
    EXPECT_TRUE(calls.recentCalls.empty());
    Ended(1, CallRecord::kIncoming, CallRecord::kFinished, 50);
    EXPECT_EQ(calls.recentCalls.size(), 1u);
}

TEST_F(CallListsTest, ConferenceText) {
    std::string text = "stale";
    EXPECT_EQ(calls.GetConferenceText(nullptr, text), 0);
    EXPECT_EQ(text, "");

    CallRecord& solo = calls.SetStatus(1, CallRecord::kInProgress);
    solo.conferenceId = 0;
    EXPECT_EQ(calls.GetConferenceText(&solo, text), 0);
    solo.partnerDisplayName = "Anna";
    EXPECT_EQ(calls.GetConferenceText(&solo, text), 1);
    EXPECT_EQ(text, "Anna");

    CallRecord& unknown = calls.SetStatus(2, CallRecord::kInProgress);
    unknown.partnerDisplayName = "Bob";
    CallRecord& other = calls.SetStatus(3, CallRecord::kInProgress);
    other.partnerDisplayName = "Cid";
    EXPECT_EQ(calls.GetConferenceText(&unknown, text), 1);
    EXPECT_EQ(text, "Bob") << "calls without a reported conference id are no conference";

    unknown.conferenceId = 7;
    other.conferenceId = 7;
    CallRecord& third = calls.SetStatus(4, CallRecord::kOnHold);
    third.conferenceId = 7;
    EXPECT_EQ(calls.GetConferenceText(&unknown, text), 0) << "one member has no name yet";
    EXPECT_EQ(text, "Bob, Cid");
    third.partnerDisplayName = "Dan";
    EXPECT_EQ(calls.GetConferenceText(&other, text), 1);
    EXPECT_EQ(text, "Bob, Cid, Dan");
}

TEST_F(CallListsTest, ConferenceTextStaysWithinItsLimit) {
    for (int id = 1; id <= 30; ++id) {
        CallRecord& call = calls.SetStatus(id, CallRecord::kInProgress);
        call.conferenceId = 3;
        call.partnerDisplayName = std::string(60, static_cast<char>('a' + id % 26));
    }
    std::string text;
    EXPECT_EQ(calls.GetConferenceText(calls.GetLiveCall(1), text), 0);
    EXPECT_LE(text.size(), 1000u);
    EXPECT_EQ(text.size(), 16 * 60 + 15 * 2u) << "whole names only";
}

}  // namespace
}  // namespace talvio
