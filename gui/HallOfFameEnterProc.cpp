#include "gui/HallOfFameEnterProc.h"

#include <string>

#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"

namespace {

const int kNameEntryMusic = 2;

// Printable characters only, which the file escapes where it must: a name is shown, saved and
// read back exactly as typed. Keys without a character (code 0), Escape and other control codes
// add nothing.
bool IsNameCharacter(int iCharacter) {
    return iCharacter >= 32 && iCharacter <= 126;
}

void EnterName(cMenuWindow& window, const std::string& sName) {
    cHOFEntry entry;
    entry.sName = sName;
    entry.iScore = window.pGame->GetScore();
    // Saved at once, so that closing the window in the list loses nothing; a failure is shown
    // there.
    window.pGame->HOF.Add(entry);
    window.pGame->HOF.Save();
    window.pGui->SetActiveWindows({WND_HOF, WND_SCORE});
}

} // namespace

int HallOfFameEnterProc(cMenuWindow& window, int iMsg, void* a, void*) {
    static std::string name;

    switch (iMsg) {
    case MSG_DRAW: {
        BITMAP* pClient = static_cast<BITMAP*>(a);
        textprintf_ex(pClient, font, 5, 5, 0, -1, "Congratulations, you have entered");
        textprintf_ex(pClient, font, 5, 13, 0, -1, "the hall of fame. Now enter your name:");
        textprintf_ex(pClient, font, 5, 21, 0, -1, "%s", name.c_str());
        break;
    }
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kNameEntryMusic);
        name.clear();
        window.pGame->HOF.AwaitName(window.pGame->GetScore());
        break;
    case MSG_KEY: {
        // Every buffered key is taken, however close it comes to the last: a busy moment delivers
        // a fast typist's keys in one burst of steps.
        const int iKey = MsgInt(a);
        const int iScanCode = iKey >> 8;
        if (iScanCode == KEY_BACKSPACE) {
            if (!name.empty())
                name.pop_back();
        } else if (iScanCode == KEY_ENTER) {
            if (!name.empty())
                EnterName(window, name);
        } else if (IsNameCharacter(iKey & 0xFF) && name.size() < cHOF::kNameLength) {
            name += static_cast<char>(iKey & 0xFF);
        }
        // Kept where the game's last save finds it, should the game end before Enter.
        window.pGame->HOF.SetTypedName(name);
        break;
    }
    }
    return 0;
}
