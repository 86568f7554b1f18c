#include <allegro.h>

#include <allegro/internal/aintern.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "core/Credits.h"
#include "core/cCloseRequests.h"
#include "core/cCommandLine.h"
#include "core/cScreen.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "support/Files.h"
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
    bool FrameDue(int iSteps) {
        sCalls += std::to_string(iSteps);
        return true;
    }
};

} // namespace

// Every due step runs, even after a quit, then one frame; with none due the pass waits.
TEST(MainLoop, RunsEveryDueStepBeforeOneFrameAndOtherwiseWaits) {
    cRecordingGame game;
    game.iQuitAtStep = 1;
    iGameTimer = 3;
    RunPass(game);
    EXPECT_EQ(game.sCalls, "UIUIUI3F");
    EXPECT_TRUE(iGameTimer == 0 && !game.bRunning);
    CloseButton();
    RunPass(game);
    bCloseRequested = false;
    EXPECT_EQ(game.sCalls, "UIUIUI3F");
}

// Frames follow the display's refresh, at most one per pass, never in a burst after a slow one.
TEST(MainLoop, FramesComeNoFasterThanTheDisplayRefreshes) {
    for (auto [iRefresh, iFrames] : {std::pair{60, 60}, {75, 75}, {50, 50}, {144, 120}}) {
        cScreen view;
        view.iRefresh = iRefresh;
        int iShown = 0;
        for (int i = 0; i < kLogicRate; ++i)
            iShown += view.FrameDue(1);
        EXPECT_EQ(iShown, iFrames) << iRefresh << " Hz";
    }
    cScreen view;
    EXPECT_TRUE(view.FrameDue(10) && view.FrameDue(1) && !view.FrameDue(1));
}

// F11 and Alt+Enter toggle once a press and stay out of the key buffer, Enter's repeats too.
TEST(MainLoop, TheViewKeysToggleOncePerPressAndStayOutOfTheKeyBuffer) {
    const int R = 0x80; // a release
    const struct {
        std::vector<int> vEvents;
        int iToggles;
        bool bEnterPasses; // afterwards
    } aCases[] = {
        {{KEY_F11, KEY_F11, KEY_F11 | R, KEY_F11, KEY_F11 | R}, 2, true},
        {{KEY_ALT, KEY_ENTER, KEY_ENTER}, 1, false},
        {{KEY_ALT, KEY_ENTER, KEY_ALT | R, KEY_ENTER}, 1, false},
        {{KEY_ALTGR, KEY_ENTER, KEY_ENTER | R, KEY_ALTGR | R, KEY_ENTER}, 1, true},
        {{KEY_ENTER, KEY_ALT, KEY_ENTER}, 0, true},
    };
    for (const auto& Case : aCases) {
        int iToggles = 0;
        for (int iEvent : Case.vEvents) {
            key[iEvent & ~R] = !(iEvent & R);
            ScreenKeyEvent(iEvent);
            iToggles += bToggleRequested.exchange(false);
        }
        EXPECT_EQ(iToggles, Case.iToggles) << Case.vEvents.size();
        EXPECT_EQ(ScreenKeyFilter(KEY_ENTER << 8) != 0, Case.bEnterPasses) << Case.vEvents.size();
        EXPECT_EQ(ScreenKeyFilter(KEY_F11 << 8), 0);
        EXPECT_EQ(ScreenKeyFilter(KEY_A << 8 | 'a'), KEY_A << 8 | 'a');
        for (int iKey : {KEY_F11, KEY_ENTER, KEY_ALT, KEY_ALTGR}) {
            key[iKey] = 0;
            ScreenKeyEvent(iKey | R);
        }
    }
}

