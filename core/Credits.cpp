#include "core/Credits.h"

#include <fstream>
#include <string>

#include "core/cGameInstance.h"
#include "core/main.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"

namespace {

const int kFirstLineY = 150;
const int kLineSpacing = 8;
const int kPictureWidth = 150; // bitmap 12, centred above the text

} // namespace

BITMAP* CreateCreditsBitmap(cGameInstance* pGame, int iWidth, const char* sFile) {
    BITMAP* pBmp = create_bitmap(iWidth, kCreditsHeight);
    clear_to_color(pBmp, 0);
    draw_sprite(pBmp, pGame->pBitmaps->GetBitmap(12), iWidth / 2 - kPictureWidth / 2, 30);

    const int iWhite = makecol(255, 255, 255);
    std::ifstream file(sFile);
    std::string sLine;
    for (int i = 0; std::getline(file, sLine); ++i) {
        // A file edited on Windows keeps its carriage returns, which the font would draw.
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();
        textout_centre_ex(pBmp, font, sLine.c_str(), iWidth / 2, kFirstLineY + kLineSpacing * i,
                          iWhite, -1);
    }
    return pBmp;
}

int ScrollCredits(int& iStart, int iOffset) {
    const int iNow = iTime;
    const int iElapsed = iNow - iStart;
    if (iElapsed > 9)
        iStart = iNow;
    return iOffset + iElapsed / 10;
}

bool CreditsOver(int iOffset) {
    return iOffset >= kCreditsHeight || key[KEY_ESC] || key[KEY_SPACE] || bCloseRequested;
}

void Credits(cGameInstance* pGame) {
    BITMAP* pFrame = pGame->pBuffer;
    BITMAP* pBmp = CreateCreditsBitmap(pGame, pFrame->w, "credits.txt");
    pGame->pMidis->PlayMidi(5);
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
    } while (!CreditsOver(iOffset));
    destroy_bitmap(pBmp);
}
