// Mutexes, threads, waits, errors and the module of the hosted desktop.
#include <atomic>

#include "platform/hosted/desktop.h"
#include "platform/unique.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

using namespace os;
using hosted::SimulatedThread;

using KernelTest = DesktopTest;

constexpr wchar_t kMutexName[] = L"OrvaneMutex20061221";

TEST_F(KernelTest, NamedMutexIsSharedAcrossProcesses) {
    Handle first(CreateMutex(true, kMutexName));
    ASSERT_TRUE(first);
    EXPECT_EQ(GetLastError(), 0u);

    const ProcessId other = hosted::CreateProcess(L"second.exe");
    Handle second;
    {
        hosted::ProcessScope scope(other);
        second.reset(CreateMutex(true, kMutexName));  // initialOwner is ignored
        ASSERT_TRUE(second);
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    }
    EXPECT_NE(first.get(), second.get());

    std::uint32_t whileHeld = 0;
    std::uint32_t afterRelease = 0;
    SimulatedThread thread(other);
    thread.Call([&] { whileHeld = WaitForSingleObject(second.get(), 0); });
    ASSERT_TRUE(ReleaseMutex(first.get()));
    thread.Call([&] {
        afterRelease = WaitForSingleObject(second.get(), 0);
        ReleaseMutex(second.get());
    });
    EXPECT_EQ(whileHeld, kWaitTimeout);
    EXPECT_EQ(afterRelease, kWaitObject0);

    // Once every handle is closed the name is free again.
    first.reset();
    second.reset();
    Handle again(CreateMutex(false, kMutexName));
    EXPECT_EQ(GetLastError(), 0u);
}

TEST_F(KernelTest, MutexIsRecursiveForItsOwnerOnly) {
    Handle mutex(CreateMutex(false, nullptr));
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), kWaitObject0);
    ASSERT_EQ(WaitForSingleObject(mutex.get(), kInfinite), kWaitObject0);
    bool releasedByOther = true;
    SimulatedThread(hosted::kDefaultProcess, [&] { releasedByOther = ReleaseMutex(mutex.get()); }).Join();
    EXPECT_FALSE(releasedByOther);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_FALSE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(GetLastError(), 288u);
}

TEST_F(KernelTest, AnAutoResetEventWakesOneWaitAndResetsAManualOneStaysSet) {
    Handle automatic(CreateEvent(false, false));
    Handle manual(CreateEvent(true, true));
    std::uint32_t woken = kWaitFailed;
    std::uint64_t wokenAt = 0;
    SimulatedThread waiter(hosted::kDefaultProcess, [&] {
        woken = WaitForSingleObject(automatic.get(), 5000);
        wokenAt = hosted::Now();
    });
    hosted::AdvanceTime(300);
    EXPECT_TRUE(SetEvent(automatic.get()));
    waiter.Join();
    EXPECT_EQ(woken, kWaitObject0);
    EXPECT_EQ(wokenAt, 300u);
    EXPECT_EQ(WaitForSingleObject(automatic.get(), 0), kWaitTimeout);
    EXPECT_EQ(WaitForSingleObject(manual.get(), 0), kWaitObject0);
    EXPECT_EQ(WaitForSingleObject(manual.get(), 0), kWaitObject0);
    EXPECT_FALSE(SetEvent(nullptr));
}

TEST_F(KernelTest, UnsatisfiableFiniteWaitOnTheClockThreadAdvancesToItsDeadline) {
    Handle mutex(CreateMutex(false, nullptr));
    SimulatedThread holder;
    holder.Call([&] { WaitForSingleObject(mutex.get(), 0); });
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), kWaitTimeout);
    EXPECT_EQ(hosted::Now(), 0u);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 1000), kWaitTimeout);
    EXPECT_EQ(hosted::Now(), 1000u);
    holder.Call([&] { ReleaseMutex(mutex.get()); });
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 1000), kWaitObject0);
    EXPECT_EQ(hosted::Now(), 1000u);
}

