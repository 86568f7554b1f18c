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

#include "support/Files.h"
#include "support/GameTest.h"

namespace fs = std::filesystem;

namespace {

const std::string sHead = "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n";
const std::string sTen = cGameTest::Entries(10, 51, -1, "T"); // T0 to T9, scoring 51 down to 42

class cHOFTest : public cGameTest {
protected:
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

// Printable characters but a leading space, up to what the list shows beside a seven-digit score;
// Backspace takes one back, Enter needs a name; what XML escapes reads back as typed.
TEST_F(cHOFTest, TheTypedNameGoesIntoTheSortedTableAndTheListFollows) {
    WriteHOF(
        " <entry name = \"High\" score = \"90\" />\n <entry name = \"Low\" score = \"5\" />\n");
    game.LoadHOF();
    EXPECT_EQ(Enter("\b"), "(nothing)");
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOFENTER});
    EXPECT_EQ(Music(), kMidiNameEntry);
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
    EXPECT_EQ(Music(), kMidiHallOfFame);

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

// A tie with the tenth gets in, saved at once; an exit at the entry saves the name typed or
// "Player".
TEST_F(cHOFTest, TheNameIsSavedAtOnceAndATieWithTheTenthKeepsIt) {
    WriteHOF(sTen);
    game.iCurrentScore = 42;
    ASSERT_TRUE(game.LoadHOF());
    Enter("Zed");
    ASSERT_EQ(game.HOF.vEntries.size(), 10u) << "the list shows only the ten saved";
    EXPECT_EQ(game.HOF.vEntries[9].sName, "Zed");
    EXPECT_EQ(FileText("HallOfFame.xml"),
              sHead + sTen.substr(0, sTen.find(" <entry name = \"T9\"")) +
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

// A save merges into what another game saved meanwhile, replays included; a replay goes with its
// entry; a replay name leading out of the folder, or an unknown attribute, is passed over.
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
        EXPECT_EQ(FileText(other.ReplayFile(entry)), entry.sName + "'s");
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

// A file the game did not write is copied, for the player alone, before it is replaced; of older
// copies the newest nine stay, a cut or doubled one goes first.
TEST_F(cHOFTest, AFileTheGameDidNotWriteIsKeptBesideIt) {
    const struct {
        std::string sFile;
        bool bKept;
    } aCases[] = {
        {sHead + sTen + "</HallOfFame>\n", false},
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
                const std::string sCopy = FileText(Entry.path());
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

// Only a regular file of at most 16 MB is read, and nothing blocks, follows another user's link or
// replaces a device; a stale temporary is taken over; a hand-edited file reads as XML reads it.
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
                 "score=\"1\"/><entry name=\"D\x01\xff&#65;\xf4\x8f\xbf\xbf\xc3\xa9\" "
                 "score=\"0\"/>\n");
         },
         "A \"b\"=7 Cy=5 12345678901234567890123456=1 D??A\xf4\x8f\xbf\xbf\xc3\xa9=0 ", ""},
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

// Leaving the list, or exiting with a score below the tenth, never rewrites the file.
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
        EXPECT_EQ(Music(), kMidiMenu);
        EXPECT_EQ(FileText("HallOfFame.xml"), sFile);
    }
    std::string sWhy;
    game.HOF.AwaitName(1);
    EXPECT_TRUE(game.HOF.SaveBeforeExit(sWhy) && FileText("HallOfFame.xml") == sAscending);
}

