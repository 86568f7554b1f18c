#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

#include "support/GameTest.h"

namespace fs = std::filesystem;

namespace {

// The file's text; nothing for a file that is missing or a folder.
std::string FileText(const char* sName) {
    std::error_code error;
    if (!fs::is_regular_file(sName, error))
        return "";
    std::ifstream In(sName);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

const std::string sHead = "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n";

// Ten entries as the game saves them, T0 to T9, with the scores 51 down to 42.
std::string TenEntries() {
    std::string sEntries;
    for (int i = 0; i < 10; ++i)
        sEntries += " <entry name = \"T" + std::to_string(i) + "\" score = \"" +
                    std::to_string(51 - i) + "\" />\n";
    return sEntries;
}

class cHOFTest : public cGameTest {
protected:
    // Sends each character as readkey gives it: Backspace, Enter, Escape and Space by their own
    // scan codes, anything else as the given key's.
    void Type(int iWindow, const std::string& sText, int iScanCode = KEY_A) {
        for (const unsigned char c : sText) {
            const int iKey = c == '\b'   ? KEY_BACKSPACE
                             : c == '\r' ? KEY_ENTER
                             : c == 27   ? KEY_ESC
                             : c == ' '  ? KEY_SPACE
                                         : iScanCode;
            game.pGui->SendMessage(iWindow, MSG_KEY, MsgArg(iKey << 8 | c), nullptr);
        }
    }
    // Types the keys and Enter at game over with a score of 42; returns the name entered.
    std::string Enter(const std::string& sKeys) {
        game.iCurrentScore = 42;
        if (game.pGui->vActive != std::vector<int>{WND_HOFENTER})
            game.pGui->SetActiveWindows({WND_HOFENTER});
        Type(WND_HOFENTER, sKeys + "\r");
        for (const cHOFEntry& entry : game.HOF.vEntries)
            if (entry.iScore == 42)
                return entry.sName;
        return "(nothing)";
    }
};

} // namespace

// Only what the file keeps as typed is taken: no control codes, no characters XML would need to
// escape; Backspace takes one back, Enter needs a name, and a new activation starts afresh.
TEST_F(cHOFTest, TheTypedNameGoesIntoTheSortedTableAndTheListFollows) {
    game.HOF.vEntries = {{"High", 90}, {"Low", 5}};
    EXPECT_EQ(Enter("\b"), "(nothing)");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOFENTER});
    EXPECT_EQ(Music(), 2);
    Type(WND_HOFENTER, "Q");
    game.pGui->SetActiveWindows({WND_HOFENTER});
    Type(WND_HOFENTER, "\x1b\t\x7f\xe9\"<>&", KEY_F1);
    Type(WND_HOFENTER, "\r", KEY_ENTER_PAD);
    EXPECT_EQ(Enter("A l~x\b"), "A l~");
    EXPECT_EQ(game.HOF.vEntries[0].sName + game.HOF.vEntries[2].sName, "HighLow");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), 3);

    std::string sPrintable = "  ";
    for (char c = ' '; c <= '~'; ++c)
        sPrintable += std::string("\"<>&").find(c) == std::string::npos ? std::string(1, c) : "";
    EXPECT_EQ(Enter(sPrintable), sPrintable) << "every key of a burst is typed";
    game.LoadHOF();
    EXPECT_EQ(game.HOF.vEntries[1].sName, sPrintable) << "read back as typed, ahead of an equal";
}

// A tie with the tenth gets in ahead of the older entry, and the table is saved at once, in the
// game's own format.
TEST_F(cHOFTest, TheNameIsSavedAtOnceAndATieWithTheTenthKeepsIt) {
    WriteHOF(TenEntries());
    game.iCurrentScore = 42;
    ASSERT_TRUE(game.LoadHOF());
    Enter("Zed");
    ASSERT_EQ(game.HOF.vEntries.size(), 10u) << "the list shows only the ten saved";
    EXPECT_EQ(game.HOF.vEntries[9].sName, "Zed");
    EXPECT_EQ(FileText("HallOfFame.xml"),
              sHead + TenEntries().substr(0, TenEntries().find(" <entry name = \"T9\"")) +
                  " <entry name = \"Zed\" score = \"42\" />\n</HallOfFame>\n");
    game.HOF.vEntries = {};
    ASSERT_TRUE(game.HOF.Save());
    EXPECT_EQ(FileText("HallOfFame.xml"), sHead + "</HallOfFame>\n");
}

// Nothing the game did not write itself is replaced without a copy, and a copy is never replaced.
TEST_F(cHOFTest, AFileTheGameDidNotWriteIsKeptBesideIt) {
    const struct {
        std::string sFile;
        bool bKept;
    } aCases[] = {
        {sHead + TenEntries() + "</HallOfFame>\n", false},
        {"<?xml version='1.0'?>\n<!-- mine -->\n<HallOfFame>\n <entry name='Al' score='7'/>\n"
         "</HallOfFame>\n",
         true},
        {"garbage", true},
    };
    for (const auto& Case : aCases) {
        fs::remove("HallOfFame.xml.bak.1");
        std::ofstream("HallOfFame.xml.bak") << "an older copy";
        std::ofstream("HallOfFame.xml") << Case.sFile;
        game.LoadHOF();
        EXPECT_NE(Enter("Zed"), "(nothing)");
        EXPECT_EQ(FileText("HallOfFame.xml.bak"), "an older copy");
        EXPECT_EQ(FileText("HallOfFame.xml.bak.1"), Case.bKept ? Case.sFile : "") << Case.sFile;
        EXPECT_NE(FileText("HallOfFame.xml").find("Zed"), std::string::npos);
    }
    // A copy that cannot be made, on a disk that fills up, stops the save: the file stays.
    const std::string sBig(8192, 'x');
    std::ofstream("HallOfFame.xml") << sBig;
    game.LoadHOF();
    rlimit Limit;
    getrlimit(RLIMIT_FSIZE, &Limit);
    const rlimit Small{4096, Limit.rlim_max};
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &Small);
    Enter("Zed");
    setrlimit(RLIMIT_FSIZE, &Limit);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_EQ(FileText("HallOfFame.xml"), sBig);
    EXPECT_EQ(game.HOF.sError, "Could not save: File too large");
}

