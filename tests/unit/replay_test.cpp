#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/cAttractDemo.h"
#include "objects/cMonster.h"
#include "objects/cPie.h"
#include "objects/cPlayer.h"
#include "support/GameTest.h"

namespace fs = std::filesystem;

namespace {

// A scripted player: chases and fires or not, minds the pies until iTiresAt, pauses at iPauseAt.
struct cScript {
    bool bChases;
    int iTiresAt;
    int iPauseAt;
    int iLagEvery; // every so many steps the machine falls behind by three ticks
};

class cReplayTest : public cGameTest {
protected:
    // The clock follows the test's timer ticks from the fixture's time on, unless a replay holds
    // it.
    void SetUp() override {
        cGameTest::SetUp();
        HoldClock();
        ReleaseClock();
    }
    // One logic step as the main loop runs it, the clock at five ticks to six steps.
    void Step(const cInputState& input, int iTicks) {
        for (int i = 0; i < iTicks; ++i)
            fpsCounter();
        SyncClock();
        game.RunStep(input);
        game.DoInput();
        ++iSteps;
    }
    // A key typed, if iKey is not 0, and the actions held.
    static cInputState Typed(int iKey, int iAction, unsigned iHeld = 0) {
        cInputState input;
        input.iHeld = iHeld;
        if (iKey)
            input.Type(iKey << 8, ActionBit(iAction));
        return input;
    }
    // Steers under the lowest monster and fires at it, and out of the way of a pie coming down.
    cInputState Chase(int iTiresAt) const {
        const cGameObject* pLowest = nullptr;
        const cGameObject* pPie = nullptr;
        const float x = pShip->GetPosition().x;
        for (cGameObject* pObject : game.vObjects) {
            const cVector v = pObject->GetPosition();
            if (dynamic_cast<cMonster*>(pObject) && (!pLowest || v.y > pLowest->GetPosition().y))
                pLowest = pObject;
            if (dynamic_cast<cPie*>(pObject) && v.y > 250 && std::abs(v.x - x) < 40 &&
                iSteps < iTiresAt)
                pPie = pObject;
        }
        const float fGoal = pPie      ? (pPie->GetPosition().x > x ? x - 60 : x + 60)
                            : pLowest ? pLowest->GetPosition().x
                                      : x;
        const bool bAims = pLowest && std::abs(pLowest->GetPosition().x - x) < 24;
        return Typed(0, 0,
                     (fGoal > x + 6 ? ActionBit(kRight) : 0) |
                         (fGoal < x - 6 ? ActionBit(kLeft) : 0) | (bAims ? ActionBit(kFire) : 0));
    }
    // Starts a game from the menu and plays it to the hall of fame.
    void Play(const cScript& script) {
        Step(Typed(KEY_ENTER, kConfirm), 20);
        while (!game.GameOverScene.Running() && iSteps < 40000) {
            if (iSteps == script.iPauseAt) {
                cInputState pause = Typed(KEY_P, kPause, ActionBit(kPause));
                pause.iPressed = ActionBit(kPause);
                Step(pause, 1);
                ASSERT_FALSE(game.IsPlaying());
                for (const auto& [iKey, iAction] :
                     {std::pair{KEY_UP, kUp}, {KEY_DOWN, kDown}, {KEY_ENTER, kConfirm}})
                    Step(Typed(iKey, iAction), 150);
                ASSERT_TRUE(game.IsPlaying());
            }
            const bool bLag = script.iLagEvery && iSteps % script.iLagEvery == 0;
            Step(script.bChases ? Chase(script.iTiresAt) : cInputState(),
                 bLag ? 3 : iSteps % 6 != 5);
        }
        while (game.GameOverScene.Running())
            Step(cInputState(), 1);
    }
    // Runs the replay to its end with nothing pressed.
    void Watch() {
        for (int i = 0; game.Playback.Running() && i < 50000; ++i)
            Step(cInputState(), 1);
    }

    int iSteps = 0;
};

const char* const kHeader = "zenith-guard replay 1\nseed 7\nenergy 80\nlast-fire -100\n"
                            "last-time -1\nmove-count 2\nscore 3\nlevel 1\n";

} // namespace

