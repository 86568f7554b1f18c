#include "core/Credits.h"

#include <algorithm>
#include <fstream>
#include <string>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/ViewKeys.h"
#include "core/cGameInstance.h"
#include "core/cInputReader.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"

namespace {

const int kFirstLineY = 150;
const int kLineSpacing = 8;
const int kPictureWidth = 150; // the emblem, centred above the text
const int kPictureY = 30;

} // namespace

BITMAP* CreateCreditsBitmap(cGameInstance* pGame, int iWidth, const char* sFile, int& iEnd) {
    BITMAP* pBmp = create_bitmap(iWidth, kCreditsHeight);
    clear_to_color(pBmp, 0);
    BITMAP* pPicture = pGame->pBitmaps->GetBitmap(kBitmapEmblem);
    draw_sprite(pBmp, pPicture, iWidth / 2 - kPictureWidth / 2, kPictureY);
    iEnd = kPictureY + pPicture->h;

    const int iWhite = makecol(255, 255, 255);
    std::ifstream file(sFile);
    std::string sLine;
    for (int i = 0; std::getline(file, sLine); ++i) {
        // A file edited on Windows keeps its carriage returns, which the font would draw.
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();
        const int y = kFirstLineY + kLineSpacing * i;
        textout_centre_ex(pBmp, font, sLine.c_str(), iWidth / 2, y, iWhite, -1);
        // Blank lines at the end would only roll an empty screen.
        if (sLine.find_first_not_of(" \t") != std::string::npos)
            iEnd = std::max(iEnd, y + kLineSpacing);
    }
    iEnd = std::min(iEnd, kCreditsHeight);
    return pBmp;
}

int ScrollCredits(int& iStart, int iOffset) {
    const int iNow = iTime;
    const int iElapsed = iNow - iStart;
    if (iElapsed > 9)
        iStart = iNow;
    return iOffset + iElapsed / 10;
}

bool CreditsOver(int iOffset, int iEnd, bool bPadSkips) {
    return iOffset >= iEnd || key[KEY_ESC] || key[KEY_SPACE] || bPadSkips || bCloseRequested;
}

void Credits(cGameInstance* pGame) {
    BITMAP* pFrame = pGame->pBuffer;
    int iEnd = 0;
    BITMAP* pBmp = CreateCreditsBitmap(pGame, pFrame->w, "credits.txt", iEnd);
    pGame->pMidis->PlayMidi(kMidiCredits);
    int iStart = iTime;
    int iOffset = 0;
    int iShown = -1;
    // The text moves ten times a second: the picture is drawn again only when it has moved, and
    // the loop sleeps between the ticks.
    do {
        if (iOffset != iShown) {
            draw_sprite(pFrame, pBmp, 0, -iOffset);
            pGame->ShowFrame();
            iShown = iOffset;
        }
        WaitForTick();
        TakeToggle(pGame);
        iOffset = ScrollCredits(iStart, iOffset);
    } while (!CreditsOver(iOffset, iEnd, pGame->pInput->PadSkips(iTime)));
    destroy_bitmap(pBmp);
}
