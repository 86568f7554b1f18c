#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "core/Credits.h"
#include "core/cCloseRequests.h"
#include "core/cCommandLine.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "support/GameTest.h"

namespace {

// Stands in for the game instance and records the order of the calls the loop makes.
struct cRecordingGame {
    std::string sCalls;
    int iQuitAtStep = -1;
    bool bRunning = true;

    void Update() {
        sCalls += 'U';
        bRunning = --iQuitAtStep != 0 && bRunning;
    }
    void DoInput() { sCalls += 'I'; }
    void DoFrame() { sCalls += 'F'; }
};

} // namespace

// Every due step runs, even after a quit, then one frame; with no step due the pass waits, here
// until the close button wakes it, and draws nothing.
TEST(MainLoop, RunsEveryDueStepBeforeOneFrameAndOtherwiseWaits) {
    cRecordingGame game;
    game.iQuitAtStep = 1;
    iGameTimer = 3;
    RunPass(game);
    EXPECT_EQ(game.sCalls, "UIUIUIF");
    EXPECT_TRUE(iGameTimer == 0 && !game.bRunning);
    CloseButton();
    RunPass(game);
    bCloseRequested = false;
    EXPECT_EQ(game.sCalls, "UIUIUIF");
}

// A lost display saves what waits, a score awaiting its name under a default one, and ends the
// process at once.
TEST(CloseRequests, ALostDisplaySavesFirst) {
    char sFolder[] = "/tmp/zenith-close-XXXXXX";
    std::filesystem::current_path(mkdtemp(sFolder));
    const pid_t iChild = fork();
    if (iChild == 0) {
        cHOF HOF;
        HOF.Add({"Bo", 7});
        HOF.AwaitName(42);
        const cCloseRequests requests(&HOF);
        cCloseRequests::LeaveWithoutDisplay();
    }
    int iStatus = 0;
    waitpid(iChild, &iStatus, 0);
    EXPECT_TRUE(WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 1) << iStatus;
    cHOF HOF;
    HOF.Load(0);
    ASSERT_EQ(HOF.vEntries.size(), 2u);
    EXPECT_EQ(HOF.vEntries[0].sName + HOF.vEntries[1].sName, "PlayerBo");
    std::filesystem::current_path("/");
    std::filesystem::remove_all(sFolder);
}

// What the program writes goes to the output when it exits with 0, to the errors otherwise.
TEST(CommandLine, AnswersOrStartsAsAsked) {
    const std::string sFolder = std::filesystem::current_path().string();
    const struct {
        std::vector<const char*> vArguments;
        bool bStart;
        int iExitStatus, iScale;
        std::string sText; // a part of what is written, "" for nothing
    } aCases[] = {
        {{}, true, 0, 0, ""},
        {{"--scale", "3"}, true, 0, 3, ""},
        {{"--help"}, false, 0, 0, "Files, in " + sFolder + ":\n"},
        {{"--version"}, false, 0, 0, "zenith-guard " ZENITH_VERSION "\n"},
        {{"--helpme"}, false, 2, 0, "zenith-guard: unknown option '--helpme'\n"},
        {{"level3"}, false, 2, 0, "unexpected argument 'level3'"},
        {{"--scale", "9"}, false, 2, 0, "--scale needs a whole number from 1 to 8, not '9'"},
        {{"--scale", "2x"}, false, 2, 0, "not '2x'"},
        {{"--scale"}, false, 2, 0, "not ''"},
    };
    for (const auto& Case : aCases) {
        std::vector<const char*> vArgv{"zenith-guard"};
        vArgv.insert(vArgv.end(), Case.vArguments.begin(), Case.vArguments.end());
        std::ostringstream out, err;
        cCommandLine line;
        const std::string sCase = vArgv.size() > 1 ? vArgv[1] : "(none)";
        EXPECT_EQ(line.Parse(int(vArgv.size()), vArgv.data(), out, err), Case.bStart) << sCase;
        EXPECT_EQ(line.iExitStatus, Case.iExitStatus) << sCase;
        EXPECT_EQ(line.iScale, Case.iScale) << sCase;
        const std::string sWritten = (Case.iExitStatus == 0 ? out : err).str();
        EXPECT_EQ((Case.iExitStatus == 0 ? err : out).str(), "") << sCase;
        EXPECT_EQ(sWritten.empty(), Case.sText.empty()) << sCase << ": " << sWritten;
        EXPECT_NE(sWritten.find(Case.sText), std::string::npos) << sCase << ": " << sWritten;
    }
}

class cScreensTest : public cAllegroTest {};

