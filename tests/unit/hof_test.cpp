#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

// Every printable character but a leading space is taken, up to what the list shows beside a
// seven-digit score, after a caret; Backspace takes one back, Enter needs a name, and a new
// activation starts afresh. Characters XML escapes are written escaped and read back as typed.
TEST_F(cHOFTest, TheTypedNameGoesIntoTheSortedTableAndTheListFollows) {
    WriteHOF(
        " <entry name = \"High\" score = \"90\" />\n <entry name = \"Low\" score = \"5\" />\n");
    game.LoadHOF();
    EXPECT_EQ(Enter("\b"), "(nothing)");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOFENTER});
    EXPECT_EQ(Music(), 2);
    Type(WND_HOFENTER, "Q");
    iTime = iTime - iTime % 100;
    game.DoFrame();
    const int c = game.pGui->GetGuiElement(0)->w;
    EXPECT_EQ(getpixel(game.pBuffer, 120 + c + 5 + 8, 140 + c + 25), 0) << "the caret after Q";
    game.pGui->SetActiveWindows({WND_HOFENTER});
    Type(WND_HOFENTER, "\t\x7f\xe9", KEY_F1);
    Type(WND_HOFENTER, "\r", KEY_ENTER_PAD);
    EXPECT_EQ(Enter("  A l~x\b"), "A l~");
    EXPECT_EQ(game.HOF.vEntries[0].sName + game.HOF.vEntries[2].sName, "HighLow");
    EXPECT_EQ(game.pGui->vActive, (std::vector<int>{WND_HOF, WND_SCORE})) << "score beside it";
    EXPECT_EQ(Music(), 3);

    std::string sPrintable = "  ";
    for (char c = ' '; c <= '~'; ++c)
        sPrintable += c;
    const std::string sShown = sPrintable.substr(3, cHOF::kNameLength);
    EXPECT_EQ(Enter(sPrintable), sShown) << "every key of a burst is typed, up to the cap";
    EXPECT_LE(text_length(font, (sShown + ": 9999999").c_str()), 300 - 2 * 5 - 5);
    EXPECT_EQ(Enter("\"<&>'"), "\"<&>'");
    game.LoadHOF();
    EXPECT_EQ(game.HOF.vEntries[1].sName + game.HOF.vEntries[2].sName, "\"<&>'" + sShown)
        << "read back as typed, ahead of an equal";
    EXPECT_EQ(std::system("xmllint --noout HallOfFame.xml"), 0);
}

// A tie with the tenth gets in ahead of the older entry, and the table is saved at once, in the
// game's own format; an end at or just before the entry enters the name typed, or "Player".
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
    for (auto [sKeys, iScore, sFound, bFound] :
         {std::tuple{"Ann", 42, "\"Ann\" score = \"42\" />\n</", true},
          {"", 43, "\"Player\" score = \"43\"", true},
          {"Bo\x1b", 50, "Bo", false}}) {
        game.iCurrentScore = iScore;
        *sKeys ? game.pGui->SetActiveWindows({WND_HOFENTER}) : game.GameOver();
        Type(WND_HOFENTER, sKeys);
        std::string sWhy;
        ASSERT_TRUE(game.HOF.SaveBeforeExit(sWhy)) << sWhy;
        EXPECT_EQ(FileText("HallOfFame.xml").find(sFound) != std::string::npos, bFound) << iScore;
        game.GameOverScene.Stop();
    }
    EXPECT_EQ(game.pGui->vActive, (std::vector<int>{WND_HOF, WND_SCORE})) << "after Escape";
}

