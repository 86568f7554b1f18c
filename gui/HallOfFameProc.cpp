#include "gui/HallOfFameProc.h"

#include <algorithm>
#include <string>

#include "MediaIds.h"
#include "core/cGameInstance.h"
#include "core/cReplay.h"
#include "gui/cGuiSystem.h"
#include "gui/cInputState.h"
#include "media/cMidiDatabase.h"

namespace {

const int kFirstRow = 30;
const int kRowHeight = 8;
// The right edge of the rank ("10."), the left edge of the name.
const int kRankRight = 29;
const int kNameLeft = 37;

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
// from play must not. Space, Enter, Escape, and the pad's fire and back buttons leave; Enter and
// the fire button watch the chosen game instead when it has a replay.
bool LeavesList(unsigned iActions) {
    const unsigned iLeaving = ActionBit(kFire) | ActionBit(kConfirm) | ActionBit(kBack);
    return iActions & iLeaving;
}

// Rank, name and score in columns, the chosen row white on black. Only the rows that reach into
// the client area are drawn: whatever the table holds, a row the window cannot show would cost the
// frame time for nothing.
void DrawRows(BITMAP* pClient, const cHOF& HOF, int iChosen) {
    int y = kFirstRow;
    for (std::size_t i = 0; i < HOF.vEntries.size() && y < pClient->h; ++i, y += kRowHeight) {
        const bool bChosen = static_cast<int>(i) == iChosen;
        const int iInk = bChosen ? makecol(255, 255, 255) : 0;
        if (bChosen)
            rectfill(pClient, 2, y - 1, pClient->w - 3, y + kRowHeight - 1, 0);
        const cHOFEntry& entry = HOF.vEntries[i];
        textprintf_right_ex(pClient, font, kRankRight, y, iInk, -1, "%d.", static_cast<int>(i) + 1);
        textprintf_ex(pClient, font, kNameLeft, y, iInk, -1, "%s", entry.sName.c_str());
        textprintf_right_ex(pClient, font, pClient->w - 5, y, iInk, -1, "%d", entry.iScore);
    }
}

// What Enter does with the chosen row, or why it cannot be watched.
std::string Hint(const cGameInstance& game, int iChosen, const std::string& sNote) {
    if (game.HOF.vEntries.empty())
        return "";
    if (!sNote.empty())
        return sNote;
    if (game.bGameOpen)
        return "Watch replays when no game is paused.";
    if (game.HOF.vEntries[iChosen].sReplay.empty())
        return "No replay of this game.";
    return "Up, Down, Enter: watch a game.";
}

void DrawList(BITMAP* pClient, const cGameInstance& game, int iChosen, const std::string& sNote) {
    textprintf_ex(pClient, font, 5, 5, 0, -1, "Hall of fame, press space to");
    textprintf_ex(pClient, font, 5, 12, 0, -1, "return to the main menu.");
    DrawRows(pClient, game.HOF, iChosen);
    const int yHint = kFirstRow + kRowHeight * static_cast<int>(cHOF::kPlaces) + 6;
    textprintf_ex(pClient, font, 5, yHint, 0, -1, "%s", Hint(game, iChosen, sNote).c_str());
    if (!game.HOF.sError.empty())
        DrawError(pClient, game.HOF.sError);
}

// Starts the replay of the chosen row; false, with the reason in sNote, when there is none.
bool Watch(cGameInstance& game, int iChosen, std::string& sNote) {
    const cHOFEntry& entry = game.HOF.vEntries[iChosen];
    if (entry.sReplay.empty() || game.bGameOpen)
        return false;
    cReplay replay;
    std::string sWhy;
    if (!replay.Load(game.HOF.ReplayFile(entry), sWhy)) {
        sNote = "No replay: " + sWhy;
        return true;
    }
    game.Playback.Start(replay, cPlayback::kToList);
    return true;
}

} // namespace

int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    static int iChosen = 0;
    // Why the chosen game could not be watched, until another is chosen.
    static std::string sNote;
    cGameInstance& game = *window.pGame;
    const int iRows = static_cast<int>(game.HOF.vEntries.size());
    iChosen = std::max(0, std::min(iChosen, iRows - 1));

    switch (iMsg) {
    case MSG_DRAW:
        DrawList(static_cast<BITMAP*>(a), game, iChosen, sNote);
        break;
    case MSG_ACTIVATE:
        game.pMidis->PlayMidi(kMidiHallOfFame);
        sNote.clear();
        break;
    case MSG_KEY: {
        const unsigned iActions = cInputState::MenuActions(MsgInt(a), MsgInt(b));
        const int iMoved = iChosen + ((iActions & ActionBit(kDown)) ? 1 : 0) -
                           ((iActions & ActionBit(kUp)) ? 1 : 0);
        if (iRows > 0 && iMoved >= 0 && iMoved < iRows && iMoved != iChosen) {
            iChosen = iMoved;
            sNote.clear();
        }
        if ((iActions & ActionBit(kConfirm)) && iRows > 0 && Watch(game, iChosen, sNote))
            break;
        if (LeavesList(iActions)) {
            // The name entry saved already; this tries once more if that failed. A table only
            // viewed is never written.
            if (game.HOF.bChanged)
                game.HOF.Save();
            game.pGui->SetActiveWindows({WND_MAINMENU});
        }
        break;
    }
    }
    return 0;
}
