#include "core/Intro.h"

#include <allegro.h>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/ViewKeys.h"
#include "core/cGameInstance.h"
#include "core/cInputReader.h"
#include "media/cBitmapDatabase.h"

namespace {

const int kIntroTicks = 499; // the intro ends once more than this many hundredths have passed

} // namespace

bool IntroOver(int iStart, bool bPadSkips) {
    return iTime - iStart > kIntroTicks || key[KEY_ESC] || bPadSkips || bCloseRequested;
}

// Drawn into the frame buffer, so that a scaled window shows it enlarged like the game.
void Intro(cGameInstance* pGame) {
    BITMAP* pFrame = pGame->pBuffer;
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(kBitmapIntro), 0, 0);
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(kBitmapIntroBase), 0, pFrame->h - 128);
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(kBitmapEmblem), pFrame->w - 160, pFrame->h - 80);
    pGame->ShowFrame();
    const int iStart = iTime;
    while (!IntroOver(iStart, pGame->pInput->PadSkips(iTime))) {
        WaitForTick();
        TakeToggle(pGame);
    }
}
