#pragma once

#include "core/cReplay.h"
#include "gui/cInputState.h"

class cPlayer;

// Records the game being played, as it is played: begun by a new game with a seed of its own for
// rand(), a step added at every playing step, stopped when the game ends.
class cRecorder {
public:
    // Seeds rand() for a new game and notes what the game starts from: the controller's state and
    // the monsters' step count.
    void Begin(const cPlayer& player, int iMoveCount);
    void Stop() { bRecording = false; }
    bool Recording() const { return bRecording; }
    // Adds the step that runs now: the clock's advance, the keys of play.
    void Step(const cInputState& input, bool bPausing, const cPlayer& player);

    cReplay Replay;

private:
    // iLastRecorded is the time of the step added last; iLastInputTime that of the player's input
    // step after it, unless the controller has run since, in the menu of a pause.
    bool bRecording = false;
    int iLastRecorded = 0;
    int iLastInputTime = 0;
};
