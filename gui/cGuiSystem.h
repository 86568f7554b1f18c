#pragma once

#include <allegro.h>
#include <string>

class cGameInstance;

// The game's own window manager: the frame pieces of "data/gui.dat" and the game the windows serve.
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

    DATAFILE* pElements = nullptr;
    cGameInstance* pGame = nullptr;
};
