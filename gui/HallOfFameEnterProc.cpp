#include "gui/HallOfFameEnterProc.h"

#include <string>

#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"

namespace {

const int kNameEntryMusic = 2;

// Printable characters only, and none that would need escaping in the hall-of-fame file: a name
// is shown, saved and read back exactly as typed. Keys without a character (code 0), Escape and
// other control codes add nothing.
bool IsNameCharacter(int iCharacter) {
    if (iCharacter < 32 || iCharacter > 126)
        return false;
    return iCharacter != '"' && iCharacter != '<' && iCharacter != '>' && iCharacter != '&';
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
        } else if (IsNameCharacter(iKey & 0xFF)) {
            name += static_cast<char>(iKey & 0xFF);
        }
        break;
    }
    }
    return 0;
}
