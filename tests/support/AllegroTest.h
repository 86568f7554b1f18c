#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

// Starts a private Xvfb, once in a process, and points DISPLAY at it; the server is stopped when
// the process ends. False when it cannot start.
bool StartDisplay();

// Tests that use Allegro derive from this fixture: the first such test of a process starts Allegro
// on the private display and opens a 640x480 16-bit window. Allegro then stays up for the rest of
// the process. A failure to start fails the test rather than skipping it.
class cAllegroTest : public ::testing::Test {
protected:
    void SetUp() override;
};
