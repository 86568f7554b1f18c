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

// Only the rows that reach into the client area are drawn: the table in memory may hold far more
// entries than the window shows, and each would cost the frame time for nothing.
void DrawList(BITMAP* pClient, const cHOF& HOF) {
    textprintf_ex(pClient, font, 5, 5, 0, -1, "Hall of fame, press space to");
    textprintf_ex(pClient, font, 5, 12, 0, -1, "return to the main menu.");
    int y = 30;
    for (std::size_t i = 0; i < HOF.vEntries.size() && y < pClient->h; ++i, y += 8)
        textprintf_ex(pClient, font, 5, y, 0, -1, "%s: %d", HOF.vEntries[i].sName.c_str(),
                      HOF.vEntries[i].iScore);
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
        if (key[KEY_SPACE] || key[KEY_ENTER] || key[KEY_ESC]) {
            SaveHOF(window.pGame->HOF);
            window.pGame->pGui->SetActiveWindows({WND_MAINMENU});
        }
        break;
    }
    return 0;
}
