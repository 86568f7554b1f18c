#include <climits>

#include "objects/cMonster.h"
#include "support/GameTest.h"

namespace {

// An object of the field that counts its destructions.
class cCounted : public cGameObject {
public:
    ~cCounted() override { ++iDestroyed; }
    static inline int iDestroyed = 0;
};

// A monster to a dynamic cast, but not by its exact class.
class cMonsterLike : public cMonster {};

const char* const sMonster = typeid(cMonster).name();

// Paints the upper half of the field black.
class cCover : public cGameObject {
    void OnDraw(BITMAP* pTarget, cGameInstance*) override { rectfill(pTarget, 0, 0, 639, 239, 0); }
};

} // namespace

TEST_F(cGameTest, ANewGameLeavesTheShipAlonePausedUnderTheMenu) {
    cCounted::iDestroyed = 0;
    Join(new cCounted, 0, 0);
    game.AddObject(new cCounted);
    game.iCurrentScore = 9;
    game.iMonstersSpawned = 400;
    pShip->AddSuperspeed();
    pShip->SetPosition(cVector(40, 386, 0));
    game.pGui->SetActiveWindows({WND_HOF});
    game.Play();
    game.NewGame();
    EXPECT_EQ(cCounted::iDestroyed, 2) << "objects in play and waiting alike";
    EXPECT_EQ(game.vObjects, std::vector<cGameObject*>{pShip});
    EXPECT_TRUE(game.vNewObjects.empty() && game.Running() && !game.IsPlaying());
    EXPECT_EQ(pShip->GetPosition().x, 320) << "back in the middle";
    EXPECT_EQ(pShip->GetPosition().y, 386);
    EXPECT_TRUE(game.GetScore() == 0 && game.iCurrentLevel == 1 && pShip->SS() == 0);
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_EQ(mSent.at(WND_SCORE), std::make_pair(0, 1)) << "the panel learns of the new game";
    EXPECT_EQ(mSent.at(WND_MAINMENU).first, 0) << "a game not yet played is not to be resumed";
    EXPECT_EQ(Music(), kMidiMenu);
    {
        cGameInstance other;
        other.AddObject(new cCounted);
    }
    EXPECT_EQ(cCounted::iDestroyed, 3) << "a game destroys the objects still waiting to join";
}

TEST_F(cGameTest, ObjectsJoinAtTheNextPlayingStepAndLeaveAtThePurge) {
    cCounted::iDestroyed = 0;
    std::vector<cGameObject*> vAdded;
    const int iFirstId = game.iNextId;
    for (int i = 0; i < 4; ++i) {
        vAdded.push_back(new cCounted);
        EXPECT_EQ(game.AddObject(vAdded.back()), iFirstId + i);
    }
    game.Update();
    EXPECT_EQ(game.GetObject(iFirstId), nullptr) << "a paused game merges nothing";
    game.Play();
    game.Update();
    EXPECT_EQ(game.GetObject(iFirstId + 3), vAdded[3]);
    vAdded[1]->Delete();
    vAdded[2]->Delete();
    EXPECT_EQ(game.GetObject(iFirstId + 1), vAdded[1]) << "marked, not yet purged";
    game.Update();
    EXPECT_EQ(cCounted::iDestroyed, 2);
    EXPECT_EQ(game.vObjects, (std::vector<cGameObject*>{pShip, vAdded[0], vAdded[3]}));
}

TEST_F(cGameTest, CollisionsAndCountsGoByTheExactClassInListOrder) {
    cGameObject* pProbe = Join(new cCounted, 200, 200);
    Join(new cMonsterLike, 200, 200);
    EXPECT_EQ(game.DoCollide(pProbe, sMonster), nullptr);
    EXPECT_EQ(game.NumMonsters(), 0);
    Join(new cMonster, 300, 200);
    cMonster* pFirst = Join(new cMonster, 210, 200);
    cMonster* pSecond = Join(new cMonster, 201, 200);
    EXPECT_EQ(game.DoCollide(pProbe, sMonster), pFirst);
    EXPECT_EQ(game.DoCollide(nullptr, sMonster), nullptr);
    EXPECT_EQ(game.NumMonsters(), 3);
    pFirst->Delete();
    game.Play();
    game.Update();
    EXPECT_EQ(game.DoCollide(pProbe, sMonster), pSecond);
    EXPECT_EQ(game.NumMonsters(), 2);
    game.NewGame();
    EXPECT_EQ(game.NumMonsters(), 0);
}

