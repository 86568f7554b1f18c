#include "gui/PowerupProc.h"

#include "core/cGameInstance.h"
#include "objects/cPlayer.h"
#include "objects/cPlayerShip.h"

namespace {

// A full charge fills 48 columns of a gauge.
const int kGaugeLength = 48;

void DrawFrame(BITMAP* pClient) {
    const int iWhite = makecol(255, 255, 255);
    textprintf_ex(pClient, font, 5, 5, iWhite, -1, "Super charger :");
    textprintf_ex(pClient, font, 5, 13, iWhite, -1, "Super speed   :");
    rect(pClient, 120, 5, 171, 12, 0);
    rect(pClient, 120, 14, 171, 21, 0);
}

} // namespace

int PowerupProc(cMenuWindow& window, int iMsg, void* a, void*) {
    static int iSC = 0;
    static int iSS = 0;
    if (iMsg != MSG_DRAW)
        return 0;
    BITMAP* pClient = static_cast<BITMAP*>(a);
    DrawFrame(pClient);

    cGameInstance* pGame = window.pGame;
    const cPlayerShip* pShip =
        dynamic_cast<cPlayerShip*>(pGame->GetObject(pGame->pPlayer->GetAvatarID()));
    // Before the first game there is no ship to read: the gauges stay empty outlines.
    if (!pShip || pShip->GetMax() <= 0)
        return 0;
    iSC = pShip->SC();
    iSS = pShip->SS();
    const int iYellow = makecol(255, 255, 0);
    rectfill(pClient, 121, 6, 121 + iSC * kGaugeLength / pShip->GetMax(), 11, iYellow);
    rectfill(pClient, 121, 15, 121 + iSS * kGaugeLength / pShip->GetMax(), 20, iYellow);
    return 0;
}