// Two games in one folder, each confirming its name after the other loaded the file: a save merges
// into what lies on disk, so both entries stay with their replays, and each list shows both. A
// replay goes when its entry leaves the ten. A name in the file that leads out of the folder, or
// an attribute the game does not know, is passed over.
TEST_F(cHOFTest, TwoGamesSavingInOneFolderKeepBothEntriesAndTheirReplays) {
    cHOF other;
    other.Load(0);
    game.LoadHOF();
    game.HOF.OfferReplay(42, "First's");
    Enter("First");
    other.OfferReplay(50, "Second's");
    other.Add({"Second", 50});
    ASSERT_TRUE(other.Save());
    ASSERT_EQ(other.vEntries.size(), 2u);
    for (const cHOFEntry& entry : other.vEntries) {
        EXPECT_EQ(FileText(other.ReplayFile(entry).c_str()), entry.sName + "'s");
        EXPECT_NE(FileText("HallOfFame.xml").find(entry.sName + "\" replay = \"" + entry.sReplay),
                  std::string::npos);
    }
    for (int i = 0; i < 10; ++i)
        game.HOF.Add({"High", 100});
    ASSERT_TRUE(game.HOF.Save());
    for (const cHOFEntry& entry : other.vEntries)
        EXPECT_FALSE(fs::exists(other.ReplayFile(entry))) << entry.sName;
    WriteHOF(" <entry name = \"Far\" score = \"9\" replay = \"../HallOfFame.xml\" />\n"
             " <entry colour = \"red\" name = \"Red\" score = \"8\" />\n");
    game.LoadHOF();
    ASSERT_EQ(game.HOF.vEntries.size(), 2u);
    EXPECT_EQ(game.HOF.vEntries[0].sReplay + game.HOF.vEntries[1].sName, "Red");
}

// Nothing the game did not write itself is replaced without a copy, readable by the player alone.
// Of a hundred older copies the newest nine stay beside it; one cut short by a killed save and
// one held twice go first.
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
        for (int i = 0; i < 100; ++i) {
            const std::string sCopy = "HallOfFame.xml.bak" + (i ? "." + std::to_string(i) : "");
            std::ofstream(sCopy) << (i == 50 ? Case.sFile.substr(0, 3)
                                             : "copy " + std::to_string(i + (i == 60)));
            fs::last_write_time(sCopy,
                                fs::file_time_type::clock::now() - std::chrono::hours(100 - i));
        }
        std::ofstream("HallOfFame.xml") << Case.sFile;
        game.LoadHOF();
        EXPECT_NE(Enter("Zed"), "(nothing)");
        EXPECT_NE(FileText("HallOfFame.xml").find("Zed"), std::string::npos);
        std::multiset<std::string> vCopies, vKept{Case.sFile};
        for (int i = 91; i < 100; ++i)
            vKept.insert("copy " + std::to_string(i));
        for (const auto& Entry : fs::directory_iterator("."))
            if (Entry.path().string().find(".bak") != std::string::npos) {
                const std::string sCopy = FileText(Entry.path().c_str());
                const bool bMine = fs::status(Entry).permissions() == fs::perms(0600);
                vCopies.insert(sCopy != Case.sFile || bMine ? sCopy : "readable by others");
                fs::remove(Entry);
            }
        EXPECT_TRUE(Case.bKept ? vCopies == vKept : vCopies.size() == 100) << Case.sFile;
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

