#include "support/GameTest.h"

namespace {

const int kNewGame = 0, kViewHighscores = 1, kQuit = 2, kResumeGame = 3;

// The first row with black in it, within the columns x0 to x1 and the rows y0 to y1, or -1.
int FirstBlackRow(BITMAP* pBitmap, int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (getpixel(pBitmap, x, y) == 0)
                return y;
    return -1;
}

class cMenuTest : public cGameTest {
protected:
    void Key(int iKey, int iTicks = 15) { Press(WND_MAINMENU, iKey, iTicks); }
    void SetPaused(bool bPaused) {
        game.pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(bPaused), nullptr);
    }
    // The menu as drawn: the item the marker stands at, and whether "Resume game" is offered.
    std::pair<int, bool> Shown() {
        BITMAP* pClient = create_bitmap(280, 80);
        clear_to_color(pClient, makecol(255, 255, 255));
        textout_ex(pClient, font, ">", 5, 10, 0, -1);
        const int iFirstItem = FirstBlackRow(pClient, 5, 12, 0, 79);
        clear_to_color(pClient, makecol(255, 255, 255));
        game.pGui->SendMessage(WND_MAINMENU, MSG_DRAW, pClient, nullptr);
        const int iItem = (FirstBlackRow(pClient, 5, 12, 0, 79) - iFirstItem) / 8;
        const bool bResume = FirstBlackRow(pClient, 15, 200, 36, 43) != -1;
        destroy_bitmap(pClient);
        return {iItem, bResume};
    }
    // Puts the marker on the item, from wherever it was.
    void Select(int iItem) {
        for (int i = 0; i < 3 + iItem; ++i)
            Key(i < 3 ? KEY_UP : KEY_DOWN);
    }
};

} // namespace

// The marker stops at the first and last items offered; a key within 150 ms of the last is ignored.
TEST_F(cMenuTest, TheMarkerMovesWithinTheItemsOfferedAtMostOnceIn150Ms) {
    EXPECT_EQ(Music(), kMidiMenu);
    for (bool bPaused : {false, true}) {
        SetPaused(bPaused);
        Select(kNewGame);
        EXPECT_EQ(Shown(), std::make_pair(kNewGame, bPaused));
        for (int i = 0; i < 5; ++i)
            Key(KEY_DOWN);
        EXPECT_EQ(Shown().first, bPaused ? kResumeGame : kQuit);
    }
    Select(kNewGame);
    Key(KEY_DOWN, 14);
    EXPECT_EQ(Shown().first, kNewGame);
    Key(KEY_DOWN, 1);
    EXPECT_EQ(Shown().first, kViewHighscores) << "15 hundredths after the last key that was taken";
}

// A paused game resumes by Enter, Escape or P; "New game" and "Quit" go on only on Yes.
TEST_F(cMenuTest, APausedGameResumesByItsKeysAndIsDiscardedOnlyOnYes) {
    const int aKeys[] = {KEY_UP, KEY_ENTER, KEY_ESC, KEY_P};
    const struct {
        const char* sKeys; // U, E, X, P: the keys above
        int iScore, iMarker;
        bool bPlaying, bRunning;
    } aCases[] = {{"E", 17, kNewGame, true, true},      {"X", 17, kNewGame, true, true},
                  {"P", 17, kNewGame, true, true},      {"UUUE", 17, kResumeGame, false, true},
                  {"UUUEE", 17, kNewGame, false, true}, {"UUUEUX", 17, kNewGame, false, true},
                  {"UUUEUE", 0, kNewGame, true, true},  {"UEUE", 17, kQuit, false, false}};
    for (const auto& Case : aCases) {
        game.iCurrentScore = 17;
        game.Pause();
        game.pGui->SetActiveWindows({WND_MAINMENU});
        SetPaused(true);
        for (const char* pKey = Case.sKeys; *pKey; ++pKey) {
            iTime += 15;
            simulate_keypress(aKeys[std::string("UEXP").find(*pKey)] << 8);
            game.Update();
        }
        EXPECT_EQ(std::tuple(game.GetScore(), Shown().first, game.IsPlaying(), game.Running()),
                  std::tuple(Case.iScore, Case.iMarker, Case.bPlaying, Case.bRunning))
            << Case.sKeys;
    }
}

TEST_F(cMenuTest, HighscoresShowTheListAndQuitEndsTheLoop) {
    WriteHOF(" <entry name = \"Al\" score = \"7\" />\n <entry name = \"Bo\" score = \"3\" />\n");
    SetPaused(true);
    Select(kViewHighscores);
    Key(KEY_ENTER);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), kMidiHallOfFame);
    EXPECT_EQ(game.HOF.vEntries.size(), 2u);
    game.pGui->SetActiveWindows({WND_MAINMENU});
    EXPECT_EQ(Shown(), std::make_pair(kViewHighscores, true)) << "the cursor stays for the return";
    EXPECT_FALSE(game.IsPlaying());
    SetPaused(false);
    Select(kQuit);
    ASSERT_TRUE(game.Running());
    Key(KEY_ENTER);
    EXPECT_FALSE(game.Running());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}

// The focus changed as the window appears: the first menu offers no game to resume.
TEST_F(cMenuTest, ANewGameIsNotOfferedForResuming) {
    bFocusLost = true;
    game.Update();
    game.NewGame();
    EXPECT_FALSE(Shown().second);
    EXPECT_FALSE(game.IsPlaying());
}
