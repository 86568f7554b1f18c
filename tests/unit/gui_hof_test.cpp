#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui/HallOfFameEnterProc.h"
#include "gui/HallOfFameProc.h"
#include "support/GameTest.h"

namespace {

std::string FileText(const char* sName) {
    std::ifstream In(sName);
    std::stringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

cHOFEntry Entry(const std::string& sName, int iScore) {
    cHOFEntry entry;
    entry.sName = sName;
    entry.iScore = iScore;
    return entry;
}

class cNameEntryTest : public cGameTest {
protected:
    void SetUp() override {
        cGameTest::SetUp();
        if (HasFatalFailure())
            return;
        game.iCurrentScore = 42;
        game.pGui->SetActiveWindows({WND_HOFENTER});
    }

    // Sends a key value as readkey gives it, iTicks after the previous one.
    void Type(int iScanCode, int iCharacter, int iTicks = 5) {
        iTime += iTicks;
        game.pGui->SendMessage(WND_HOFENTER, MSG_KEY, MsgArg((iScanCode << 8) | iCharacter),
                               nullptr);
    }
    void Type(const std::string& sText) {
        for (char c : sText)
            Type(KEY_A, static_cast<unsigned char>(c));
    }
    void Confirm() { Type(KEY_ENTER, 13); }

    // The name that Enter puts into the table.
    std::string EnteredName() {
        Confirm();
        for (const cHOFEntry& entry : game.HOF.vEntries)
            if (entry.iScore == 42)
                return entry.sName;
        return "(nothing entered)";
    }
};

} // namespace

TEST_F(cNameEntryTest, TypedNameGoesIntoTheSortedTableAndTheListFollows) {
    EXPECT_EQ(Music(), 2);
    game.HOF.vEntries = {Entry("Low", 5), Entry("High", 90)};
    Type(KEY_A, 'A');
    Type(KEY_L, 'l');
    Type(KEY_BACKSPACE, 8);
    Confirm();
    ASSERT_EQ(game.HOF.vEntries.size(), 3u);
    EXPECT_EQ(game.HOF.vEntries[0].sName, "High");
    EXPECT_EQ(game.HOF.vEntries[1].sName, "A");
    EXPECT_EQ(game.HOF.vEntries[1].iScore, 42);
    EXPECT_EQ(game.HOF.vEntries[2].sName, "Low");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), 3);
}

TEST_F(cNameEntryTest, AnEmptyNameCannotBeConfirmed) {
    Type(KEY_BACKSPACE, 8);
    Confirm();
    EXPECT_TRUE(game.HOF.vEntries.empty());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOFENTER});

    Type("Zed");
    game.pGui->SetActiveWindows({WND_HOFENTER});
    Type("Q");
    EXPECT_EQ(EnteredName(), "Q") << "activation starts a fresh name";
}

TEST_F(cNameEntryTest, KeysCloserThan50MsAreLost) {
    Type(KEY_A, 'a');
    Type(KEY_B, 'b', 4);
    Type(KEY_C, 'c', 1);
    EXPECT_EQ(EnteredName(), "ac");
}

TEST_F(cNameEntryTest, OnlyCharactersTheFileKeepsAreTyped) {
    Type(KEY_LEFT, 0);
    Type(KEY_F1, 0);
    Type(KEY_ESC, 27);
    Type(KEY_TAB, 9);
    Type(KEY_ENTER_PAD, 13);
    Type(KEY_DEL, 127);
    Type(KEY_A, 0xE9);
    Type("\"<>&");
    Type(" B~");
    EXPECT_EQ(EnteredName(), " B~");
}

TEST_F(cNameEntryTest, ANameIsReadBackAsItWasTyped) {
    std::string sName;
    for (int c = 32; c <= 126; ++c)
        if (c != '"' && c != '<' && c != '>' && c != '&')
            sName += static_cast<char>(c);
    sName += "  ";
    Type(sName);
    EXPECT_EQ(EnteredName(), sName);

    iTime += 1;
    key[KEY_SPACE] = 1;
    game.pGui->SendMessage(WND_HOF, MSG_KEY, nullptr, nullptr);
    key[KEY_SPACE] = 0;
    game.iCurrentScore = 0;
    game.LoadHOF();
    ASSERT_EQ(game.HOF.vEntries.size(), 1u);
    EXPECT_EQ(game.HOF.vEntries[0].sName, sName);
    EXPECT_EQ(game.HOF.vEntries[0].iScore, 42);
}

class cHOFListTest : public cGameTest {
protected:
    void Leave(int iKey) {
        key[iKey] = 1;
        game.pGui->SendMessage(WND_HOF, MSG_KEY, nullptr, nullptr);
        key[iKey] = 0;
    }
};

