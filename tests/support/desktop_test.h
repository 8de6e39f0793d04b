// gtest fixture giving each test a fresh hosted desktop (clock 0, no
// windows, classes or mutexes). The test body runs on the clock-driving
// thread.
#pragma once

#include <gtest/gtest.h>

#include "platform/hosted/desktop.h"

namespace talvio::testing {

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override { os::hosted::Reset(); }
    void TearDown() override { os::hosted::Reset(); }
};

}  // namespace talvio::testing