TEST_F(KernelTest, FiniteWaitOnAnotherThreadEndsWhenTheClockPassesItsDeadline) {
    Handle mutex(CreateMutex(true, nullptr));
    std::atomic<bool> done{false};
    std::uint32_t result = 0;
    SimulatedThread waiter(hosted::kDefaultProcess, [&] {
        result = WaitForSingleObject(mutex.get(), 500);
        done = true;
    });
    hosted::AdvanceTime(499);
    EXPECT_FALSE(done);
    hosted::AdvanceTime(1);
    waiter.Join();
    EXPECT_TRUE(done);
    EXPECT_EQ(result, kWaitTimeout);
}

TEST_F(KernelTest, MutexOfAnEndedOwnerIsAbandoned) {
    Handle mutex(CreateMutex(false, nullptr));
    SimulatedThread(hosted::kDefaultProcess, [&] { WaitForSingleObject(mutex.get(), 0); }).Join();
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), kWaitAbandoned);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
}

struct ThreadProbe {
    ProcessId process = 0;
    ThreadId thread = 0;
    std::uint32_t sleptUntil = 0;
};

unsigned ProbeThread(void* argument) {
    auto* probe = static_cast<ThreadProbe*>(argument);
    probe->process = GetCurrentProcessId();
    probe->thread = GetCurrentThreadId();
    Sleep(300);
    probe->sleptUntil = GetTickCount();
    return 17;
}

TEST_F(KernelTest, CreatedThreadInheritsTheProcessAndIsWaitable) {
    const ProcessId process = hosted::CreateProcess(L"client.exe");
    ThreadProbe probe;
    ThreadId id = 0;
    Handle thread;
    {
        hosted::ProcessScope scope(process);
        thread.reset(CreateThread(1 << 20, ProbeThread, &probe, &id));
    }
    ASSERT_TRUE(thread);
    EXPECT_EQ(hosted::ThreadStackSize(thread.get()), 1u << 20);
    std::uint32_t code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(code, 259u);  // STILL_ACTIVE

    // The wait lets virtual time follow the thread's Sleep, not its deadline.
    EXPECT_EQ(WaitForSingleObject(thread.get(), 5000), kWaitObject0);
    EXPECT_EQ(hosted::Now(), 300u);
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(code, 17u);
    EXPECT_EQ(probe.process, process);
    EXPECT_EQ(probe.thread, id);
    EXPECT_NE(id, GetCurrentThreadId());
}

TEST_F(KernelTest, ClosedHandleIsInvalid) {
    KernelHandle mutex = CreateMutex(false, nullptr);
    ASSERT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(CloseHandle(mutex));
    EXPECT_EQ(GetLastError(), 6u);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), kWaitFailed);
    EXPECT_FALSE(ReleaseMutex(mutex));
}

struct ClobberingTraits {
    using Type = KernelHandle;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) {
        CloseHandle(handle);
        SetLastError(99);
    }
};

TEST_F(KernelTest, UniqueKeepsTheLastErrorWhenClosing) {
    {
        Unique<ClobberingTraits> mutex(CreateMutex(false, nullptr));
        SetLastError(1234);
    }
    EXPECT_EQ(GetLastError(), 1234u);
    Handle bogus(reinterpret_cast<KernelHandle>(0x7777));  // CloseHandle fails on it
    SetLastError(5);
    bogus.reset();
    EXPECT_EQ(GetLastError(), 5u);
}

TEST_F(KernelTest, LastErrorIsPerThread) {
    SetLastError(5);
    std::uint32_t seen = 0;
    SimulatedThread(hosted::kDefaultProcess, [&] {
        seen = GetLastError();
        SetLastError(7);
    }).Join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

TEST_F(KernelTest, ModuleFileNameIsSettablePerProcess) {
    EXPECT_EQ(GetModuleFileName(), L"C:\\Program Files\\Talvio\\TalvioDriver.exe");
    hosted::SetModuleFileName(L"D:\\Apps\\TalvioDriver.exe");
    const ProcessId other = hosted::CreateProcess(L"Sonvar.exe");
    {
        hosted::ProcessScope scope(other);
        EXPECT_NE(GetModuleFileName(), L"D:\\Apps\\TalvioDriver.exe");
        EXPECT_EQ(GetCurrentProcessId(), other);
    }
    EXPECT_EQ(GetModuleFileName(), L"D:\\Apps\\TalvioDriver.exe");
    EXPECT_EQ(hosted::ProcessName(other), L"Sonvar.exe");
}

}  // namespace
}  // namespace talvio::testing
