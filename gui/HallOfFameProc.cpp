#include "gui/HallOfFameProc.h"

#include <string>

#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"
#include "xml/cXmlFile.h"

namespace {

// The file keeps the best ten; the table in memory keeps them all.
const std::size_t kSavedEntries = 10;

const int kListMusic = 3;

// The key pressed, not the keys held, leaves the list: Space still held from play must not.
bool LeavesList(int iKey) {
    const int iScanCode = iKey >> 8;
    return iScanCode == KEY_SPACE || iScanCode == KEY_ENTER || iScanCode == KEY_ESC;
}

void DrawList(BITMAP* pClient, const cHOF& HOF) {
    textprintf_ex(pClient, font, 5, 5, 0, -1, "Hall of fame, press space to");
    textprintf_ex(pClient, font, 5, 12, 0, -1, "return to the main menu.");
    for (std::size_t i = 0; i < HOF.vEntries.size(); ++i)
        textprintf_ex(pClient, font, 5, 30 + 8 * static_cast<int>(i), 0, -1, "%s: %d",
                      HOF.vEntries[i].sName.c_str(), HOF.vEntries[i].iScore);
}

cTag* NewTag(const std::string& sName, int iType) {
    cTag* pTag = new cTag;
    pTag->sName = sName;
    pTag->iType = iType;
    return pTag;
}

// Nothing is shown when the file cannot be written: the player goes on to the menu either way.
void SaveHOF(const cHOF& HOF) {
    cXmlFile document;
    cTag* pStart = NewTag("HallOfFame", TAG_START);
    for (std::size_t i = 0; i < HOF.vEntries.size() && i < kSavedEntries; ++i) {
        cTag* pEntry = NewTag("entry", TAG_EMPTY);
        pEntry->mAttributes["name"] = HOF.vEntries[i].sName;
        pEntry->mAttributes["score"] = std::to_string(HOF.vEntries[i].iScore);
        pStart->vChildren.push_back(pEntry);
    }
    document.vTags.push_back(pStart);
    document.vTags.push_back(NewTag("HallOfFame", TAG_END));
    document.Save("HallOfFame.xml");
}

} // namespace

int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void*) {
    switch (iMsg) {
    case MSG_DRAW:
        DrawList(static_cast<BITMAP*>(a), window.pGame->HOF);
        break;
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kListMusic);
        break;
    case MSG_KEY:
        if (LeavesList(MsgInt(a))) {
            SaveHOF(window.pGame->HOF);
            window.pGame->pGui->SetActiveWindows({WND_MAINMENU});
        }
        break;
    }
    return 0;
}
