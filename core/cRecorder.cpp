#include "core/cRecorder.h"

#include <algorithm>
#include <cstdlib>
#include <random>

#include "core/Clock.h"
#include "objects/cPlayer.h"

// The game's rand() starts from a seed of its own, so that the game can be played again; what the
// controller keeps from before the game counts from the game's start.
void cRecorder::Begin(const cPlayer& player, int iMoveCount) {
    const unsigned iSeed = std::random_device()();
    srand(iSeed);
    Replay = cReplay();
    Replay.iSeed = iSeed;
    Replay.iEnergy = player.iEnergy;
    Replay.iLastFire = std::clamp(player.iLastFire - iTime, -cReplay::kMaxAdvance, 0);
    Replay.iLastTime = std::clamp(player.iLastTime - iTime, -cReplay::kMaxAdvance, 0);
    Replay.iMoveCount = iMoveCount;
    iLastRecorded = iTime;
    iLastInputTime = player.iLastTime;
    bRecording = true;
}

void cRecorder::Step(const cInputState& input, bool bPausing, const cPlayer& player) {
    const unsigned iInput =
        (input.Held(kLeft) ? cReplay::kLeft : 0) | (input.Held(kRight) ? cReplay::kRight : 0) |
        (input.Held(kFire) ? cReplay::kFire : 0) | (bPausing ? cReplay::kPause : 0);
    const int iGap = player.iLastTime != iLastInputTime ? iTime - player.iLastTime : -1;
    Replay.AddStep(iTime - iLastRecorded, iInput, iGap);
    iLastRecorded = iTime;
    iLastInputTime = iTime;
}