// Whatever lies under the names of the file and its temporaries: only a regular file of at most
// 16 MB is read, nothing blocks or follows another user's link, a device is never replaced, a stale
// temporary is taken over, and a hand-edited file reads as XML reads it, with nothing invented.
TEST_F(cHOFTest, HostileFilesAreReadAndSavedSafely) {
    const struct {
        const char* sWhat;
        std::function<void()> Make;
        const char* sLoaded; // the entries read; why the load and the save of one more fail
        const char* sWhy;
    } aCases[] = {
        {"FIFO", [] { mkfifo("HallOfFame.xml", 0600); }, "", "not a regular file"},
        {"device",
         [] {
             mknod("zero", S_IFCHR | 0666, makedev(1, 5));
             fs::create_symlink("zero", "HallOfFame.xml");
         },
         "", "not a regular file"},
        {"large", [] { std::ofstream("HallOfFame.xml") << std::string(16 << 20 | 1, ' '); }, "",
         "larger than 16 MB"},
        {"foreign link",
         [] {
             fs::create_symlink((std::ofstream("real.xml") << "<HallOfFame >", "real.xml"),
                                "HallOfFame.xml");
             lchown("HallOfFame.xml", 65534, -1);
         },
         "", "a link of another user"},
        {"stale",
         [] {
             std::ofstream("HallOfFame.xml")
                 << "<HallOfFame><entry name='Al' score='7'/></HallOfFame>";
             mkfifo("HallOfFame.xml.bak.tmp", 0600);
             fs::create_directories("HallOfFame.xml.tmp/x");
         },
         "Al=7 ", ""},
        {"linked temporary",
         [] {
             fs::create_symlink((std::ofstream("kept") << "kept", "kept"), "HallOfFame.xml.tmp");
         },
         "", ""},
        {"hand-edited, own link",
         [] {
             fs::create_symlink("../own.xml", "HallOfFame.xml");
             WriteHOF(
                 " <!-- <entry name=\"Old\" score=\"99\"/>\n --><entry name='A \"b\"' score='7'/>\n"
                 "<entry name=\"Cy\"\n score=\"5\"/><entry name=\"123456789012345678901234567\" "
                 "score=\"1\"/><entry name=\"D\x01\xff\xc3\xa9&#65;\" score=\"0\"/>\n");
         },
         "A \"b\"=7 Cy=5 12345678901234567890123456=1 D??\xc3\xa9"
         "A=0 ",
         ""},
    };
    if (geteuid() != 0)
        GTEST_SKIP() << "devices and other users' links need root";
    for (const auto& Case : aCases) {
        fs::create_directory(Case.sWhat);
        fs::current_path(Case.sWhat);
        Case.Make();
        cHOF HOF;
        HOF.Load(0);
        std::string sLoaded;
        for (const cHOFEntry& entry : HOF.vEntries)
            sLoaded += entry.sName + "=" + std::to_string(entry.iScore) + " ";
        EXPECT_EQ(sLoaded, Case.sLoaded) << Case.sWhat;
        EXPECT_EQ(HOF.sError, *Case.sWhy ? std::string("Could not read: ") + Case.sWhy : "");
        HOF.Add({"New", 1});
        EXPECT_EQ(HOF.Save(), !*Case.sWhy) << Case.sWhat;
        EXPECT_EQ(HOF.sError, *Case.sWhy ? std::string("Could not save: ") + Case.sWhy : "");
        if (!*Case.sWhy) {
            EXPECT_EQ(std::system("xmllint --noout HallOfFame.xml"), 0) << Case.sWhat;
        }
        EXPECT_FALSE(fs::exists("zero") && !fs::is_character_file("zero")) << "the device stays";
        for (const auto& Entry : fs::directory_iterator("."))
            EXPECT_TRUE(fs::is_directory(Entry) ||
                        Entry.path().string().find(".tmp") == std::string::npos)
                << Case.sWhat << ": left by a save: " << Entry.path();
        fs::current_path("..");
    }
    EXPECT_NE(FileText("own.xml").find("New"), std::string::npos) << "a save through the link";
    EXPECT_TRUE(fs::is_symlink("hand-edited, own link/HallOfFame.xml"));
    EXPECT_EQ(FileText("linked temporary/kept"), "kept")
        << "a stale temporary's link is not followed";
}

// Leaving the list writes nothing when nothing was entered, nor does the end of the game for a
// score below the tenth: not the file's misreading, not a table cut to ten.
TEST_F(cHOFTest, ViewingNeverRewritesTheFile) {
    std::string sAscending = sHead;
    for (int i = 0; i < 12; ++i)
        sAscending += " <entry name = \"P\" score = \"" + std::to_string(i) + "\" />\n";
    sAscending += "</HallOfFame>\n";
    for (const std::string& sFile : {std::string("garbage"), sAscending}) {
        std::ofstream("HallOfFame.xml") << sFile;
        game.LoadHOF();
        game.pGui->SetActiveWindows({WND_HOF});
        Type(WND_HOF, "\x1b");
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_EQ(Music(), 4);
        EXPECT_EQ(FileText("HallOfFame.xml"), sFile);
    }
    std::string sWhy;
    game.HOF.AwaitName(1);
    EXPECT_TRUE(game.HOF.SaveBeforeExit(sWhy) && FileText("HallOfFame.xml") == sAscending);
}

