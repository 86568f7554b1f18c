#include <string>
#include <vector>

#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "support/GameTest.h"

namespace {

// What the windows were sent: "D<id>" draw, "A<id>" activate, "K<id>:<character>" key.
std::string sLog;
int iClientWidth = 0;
int iClientHeight = 0;

int RecordProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    const char* aLetters = "DSKA";
    sLog += aLetters[iMsg] + std::to_string(window.Id());
    if (iMsg == MSG_KEY)
        sLog += ":" + std::to_string(MsgInt(a) & 0xFF);
    sLog += " ";
    return iMsg == MSG_SETDATA ? MsgInt(a) + MsgInt(b) : 0;
}

// Marks the client origin red and paints a 10x10 square at (20, 5) in the mask colour.
int PaintProc(cMenuWindow&, int iMsg, void* a, void*) {
    if (iMsg != MSG_DRAW)
        return 0;
    BITMAP* pClient = static_cast<BITMAP*>(a);
    iClientWidth = pClient->w;
    iClientHeight = pClient->h;
    putpixel(pClient, 0, 0, makecol(255, 0, 0));
    rectfill(pClient, 20, 5, 29, 14, makecol(255, 0, 255));
    return 0;
}

// Choosing an item: replaces the active list with a longer one, as the menu does.
int SwitchProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    RecordProc(window, iMsg, a, b);
    if (iMsg == MSG_KEY)
        window.pGui->SetActiveWindows({99, 11, 12});
    return 0;
}

class cGuiSystemTest : public cAllegroTest {
protected:
    void SetUp() override {
        cAllegroTest::SetUp();
        ASSERT_TRUE(gui.LoadElements(std::string(GAME_DATA_DIR) + "/gui.dat"));
        c = gui.GetGuiElement(0)->w;
        e = gui.GetGuiElement(1)->h;
        sLog.clear();
        clear_keybuf();
        pTarget = create_bitmap(200, 200);
        clear_to_color(pTarget, makecol(0, 255, 0));
    }
    void TearDown() override { destroy_bitmap(pTarget); }

    // A window of 120 by 70 that the manager takes over.
    cMenuWindow* Add(int iId, float x, float y, int iColor, tWindowProc pProc) {
        cMenuWindow* pWindow = new cMenuWindow;
        pWindow->SetId(iId);
        pWindow->SetPosition(cVector(x, y, 0));
        pWindow->SetSize(120, 70);
        pWindow->SetBgColor(iColor);
        pWindow->pProc = pProc;
        gui.AddWindow(pWindow);
        return pWindow;
    }

    // Piece pixel (x, y) shows at (tx, ty) of the window at (30, 40), unless it is transparent.
    void ExpectPiece(int iPiece, int x, int y, int tx, int ty) {
        BITMAP* pPiece = gui.GetGuiElement(iPiece);
        if (x < pPiece->w && y < pPiece->h && getpixel(pPiece, x, y) != makecol(255, 0, 255)) {
            EXPECT_EQ(getpixel(pTarget, 30 + tx, 40 + ty), getpixel(pPiece, x, y))
                << "piece " << iPiece << " pixel " << x << "," << y;
        }
    }

    cGuiSystem gui;
    BITMAP* pTarget = nullptr;
    int c = 0;
    int e = 0;
};

} // namespace

TEST_F(cGuiSystemTest, ComposesFrameAndClientAreaAtTheWindowsPlace) {
    Add(7, 30.7f, 40.9f, makecol(0, 0, 200), PaintProc); // placed at (30, 40)
    gui.SetActiveWindows({7});
    gui.Draw(pTarget);

    EXPECT_EQ(iClientWidth, 120 - 2 * c);
    EXPECT_EQ(iClientHeight, 70 - 2 * c);
    EXPECT_EQ(getpixel(pTarget, 30 + c, 40 + c), makecol(255, 0, 0)) << "client origin at (c, c)";
    EXPECT_EQ(getpixel(pTarget, 30 + c + 1, 40 + c + 1), makecol(0, 0, 200));
    // Mask-coloured pixels are left out at both steps: the procedure's let the frame's filled
    // background show, the frame's own let the target show.
    EXPECT_EQ(getpixel(pTarget, 30 + c + 25, 40 + c + 10), makecol(0, 0, 200));
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x)
            if (getpixel(gui.GetGuiElement(0), x, y) == makecol(255, 0, 255)) {
                EXPECT_EQ(getpixel(pTarget, 30 + x, 40 + y), makecol(0, 255, 0));
            }
    EXPECT_EQ(getpixel(pTarget, 29, 60), makecol(0, 255, 0));
    EXPECT_EQ(getpixel(pTarget, 150, 60), makecol(0, 255, 0));

    // The top-left corner, and a cross-section of each edge halfway along it.
    for (int i = 0; i < c; ++i) {
        for (int j = 0; j < c; ++j)
            ExpectPiece(0, i, j, i, j);
        ExpectPiece(1, 0, i, 60, i);
        ExpectPiece(5, 0, i, 60, 70 - e + i);
        ExpectPiece(7, i, 0, i, 35);
        ExpectPiece(3, i, 0, 120 - e + i, 35);
    }
}

