// The directory queries the handset screen makes: one step through a
// contact list in display order (a scan per step), a whole walk, and the
// history-by-kind lookups; and the filing of ended calls.
#include <benchmark/benchmark.h>

#include <string>

#include "directory/call_record.h"
#include "directory/contact_list.h"

namespace {

using namespace talvio;

void Fill(ContactList& list, int count) {
    for (int i = 0; i < count; ++i) {
        ContactRecord& contact = list.FindOrAddContact("user" + std::to_string(i * 7919 % count), 1);
        contact.displayName = "Name " + std::to_string(i * 104729 % count);
        contact.onlineStatus = i % 7 - 1;
        contact.callForwardActive = i % 5 == 0;
    }
}

void BM_ContactStep(benchmark::State& state) {
    ContactList list;
    Fill(list, static_cast<int>(state.range(0)));
    const std::string handle = list.GetFirstContact()->handle;
    for (auto _ : state) benchmark::DoNotOptimize(list.GetNextContact(handle));
}
BENCHMARK(BM_ContactStep)->Arg(100)->Arg(1000)->Arg(5000);

void BM_ContactWalk(benchmark::State& state) {
    ContactList list;
    Fill(list, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int seen = 0;
        for (ContactRecord* c = list.GetFirstContact(); c; c = list.GetNextContact(c->handle)) ++seen;
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_ContactWalk)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_FileEndedCalls(benchmark::State& state) {
    CallLists calls;
    int id = 0;
    for (auto _ : state) {
        ++id;
        CallRecord& call = calls.SetStatus(id, CallRecord::kInProgress);
        call.timestamp = id;
        call.type = id % 2 + 1;
        calls.MoveToHistory(id, id % 3 == 0 ? CallRecord::kMissed : CallRecord::kFinished);
        if (id % 10000 == 0) calls.Clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FileEndedCalls);

void BM_RecentCallByKind(benchmark::State& state) {
    CallLists calls;
    for (int id = 1; id <= state.range(0); ++id) {
        CallRecord& call = calls.SetStatus(id, CallRecord::kInProgress);
        call.timestamp = 1000 + id;
        call.type = id % 2 + 1;
        calls.MoveToHistory(id, id % 3 == 0 ? CallRecord::kMissed : CallRecord::kFinished);
    }
    int kind = 0;
    for (auto _ : state) {
        int position = 5;
        int count = 0;
        benchmark::DoNotOptimize(calls.GetRecentCall(kind % 3 + 1, position, count));
        ++kind;
    }
}
BENCHMARK(BM_RecentCallByKind)->Arg(100)->Arg(1000);

}  // namespace
