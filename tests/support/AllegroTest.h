#pragma once

#include <allegro.h>
#include <gtest/gtest.h>
#include <memory>

// Starts a private Xvfb, once in a process, and points DISPLAY at it; false when it cannot start.
bool StartDisplay();

// The first test of a process starts Allegro on the private display in a 640x480 16-bit window,
// which then stays up; a failure to start fails the test.
class cAllegroTest : public ::testing::Test {
protected:
    void SetUp() override;
};

using tBitmap = std::unique_ptr<BITMAP, void (*)(BITMAP*)>;
// A new bitmap of that size, cleared to the colour.
tBitmap Cleared(int iWidth, int iHeight, int iColor);
// The number of pixels in which two bitmaps of the same size differ.
int DifferentPixels(BITMAP* pA, BITMAP* pB);
// The number of pixels of the bitmap in that colour.
int PixelsOf(BITMAP* pBitmap, int iColor);
