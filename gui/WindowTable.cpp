#include "gui/WindowTable.h"

#include <allegro.h>

#include "gui/EnergyBarProc.h"
#include "gui/HallOfFameEnterProc.h"
#include "gui/HallOfFameProc.h"
#include "gui/MainProc.h"
#include "gui/PowerupProc.h"
#include "gui/ScoreProc.h"
#include "gui/WindowIds.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"

void AddGameWindows(cGuiSystem* pGui, int iWidth, int iHeight) {
    struct cWindowRow {
        int iId;
        int iX, iY, iWidth, iHeight;
        int iRed, iGreen, iBlue;
        tWindowProc pProc;
    };
    const int W = iWidth;
    const int H = iHeight;
    const cWindowRow aWindows[] = {
        {WND_ENERGYBAR, 10, H - 20, 100, 20, 100, 0, 0, EnergyBarProc},
        {WND_SCORE, 10, 10, 110, 40, 100, 0, 0, ScoreProc},
        {WND_MAINMENU, W / 2 - 150, H / 2 - 100, 300, 100, 255, 255, 255, MainProc},
        {WND_HOF, W / 2 - 170, H / 2 - 100, 340, 200, 255, 255, 255, HallOfFameProc},
        {WND_HOFENTER, W / 2 - 200, H / 2 - 100, 400, 100, 255, 255, 255, HallOfFameEnterProc},
        {WND_POWERUP, W - 190, 10, 190, 40, 100, 0, 0, PowerupProc},
    };
    for (const cWindowRow& row : aWindows) {
        cMenuWindow* pWindow = new cMenuWindow;
        pWindow->SetId(row.iId);
        pWindow->SetPosition(cVector(row.iX, row.iY, 0));
        pWindow->SetSize(row.iWidth, row.iHeight);
        pWindow->SetBgColor(makecol(row.iRed, row.iGreen, row.iBlue));
        pWindow->pProc = row.pProc;
        pGui->AddWindow(pWindow);
    }
}
