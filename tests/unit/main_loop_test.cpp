#include <string>

#include "core/main.h"
#include "support/AllegroTest.h"

namespace {

// Stands in for the game instance and records the order of the calls the loop makes.
struct cRecordingGame {
    std::string sCalls;
    int iQuitAtStep = -1;
    bool bRunning = true;

    void Update() {
        sCalls += 'U';
        if (--iQuitAtStep == 0)
            bRunning = false;
    }
    void DoInput() { sCalls += 'I'; }
    void DoFrame() { sCalls += 'F'; }
};

} // namespace

TEST(MainLoop, RunsEveryDueStepBeforeOneFrameAndOtherwiseWaits) {
    cRecordingGame game;
    iGameTimer = 3;
    RunPass(game);
    EXPECT_EQ(game.sCalls, "UIUIUIF");
    EXPECT_EQ(iGameTimer, 0);

    // With no step due the pass waits, here until the close button wakes it, and draws nothing.
    CloseButton();
    RunPass(game);
    bCloseRequested = false;
    EXPECT_EQ(game.sCalls, "UIUIUIF");
}

TEST(MainLoop, StepsAfterAQuitStillRun) {
    cRecordingGame game;
    game.iQuitAtStep = 1;
    iGameTimer = 2;
    RunPass(game);
    EXPECT_FALSE(game.bRunning);
    EXPECT_EQ(game.sCalls, "UIUIF");
}

class cIntroTest : public cAllegroTest {};

TEST_F(cIntroTest, EndsAfterFiveSecondsOrOnEscape) {
    iTime = 1000;
    EXPECT_FALSE(IntroOver(1000));
    iTime = 1499;
    EXPECT_FALSE(IntroOver(1000));
    iTime = 1500;
    EXPECT_TRUE(IntroOver(1000));

    iTime = 1000;
    key[KEY_ESC] = 1;
    EXPECT_TRUE(IntroOver(1000));
    key[KEY_ESC] = 0;
}
