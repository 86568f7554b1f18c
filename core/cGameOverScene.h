#pragma once

#include <allegro.h>

#include "core/cBanner.h"

class cGameInstance;
class cParticleEffect;

// The moment between the touch that ends a game and the hall of fame: the ship bursts with a
// bang, the music stops, and "Game over" and the final score stand over the frozen play field for
// two seconds.
class cGameOverScene {
public:
    cGameOverScene() = default;
    ~cGameOverScene();
    cGameOverScene(const cGameOverScene&) = delete;
    cGameOverScene& operator=(const cGameOverScene&) = delete;

    // Blows up the player's ship, which stays hidden until a new game resets it.
    void Start(cGameInstance* pGame);
    bool Running() const { return pExplosion != nullptr; }
    // One logic step of the moment: true at the step in which it is over, which also stops it.
    bool Step(cGameInstance* pGame);
    void Stop();
    void Draw(BITMAP* pTarget, cGameInstance* pGame);
    // What follows the moment: the name entry for a score that earns a place, else the list, with
    // the score beside it.
    void ShowHallOfFame(cGameInstance* pGame);

private:
    int iStart = 0;
    // The burst of the ship: the game itself is paused, so the moment moves it.
    cParticleEffect* pExplosion = nullptr;
    cBanner Title;
    cBanner Score;
};
