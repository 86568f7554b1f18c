#pragma once

#include <string>

class cGameInstance;
class cInputState;

// As on an arcade machine, the first menu left alone for half a minute plays a game by itself:
// the best replay of the hall of fame, or the one that comes with the game. Any key returns to
// the menu. The first menu is the main menu while no game waits in it to be resumed.
class cAttractDemo {
public:
    // Hundredths of a second the menu must stand idle.
    static constexpr int kIdleTicks = 3000;

    // One logic step, before the windows get their key: input of any kind starts the wait anew.
    void Step(cGameInstance* pGame, const cInputState& input);

    // The replay that comes with the game.
    std::string sShipped = "data/demo.zgr";

private:
    // Starts the best replay there is; false when none could be read.
    bool StartBest(cGameInstance* pGame);

    int iIdleSince = 0;
    bool bWaiting = false;
};