// Every kind of step reads back as written; anything else is refused with its reason.
TEST(ReplayFile, ReadsBackWhatItWritesAndRefusesAnythingElse) {
    cReplay replay;
    for (int i = 0; i < 700; ++i)
        replay.AddStep(i % 6 != 5, i < 300 ? cReplay::kFire : cReplay::kLeft);
    replay.AddStep(6000, cReplay::kPause | cReplay::kRight, 20);
    replay.AddStep(-5, 99);
    const std::string sText = replay.Text();
    EXPECT_LT(sText.size(), 200u);
    cReplay read;
    std::string sWhy;
    ASSERT_TRUE(read.Parse(sText, sWhy)) << sWhy;
    EXPECT_EQ(read.Text(), sText);
    EXPECT_EQ(read.Gap(700) * 1000 + read.Advance(701) * 100 + int(read.Input(701)), 20003);
    const std::string sSteps = std::string(kHeader) + "steps 3\ndata\n";
    const std::pair<std::string, const char*> aCases[] = {
        {"<HallOfFame >", "not a replay of Zenith Guard"},
        {"zenith-guard replay 2\n", "a replay of another version of the game"},
        {"zenith-guard replay 1\r\n", "damaged: line 1"},
        {std::string(kHeader), "cut short"},
        {std::string(kHeader) + "steps 3\ndata\nQQ", "cut short"},
        {std::string(kHeader) + "steps 99999999\ndata\nend\n", "damaged: line 9"},
        {sSteps + "QQ\nend\n", "damaged: 2 steps of 3"},
        {sSteps + "Q#2,2\nend\n", "damaged: the steps"},
        {sSteps + "Q#1,3\nend\n", "damaged: the steps"},
        {sSteps + "(2)AQQ\nend\n", "damaged: the steps"},
        {sSteps + "QQ!\nend\n", "damaged: the steps"},
        {std::string(cReplay::kMaxSize + 1, 'Q'), "too large for a replay"},
    };
    for (const auto& [sBad, sReason] : aCases) {
        EXPECT_FALSE(read.Parse(sBad, sWhy)) << sBad;
        EXPECT_EQ(sWhy, sReason) << sBad;
    }
    EXPECT_EQ(read.Text(), sText);
}

// A scripted game's replay, watched from the list, reaches its recorded end, then the list.
TEST_F(cReplayTest, ARecordedGameReplaysExactlyFromTheList) {
    const cScript aScripts[] = {
        {true, 7000, -1, 0}, {true, 1000, 1500, 0}, {false, 0, 10, 0}, {true, 500, 50, 7}};
    for (const cScript& script : aScripts) {
        iSteps = 0;
        Play(script);
        ASSERT_EQ(game.pGui->vActive, (std::vector<int>{WND_HOFENTER, WND_SCORE}));
        const cReplay recorded = game.Recording;
        EXPECT_EQ(script.bChases, recorded.iScore > 0);
        game.pGui->SendMessage(WND_HOFENTER, MSG_KEY, MsgArg(KEY_Z << 8 | 'Z'), nullptr);
        game.pGui->SendMessage(WND_HOFENTER, MSG_KEY, MsgArg(KEY_ENTER << 8 | '\r'), nullptr);
        const std::string sFile = game.HOF.ReplayFile(game.HOF.vEntries[0]);
        cReplay saved;
        std::string sWhy;
        ASSERT_TRUE(saved.Load(sFile, sWhy)) << sWhy;
        EXPECT_EQ(saved.Text(), recorded.Text());
        if (const char* sDemo = std::getenv("ZENITH_RECORD_DEMO"); sDemo && &script == aScripts)
            fs::copy_file(sFile, sDemo, fs::copy_options::overwrite_existing);

        const int iLastFire = game.pPlayer->iLastFire = iTime - 5;
        const int iBefore = iTime;
        Step(Typed(KEY_ENTER, kConfirm), 1);
        Watch();
        EXPECT_TRUE(game.Playback.bFaithful) << game.GetScore() << " " << game.Playback.iStepsRun;
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
        EXPECT_EQ(game.pPlayer->iLastFire, iLastFire) << "the player's controller as it was";
        EXPECT_GE(iTime, iBefore);
        game.pGui->SendMessage(WND_HOF, MSG_KEY, MsgArg(KEY_ESC << 8), nullptr);
        fs::remove("HallOfFame.xml");
        ASSERT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    }
}

// The shipped demo starts after half a minute of idle menu, replays faithfully, and a key ends it.
TEST_F(cReplayTest, TheShippedDemoStartsInTheIdleMenuAndReplaysToItsEnd) {
    game.AttractDemo.sShipped = GAME_DATA_DIR "/demo.zgr";
    for (const bool bInterrupt : {true, false}) {
        for (int i = 0; i <= cAttractDemo::kIdleTicks; ++i)
            Step(cInputState(), 1);
        EXPECT_TRUE(game.Playback.Running());
        if (bInterrupt) {
            Step(cInputState(), 1);
            EXPECT_EQ(game.pGui->vActive,
                      (std::vector<int>{WND_ENERGYBAR, WND_SCORE, WND_POWERUP}));
            Step(Typed(KEY_A, kFire), 1);
            EXPECT_TRUE(game.Playback.bInterrupted);
        }
        Watch();
        EXPECT_EQ(game.Playback.bFaithful, !bInterrupt);
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_FALSE(game.Playback.Running());
    }
}
