#include "gui/HallOfFameEnterProc.h"

#include <string>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "gui/cInputState.h"
#include "media/cMidiDatabase.h"

namespace {

// The letters a pad picks from, Up going on to the next; a name needs no more than these.
const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The caret is shown for half a second and hidden for half a second: the frame changes only
// twice a second.
const int kBlinkHalf = 50;

// Printable characters only, which the file escapes where it must: a name is shown, saved and
// read back exactly as typed. Keys without a character (code 0) and control codes add nothing, and
// nor does a space before the first letter: Space held or tapped from play must not begin the
// name.
bool Appends(const std::string& sName, int iCharacter) {
    const bool bPrintable = iCharacter >= ' ' && iCharacter <= '~';
    const bool bLeadingSpace = iCharacter == ' ' && sName.empty();
    return bPrintable && !bLeadingSpace && sName.size() < cHOF::kNameLength;
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

// Escape declines the place: the list follows as after a score that earned none, and the end of
// the game saves nothing for it either.
void Decline(cMenuWindow& window) {
    window.pGame->HOF.DeclineName();
    window.pGui->SetActiveWindows({WND_HOF, WND_SCORE});
}

// A pad edits the name without a keyboard: Up and Down pick a letter, fire adds it, back takes the
// last one off, Start enters the name.
void PadEdit(cMenuWindow& window, std::string& name, int& iLetter, unsigned iActions) {
    const int iCount = static_cast<int>(kLetters.size());
    if (iActions & ActionBit(kUp))
        iLetter = (iLetter + 1) % iCount;
    if (iActions & ActionBit(kDown))
        iLetter = (iLetter + iCount - 1) % iCount;
    if ((iActions & ActionBit(kFire)) && name.size() < cHOF::kNameLength)
        name += kLetters[iLetter];
    if ((iActions & ActionBit(kBack)) && !name.empty())
        name.pop_back();
    if ((iActions & ActionBit(kPause)) && !name.empty())
        EnterName(window, name);
}

// The letter the pad would add, underlined after the name; else a blinking caret there.
void DrawCursor(BITMAP* pClient, const std::string& name, bool bPad, int iLetter) {
    const int x = 5 + text_length(font, name.c_str());
    if (bPad) {
        textprintf_ex(pClient, font, x, 21, 0, -1, "%c", kLetters[iLetter]);
        hline(pClient, x, 29, x + 7, 0);
    } else if (iTime / kBlinkHalf % 2 == 0) {
        vline(pClient, x, 20, 29, 0);
    }
}

} // namespace

int HallOfFameEnterProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    static std::string name;
    // The letter the pad points at, shown once the pad has been used.
    static int iLetter = 0;
    static bool bPad = false;

    switch (iMsg) {
    case MSG_DRAW: {
        BITMAP* pClient = static_cast<BITMAP*>(a);
        textprintf_ex(pClient, font, 5, 5, 0, -1, "Congratulations, you have entered");
        textprintf_ex(pClient, font, 5, 13, 0, -1, "the hall of fame. Now enter your name:");
        textprintf_ex(pClient, font, 5, 21, 0, -1, "%s", name.c_str());
        DrawCursor(pClient, name, bPad, iLetter);
        break;
    }
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kMidiNameEntry);
        name.clear();
        window.pGame->HOF.AwaitName(window.pGame->GetScore());
        iLetter = 0;
        bPad = false;
        break;
    case MSG_KEY: {
        // Every buffered key is taken, however close it comes to the last: a busy moment delivers
        // a fast typist's keys in one burst of steps.
        const int iKey = MsgInt(a);
        const int iScanCode = iKey >> 8;
        if (iKey == 0) {
            bPad = true;
            PadEdit(window, name, iLetter, MsgInt(b));
        } else if (iScanCode == KEY_BACKSPACE) {
            if (!name.empty())
                name.pop_back();
        } else if (iScanCode == KEY_ENTER) {
            if (!name.empty())
                EnterName(window, name);
        } else if (iScanCode == KEY_ESC) {
            Decline(window);
        } else if (Appends(name, iKey & 0xFF)) {
            name += static_cast<char>(iKey & 0xFF);
        }
        // Kept where the game's last save finds it, should the game end before Enter.
        window.pGame->HOF.SetTypedName(name);
        break;
    }
    }
    return 0;
}
