// gtest fixture giving each test a fresh hosted desktop (clock 0, no
// windows, classes or mutexes). The test body runs on the clock-driving
// thread.
//
// The desktop is reset in the constructor and the destructor, not in
// SetUp/TearDown: a derived fixture's members (queues, mutexes, windows)
// are built after the base constructor and destroyed before the base
// destructor, so they never hold handles of a desktop that was reset under
// them.
#pragma once

#include <gtest/gtest.h>

#include "platform/hosted/desktop.h"

namespace talvio::testing {

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest() { os::hosted::Reset(); }
    ~DesktopTest() override { os::hosted::Reset(); }
};

}  // namespace talvio::testing
