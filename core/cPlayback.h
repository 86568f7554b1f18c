#pragma once

#include <allegro.h>
#include <bitset>

#include "core/cReplay.h"
#include "gui/cInputState.h"

class cGameInstance;

// Plays a replay in the running game, through the same instance and logic as play, one recorded
// step per logic step: the clock is held at the recording's times, rand() starts from its seed,
// and the player controller starts as the recorded game found it. The replay ends on its own with
// its "Game over" moment, or at any key or pad press; play gets back its controller and its clock,
// which goes on from the replay's time and never back, and the replay returns where it came from.
//
// A game under way is not kept across a replay, which would take its objects, its clock and the
// sequence of rand() that its own recording depends on: replays are watched only when no game is
// paused.
class cPlayback {
public:
    enum eReturn { kToList, kToMenu, kToExit };

    // The replay plays from the next logic step on.
    void Start(const cReplay& replay, eReturn whereTo);
    bool Running() const { return bRunning; }
    // One logic step of the replay, in place of one of play: input is what the keyboard and the
    // pad give, which only ends the replay. The player's input step follows as in play, on the
    // replayed input.
    void Step(cGameInstance* pGame, const cInputState& input);
    // Ends the replay at once.
    void Stop(cGameInstance* pGame);

    // How the last replay went: ended by a key; or else whether it reached the recorded score,
    // level and number of steps.
    bool bInterrupted = false;
    bool bFaithful = false;
    int iStepsRun = 0;

private:
    void Begin(cGameInstance* pGame, const cInputState& input);
    // A key typed or a pad button pressed, other than those held when the replay began.
    bool AnyKey(const cInputState& input);

    cReplay Replay;
    eReturn Return = kToList;
    bool bRunning = false;
    bool bBegun = false;
    bool bOver = false;
    // The replay's own time.
    int iClock = 0;
    // What play had.
    int iEnergy = 0;
    int iLastFire = 0;
    int iLastTime = 0;
    int iMoveCount = 0;
    // Keys held when the replay began and not let go since, by scan code.
    std::bitset<KEY_MAX> HeldOver;
};
