#include "gui/ScoreProc.h"

int ScoreProc(cMenuWindow&, int iMsg, void* a, void* b) {
    static int iScore = 0;
    static int iLevel = 0;
    if (iMsg == MSG_SETDATA) {
        iScore = MsgInt(a);
        iLevel = MsgInt(b);
    } else if (iMsg == MSG_DRAW) {
        BITMAP* pClient = static_cast<BITMAP*>(a);
        const int iWhite = makecol(255, 255, 255);
        textprintf_ex(pClient, font, 5, 5, iWhite, -1, "Level %d", iLevel);
        textprintf_ex(pClient, font, 5, 13, iWhite, -1, "Score %d", iScore);
    }
    return 0;
}