// The list says why, at its foot, the old file stays whole, and the entry waits: the next list or
// game over, or leaving the list, tries once more.
TEST_F(cHOFTest, AFailedSaveIsShownAndTriedAgainOnLeaving) {
    const struct {
        const char* sFile; // a folder, a read-only file, a link to itself, or another game's lock
        const char* aLines[2];
    } aCases[] = {{"/", {"", "Could not save: Is a directory"}},
                  {"Al", {"", "Could not save: Permission denied"}},
                  {"HallOfFame.xml", {"Could not save:", "Too many levels of symbolic links"}},
                  {"lock", {"", "Not saved yet: another game is saving"}}};
    int iLock = -1;
    BITMAP* pClient = create_bitmap(330, 190);
    BITMAP* pExpected = create_bitmap(330, 190);
    for (const auto& Case : aCases) {
        if (Case.sFile == std::string("/")) {
            fs::create_directory("HallOfFame.xml");
        } else if (Case.sFile == std::string("lock")) {
            iLock = open(".", O_RDONLY);
            flock(iLock, LOCK_EX);
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
        // Rank, name and score in columns, the first row chosen: white on black.
        rectfill(pExpected, 2, 29, 327, 37, 0);
        textout_right_ex(pExpected, font, "1.", 29, 30, makecol(255, 255, 255), -1);
        textout_ex(pExpected, font, "Bo", 37, 30, makecol(255, 255, 255), -1);
        textout_right_ex(pExpected, font, "42", 325, 30, makecol(255, 255, 255), -1);
        if (!sOld.empty()) {
            textout_right_ex(pExpected, font, "2.", 29, 38, 0, -1);
            textout_ex(pExpected, font, "Al", 37, 38, 0, -1);
            textout_right_ex(pExpected, font, "7", 325, 38, 0, -1);
        }
        textout_ex(pExpected, font, "No replay of this game.", 5, 116, 0, -1);
        textout_ex(pExpected, font, Case.aLines[0], 5, 169, 0, -1);
        textout_ex(pExpected, font, Case.aLines[1], 5, 177, 0, -1);
        EXPECT_EQ(DifferentPixels(pClient, pExpected), 0) << game.HOF.sError;

        Type(WND_HOF, std::string(1, 0), KEY_DOWN);
        EXPECT_EQ(game.pGui->vActive, (std::vector<int>{WND_HOF, WND_SCORE}))
            << "other keys stay in the list";
        fs::remove_all("HallOfFame.xml");
        if (iLock >= 0) {
            close(iLock);
            iLock = -1;
            game.LoadHOF();
            EXPECT_TRUE(game.HOF.sError.empty() && !game.HOF.bChanged) << "saved at the next list";
        }
        Type(WND_HOF, " ");
        EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
        EXPECT_NE(FileText("HallOfFame.xml").find("Bo"), std::string::npos);
        fs::remove("HallOfFame.xml");
    }
    destroy_bitmap(pClient);
    destroy_bitmap(pExpected);
}

// A replay written for a save that then failed is not left behind unnamed; the retry writes it anew.
TEST_F(cHOFTest, AFailedSaveLeavesNoReplayBehind) {
    WriteHOF(" <entry name = \"Al\" score = \"7\" />\n");
    fs::permissions("HallOfFame.xml", fs::perms(0444));
    game.LoadHOF();
    game.HOF.OfferReplay(42, "Bo's");
    Enter("Bo");
    ASSERT_FALSE(game.HOF.sError.empty());
    for (const auto& file : fs::directory_iterator("."))
        EXPECT_NE(file.path().extension(), ".zgr") << file.path();
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
            Type(WND_HOFENTER, "x\r");
    }
    ASSERT_EQ(game.HOF.vEntries.size(), 1u);
    EXPECT_EQ(game.HOF.vEntries[0].sName, "x") << "a space pressed anew does not begin a name";
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
}
