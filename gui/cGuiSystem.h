#pragma once

#include <allegro.h>
#include <bitset>
#include <string>
#include <vector>

#include "gui/cInputState.h"

class cGameInstance;
class cMenuWindow;

// The game's own window manager: all windows, the ids of the active ones (shown and fed keys), the
// frame pieces of "data/gui.dat" and the game the windows serve.
class cGuiSystem {
public:
    cGuiSystem() = default;
    ~cGuiSystem();
    cGuiSystem(const cGuiSystem&) = delete;
    cGuiSystem& operator=(const cGuiSystem&) = delete;

    // Loads the frame pieces; false when the file is missing or holds fewer than eight pictures.
    bool LoadElements(const std::string& sFile);
    // Frame piece i (0 to 7) as a bitmap.
    BITMAP* GetGuiElement(int i) const;

    // Takes the window over and hands it the game and the manager.
    void AddWindow(cMenuWindow* pWindow);
    cMenuWindow* GetWindow(int iId) const;
    // Calls the window's procedure; 0 when no window has the id.
    int SendMessage(int iId, int iMsg, void* a, void* b);
    // Replaces the active list and tells each of its windows. The new windows get only the keys
    // pressed from then on.
    void SetActiveWindows(std::vector<int> vIds);
    // Hands at most one typed key or pad press of the step's input to the active windows, as
    // MSG_KEY with a = the key (0 for the pad) and b = the actions it stands for.
    void Update(const cInputState& input);
    // Draws the active windows, in the order they were added.
    void Draw(BITMAP* pTarget);

    DATAFILE* pElements = nullptr;
    std::vector<cMenuWindow*> vWindows;
    std::vector<int> vActive;
    cGameInstance* pGame = nullptr;
    // Keys typed and pad presses for the active windows and not yet handed to them, oldest first.
    std::vector<cInputState::cTyped> vTyped;
    // The keys held in the last step's input.
    std::bitset<KEY_MAX> Held;
    // Keys held down when the active list last changed and not let go since, by scan code.
    bool aHeldOver[KEY_MAX] = {};
};