// Waves and monster steps come each level's period (3, 3, 2, 2, 1, 1 s), a wave at each point.
TEST_F(cGameTest, LevelsFollowTheMonstersCreatedAndSetThePace) {
    const int aFirstMonster[] = {0, 40, 100, 300, 500, 1000};
    const int aPeriod[] = {300, 300, 200, 200, 100, 100};
    for (int iLevel = 1; iLevel <= 6; ++iLevel) {
        game.NewGame();
        const int iFirst = aFirstMonster[iLevel - 1];
        game.iMonstersSpawned = iFirst - 1;
        EXPECT_EQ(game.GetLevel(), std::max(1, iLevel - 1));
        game.iMonstersSpawned = iFirst;
        EXPECT_EQ(game.GetLevel(), iLevel);
        iTime += aPeriod[iLevel - 1] - 1;
        game.Play();
        game.Update();
        EXPECT_TRUE(Added<cMonster>().empty() && game.DoMove() == 0) << "level " << iLevel;
        iTime += 1;
        srand(iLevel);
        game.Update();
        srand(iLevel);
        ASSERT_EQ(Added<cMonster>().size(), 4u) << "level " << iLevel;
        for (int i = 0; i < 4; ++i) {
            const cMonster* pMonster = Added<cMonster>()[i];
            EXPECT_EQ(pMonster->GetPosition().x, 106 + 128 * i);
            EXPECT_EQ(pMonster->GetPosition().y + pMonster->GetPosition().z, 50);
            EXPECT_EQ(pMonster->iBitmap, rand() % 200 < 50 ? 9 : 3);
        }
        EXPECT_EQ(game.iMonstersSpawned, iFirst + 4);
        EXPECT_EQ(game.iLastWaveTime, iTime);
        EXPECT_EQ(game.DoMove(), 60 + iLevel) << "level " << iLevel;
        EXPECT_FALSE(game.Banner.Showing(iTime)) << "level " << iLevel << " was reached before";
    }
    // The wave that reaches a level tells it in yellow, over the play field, for 1.5 seconds.
    game.iMonstersSpawned = 36;
    game.pGui->SetActiveWindows({});
    iTime += 300;
    game.Update();
    EXPECT_EQ(game.Banner.Text(), "Level 2");
    for (auto [iTicks, bShown] : {std::pair{149, true}, {1, false}}) {
        iTime += iTicks;
        game.DoFrame();
        EXPECT_EQ(PixelsOf(game.pBuffer, makecol(255, 255, 0)) > 100, bShown) << iTicks;
    }
    game.iMonstersSpawned = 40;
    game.CalcLevel();
    game.iMonstersSpawned = 100;
    game.iCurrentScore = 0;
    game.Kill();
    EXPECT_EQ(game.GetScore(), 2) << "a kill scores the level as last computed";
}

TEST_F(cGameTest, EveryMonsterGetsOneStepPerPeriod) {
    for (int i = 0; i < 5; ++i)
        Join(new cMonster, 100, 100);
    SetLevel(6);
    game.iLastMoveTime = iTime;
    for (int iPeriod = 1; iPeriod <= 2; ++iPeriod) {
        iTime += 100;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(game.DoMove(), 66) << "period " << iPeriod;
        EXPECT_NE(game.iLastMoveTime, iTime) << "the period goes on until all five had their step";
        EXPECT_EQ(game.DoMove(), 66);
        EXPECT_EQ(game.iLastMoveTime, iTime);
        EXPECT_EQ(game.DoMove(), 0);
    }
}

