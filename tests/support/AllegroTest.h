#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

// Tests that use Allegro derive from this fixture: the first such test of a process starts a
// private Xvfb, starts Allegro on it and opens a 640x480 16-bit window. Allegro then stays up for
// the rest of the process; the X server is stopped when the process ends. A failure to start fails
// the test rather than skipping it.
class cAllegroTest : public ::testing::Test {
protected:
    void SetUp() override;
};