// Leaving the list writes nothing when nothing was entered: not the file's misreading, not a table
// cut to ten.
TEST_F(cHOFTest, ViewingNeverRewritesTheFile) {
    std::string sAscending = sHead;
    for (int i = 0; i < 12; ++i)
        sAscending += " <entry name = \"P\" score = \"" + std::to_string(i) + "\" />\n";
    for (const std::string& sFile : {sAscending + "</HallOfFame>\n", std::string("garbage")}) {
        std::ofstream("HallOfFame.xml") << sFile;
        game.LoadHOF();
        game.pGui->SetActiveWindows({WND_HOF});
        Type(WND_HOF, "\x1b");
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_EQ(Music(), 4);
        EXPECT_EQ(FileText("HallOfFame.xml"), sFile);
    }
}

// The list says why, at its foot, the old file stays whole, and leaving the list tries once more.
TEST_F(cHOFTest, AFailedSaveIsShownAndTriedAgainOnLeaving) {
    const struct {
        const char* sFile; // a folder, a read-only file or a link to itself
        const char* aLines[2];
    } aCases[] = {{"/", {"", "Could not save: Is a directory"}},
                  {"Al", {"", "Could not save: Permission denied"}},
                  {"HallOfFame.xml", {"Could not save:", "Too many levels of symbolic links"}}};
    BITMAP* pClient = create_bitmap(280, 180);
    BITMAP* pExpected = create_bitmap(280, 180);
    for (const auto& Case : aCases) {
        if (Case.sFile == std::string("/")) {
            fs::create_directory("HallOfFame.xml");
        } else if (Case.sFile == std::string("Al")) {
            WriteHOF(" <entry name = \"Al\" score = \"7\" />\n");
            fs::permissions("HallOfFame.xml", fs::perms(0444));
        } else {
            fs::create_symlink(Case.sFile, "HallOfFame.xml");
        }
        const std::string sOld = FileText("HallOfFame.xml");
        game.LoadHOF();
        EXPECT_NE(Enter("Bo"), "(nothing)");
        EXPECT_EQ(FileText("HallOfFame.xml"), sOld);

        clear_to_color(pClient, makecol(255, 255, 255));
        clear_to_color(pExpected, makecol(255, 255, 255));
        game.pGui->SendMessage(WND_HOF, MSG_DRAW, pClient, nullptr);
        textout_ex(pExpected, font, "Hall of fame, press space to", 5, 5, 0, -1);
        textout_ex(pExpected, font, "return to the main menu.", 5, 12, 0, -1);
        textout_ex(pExpected, font, "Bo: 42", 5, 30, 0, -1);
        textout_ex(pExpected, font, sOld.empty() ? "" : "Al: 7", 5, 38, 0, -1);
        textout_ex(pExpected, font, Case.aLines[0], 5, 159, 0, -1);
        textout_ex(pExpected, font, Case.aLines[1], 5, 167, 0, -1);
        EXPECT_EQ(DifferentPixels(pClient, pExpected), 0) << game.HOF.sError;

        Type(WND_HOF, std::string(1, 0), KEY_DOWN);
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF}) << "other keys stay in the list";
        fs::remove_all("HallOfFame.xml");
        Type(WND_HOF, " ");
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_NE(FileText("HallOfFame.xml").find("Bo"), std::string::npos);
        fs::remove("HallOfFame.xml");
    }
    destroy_bitmap(pClient);
    destroy_bitmap(pExpected);
}

// Space typed in play and still held when the screen comes, its repeats, the last one still unread
// when Space is let go, and a tap of Down: all ignored. Then Space pressed anew.
TEST_F(cHOFTest, OnlyKeysPressedWhileTheScreenShowsCount) {
    for (int iWindow : {WND_HOFENTER, WND_HOF}) {
        key[KEY_SPACE] = 1;
        game.Update();
        simulate_keypress((KEY_SPACE << 8) | ' ');
        game.pGui->SetActiveWindows({iWindow});
        simulate_keypress((KEY_SPACE << 8) | ' ');
        simulate_keypress(KEY_DOWN << 8);
        game.Update();
        simulate_keypress((KEY_SPACE << 8) | ' ');
        key[KEY_SPACE] = 0;
        for (int i = 0; i < 3; ++i)
            game.Update();
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{iWindow});
        key[KEY_SPACE] = 1;
        simulate_keypress((KEY_SPACE << 8) | ' ');
        game.Update();
        key[KEY_SPACE] = 0;
        if (iWindow == WND_HOFENTER)
            Type(WND_HOFENTER, "\r");
    }
    ASSERT_EQ(game.HOF.vEntries.size(), 1u);
    EXPECT_EQ(game.HOF.vEntries[0].sName, " ");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}
