#include "core/cInputReader.h"
#include "gui/EnergyBarProc.h"
#include "gui/PowerupProc.h"
#include "objects/cPlayer.h"
#include "support/GameTest.h"

namespace {

// What the windows were sent: "D<id>" draw, "A<id>" activate, "K<id>:<character>" key.
std::string sLog;

int RecordProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    sLog += std::string(1, "DSKA"[iMsg]) + std::to_string(window.Id()) +
            (iMsg == MSG_KEY ? ":" + std::to_string(MsgInt(a) & 0xFF) : "") + " ";
    return iMsg == MSG_SETDATA ? MsgInt(a) + MsgInt(b) : 0;
}

// Marks the client origin red and paints a square at (20, 5) in the mask colour.
int PaintProc(cMenuWindow&, int iMsg, void* a, void*) {
    BITMAP* pClient = static_cast<BITMAP*>(a);
    if (iMsg == MSG_DRAW) {
        putpixel(pClient, 0, 0, makecol(255, 0, 0));
        rectfill(pClient, 20, 5, 29, 14, makecol(255, 0, 255));
    }
    return 0;
}

// Choosing an item: replaces the active list with a longer one, as the menu does.
int SwitchProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    RecordProc(window, iMsg, a, b);
    if (iMsg == MSG_KEY)
        window.pGui->SetActiveWindows({99, 11, 12});
    return 0;
}

class cGuiTest : public cGameTest {
protected:
    cMenuWindow* Add(int iId, float x, float y, int iWidth, int iColor, tWindowProc pProc) {
        cMenuWindow* pWindow = new cMenuWindow;
        pWindow->SetId(iId);
        pWindow->SetPosition(cVector(x, y, 0));
        pWindow->SetSize(iWidth, 70);
        pWindow->SetBgColor(iColor);
        pWindow->pProc = pProc;
        gui.AddWindow(pWindow);
        return pWindow;
    }
    // A bitmap cleared to the colour; the test destroys it.
    static BITMAP* Cleared(int iWidth, int iHeight, int iColor) {
        BITMAP* pBmp = create_bitmap(iWidth, iHeight);
        clear_to_color(pBmp, iColor);
        return pBmp;
    }

    cGuiSystem gui;
};

} // namespace

// The frame's pieces around a client area at (c, c) that the procedure draws; a new size or
// background composes the frame afresh.
TEST_F(cGuiTest, AWindowIsItsFrameAroundTheClientAreaItsProcedureDraws) {
    ASSERT_TRUE(gui.LoadElements(GAME_DATA_DIR "/gui.dat"));
    const int c = gui.GetGuiElement(0)->w, e = gui.GetGuiElement(1)->h;
    const int iBlue = makecol(0, 0, 200), iGreen = makecol(0, 255, 0), iMask = makecol(255, 0, 255);
    BITMAP* pTarget = Cleared(200, 200, iGreen);
    cMenuWindow* pWindow = Add(7, 30.7f, 40.9f, 120, iBlue, PaintProc);
    gui.SetActiveWindows({7});
    gui.Draw(pTarget);
    EXPECT_EQ(getpixel(pTarget, 30 + c, 40 + c), makecol(255, 0, 0)) << "client origin at (c, c)";
    EXPECT_EQ(getpixel(pTarget, 30 + c + 25, 40 + c + 10), iBlue);
    EXPECT_EQ(getpixel(pTarget, 30 + 120 - c - 1, 40 + 70 - c - 1), iBlue) << "client's far corner";
    EXPECT_EQ(getpixel(pTarget, 29, 60) + getpixel(pTarget, 150, 60), 2 * iGreen);
    const struct {
        int iPiece, x, y;
    } aPieces[] = {{0, 0, 0},  {2, 120 - c, 0}, {4, 120 - c, 70 - c}, {6, 0, 70 - c},
                   {1, 60, 0}, {5, 60, 70 - e}, {7, 0, 35},           {3, 120 - e, 35}};
    for (const auto& Piece : aPieces) {
        BITMAP* pPiece = gui.GetGuiElement(Piece.iPiece);
        for (int y = 0; y < pPiece->h; ++y)
            for (int x = 0; x < pPiece->w; ++x) {
                const int iPixel = getpixel(pPiece, x, y);
                EXPECT_EQ(getpixel(pTarget, 30 + Piece.x + x, 40 + Piece.y + y),
                          iPixel == iMask ? iGreen : iPixel)
                    << "piece " << Piece.iPiece << " pixel " << x << "," << y;
            }
    }
    putpixel(pWindow->pFrame, 0, 0, makecol(255, 0, 0));
    pWindow->Draw(pTarget, &gui);
    EXPECT_EQ(getpixel(pTarget, 30, 40), makecol(255, 0, 0)) << "the frame was built again";

    for (auto [iWidth, iHeight, iColor] :
         {std::tuple{130, 70, iBlue}, {130, 60, iBlue}, {130, 60, iGreen}}) {
        cMenuWindow fresh;
        fresh.SetPosition(cVector(30, 40, 0));
        for (cMenuWindow* pShown : {pWindow, &fresh}) {
            pShown->SetSize(iWidth, iHeight);
            pShown->SetBgColor(iColor);
            pShown->pProc = PaintProc;
        }
        BITMAP* pExpected = Cleared(200, 200, iMask);
        fresh.Draw(pExpected, &gui);
        clear_to_color(pTarget, iMask);
        pWindow->Draw(pTarget, &gui);
        EXPECT_EQ(DifferentPixels(pTarget, pExpected), 0) << iWidth << "x" << iHeight;
        destroy_bitmap(pExpected);
    }
    destroy_bitmap(pTarget);
}