// The list says why at its foot, the old file stays whole, and the next list or leaving it retries.
TEST_F(cHOFTest, AFailedSaveIsShownAndTriedAgainOnLeaving) {
    const struct {
        // A folder, a read-only file, a link to itself or into no folder, or another game's lock.
        const char* sFile;
        const char* aLines[2];
    } aCases[] = {{"Al", {"", "Could not save: Permission denied"}},
                  {"/", {"", "Could not save: Is a directory"}},
                  {"HallOfFame.xml", {"Could not save:", "Too many levels of symbolic links"}},
                  {"gone/HallOfFame.xml", {"Could not save:", "No such file or directory"}},
                  {"lock", {"", "Not saved yet: another game is saving"}}};
    int iLock = -1;
    const int iWhite = makecol(255, 255, 255);
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

        tBitmap pClient = Cleared(330, 190, iWhite), pExpected = Cleared(330, 190, iWhite);
        game.pGui->SendMessage(WND_HOF, MSG_DRAW, pClient.get(), nullptr);
        rectfill(pExpected.get(), 2, 29, 327, 37, 0); // the first row chosen: white on black
        for (auto [sRank, sName, sScore, y, iColor] :
             {std::tuple{"1.", "Bo", "42", 30, iWhite},
              {"2.", sOld.empty() ? "" : "Al", "7", 38, 0}})
            if (*sName) {
                textout_right_ex(pExpected.get(), font, sRank, 29, y, iColor, -1);
                textout_ex(pExpected.get(), font, sName, 37, y, iColor, -1);
                textout_right_ex(pExpected.get(), font, sScore, 325, y, iColor, -1);
            }
        for (auto [sLine, y] : {std::pair{"Hall of fame, press space to", 5},
                                {"return to the main menu.", 12},
                                {"No replay of this game.", 116},
                                {Case.aLines[0], 169},
                                {Case.aLines[1], 177}})
            textout_ex(pExpected.get(), font, sLine, 5, y, 0, -1);
        EXPECT_EQ(DifferentPixels(pClient.get(), pExpected.get()), 0) << game.HOF.sError;

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
}

// A replay written for a save that then failed is not left behind unnamed.
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

// A pad picks letters with Up and Down from A on, both ways round, adds, takes back and enters.
TEST_F(cHOFTest, APadSpellsTheNameFromTheFirstLetterEachTime) {
    game.iCurrentScore = 42;
    for (int iRound = 0; iRound < 2; ++iRound) {
        game.pGui->SetActiveWindows({WND_HOFENTER});
        for (int iAction : {kDown, kFire, kUp, kUp, kUp, kUp, kFire, kUp, kFire, kBack, kPause})
            game.pGui->SendMessage(WND_HOFENTER, MSG_KEY, MsgArg(0), MsgArg(ActionBit(iAction)));
        EXPECT_EQ(game.pGui->vActive, (std::vector<int>{WND_HOF, WND_SCORE}));
    }
    ASSERT_EQ(game.HOF.vEntries.size(), 2u);
    EXPECT_EQ(game.HOF.vEntries[0].sName + game.HOF.vEntries[1].sName, "9D9D");
}

// Why the chosen game cannot be watched shows until another row is chosen.
TEST_F(cHOFTest, TheHintFollowsTheChosenRow) {
    WriteHOF(" <entry name = \"Gone\" score = \"9\" replay = \"replay-1.zgr\" />\n"
             " <entry name = \"Red\" score = \"8\" />\n");
    game.LoadHOF();
    game.pGui->SetActiveWindows({WND_HOF});
    const int iWhite = makecol(255, 255, 255);
    for (auto [iKey, sHint] : {std::pair{KEY_UP, "Up, Down, Enter: watch a game."},
                               {KEY_ENTER, "No replay: no such file"},
                               {KEY_DOWN, "No replay of this game."},
                               {KEY_UP, "Up, Down, Enter: watch a game."}}) {
        Type(WND_HOF, iKey == KEY_ENTER ? "\r" : std::string(1, 0), iKey);
        tBitmap pClient = Cleared(330, 190, iWhite), pShown = Cleared(330, 8, iWhite),
                pExpected = Cleared(330, 8, iWhite);
        game.pGui->SendMessage(WND_HOF, MSG_DRAW, pClient.get(), nullptr);
        blit(pClient.get(), pShown.get(), 0, 116, 0, 0, 330, 8);
        textout_ex(pExpected.get(), font, sHint, 5, 0, 0, -1);
        EXPECT_EQ(DifferentPixels(pShown.get(), pExpected.get()), 0) << sHint;
    }
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
}

// Space held from play into the screen, its repeats and a tap of Down are ignored; a new press not.
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
