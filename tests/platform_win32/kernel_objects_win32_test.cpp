#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "tests/platform_win32/test_support.h"

namespace talvio::test {
namespace {

std::wstring UniqueName(const wchar_t* base) {
    return base + std::to_wstring(os::GetCurrentProcessId());
}

TEST(NamedMutex, SecondCreateOpensTheSameMutexAndSaysSo) {
    const std::wstring name = UniqueName(L"TalvioAgreementMutex");
    os::SetLastError(os::ERROR_ALREADY_EXISTS);
    os::Handle first(os::CreateMutex(true, name.c_str()));
    ASSERT_TRUE(first);
    EXPECT_NE(os::ERROR_ALREADY_EXISTS, os::GetLastError());

    os::Handle second(os::CreateMutex(false, name.c_str()));
    ASSERT_TRUE(second);
    EXPECT_EQ(os::ERROR_ALREADY_EXISTS, os::GetLastError());

    // One mutex: owned by this thread through the first handle, so another
    // thread waits on the second handle until it is released.
    std::uint32_t before = 0;
    Event released;
    std::uint32_t after = 0;
    Thread other([&] {
        before = os::WaitForSingleObject(second.get(), 0);
        released.Wait(os::kInfinite);
        after = os::WaitForSingleObject(second.get(), 10000);
        if (after == os::kWaitObject0) os::ReleaseMutex(second.get());
    });
    EXPECT_FALSE(released.Wait(100));  // let the first wait run
    EXPECT_TRUE(os::ReleaseMutex(first.get()));
    released.Set();
    os::WaitForSingleObject(other.handle(), os::kInfinite);
    EXPECT_EQ(os::kWaitTimeout, before);
    EXPECT_EQ(os::kWaitObject0, after);
    EXPECT_FALSE(os::ReleaseMutex(first.get()));  // not the owner any more

    first.reset();
    second.reset();
    os::Handle again(os::CreateMutex(false, name.c_str()));
    ASSERT_TRUE(again);
    EXPECT_NE(os::ERROR_ALREADY_EXISTS, os::GetLastError());
}

TEST(NamedMutex, OwnerEndingWithoutReleaseLeavesItAbandoned) {
    os::Handle mutex(os::CreateMutex(false, nullptr));
    ASSERT_TRUE(mutex);
    Thread owner([&] { EXPECT_EQ(os::kWaitObject0, os::WaitForSingleObject(mutex.get(), 0)); });
    os::WaitForSingleObject(owner.handle(), os::kInfinite);
    // The waiter that finds it abandoned owns it now.
    EXPECT_EQ(os::kWaitAbandoned, os::WaitForSingleObject(mutex.get(), 1000));
    EXPECT_EQ(os::kWaitObject0, os::WaitForSingleObject(mutex.get(), 0));  // recursive
    EXPECT_TRUE(os::ReleaseMutex(mutex.get()));
    EXPECT_TRUE(os::ReleaseMutex(mutex.get()));
    EXPECT_FALSE(os::ReleaseMutex(mutex.get()));
}

struct WindowTraits {
    using Type = os::Hwnd;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type window) noexcept { os::DestroyWindow(window); }
};

TEST(UniqueHandle, ClosingKeepsTheLastError) {
    TestWindow window;
    const os::Hwnd hwnd = window.hwnd();
    ASSERT_TRUE(os::DestroyWindow(hwnd));
    // A close that fails sets its own error...
    os::SetLastError(0);
    EXPECT_FALSE(os::DestroyWindow(hwnd));
    EXPECT_NE(0u, os::GetLastError());
    // ...which Unique keeps from the caller.
    {
        os::Unique<WindowTraits> owner(hwnd);
        os::SetLastError(1234);
    }
    EXPECT_EQ(1234u, os::GetLastError());

    const std::wstring name = UniqueName(L"TalvioAgreementUnique");
    os::Handle first(os::CreateMutex(false, name.c_str()));
    {
        os::Handle second(os::CreateMutex(false, name.c_str()));
    }
    EXPECT_EQ(os::ERROR_ALREADY_EXISTS, os::GetLastError());
}

TEST(Threads, ReportIdAndExitCode) {
    struct Run {
        os::ThreadId seenId = 0;
    } run;
    os::ThreadId id = 0;
    os::Handle thread(os::CreateThread(
        256 * 1024,
        [](void* data) -> unsigned {
            static_cast<Run*>(data)->seenId = os::GetCurrentThreadId();
            return 77;
        },
        &run, &id));
    ASSERT_TRUE(thread);
    ASSERT_EQ(os::kWaitObject0, os::WaitForSingleObject(thread.get(), 10000));
    std::uint32_t code = 0;
    EXPECT_TRUE(os::GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(77u, code);
    EXPECT_EQ(id, run.seenId);
    EXPECT_NE(os::GetCurrentThreadId(), id);
}

TEST(Threads, AThrowingStartEndsOnlyItsThread) {
    os::Handle thread(os::CreateThread(
        64 * 1024, [](void*) -> unsigned { throw std::runtime_error("worker failed"); }, nullptr,
        nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(os::kWaitObject0, os::WaitForSingleObject(thread.get(), 10000));
    std::uint32_t code = 0;
    EXPECT_TRUE(os::GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(0xFFFFFFFFu, code);
}

}  // namespace
}  // namespace talvio::test
