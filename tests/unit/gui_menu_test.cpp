#include <vector>

#include "gui/MainProc.h"
#include "support/GameTest.h"

namespace {

const int kNewGame = 0;
const int kViewHighscores = 1;
const int kQuit = 2;
const int kResumeGame = 3;

// The first row with black in it, within the columns x0 to x1, or -1.
int FirstBlackRow(BITMAP* pBitmap, int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (getpixel(pBitmap, x, y) == 0)
                return y;
    return -1;
}

BITMAP* WhiteClient() {
    BITMAP* pClient = create_bitmap(280, 80);
    clear_to_color(pClient, makecol(255, 255, 255));
    return pClient;
}

class cMenuTest : public cGameTest {
protected:
    void SetUp() override {
        cGameTest::SetUp();
        if (HasFatalFailure())
            return;
        // Drawn at item 0, the marker's first black row tells where the others must start.
        BITMAP* pClient = WhiteClient();
        textout_ex(pClient, font, ">", 5, 10, 0, -1);
        iMarkerTop = FirstBlackRow(pClient, 5, 12, 0, 79);
        destroy_bitmap(pClient);
    }

    void Key(int iKey, int iTicks = 15) { Press(WND_MAINMENU, iKey, iTicks); }

    void Repeat(int iKey, int iTimes) {
        for (int i = 0; i < iTimes; ++i)
            Key(iKey);
    }

    void SetPaused(bool bPaused) {
        game.pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(bPaused ? 1 : 0), nullptr);
    }

    // The item the marker stands at, read off the drawn menu.
    int Selected() {
        BITMAP* pClient = WhiteClient();
        game.pGui->SendMessage(WND_MAINMENU, MSG_DRAW, pClient, nullptr);
        const int iRow = FirstBlackRow(pClient, 5, 12, 0, 79);
        destroy_bitmap(pClient);
        return (iRow - iMarkerTop) / 8;
    }

    bool OffersResume() {
        BITMAP* pClient = WhiteClient();
        game.pGui->SendMessage(WND_MAINMENU, MSG_DRAW, pClient, nullptr);
        const bool bShown = FirstBlackRow(pClient, 15, 200, 36, 43) != -1;
        destroy_bitmap(pClient);
        return bShown;
    }

    // Puts the marker on the item, from wherever it was.
    void Select(int iItem) {
        Repeat(KEY_UP, 3);
        Repeat(KEY_DOWN, iItem);
    }

    int iMarkerTop = 0;
};

const std::vector<int> kPlaying = {WND_ENERGYBAR, WND_SCORE, WND_POWERUP};

} // namespace

TEST_F(cMenuTest, TheMarkerStopsAtTheFirstAndLastItem) {
    EXPECT_EQ(Music(), 4) << "the game starts under the menu";
    SetPaused(false);
    Select(kNewGame);
    EXPECT_EQ(Selected(), kNewGame);
    Repeat(KEY_DOWN, 4);
    EXPECT_EQ(Selected(), kQuit);
    EXPECT_FALSE(OffersResume());
    Repeat(KEY_UP, 4);
    EXPECT_EQ(Selected(), kNewGame);

    SetPaused(true);
    EXPECT_TRUE(OffersResume());
    Repeat(KEY_DOWN, 5);
    EXPECT_EQ(Selected(), kResumeGame);
}

TEST_F(cMenuTest, KeysCloserThan150MsAreIgnored) {
    Select(kNewGame);
    Key(KEY_DOWN);
    EXPECT_EQ(Selected(), kViewHighscores);
    Key(KEY_DOWN, 14);
    EXPECT_EQ(Selected(), kViewHighscores);
    Key(KEY_DOWN, 1);
    EXPECT_EQ(Selected(), kQuit) << "15 hundredths after the last key that was taken";
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
        EXPECT_EQ(game.pGui->vActive, kPlaying);
        EXPECT_EQ(Music(), 1);
        EXPECT_FALSE(OffersResume());
        EXPECT_EQ(Selected(), kNewGame);
    }
}

// Escape held, or the focus changed, as the window appears: the first menu offers no game to
// resume.
TEST_F(cMenuTest, ANewGameIsNotOfferedForResuming) {
    for (const bool bEscape : {true, false}) {
        SetPaused(false);
        key[KEY_ESC] = bEscape;
        bFocusLost = !bEscape;
        game.NewGame();
        key[KEY_ESC] = 0;
        EXPECT_FALSE(OffersResume()) << (bEscape ? "Escape" : "focus");
        EXPECT_FALSE(bFocusLost) << "a switch before the game is forgotten";
        EXPECT_FALSE(game.IsPlaying());
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    }
}

TEST_F(cMenuTest, HighscoresShowTheListAndTheCursorStaysForTheReturn) {
    WriteHOF(" <entry name = \"Al\" score = \"7\" />\n <entry name = \"Bo\" score = \"3\" />\n");
    SetPaused(true);
    Select(kViewHighscores);
    Key(KEY_ENTER);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), 3);
    ASSERT_EQ(game.HOF.vEntries.size(), 2u);
    EXPECT_EQ(game.HOF.vEntries[1].sName, "Bo");
    EXPECT_FALSE(game.IsPlaying());

    game.pGui->SetActiveWindows({WND_MAINMENU});
    EXPECT_EQ(Music(), 4);
    EXPECT_EQ(Selected(), kViewHighscores);
    EXPECT_TRUE(OffersResume());
}

TEST_F(cMenuTest, QuitEndsTheMainLoop) {
    SetPaused(false);
    Select(kQuit);
    ASSERT_TRUE(game.Running());
    Key(KEY_ENTER);
    EXPECT_FALSE(game.Running());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}