// A lost display saves a score awaiting its name, with its replay, and ends the process at once.
TEST(CloseRequests, ALostDisplaySavesFirst) {
    const cScratchFolder Scratch;
    const pid_t iChild = fork();
    if (iChild == 0) {
        cHOF HOF;
        HOF.Add({"Bo", 7});
        HOF.AwaitName(42);
        HOF.OfferReplay(42, "replay");
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
    EXPECT_EQ(FileText(HOF.ReplayFile(HOF.vEntries[0])), "replay") << "with its replay";
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
        {{"--replay", GAME_DATA_DIR "/demo.zgr", "--scale", "2"}, true, 0, 2, ""},
        {{"--replay", "gone.zgr"}, false, 1, 0, "zenith-guard: gone.zgr: no such file\n"},
        {{"--replay", "/"}, false, 1, 0, "zenith-guard: /: Is a directory\n"},
        {{"--replay"}, false, 2, 0, "--replay needs the name of a replay file"},
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
        EXPECT_EQ(line.sReplay.empty(), !(Case.bStart && Case.vArguments.size() > 2)) << sCase;
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
        EXPECT_EQ(IntroOver(1000, false), bOver) << iNow;
    }
    key[KEY_ESC] = 0;
}

// Carriage returns are not drawn; the text rises a row a tenth of a second until past or skipped.
TEST_F(cScreensTest, TheCreditsScrollTheTextOfTheFileUnderThePicture) {
    cGameInstance game;
    game.pBitmaps = new cBitmapDatabase;
    game.pBitmaps->vBitmaps.push_back(new cBitmap);
    game.pBitmaps->vBitmaps[0]->SetId(kBitmapEmblem);
    game.pBitmaps->vBitmaps[0]->SetBitmap(create_bitmap(150, 20));
    clear_to_color(game.pBitmaps->GetBitmap(kBitmapEmblem), makecol(255, 0, 0));
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
        EXPECT_EQ(CreditsOver(iOffset, 174, false), bOver) << iOffset << " " << iKey;
        key[iKey] = 0;
    }
}

// The start fills every table and sizes the window to fit the desktop, saying why when it is less.
TEST(GameStart, FillsEveryTableAndSizesTheWindow) {
    ASSERT_TRUE(StartDisplay());
    const cScratchFolder Scratch;
    std::filesystem::create_directory_symlink(GAME_DATA_DIR, "data");
    for (auto [iScale, iChosen, sNote] : {std::tuple{0, 0, ""},
                                          {2, 3, ": --scale 2 makes"},
                                          {0, 2, ": scale = 2 in the settings makes"}}) {
        allegro_exit();
        cGameInstance game;
        game.iScale = iScale;
        game.Settings.iScale = iChosen;
        game.Settings.iEffectsVolume = 20;
        testing::internal::CaptureStderr();
        ASSERT_EQ(game.InitSystem(640, 480), 1);
        const std::string sTold = testing::internal::GetCapturedStderr();
        EXPECT_EQ(sTold.empty(), *sNote == '\0') << sTold;
        EXPECT_NE(sTold.find(sNote), std::string::npos) << sTold;
        EXPECT_EQ(game.iScale, 1);
        EXPECT_TRUE(SCREEN_W == 640 && SCREEN_H == 480);
        EXPECT_TRUE(game.pBuffer->w == 640 && game.pBuffer->h == 480 && game.pGui->pElements);
        EXPECT_EQ(game.pBitmaps->vBitmaps.size() + game.pSounds->vSounds.size() +
                      game.pMidis->vMidis.size(),
                  11u + 4 + 5);
        EXPECT_EQ(game.pSounds->iVolume, cSettings::Volume(20)) << "the effects as loud as set";
    }
    allegro_exit();
}

// A window enlarged as asked when it fits the desktop, else as far as it does, with a word why.
TEST(ScreenScale, FitsTheDesktopInWholeSquaresAndSaysWhyNot) {
    const struct {
        int iAsked, iDesktopWidth, iDesktopHeight, iScale;
        std::string sNote; // a part of the note, "" for none
    } aCases[] = {
        {0, 1920, 1080, 2, ""},
        {0, 2560, 1440, 3, ""},
        {0, 640, 480, 1, ""},
        {3, 2560, 1440, 3, ""},
        {2, 0, 0, 2, ""},
        {2, 0, 1080, 2, ""},
        {3, 1920, 1080, 2, "--scale 3 makes a window of 1920x1440, larger than the 1920x1080"},
        {4, 2560, 1440, 3, "scale = 4 in allegro.cfg makes a window of 2560x1920"},
        {0, 1366, 768, 1, "the 1366x768 screen has no room for the game enlarged (1280x960)"},
    };
    for (const auto& Case : aCases) {
        std::string sNote;
        const int iScale =
            cScreen::FitScale(Case.iAsked,
                              Case.iAsked == 4 ? "scale = 4 in allegro.cfg"
                                               : "--scale " + std::to_string(Case.iAsked),
                              640, 480, Case.iDesktopWidth, Case.iDesktopHeight, sNote);
        EXPECT_EQ(iScale, Case.iScale) << Case.iDesktopWidth;
        EXPECT_EQ(sNote.empty(), Case.sNote.empty()) << sNote;
        EXPECT_NE(sNote.find(Case.sNote), std::string::npos) << sNote;
    }
}

