// The cost of the game's logic step and frame in a crowded play field. They need the real game:
// Allegro on the X display of $DISPLAY (scripts/measure-performance.sh starts a private Xvfb) and
// the data files in data/ of the working folder. Without them these benchmarks are skipped.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "objects/cBullet.h"
#include "objects/cMonster.h"
#include "objects/cParticleEffect.h"
#include "objects/cPie.h"
#include "objects/cPlayer.h"
#include "objects/cPowerup.h"

namespace {

// Started once for all the benchmarks and never destroyed: Allegro goes down with the process.
// Null, with the benchmark marked skipped, where there is no display or no data files.
cGameInstance* Game(benchmark::State& state) {
    static cGameInstance* const pGame = []() -> cGameInstance* {
        if (!getenv("DISPLAY"))
            return nullptr;
        cGameInstance* pStarted = new cGameInstance;
        if (!pStarted->InitSystem(640, 480))
            return nullptr;
        pStarted->InitGame();
        return pStarted;
    }();
    if (!pGame)
        state.SkipWithError("no display or no data files");
    return pGame;
}

struct cMix {
    int iMonsters, iBullets, iExplosions, iPies, iPowerups;
};

// Level 6 at its most crowded: 64 monsters, 100 shots, 20 explosions, 6 pies and 6 power-ups
// around the ship, about 200 objects.
const cMix kStress = {64, 100, 20, 6, 6};

// The objects join through the game's own merge, so that any version of the game takes them.
template <class tObject> tObject* Add(cGameInstance& game, tObject* pObject, int x, int y) {
    pObject->SetPosition(cVector(static_cast<float>(x), static_cast<float>(y), 0));
    game.AddObject(pObject);
    return pObject;
}

// A game in play at level 6 holding the ship and the mix. The clock stands still (no timer runs
// here), so no wave comes and no monster sinks; the shots fly up between the columns of monsters
// and the pies and power-ups fall far from the ship, so that for 64 steps nothing hits anything
// and every object is still there.
void BuildScene(cGameInstance& game, const cMix& mix) {
    // After NewGame, which seeds rand() afresh for every game.
    game.NewGame();
    srand(1);
    game.iMonstersSpawned = 1000;
    game.Play();
    game.pGui->SetActiveWindows({WND_ENERGYBAR, WND_SCORE, WND_POWERUP});
    for (int i = 0; i < mix.iMonsters; ++i)
        Add(game, new cMonster, 40 + 70 * (i % 9), 40 + (7 * (i / 9)) % 200)->SetBitmap(3);
    for (int i = 0; i < mix.iBullets; ++i) {
        cBullet* pBullet = Add(game, new cBullet, 75 + 70 * (i % 8), 270 + (13 * i) % 190);
        pBullet->SetBitmap(2);
        pBullet->SetVelocity(cVector(0, -4, 0));
    }
    for (int i = 0; i < mix.iExplosions; ++i)
        Add(game, new cParticleEffect, 40 + 30 * (i % 20), 250)->Init(1, 2, 0.5f, 0.8f, 5, 25);
    const int aFarFromShip[] = {75, 145, 495, 565};
    for (int i = 0; i < mix.iPies; ++i)
        Add(game, new cPie, aFarFromShip[i % 4], 100 + 10 * i);
    for (int i = 0; i < mix.iPowerups; ++i) {
        if (i % 2)
            Add(game, new cPowerupSS, aFarFromShip[i % 4], 150 + 10 * i);
        else
            Add(game, new cPowerupSC, aFarFromShip[i % 4], 150 + 10 * i);
    }
    game.iLastWaveTime = iTime;
    game.iLastMoveTime = iTime;
    game.Update();
}

// One logic step as the main loop runs it; the scene is built again every 64 steps, untimed.
void RunSteps(benchmark::State& state, const cMix& mix) {
    cGameInstance* pGame = Game(state);
    if (!pGame)
        return;
    int iStep = 0;
    for (auto _ : state) {
        if (iStep++ % 64 == 0) {
            state.PauseTiming();
            BuildScene(*pGame, mix);
            state.ResumeTiming();
        }
        pGame->Update();
        pGame->DoInput();
    }
    state.counters["objects"] = static_cast<double>(pGame->vObjects.size());
}

void BM_StressStep(benchmark::State& state) {
    RunSteps(state, kStress);
}
BENCHMARK(BM_StressStep);

// A field of monsters only, the ship and range(0) - 1 monsters: the step should grow in
// proportion.
void BM_MonsterFieldStep(benchmark::State& state) {
    RunSteps(state, {static_cast<int>(state.range(0)) - 1, 0, 0, 0, 0});
}
BENCHMARK(BM_MonsterFieldStep)->Arg(64)->Arg(256)->Arg(1024);

// One frame of the stress scene. The ship moves a pixel every frame, so that every frame differs
// from the last and is copied to the screen.
void BM_StressFrame(benchmark::State& state) {
    cGameInstance* pGame = Game(state);
    if (!pGame)
        return;
    BuildScene(*pGame, kStress);
    cGameObject* pShip = pGame->GetObject(pGame->pPlayer->GetAvatarID());
    float fStep = 1;
    for (auto _ : state) {
        fStep = -fStep;
        pShip->SetPosition(pShip->GetPosition() + cVector(fStep, 0, 0));
        pGame->DoFrame();
    }
}
BENCHMARK(BM_StressFrame);

// The three panels of a game in play, drawn over the play field.
void BM_PlayWindows(benchmark::State& state) {
    cGameInstance* pGame = Game(state);
    if (!pGame)
        return;
    BuildScene(*pGame, kStress);
    for (auto _ : state)
        pGame->pGui->Draw(pGame->pBuffer);
}
BENCHMARK(BM_PlayWindows);

// The hall-of-fame window over a table of range(0) entries.
void BM_HallOfFameList(benchmark::State& state) {
    cGameInstance* pGame = Game(state);
    if (!pGame)
        return;
    pGame->HOF.vEntries.assign(state.range(0), cHOFEntry{"Player", 1000});
    pGame->pGui->SetActiveWindows({WND_HOF});
    for (auto _ : state)
        pGame->pGui->Draw(pGame->pBuffer);
    pGame->HOF.vEntries.clear();
}
BENCHMARK(BM_HallOfFameList)->Arg(10)->Arg(100000);

} // namespace
