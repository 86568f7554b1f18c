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

void WriteText(const char* sName, const std::string& sText) {
    std::ofstream(sName) << sText;
}

// Ten entries as the game saves them, named T0 to T9, with the scores 51 down to 42.
std::string TenEntries() {
    std::string sEntries;
    for (int i = 0; i < 10; ++i)
        sEntries += " <entry name = \"T" + std::to_string(i) + "\" score = \"" +
                    std::to_string(51 - i) + "\" />\n";
    return sEntries;
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

    // Sends a key value as readkey gives it.
    void Type(int iScanCode, int iCharacter) {
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

TEST_F(cNameEntryTest, TheNameIsSavedAtOnceAndATieWithTheTenthKeepsIt) {
    WriteHOF(TenEntries());
    ASSERT_TRUE(game.LoadHOF()) << "42 reaches the tenth";
    Type("Zed");
    Confirm();
    ASSERT_EQ(game.HOF.vEntries.size(), 10u) << "the list shows only the ten saved";
    EXPECT_EQ(game.HOF.vEntries[9].sName, "Zed") << "ahead of the older 42";
    const std::string sSaved = FileText("HallOfFame.xml");
    EXPECT_NE(sSaved.find("<entry name = \"Zed\" score = \"42\" />"), std::string::npos)
        << "saved before the list is left";
    EXPECT_EQ(sSaved.find("T9"), std::string::npos);
}

TEST_F(cNameEntryTest, AFileTheGameDidNotWriteIsKeptBesideIt) {
    const std::string sOwn =
        "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n" + TenEntries() + "</HallOfFame>\n";
    const struct {
        std::string sFile;
        bool bKept;
    } aCases[] = {
        {sOwn, false},
        {"<?xml version='1.0'?>\n<!-- mine -->\n<HallOfFame>\n <entry name='Al' score='7'/>\n"
         "</HallOfFame>\n",
         true},
        {"garbage", true},
    };
    for (const auto& Case : aCases) {
        std::filesystem::remove("HallOfFame.xml.bak");
        std::filesystem::remove("HallOfFame.xml.bak.1");
        WriteText("HallOfFame.xml.bak", "an older copy");
        WriteText("HallOfFame.xml", Case.sFile);
        ASSERT_TRUE(game.LoadHOF());
        game.pGui->SetActiveWindows({WND_HOFENTER});
        Type("Zed");
        Confirm();
        EXPECT_EQ(FileText("HallOfFame.xml.bak"), "an older copy") << "never overwritten";
        EXPECT_EQ(FileText("HallOfFame.xml.bak.1"), Case.bKept ? Case.sFile : "") << Case.sFile;
        EXPECT_NE(FileText("HallOfFame.xml").find("Zed"), std::string::npos);
    }
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

TEST_F(cNameEntryTest, KeysThatComeInOneBurstAreAllTyped) {
    Type("Sani");
    EXPECT_EQ(EnteredName(), "Sani");
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

    game.pGui->SendMessage(WND_HOF, MSG_KEY, MsgArg(KEY_SPACE << 8), nullptr);
    game.iCurrentScore = 0;
    game.LoadHOF();
    ASSERT_EQ(game.HOF.vEntries.size(), 1u);
    EXPECT_EQ(game.HOF.vEntries[0].sName, sName);
    EXPECT_EQ(game.HOF.vEntries[0].iScore, 42);
}

// Space typed in play and still held when the screen comes, its repeats, the last one still unread
// when Space is let go, and a tap of Down: all ignored. Then Space pressed anew.
TEST_F(cNameEntryTest, OnlyKeysPressedWhileTheScreenShowsCount) {
    const auto SpaceHeldFromPlayThenPressedAnew = [&](int iWindow) {
        simulate_keypress((KEY_SPACE << 8) | ' ');
        key[KEY_SPACE] = 1;
        game.pGui->SetActiveWindows({iWindow});
        simulate_keypress((KEY_SPACE << 8) | ' ');
        simulate_keypress(KEY_DOWN << 8);
        game.pGui->Update();
        simulate_keypress((KEY_SPACE << 8) | ' ');
        key[KEY_SPACE] = 0;
        for (int i = 0; i < 3; ++i)
            game.pGui->Update();
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{iWindow});
        key[KEY_SPACE] = 1;
        simulate_keypress((KEY_SPACE << 8) | ' ');
        game.pGui->Update();
        key[KEY_SPACE] = 0;
    };
    SpaceHeldFromPlayThenPressedAnew(WND_HOFENTER);
    EXPECT_EQ(EnteredName(), " ");
    SpaceHeldFromPlayThenPressedAnew(WND_HOF);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}

class cHOFListTest : public cGameTest {
protected:
    void Leave(int iKey) { game.pGui->SendMessage(WND_HOF, MSG_KEY, MsgArg(iKey << 8), nullptr); }
};

TEST_F(cHOFListTest, ViewingNeverRewritesTheFile) {
    std::string sAscending = "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n";
    for (int i = 0; i < 12; ++i)
        sAscending += " <entry name = \"P" + std::to_string(i) + "\" score = \"" +
                      std::to_string(i) + "\" />\n";
    sAscending += "</HallOfFame>\n";
    for (const std::string& sFile : {sAscending, std::string("garbage")}) {
        WriteText("HallOfFame.xml", sFile);
        game.LoadHOF();
        game.pGui->SetActiveWindows({WND_HOF});
        EXPECT_EQ(Music(), 3);
        Leave(KEY_ESC);
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_EQ(Music(), 4);
        EXPECT_EQ(FileText("HallOfFame.xml"), sFile);
    }
}

TEST_F(cHOFListTest, TheFileHoldsOneElementWithAnEntryPerRow) {
    ASSERT_TRUE(game.HOF.Save());
    EXPECT_EQ(FileText("HallOfFame.xml"),
              "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n</HallOfFame>\n");

    game.HOF.vEntries = {Entry("Al", 7), Entry("Bo", -3)};
    ASSERT_TRUE(game.HOF.Save());
    EXPECT_EQ(FileText("HallOfFame.xml"), "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n"
                                          " <entry name = \"Al\" score = \"7\" />\n"
                                          " <entry name = \"Bo\" score = \"-3\" />\n"
                                          "</HallOfFame>\n");
}

// The list says why, the old file stays whole, and leaving the list tries once more.
TEST_F(cHOFListTest, AFailedSaveIsShownAndTriedAgainOnLeaving) {
    const struct {
        bool bFolder;
        const char* sReason;
    } aCases[] = {{true, "Is a directory"}, {false, "Permission denied"}};
    for (const auto& Case : aCases) {
        if (Case.bFolder) {
            std::filesystem::create_directory("HallOfFame.xml");
        } else {
            WriteHOF(" <entry name = \"Al\" score = \"7\" />\n");
            std::filesystem::permissions("HallOfFame.xml", std::filesystem::perms(0444));
        }
        const std::string sOld = FileText("HallOfFame.xml");
        game.LoadHOF();
        game.HOF.Add(Entry("Bo", 9));
        EXPECT_FALSE(game.HOF.Save());
        EXPECT_EQ(game.HOF.sError, std::string("Could not save: ") + Case.sReason);
        EXPECT_EQ(FileText("HallOfFame.xml"), sOld);

        game.pGui->SetActiveWindows({WND_HOF});
        Leave(KEY_DOWN);
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF}) << "other keys stay in the list";
        std::filesystem::remove_all("HallOfFame.xml");
        Leave(KEY_SPACE);
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_NE(FileText("HallOfFame.xml").find("Bo"), std::string::npos);
        std::filesystem::remove("HallOfFame.xml");
    }
}

