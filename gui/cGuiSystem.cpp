#include "gui/cGuiSystem.h"

#include "gui/cMenuWindow.h"

namespace {

// Windows draw the eight frame pieces by position; a file with fewer would be read past its end.
const int kFramePieces = 8;

bool HoldsFramePieces(const DATAFILE* pData) {
    for (int i = 0; i < kFramePieces; ++i)
        if (pData[i].type != DAT_BITMAP)
            return false;
    return true;
}

} // namespace

cGuiSystem::~cGuiSystem() {
    for (cMenuWindow* pWindow : vWindows)
        delete pWindow;
    if (pElements)
        unload_datafile(pElements);
}

bool cGuiSystem::LoadElements(const std::string& sFile) {
    DATAFILE* pData = load_datafile(sFile.c_str());
    if (!pData)
        return false;
    if (!HoldsFramePieces(pData)) {
        unload_datafile(pData);
        return false;
    }
    pElements = pData;
    return true;
}

BITMAP* cGuiSystem::GetGuiElement(int i) const {
    return static_cast<BITMAP*>(pElements[i].dat);
}

void cGuiSystem::AddWindow(cMenuWindow* pWindow) {
    pWindow->pGame = pGame;
    pWindow->pGui = this;
    vWindows.push_back(pWindow);
}

cMenuWindow* cGuiSystem::GetWindow(int iId) const {
    for (cMenuWindow* pWindow : vWindows)
        if (pWindow->Id() == iId)
            return pWindow;
    return nullptr;
}

int cGuiSystem::SendMessage(int iId, int iMsg, void* a, void* b) {
    cMenuWindow* pWindow = GetWindow(iId);
    if (!pWindow)
        return 0;
    return pWindow->pProc(*pWindow, iMsg, a, b);
}

// A key still held from the screen before, Space from play say, would reach the new windows as
// a stream of repeats, and keys typed before the switch are not meant for them either.
void cGuiSystem::SetActiveWindows(std::vector<int> vIds) {
    vActive = vIds;
    clear_keybuf();
    vTyped.clear();
    for (int i = 0; i < KEY_MAX; ++i)
        aHeldOver[i] = Held[i];
    for (int iId : vIds)
        SendMessage(iId, MSG_ACTIVATE, nullptr, nullptr);
}

// A procedure may replace the active list while the key goes round (the menu starts a game); the
// index then carries on into the new list, whose later windows get the same key.
void cGuiSystem::Update(const cInputState& input) {
    // The keys are read every step, while the key states still tell the repeats of a held-over
    // key from a new press: such a key counts again once it has been let go.
    Held = input.Keys;
    for (int i = 0; i < input.iTyped; ++i) {
        const int iScanCode = (input.aTyped[i].iKey >> 8) & 0xFF;
        if (iScanCode >= KEY_MAX || !aHeldOver[iScanCode])
            vTyped.push_back(input.aTyped[i]);
    }
    for (int i = 0; i < KEY_MAX; ++i)
        if (!Held[i])
            aHeldOver[i] = false;
    if (vTyped.empty())
        return;
    const cInputState::cTyped typed = vTyped.front();
    vTyped.erase(vTyped.begin());
    for (std::size_t i = 0; i < vActive.size(); ++i)
        SendMessage(vActive[i], MSG_KEY, MsgArg(typed.iKey),
                    MsgArg(static_cast<int>(typed.iActions)));
}

// Windows overlap in the order they were added, whatever the order of the active list.
void cGuiSystem::Draw(BITMAP* pTarget) {
    for (std::size_t iWindow = 0; iWindow < vWindows.size(); ++iWindow)
        for (std::size_t i = 0; i < vActive.size(); ++i)
            if (vWindows[iWindow]->Id() == vActive[i])
                vWindows[iWindow]->Draw(pTarget, this);
}