namespace {

// What Allegro's X port shows of a 16-bit screen at the given depth, converted by its blitter.
BITMAP* AsShownAt(BITMAP* p16, int iDepth) {
    if (iDepth == 16)
        return p16;
    BITMAP* pShown = create_bitmap_ex(iDepth, p16->w, p16->h);
    GRAPHICS_RECT in{p16->w, p16->h, int(p16->line[1] - p16->line[0]), p16->line[0]};
    GRAPHICS_RECT out{p16->w, p16->h, int(pShown->line[1] - pShown->line[0]), pShown->line[0]};
    COLORCONV_BLITTER_FUNC* pBlit = _get_colorconv_blitter(16, iDepth);
    pBlit(&in, &out);
    _release_colorconv_blitter(pBlit);
    destroy_bitmap(p16);
    return pShown;
}

int DifferentRows(BITMAP* pA, BITMAP* pB) {
    int iDifferent = 0;
    for (int y = 0; y < pA->h; ++y)
        iDifferent += std::memcmp(pA->line[y], pB->line[y],
                                  pA->w * BYTES_PER_PIXEL(bitmap_color_depth(pA))) != 0;
    return iDifferent;
}

} // namespace

// The frame reaches the screen as a 16-bit screen shows it, at any depth and scale; a second frame
// rewrites only the rows that changed, except where the screen holds the frame itself.
TEST_F(cScreensTest, FramesReachTheScreenAsThe16BitScreenShowedThem) {
    BITMAP* pFrame = create_bitmap_ex(16, 640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            reinterpret_cast<uint16_t*>(pFrame->line[y])[x] = (y * 640 + x) & 0xFFFF;
    const struct {
        int iDepth, iScale;
        bool bDirect;
    } aCases[] = {{16, 1, true}, {16, 2, true}, {16, 3, false}, {16, 1, false}, {24, 1, true},
                  {24, 3, true}, {32, 1, true}, {32, 2, true},  {32, 3, true}};
    for (const auto& Case : aCases) {
        const int s = Case.iScale;
        cScreen view;
        view.iScale = s;
        view.iLeft = 5;
        view.iTop = 3;
        view.bDirect = Case.bDirect;
        BITMAP* pTarget = create_bitmap_ex(Case.iDepth, 640 * s + 10, 480 * s + 6);
        clear_to_color(pTarget, 0);
        const auto Expected = [&] {
            BITMAP* p16 = create_bitmap_ex(16, pTarget->w, pTarget->h);
            clear_to_color(p16, 0);
            stretch_blit(pFrame, p16, 0, 0, 640, 480, 5, 3, 640 * s, 480 * s);
            return AsShownAt(p16, Case.iDepth);
        };
        view.ShowOn(pFrame, pTarget);
        BITMAP* pExpected = Expected();
        EXPECT_EQ(DifferentRows(pTarget, pExpected), 0) << Case.iDepth << " bits, scale " << s;
        destroy_bitmap(pExpected);

        putpixel(pTarget, 5, 3, 1);
        putpixel(pFrame, 7, 100, 0);
        view.ShowOn(pFrame, pTarget);
        pExpected = Expected();
        putpixel(pFrame, 7, 100, 100 * 640 + 7);
        const bool bHeld = Case.iDepth == 16 && s == 1;
        EXPECT_EQ(DifferentRows(pTarget, pExpected), bHeld ? 0 : 1)
            << Case.iDepth << " bits, scale " << s;
        destroy_bitmap(pTarget);
        destroy_bitmap(pExpected);
    }
    destroy_bitmap(pFrame);
}