// One key a step goes out to the active windows, also those a new list adds; with none it is lost.
TEST_F(cGuiTest, KeysGoOutOneAStepToTheActiveWindows) {
    Add(10, 0, 0, 120, 0, SwitchProc);
    for (int iId : {11, 12, 5})
        Add(iId, 0, 0, 120, 0, RecordProc);
    gui.SetActiveWindows({10});
    simulate_keypress((KEY_ENTER << 8) | 13);
    sLog.clear();
    gui.Update(game.pInput->Read(iTime));
    EXPECT_EQ(sLog, "K10:13 A11 A12 K11:13 K12:13 ");
    gui.SetActiveWindows({5});
    simulate_keypress('a');
    simulate_keypress('b');
    sLog.clear();
    gui.Update(game.pInput->Read(iTime));
    gui.Update(game.pInput->Read(iTime));
    gui.Update(game.pInput->Read(iTime));
    EXPECT_EQ(sLog, "K5:97 K5:98 ");
    gui.SetActiveWindows({});
    simulate_keypress('c');
    gui.Update(game.pInput->Read(iTime));
    EXPECT_FALSE(keypressed());
    EXPECT_EQ(sLog, "K5:97 K5:98 ");
}

// The bars fill in proportion to what they were sent or the ship holds; no ship, empty outlines.
TEST_F(cGuiTest, ThePanelsShowEnergyAndCharges) {
    const int iRed = makecol(100, 0, 0), iYellow = makecol(255, 255, 0);
    const auto BarEnd = [&](BITMAP* pClient, int y, int x) {
        while (x < pClient->w && getpixel(pClient, x, y) == iYellow)
            ++x;
        return x;
    };
    for (auto [iEnergy, iMax, iEnd] : {std::tuple{0, 80, 1},
                                       {40, 80, 49},
                                       {79, 80, 95},
                                       {80, 80, 96},
                                       {200, 80, 96},
                                       {1, 0, 96}}) {
        cMenuWindow window;
        EnergyBarProc(window, MSG_SETDATA, MsgArg(iEnergy), MsgArg(iMax));
        BITMAP* pClient = Cleared(96, 14, iRed);
        EnergyBarProc(window, MSG_DRAW, pClient, nullptr);
        EXPECT_EQ(BarEnd(pClient, 0, 0), iEnd) << iEnergy << " of " << iMax;
        EXPECT_EQ(BarEnd(pClient, 13, 0), iEnd) << "the whole height";
        destroy_bitmap(pClient);
    }
    const int iShip = game.pPlayer->GetAvatarID();
    for (auto [iSC, iSS, iAvatar, iEndSC, iEndSS] : {std::tuple{500, 1000, iShip, 146, 170},
                                                     {0, 1, iShip, 122, 122},
                                                     {500, 1000, -5, 121, 121}}) {
        pShip->iSupercharger = iSC;
        pShip->iSuperspeed = iSS;
        game.pPlayer->SetAvatarID(iAvatar);
        BITMAP* pClient = Cleared(180, 30, iRed);
        PowerupProc(*game.pGui->GetWindow(WND_POWERUP), MSG_DRAW, pClient, nullptr);
        EXPECT_EQ(BarEnd(pClient, 8, 121), iEndSC) << iSC;
        EXPECT_EQ(BarEnd(pClient, 17, 121), iEndSS) << iSS;
        EXPECT_EQ(getpixel(pClient, 120, 8) + getpixel(pClient, 120, 17), 0) << "the outlines";
        destroy_bitmap(pClient);
    }
}
