#include "gui/EnergyBarProc.h"

int EnergyBarProc(cMenuWindow&, int iMsg, void* a, void* b) {
    static int iEnergyLevel = 0;
    static int iMaxEnergy = 0;
    if (iMsg == MSG_SETDATA) {
        iEnergyLevel = MsgInt(a);
        iMaxEnergy = MsgInt(b);
    } else if (iMsg == MSG_DRAW) {
        // No cap has been sent yet: the bar then shows the energy against a cap of one.
        if (iMaxEnergy == 0)
            iMaxEnergy = 1;
        BITMAP* pClient = static_cast<BITMAP*>(a);
        const int iPercent = iEnergyLevel * 100 / iMaxEnergy;
        const int x =
            static_cast<int>(static_cast<float>(pClient->w) * static_cast<float>(iPercent) / 100.0);
        rectfill(pClient, 0, 0, x, pClient->h, makecol(255, 255, 0));
    }
    return 0;
}
