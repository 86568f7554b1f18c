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

// The marker stops at the first item and at the last one offered; a key message within 150 ms of
// the last one taken is ignored.
TEST_F(cMenuTest, TheMarkerMovesWithinTheItemsOfferedAtMostOnceIn150Ms) {
    EXPECT_EQ(Music(), 4);
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

// From a paused game worth 17: "New game" starts afresh, "Resume game" goes on with it.
TEST_F(cMenuTest, NewGameAndResumeStartPlayingUnderTheGameMusic) {
    for (const int iItem : {kNewGame, kResumeGame}) {
        game.iCurrentScore = 17;
        game.Pause();
        SetPaused(true);
        Select(iItem);
        Key(KEY_ENTER);
        EXPECT_TRUE(game.IsPlaying());
        EXPECT_EQ(game.GetScore(), iItem == kNewGame ? 0 : 17);
        EXPECT_EQ(game.pGui->vActive, (std::vector<int>{WND_ENERGYBAR, WND_SCORE, WND_POWERUP}));
        EXPECT_EQ(Music(), 1);
        EXPECT_EQ(Shown(), std::make_pair(kNewGame, false));
    }
}

TEST_F(cMenuTest, HighscoresShowTheListAndQuitEndsTheLoop) {
    WriteHOF(" <entry name = \"Al\" score = \"7\" />\n <entry name = \"Bo\" score = \"3\" />\n");
    SetPaused(true);
    Select(kViewHighscores);
    Key(KEY_ENTER);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), 3);
    EXPECT_EQ(game.HOF.vEntries.size(), 2u);
    game.pGui->SetActiveWindows({WND_MAINMENU});
    EXPECT_EQ(Shown(), std::make_pair(kViewHighscores, true)) << "the cursor stays for the return";
    EXPECT_FALSE(game.IsPlaying());
    Select(kQuit);
    ASSERT_TRUE(game.Running());
    Key(KEY_ENTER);
    EXPECT_FALSE(game.Running());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}

// Escape held, or the focus changed, as the window appears: the first menu offers no game to
// resume.
TEST_F(cMenuTest, ANewGameIsNotOfferedForResuming) {
    for (const bool bEscape : {true, false}) {
        key[KEY_ESC] = bEscape;
        bFocusLost = !bEscape;
        game.Update();
        game.NewGame();
        key[KEY_ESC] = 0;
        EXPECT_FALSE(Shown().second) << (bEscape ? "Escape" : "focus");
        EXPECT_FALSE(game.IsPlaying());
    }
}
