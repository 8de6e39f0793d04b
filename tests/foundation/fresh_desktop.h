// Gives each thread or mutex test a fresh hosted desktop (clock 0); the
// Windows build runs the same tests against the real kernel. Reset in the
// constructor and destructor, so the derived fixture's members are made
// after the reset and gone before the next one.
#pragma once

#include <gtest/gtest.h>

namespace talvio::testing {

void ResetDesktop();

class FreshDesktopTest : public ::testing::Test {
protected:
    FreshDesktopTest() { ResetDesktop(); }
    ~FreshDesktopTest() override { ResetDesktop(); }
};

}  // namespace talvio::testing
