#include "gui/HallOfFameProc.h"

#include <string>

#include "core/cGameInstance.h"
#include "core/cInputState.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"

namespace {

const int kListMusic = 3;

// At the foot of the list; a reason too long for the line goes on the line below.
void DrawError(BITMAP* pClient, const std::string& sError) {
    const int y = pClient->h - 21;
    const std::size_t iColon = sError.find(": ");
    if (text_length(font, sError.c_str()) <= pClient->w - 10 || iColon == std::string::npos) {
        textprintf_ex(pClient, font, 5, y + 8, 0, -1, "%s", sError.c_str());
        return;
    }
    textprintf_ex(pClient, font, 5, y, 0, -1, "%s", sError.substr(0, iColon + 1).c_str());
    textprintf_ex(pClient, font, 5, y + 8, 0, -1, "%s", sError.substr(iColon + 2).c_str());
}

// The key or button pressed, not those held, leaves the list: Space or the fire button still held
// from play must not. Space, Enter, Escape, and the pad's fire and back buttons leave.
bool LeavesList(int iKey, int iActions) {
    const unsigned iLeaving = ActionBit(kFire) | ActionBit(kConfirm) | ActionBit(kBack);
    return cInputState::MenuActions(iKey, iActions) & iLeaving;
}

// Only the rows that reach into the client area are drawn: whatever the table holds, a row the
// window cannot show would cost the frame time for nothing.
void DrawList(BITMAP* pClient, const cHOF& HOF) {
    textprintf_ex(pClient, font, 5, 5, 0, -1, "Hall of fame, press space to");
    textprintf_ex(pClient, font, 5, 12, 0, -1, "return to the main menu.");
    int y = 30;
    for (std::size_t i = 0; i < HOF.vEntries.size() && y < pClient->h; ++i, y += 8)
        textprintf_ex(pClient, font, 5, y, 0, -1, "%s: %d", HOF.vEntries[i].sName.c_str(),
                      HOF.vEntries[i].iScore);
    if (!HOF.sError.empty())
        DrawError(pClient, HOF.sError);
}

} // namespace

int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    switch (iMsg) {
    case MSG_DRAW:
        DrawList(static_cast<BITMAP*>(a), window.pGame->HOF);
        break;
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kListMusic);
        break;
    case MSG_KEY:
        if (LeavesList(MsgInt(a), MsgInt(b))) {
            // The name entry saved already; this tries once more if that failed. A table only
            // viewed is never written.
            if (window.pGame->HOF.bChanged)
                window.pGame->HOF.Save();
            window.pGame->pGui->SetActiveWindows({WND_MAINMENU});
        }
        break;
    }
    return 0;
}
