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
    cGuiSystem gui;
};

} // namespace

// The frame's pieces around a client area at (c, c) that the procedure draws; a new size or
// background composes the frame afresh.
TEST_F(cGuiTest, AWindowIsItsFrameAroundTheClientAreaItsProcedureDraws) {
    ASSERT_TRUE(gui.LoadElements(GAME_DATA_DIR "/gui.dat"));
    const int c = gui.GetGuiElement(0)->w, e = gui.GetGuiElement(1)->h;
    const int iBlue = makecol(0, 0, 200), iGreen = makecol(0, 255, 0), iMask = makecol(255, 0, 255);
    const tBitmap pBuffer = Cleared(200, 200, iGreen);
    BITMAP* pTarget = pBuffer.get();
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
        const tBitmap pExpected = Cleared(200, 200, iMask);
        fresh.Draw(pExpected.get(), &gui);
        clear_to_color(pTarget, iMask);
        pWindow->Draw(pTarget, &gui);
        EXPECT_EQ(DifferentPixels(pTarget, pExpected.get()), 0) << iWidth << "x" << iHeight;
    }
}

// Each of the game's windows where its screen shows it, the menus white and the panels dark red.
TEST_F(cGuiTest, TheGameWindowsKeepTheirPlacesAndColours) {
    const int c = game.pGui->GetGuiElement(0)->w, iWhite = makecol(255, 255, 255),
              iRed = makecol(100, 0, 0), iGreen = makecol(0, 255, 0);
    for (auto [iId, x, y, w, h, iBackground] :
         {std::tuple{WND_MAINMENU, 170, 140, 300, 100, iWhite},
          {WND_HOF, 150, 140, 340, 200, iWhite},
          {WND_HOFENTER, 120, 140, 400, 100, iWhite},
          {WND_SCORE, 10, 10, 110, 40, iRed}}) {
        const tBitmap pScreen = Cleared(640, 480, iGreen);
        game.pGui->GetWindow(iId)->Draw(pScreen.get(), game.pGui);
        int aBox[4] = {640, 480, -1, -1};
        for (int j = 0; j < 480; ++j)
            for (int i = 0; i < 640; ++i)
                if (getpixel(pScreen.get(), i, j) != iGreen) {
                    aBox[0] = std::min(aBox[0], i);
                    aBox[1] = std::min(aBox[1], j);
                    aBox[2] = std::max(aBox[2], i);
                    aBox[3] = std::max(aBox[3], j);
                }
        EXPECT_EQ(std::vector<int>(aBox, aBox + 4), (std::vector<int>{x, y, x + w - 1, y + h - 1}))
            << iId;
        EXPECT_EQ(getpixel(pScreen.get(), x + w - c - 1, y + h - c - 1), iBackground) << iId;
    }
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
        const tBitmap pClient = Cleared(96, 14, iRed);
        EnergyBarProc(window, MSG_DRAW, pClient.get(), nullptr);
        EXPECT_EQ(BarEnd(pClient.get(), 0, 0), iEnd) << iEnergy << " of " << iMax;
        EXPECT_EQ(BarEnd(pClient.get(), 13, 0), iEnd) << "the whole height";
    }
    const int iShip = game.pPlayer->GetAvatarID();
    for (auto [iSC, iSS, iAvatar, iEndSC, iEndSS] : {std::tuple{500, 1000, iShip, 146, 170},
                                                     {0, 1, iShip, 122, 122},
                                                     {500, 1000, -5, 121, 121}}) {
        pShip->iSupercharger = iSC;
        pShip->iSuperspeed = iSS;
        game.pPlayer->SetAvatarID(iAvatar);
        const tBitmap pClient = Cleared(180, 30, iRed);
        PowerupProc(*game.pGui->GetWindow(WND_POWERUP), MSG_DRAW, pClient.get(), nullptr);
        EXPECT_EQ(BarEnd(pClient.get(), 8, 121), iEndSC) << iSC;
        EXPECT_EQ(BarEnd(pClient.get(), 17, 121), iEndSS) << iSS;
        EXPECT_EQ(getpixel(pClient.get(), 120, 8) + getpixel(pClient.get(), 120, 17), 0)
            << "the outlines";
    }
}