TEST_F(cGameTest, EscapeOrASwitchAwayPausesIntoTheMenuAndTheStepGoesOn) {
    game.iCurrentScore = 7;
    Join(new cMonster, 0, 0);
    game.AddObject(new cCounted);
    key[KEY_ESC] = 1;
    game.Play();
    game.Update();
    key[KEY_ESC] = 0;
    EXPECT_FALSE(game.IsPlaying());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_EQ(mSent.at(WND_MAINMENU).first, 1) << "the menu offers to resume";
    EXPECT_EQ(mSent.at(WND_SCORE), std::make_pair(7, 1));
    EXPECT_EQ(game.vObjects.size(), 3u) << "the step still merged";
    EXPECT_NE(static_cast<cMonster*>(game.vObjects[1])->vOffset.x, 0) << "and updated";

    bFocusLost = true;
    game.Play();
    game.Update();
    EXPECT_FALSE(game.IsPlaying());
    bFocusLost = true;
    game.Update();
    game.Play();
    game.Update();
    EXPECT_TRUE(game.IsPlaying()) << "a switch made while paused is forgotten";
}

// The table keeps the best ten, equals in file order; scores read like atoi, without overflowing.
TEST_F(cGameTest, TheHallOfFameKeepsTheBestTenAndAScoreQualifiesForIt) {
    EXPECT_TRUE(game.LoadHOF()) << "no file";
    const struct {
        std::string sEntries;
        int iScore;
        bool bQualifies;
    } aCases[] = {
        {"", 0, true},
        {Entries(9, 99, 0), 0, true},
        {Entries(12, 0, 1), 1, false},
        {Entries(12, 0, 1), 2, true},
    };
    for (const auto& Case : aCases) {
        WriteHOF(Case.sEntries);
        game.iCurrentScore = Case.iScore;
        EXPECT_EQ(game.LoadHOF(), Case.bQualifies) << Case.sEntries << Case.iScore;
    }
    ASSERT_EQ(game.HOF.vEntries.size(), 10u);
    EXPECT_EQ(game.HOF.vEntries[0].sName + game.HOF.vEntries[9].sName, "P11P2");

    WriteHOF(
        " <entry name = \"A\" score = \"99999999999\" />\n <entry score = \" 12abc\" />\n"
        " <entry name = \"B\" score = \"-99999999999\" />\n <x name = \"C\" score = \"12\" />\n"
        " <entry />\n");
    game.LoadHOF();
    std::string sRead;
    for (const cHOFEntry& entry : game.HOF.vEntries)
        sRead += entry.sName + "=" + std::to_string(entry.iScore) + " ";
    EXPECT_EQ(sRead,
              "A=" + std::to_string(INT_MAX) + " =12 C=12 =0 B=" + std::to_string(INT_MIN) + " ");
}