TEST_F(cHOFListTest, LeavingSavesTheBestTenAndReturnsToTheMenu) {
    for (int i = 0; i < 12; ++i)
        game.HOF.vEntries.push_back(Entry("P" + std::to_string(i), 100 - i));
    game.pGui->SetActiveWindows({WND_HOF});
    EXPECT_EQ(Music(), 3);
    Leave(KEY_ESC);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_EQ(Music(), 4);
    EXPECT_EQ(game.HOF.vEntries.size(), 12u) << "the table in memory keeps every entry";

    game.LoadHOF();
    ASSERT_EQ(game.HOF.vEntries.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(game.HOF.vEntries[i].sName, "P" + std::to_string(i));
        EXPECT_EQ(game.HOF.vEntries[i].iScore, 100 - i);
    }
}

TEST_F(cHOFListTest, TheFileHoldsOneElementWithAnEntryPerRow) {
    game.pGui->SetActiveWindows({WND_HOF});
    Leave(KEY_ENTER);
    EXPECT_EQ(FileText("HallOfFame.xml"),
              "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n</HallOfFame>\n");

    game.HOF.vEntries = {Entry("Al", 7), Entry("Bo", -3)};
    game.pGui->SetActiveWindows({WND_HOF});
    Leave(KEY_SPACE);
    EXPECT_EQ(FileText("HallOfFame.xml"), "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n"
                                          " <entry name = \"Al\" score = \"7\" />\n"
                                          " <entry name = \"Bo\" score = \"-3\" />\n"
                                          "</HallOfFame>\n");
}

TEST_F(cHOFListTest, AFileThatCannotBeWrittenDoesNotHoldThePlayerUp) {
    std::filesystem::create_directory("HallOfFame.xml");
    game.HOF.vEntries = {Entry("Al", 7)};
    game.pGui->SetActiveWindows({WND_HOF});
    Leave(KEY_DOWN);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF}) << "other keys stay in the list";
    Leave(KEY_SPACE);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_TRUE(std::filesystem::is_directory("HallOfFame.xml"));
}

namespace {

// Counts the characters drawn into a bitmap whose drawing it wraps.
int iGlyphs = 0;
GFX_VTABLE countingVtable;
void (*pDrawGlyph)(BITMAP*, const FONT_GLYPH*, int, int, int, int) = nullptr;
void CountGlyph(BITMAP* pBmp, const FONT_GLYPH* pGlyph, int x, int y, int iColor, int iBg) {
    ++iGlyphs;
    pDrawGlyph(pBmp, pGlyph, x, y, iColor, iBg);
}

// The list that the window draws, and how many characters it drew.
std::pair<BITMAP*, int> ListDrawn(cGameInstance& game) {
    BITMAP* pClient = create_bitmap(280, 180);
    clear_to_color(pClient, makecol(255, 255, 255));
    countingVtable = *pClient->vtable;
    pDrawGlyph = countingVtable.draw_glyph;
    countingVtable.draw_glyph = CountGlyph;
    GFX_VTABLE* pVtable = pClient->vtable;
    pClient->vtable = &countingVtable;
    iGlyphs = 0;
    game.pGui->SendMessage(WND_HOF, MSG_DRAW, pClient, nullptr);
    pClient->vtable = pVtable;
    return {pClient, iGlyphs};
}

} // namespace

// Rows from 30 on, 8 apart: in a client area 180 high the 19th row shows its top, the rest are
// not even drawn.
TEST_F(cHOFListTest, TheListShowsTheEntriesBelowTheHeadingAndDrawsNoMoreThanFit) {
    game.HOF.vEntries = {Entry("Al", 7), Entry("Bo", 3)};
    BITMAP* pExpected = create_bitmap(280, 180);
    clear_to_color(pExpected, makecol(255, 255, 255));
    textout_ex(pExpected, font, "Hall of fame, press space to", 5, 5, 0, -1);
    textout_ex(pExpected, font, "return to the main menu.", 5, 12, 0, -1);
    textout_ex(pExpected, font, "Al: 7", 5, 30, 0, -1);
    textout_ex(pExpected, font, "Bo: 3", 5, 38, 0, -1);
    auto [pClient, iTwoRows] = ListDrawn(game);
    EXPECT_EQ(DifferentPixels(pClient, pExpected), 0);

    game.HOF.vEntries.assign(19, Entry("Cy", 1));
    auto [pFitting, iFitting] = ListDrawn(game);
    EXPECT_GT(iFitting, iTwoRows);
    game.HOF.vEntries.assign(100000, Entry("Cy", 1));
    auto [pMany, iMany] = ListDrawn(game);
    EXPECT_EQ(DifferentPixels(pMany, pFitting), 0);
    EXPECT_EQ(iMany, iFitting);
    for (BITMAP* pBmp : {pExpected, pClient, pFitting, pMany})
        destroy_bitmap(pBmp);
}
