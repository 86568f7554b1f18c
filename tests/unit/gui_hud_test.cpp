#include "gui/EnergyBarProc.h"
#include "gui/PowerupProc.h"
#include "gui/ScoreProc.h"
#include "objects/cPlayer.h"
#include "support/GameTest.h"

namespace {

int Background() {
    return makecol(100, 0, 0);
}
int Yellow() {
    return makecol(255, 255, 0);
}

// A client area cleared to the panels' background, as the window hands it to its procedure.
BITMAP* Client(int iWidth, int iHeight) {
    BITMAP* pClient = create_bitmap(iWidth, iHeight);
    clear_to_color(pClient, Background());
    return pClient;
}

// The first column of the row that is not yellow, or the width when the whole row is.
int BarEnd(BITMAP* pClient, int y, int iFrom) {
    int x = iFrom;
    while (x < pClient->w && getpixel(pClient, x, y) == Yellow())
        ++x;
    return x;
}

int DrawnBar(int iEnergy, int iMax) {
    cMenuWindow window;
    EnergyBarProc(window, MSG_SETDATA, MsgArg(iEnergy), MsgArg(iMax));
    BITMAP* pClient = Client(96, 14);
    EnergyBarProc(window, MSG_DRAW, pClient, nullptr);
    const int iEnd = BarEnd(pClient, 0, 0);
    EXPECT_EQ(BarEnd(pClient, 13, 0), iEnd) << "the bar fills the whole height";
    destroy_bitmap(pClient);
    return iEnd;
}

class cHudTest : public cAllegroTest {};

} // namespace

TEST_F(cHudTest, EnergyBarFillsThePercentageOfTheWidth) {
    EXPECT_EQ(DrawnBar(0, 80), 1) << "empty still shows column 0";
    EXPECT_EQ(DrawnBar(40, 80), 49) << "50 % of 96 columns: 0 to 48";
    EXPECT_EQ(DrawnBar(79, 80), 95) << "98 % of 96: up to column 94, short of full";
    EXPECT_EQ(DrawnBar(80, 80), 96);
    EXPECT_EQ(DrawnBar(200, 80), 96) << "above the cap the bar is clipped";
    EXPECT_EQ(DrawnBar(1, 0), 96) << "no cap counts as a cap of one";
}

TEST_F(cHudTest, ScorePanelShowsTheLastLevelAndScoreSent) {
    cMenuWindow window;
    ScoreProc(window, MSG_SETDATA, MsgArg(1234), MsgArg(3));
    BITMAP* pClient = Client(100, 30);
    ScoreProc(window, MSG_DRAW, pClient, nullptr);

    BITMAP* pExpected = Client(100, 30);
    textout_ex(pExpected, font, "Level 3", 5, 5, makecol(255, 255, 255), -1);
    textout_ex(pExpected, font, "Score 1234", 5, 13, makecol(255, 255, 255), -1);
    EXPECT_EQ(DifferentPixels(pClient, pExpected), 0);
    destroy_bitmap(pClient);
    destroy_bitmap(pExpected);
}

class cPowerupTest : public cGameTest {
protected:
    // Draws the panel and returns the client area; the caller destroys it.
    BITMAP* DrawPanel() {
        BITMAP* pClient = Client(180, 30);
        PowerupProc(*game.pGui->GetWindow(WND_POWERUP), MSG_DRAW, pClient, nullptr);
        return pClient;
    }
};

TEST_F(cPowerupTest, GaugesShowTheShipsCharges) {
    pShip->iSupercharger = 500;
    pShip->iSuperspeed = 1000;
    BITMAP* pClient = DrawPanel();
    EXPECT_EQ(BarEnd(pClient, 8, 121), 146) << "half a charge fills 121 to 145";
    EXPECT_EQ(BarEnd(pClient, 17, 121), 170) << "a full charge fills 121 to 169";
    EXPECT_EQ(getpixel(pClient, 170, 17), Background());
    for (int y : {5, 12, 14, 21})
        for (int x : {120, 150, 171})
            EXPECT_EQ(getpixel(pClient, x, y), 0) << "outline at " << x << "," << y;
    EXPECT_EQ(getpixel(pClient, 120, 8), 0);
    EXPECT_EQ(getpixel(pClient, 171, 17), 0);
    destroy_bitmap(pClient);

    pShip->iSupercharger = 0;
    pClient = DrawPanel();
    EXPECT_EQ(BarEnd(pClient, 8, 121), 122) << "an empty gauge still fills column 121";
    destroy_bitmap(pClient);
}

TEST_F(cPowerupTest, WithoutAShipTheGaugesStayEmpty) {
    game.pPlayer->SetAvatarID(-5);
    BITMAP* pClient = DrawPanel();
    EXPECT_EQ(getpixel(pClient, 121, 8), Background());
    EXPECT_EQ(getpixel(pClient, 120, 8), 0);
    destroy_bitmap(pClient);
}