TEST_F(cHOFListTest, TheListShowsTheEntriesBelowTheHeadingAndAnErrorAtTheFoot) {
    const struct {
        const char* sError;
        const char* sLine1;
        const char* sLine2;
    } aCases[] = {
        {"", "", ""},
        {"Could not save: Is a directory", "", "Could not save: Is a directory"},
        {"Could not save: No space left on device", "Could not save:", "No space left on device"},
    };
    game.HOF.vEntries = {Entry("Al", 7), Entry("Bo", 3)};
    BITMAP* pClient = create_bitmap(280, 180);
    BITMAP* pExpected = create_bitmap(280, 180);
    for (const auto& Case : aCases) {
        game.HOF.sError = Case.sError;
        clear_to_color(pClient, makecol(255, 255, 255));
        clear_to_color(pExpected, makecol(255, 255, 255));
        game.pGui->SendMessage(WND_HOF, MSG_DRAW, pClient, nullptr);
        textout_ex(pExpected, font, "Hall of fame, press space to", 5, 5, 0, -1);
        textout_ex(pExpected, font, "return to the main menu.", 5, 12, 0, -1);
        textout_ex(pExpected, font, "Al: 7", 5, 30, 0, -1);
        textout_ex(pExpected, font, "Bo: 3", 5, 38, 0, -1);
        textout_ex(pExpected, font, Case.sLine1, 5, 159, 0, -1);
        textout_ex(pExpected, font, Case.sLine2, 5, 167, 0, -1);
        EXPECT_EQ(DifferentPixels(pClient, pExpected), 0) << Case.sError;
    }
    destroy_bitmap(pClient);
    destroy_bitmap(pExpected);
}