TEST_F(cScreensTest, TheIntroEndsAfterFiveSecondsOrOnEscape) {
    for (auto [iNow, iEscape, bOver] :
         {std::tuple{1499, 0, false}, {1500, 0, true}, {1000, 1, true}}) {
        iTime = iNow;
        key[KEY_ESC] = iEscape;
        EXPECT_EQ(IntroOver(1000), bOver) << iNow;
    }
    key[KEY_ESC] = 0;
}

// A carriage return left by another system is not drawn, and without the file the picture shows
// alone. The text rises a row every tenth of a second until it has gone by, or Escape or Space is
// held.
TEST_F(cScreensTest, TheCreditsScrollTheTextOfTheFileUnderThePicture) {
    cGameInstance game;
    game.pBitmaps = new cBitmapDatabase;
    game.pBitmaps->vBitmaps.push_back(new cBitmap);
    game.pBitmaps->vBitmaps[0]->SetId(12);
    game.pBitmaps->vBitmaps[0]->SetBitmap(create_bitmap(150, 20));
    clear_to_color(game.pBitmaps->GetBitmap(12), makecol(255, 0, 0));
    // The scroll ends when the last line that shows, or else the picture, has gone off the top.
    const std::pair<const char*, int> aTexts[] = {
        {"HH\n\nH\n", 150 + 3 * 8}, {"HH\r\n\r\nH\r\n \r\n\r\n", 150 + 3 * 8}, {nullptr, 30 + 20}};
    std::vector<BITMAP*> vShown;
    for (auto [sText, iExpectedEnd] : aTexts) {
        if (sText)
            std::ofstream("credits-test.txt") << sText;
        int iEnd = 0;
        vShown.push_back(CreateCreditsBitmap(&game, 640, "credits-test.txt", iEnd));
        EXPECT_EQ(iEnd, iExpectedEnd) << (sText ? sText : "no file");
        std::remove("credits-test.txt");
    }
    EXPECT_EQ(DifferentPixels(vShown[0], vShown[1]), 0);
    int iWhite = 0;
    for (int y = 0; y < vShown[0]->h; ++y)
        for (int x = 0; x < vShown[0]->w; ++x)
            iWhite += getpixel(vShown[0], x, y) == makecol(255, 255, 255);
    EXPECT_GT(iWhite, 0);
    EXPECT_EQ(DifferentPixels(vShown[0], vShown[2]), iWhite) << "the text, in white";
    EXPECT_EQ(getpixel(vShown[2], 320, 40), makecol(255, 0, 0));
    for (BITMAP* pShown : vShown)
        destroy_bitmap(pShown);

    int iStart = 100;
    for (auto [iNow, iFrom, iOffset, iStarted] :
         {std::tuple{109, 0, 0, 100}, {110, 0, 1, 110}, {145, 1, 4, 145}}) {
        iTime = iNow;
        EXPECT_EQ(ScrollCredits(iStart, iFrom), iOffset) << iNow;
        EXPECT_EQ(iStart, iStarted) << iNow;
    }
    for (auto [iOffset, iKey, bOver] : {std::tuple{173, 0, false},
                                        {174, 0, true},
                                        {177, 0, true},
                                        {0, KEY_SPACE, true},
                                        {0, KEY_ESC, true}}) {
        key[iKey] = iKey != 0;
        EXPECT_EQ(CreditsOver(iOffset, 174), bOver) << iOffset << " " << iKey;
        key[iKey] = 0;
    }
}

// The start as the game makes it, in a folder holding data/: every table filled and the window as
// large as asked, else as the settings choose, else as fits the desktop. The starts that fail are
// tested end to end.
TEST(GameStart, FillsEveryTableAndSizesTheWindow) {
    ASSERT_TRUE(StartDisplay());
    const std::filesystem::path Old = std::filesystem::current_path();
    char sFolder[] = "/tmp/zenith-start-XXXXXX";
    std::filesystem::current_path(mkdtemp(sFolder));
    std::filesystem::create_directory_symlink(GAME_DATA_DIR, "data");
    for (auto [iScale, iChosen, iShown] : {std::tuple{0, 0, 1}, {2, 3, 2}, {0, 2, 2}}) {
        allegro_exit();
        cGameInstance game;
        game.iScale = iScale;
        game.Settings.iScale = iChosen;
        ASSERT_EQ(game.InitSystem(640, 480), 1);
        EXPECT_EQ(game.iScale, iShown);
        EXPECT_TRUE(SCREEN_W == 640 * game.iScale && SCREEN_H == 480 * game.iScale);
        EXPECT_TRUE(game.pBuffer->w == 640 && game.pBuffer->h == 480 && game.pGui->pElements);
        EXPECT_EQ(game.pBitmaps->vBitmaps.size() + game.pSounds->vSounds.size() +
                      game.pMidis->vMidis.size(),
                  11u + 4 + 5);
    }
    allegro_exit();
    std::filesystem::current_path(Old);
    std::filesystem::remove_all(sFolder);
}
