// Gives each thread or mutex test a fresh hosted desktop (clock 0); the
// Windows build runs the same tests against the real kernel.
#pragma once

#include <gtest/gtest.h>

namespace talvio::testing {

void ResetDesktop();

class FreshDesktopTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDesktop(); }
    void TearDown() override { ResetDesktop(); }
};

}  // namespace talvio::testing