// Each picture is the one that a window composing its frame afresh draws.
TEST_F(cGuiSystemTest, AWindowReusesItsFrameUntilItsSizeOrBackgroundChanges) {
    cMenuWindow* pWindow = Add(7, 30, 40, makecol(0, 0, 200), PaintProc);
    pWindow->Draw(pTarget, &gui);
    ASSERT_NE(pWindow->pFrame, nullptr) << "the frame is not kept";
    putpixel(pWindow->pFrame, 0, 0, makecol(255, 0, 0));
    pWindow->Draw(pTarget, &gui);
    EXPECT_EQ(getpixel(pTarget, 30, 40), makecol(255, 0, 0)) << "the frame was built again";

    const struct {
        int iWidth, iHeight, iColor;
    } aChanges[] = {{130, 70, makecol(0, 0, 200)},
                    {130, 60, makecol(0, 0, 200)},
                    {130, 60, makecol(200, 200, 0)}};
    for (const auto& change : aChanges) {
        cMenuWindow fresh;
        for (cMenuWindow* pShown : {pWindow, &fresh}) {
            pShown->SetPosition(cVector(30, 40, 0));
            pShown->SetSize(change.iWidth, change.iHeight);
            pShown->SetBgColor(change.iColor);
            pShown->pProc = PaintProc;
        }
        BITMAP* pExpected = create_bitmap(200, 200);
        clear_to_color(pExpected, makecol(0, 255, 0));
        fresh.Draw(pExpected, &gui);
        clear_to_color(pTarget, makecol(0, 255, 0));
        pWindow->Draw(pTarget, &gui);
        EXPECT_EQ(DifferentPixels(pTarget, pExpected), 0) << change.iWidth << "x" << change.iHeight;
        destroy_bitmap(pExpected);
    }
}

TEST_F(cGuiSystemTest, ActiveWindowsAreDrawnInTheOrderTheyWereAdded) {
    Add(1, 10, 10, makecol(255, 0, 0), RecordProc);
    Add(2, 30, 20, makecol(0, 0, 255), RecordProc);
    Add(3, 0, 0, 0, RecordProc);
    gui.SetActiveWindows({2, 1, 2});
    sLog.clear();
    gui.Draw(pTarget);
    EXPECT_EQ(sLog, "D1 D2 D2 ") << "a window listed twice is drawn twice";
    EXPECT_EQ(getpixel(pTarget, 30 + c + 5, 20 + c + 5), makecol(0, 0, 255));
    EXPECT_EQ(getpixel(pTarget, 10 + c + 2, 10 + c + 2), makecol(255, 0, 0));
}

TEST_F(cGuiSystemTest, AKeyGoesOnToTheWindowsOfANewActiveList) {
    Add(10, 0, 0, 0, SwitchProc);
    Add(11, 0, 0, 0, RecordProc);
    Add(12, 0, 0, 0, RecordProc);
    gui.SetActiveWindows({10});
    simulate_keypress((KEY_ENTER << 8) | 13);
    sLog.clear();
    gui.Update();
    EXPECT_EQ(sLog, "K10:13 A11 A12 K11:13 K12:13 ");
    EXPECT_FALSE(keypressed());
}

TEST_F(cGuiSystemTest, OneKeyPerUpdateAndKeysWithoutActiveWindowsAreLost) {
    Add(5, 0, 0, 0, RecordProc);
    gui.SetActiveWindows({5});
    sLog.clear();
    gui.Update();
    simulate_keypress('a');
    simulate_keypress('b');
    gui.Update();
    EXPECT_EQ(sLog, "K5:97 ");
    gui.Update();
    EXPECT_EQ(sLog, "K5:97 K5:98 ");

    gui.SetActiveWindows({});
    simulate_keypress('c');
    gui.Update();
    EXPECT_FALSE(keypressed());
    EXPECT_EQ(sLog, "K5:97 K5:98 ");
}

TEST_F(cGuiSystemTest, MessagesReachAnyWindowAndTheActiveListIsActivatedEveryTime) {
    Add(1, 0, 0, 0, RecordProc);
    cMenuWindow* pB = Add(2, 0, 0, 0, RecordProc);
    EXPECT_EQ(gui.SendMessage(2, MSG_SETDATA, MsgArg(40), MsgArg(2)), 42) << "need not be active";
    EXPECT_EQ(gui.SendMessage(8, MSG_SETDATA, MsgArg(40), MsgArg(2)), 0);
    EXPECT_EQ(gui.GetWindow(8), nullptr);
    EXPECT_EQ(gui.GetWindow(2), pB);
    EXPECT_EQ(pB->pGui, &gui);

    sLog.clear();
    gui.SetActiveWindows({2, 1});
    gui.SetActiveWindows({2, 1});
    EXPECT_EQ(sLog, "A2 A1 A2 A1 ");
    EXPECT_EQ(gui.vActive, (std::vector<int>{2, 1}));
}