// One bang, no music, "Game over" for two seconds; then the name entry for a place, else the list.
TEST_F(cGameTest, GameOverShowsTheShipBurstingThenTheNameEntryOnlyForAQualifyingScore) {
    BITMAP* pShipAlone = create_bitmap(640, 480);
    for (bool bFull : {false, true}) {
        WriteHOF(bFull ? Entries(10, 10, 0) : "");
        game.NewGame();
        game.pGui->SetActiveWindows({WND_ENERGYBAR, WND_SCORE, WND_POWERUP});
        mSent.clear();
        vSounds.clear();
        game.Play();
        game.iCurrentScore = 7;
        const int yShip = static_cast<int>(pShip->GetPosition().y);
        game.GameOver();
        game.GameOver();
        clear_to_color(pShipAlone, 0);
        game.GameOverScene.Draw(pShipAlone, &game);
        rectfill(pShipAlone, 0, 0, 639, yShip - 1, 0);
        EXPECT_LT(PixelsOf(pShipAlone, 0), 640 * 480) << "the sparks fly from the ship's picture";
        EXPECT_FALSE(game.IsPlaying());
        EXPECT_EQ(mSent.at(WND_MAINMENU).first, 0) << "nothing left to resume";
        EXPECT_EQ(mSent.at(WND_SCORE), std::make_pair(7, 1));
        EXPECT_EQ(vSounds, std::vector<int>{kSoundShipExplosion});
        EXPECT_EQ(Music(), 0);
        clear_to_color(pShipAlone, 0);
        pShip->Draw(pShipAlone, &game);
        EXPECT_EQ(PixelsOf(pShipAlone, 0), 640 * 480) << "the ship is gone";
        for (auto [iTicks, bOver] : {std::pair{199, false}, {1, true}}) {
            iTime += iTicks;
            game.DoFrame();
            EXPECT_EQ(PixelsOf(game.pBuffer, makecol(255, 255, 0)) > 200, !bOver) << iTicks;
            game.Update();
            const std::vector<int> vHOF = {bFull ? WND_HOF : WND_HOFENTER, WND_SCORE};
            EXPECT_EQ(game.pGui->vActive, bOver ? vHOF : std::vector<int>{WND_SCORE});
        }
        EXPECT_EQ(mSent.count(WND_HOFENTER), bFull ? 0u : 1u);
        EXPECT_EQ(Music(), bFull ? kMidiHallOfFame : kMidiNameEntry);
        std::remove("HallOfFame.xml");
        std::string sWhy;
        game.HOF.SaveBeforeExit(sWhy);
        EXPECT_EQ(std::remove("HallOfFame.xml") == 0, !bFull) << "only a score with a place waits";
    }
    destroy_bitmap(pShipAlone);
}

// The intro draws its three pictures into the frame and shows it; Escape held ends it at once.
TEST_F(cGameTest, TheIntroShowsItsPicturesUntilEscape) {
    BITMAP* pExpected = create_bitmap(640, 480);
    draw_sprite(pExpected, Sprite(kBitmapIntro), 0, 0);
    draw_sprite(pExpected, Sprite(kBitmapIntroBase), 0, 352);
    draw_sprite(pExpected, Sprite(kBitmapEmblem), 480, 400);
    key[KEY_ESC] = 1;
    Intro(&game);
    EXPECT_EQ(DifferentPixels(game.pBuffer, pExpected) + DifferentPixels(screen, pExpected), 0);
    destroy_bitmap(pExpected);
}

// The stars lie behind the objects, move four times a second of play and leave rand() alone.
TEST_F(cGameTest, TheStarsDriftBehindTheObjectsFourTimesASecondOfPlay) {
    srand(5);
    game.Starfield.Build(640, 480);
    const int iFirst = rand();
    srand(5);
    EXPECT_EQ(rand(), iFirst);
    game.Play();
    game.DoFrame();
    BITMAP* pFirst = create_bitmap(640, 480);
    blit(game.pBuffer, pFirst, 0, 0, 0, 0, 640, 480);
    for (auto [iTicks, bPlaying, bMoved] :
         {std::tuple{24, true, false}, {100, false, false}, {1, true, true}}) {
        iTime += iTicks;
        bPlaying ? game.Play() : game.Pause();
        game.DoFrame();
        EXPECT_EQ(DifferentPixels(game.pBuffer, pFirst) > 0, bMoved) << iTicks;
    }
    // Above the menu, only stars are drawn.
    BITMAP* pSky = create_sub_bitmap(game.pBuffer, 0, 0, 640, 140);
    BITMAP* pBlack = create_bitmap(640, 140);
    clear_to_color(pBlack, 0);
    EXPECT_GT(DifferentPixels(pSky, pBlack), 20);
    Join(new cCover, 0, 0);
    game.DoFrame();
    EXPECT_EQ(DifferentPixels(pSky, pBlack), 0) << "the stars are covered";
    destroy_bitmap(pSky);
    destroy_bitmap(pFirst);
    destroy_bitmap(pBlack);
}
