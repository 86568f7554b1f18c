#include <climits>
#include <typeinfo>

#include "objects/cMonster.h"
#include "objects/cPlayerShip.h"
#include "support/GameTest.h"

namespace {

// An object of the field that counts its destructions.
class cCounted : public cGameObject {
public:
    ~cCounted() override { ++iDestroyed; }
    static int iDestroyed;
};
int cCounted::iDestroyed = 0;

// Looks like a monster to a dynamic cast, but is not one by its exact class.
class cMonsterLike : public cMonster {};

class cGameFlowTest : public cGameTest {
protected:
    // One logic step of a running game.
    void PlayStep() {
        game.Play();
        game.Update();
    }
    template <class tObject> tObject* Place(tObject* pObject, float x, float y) {
        pObject->SetPosition(cVector(x, y, 0));
        game.AddObject(pObject);
        return pObject;
    }
    int Waiting(const std::type_info& type) const {
        int iCount = 0;
        for (cGameObject* pObject : game.vNewObjects)
            iCount += typeid(*pObject) == type;
        return iCount;
    }
};

} // namespace

TEST_F(cGameFlowTest, ANewGameLeavesTheShipAlonePausedUnderTheMenu) {
    ASSERT_EQ(game.vObjects.size(), 1u);
    cGameObject* pShip = game.vObjects[0];
    EXPECT_EQ(typeid(*pShip), typeid(cPlayerShip));
    EXPECT_EQ(pShip->GetPosition().x, 320);
    EXPECT_EQ(pShip->GetPosition().y, 386);
    EXPECT_TRUE(game.vNewObjects.empty());
    EXPECT_FALSE(game.IsPlaying());
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_EQ(game.GetLevel(), 1);
    EXPECT_EQ(game.GetScore(), 0);
    EXPECT_EQ(Music(), 4);

    // The next game keeps the ship and drops everything else, waiting objects included.
    Place(new cMonster, 100, 100);
    PlayStep();
    cCounted::iDestroyed = 0;
    Place(new cCounted, 10, 10);
    game.iCurrentScore = 9;
    game.NewGame();
    EXPECT_EQ(cCounted::iDestroyed, 1);
    ASSERT_EQ(game.vObjects.size(), 1u);
    EXPECT_EQ(game.vObjects[0], pShip);
    EXPECT_EQ(game.GetScore(), 0);
}

TEST_F(cGameFlowTest, ObjectsJoinAtTheNextPlayingStepAndThePurgeKeepsTheirOrder) {
    cCounted* aObjects[4];
    int iLastId = game.iNextId - 1;
    for (cCounted*& pObject : aObjects) {
        pObject = Place(new cCounted, 0, 0);
        EXPECT_EQ(pObject->Id(), ++iLastId);
    }
    EXPECT_EQ(game.GetObject(aObjects[0]->Id()), nullptr) << "still waiting";
    game.Update();
    EXPECT_EQ(game.GetObject(aObjects[0]->Id()), nullptr) << "a paused game merges nothing";
    PlayStep();
    EXPECT_EQ(game.GetObject(aObjects[0]->Id()), aObjects[0]);

    cCounted::iDestroyed = 0;
    aObjects[1]->Delete();
    aObjects[2]->Delete();
    EXPECT_EQ(game.GetObject(aObjects[1]->Id()), aObjects[1]) << "marked but not yet purged";
    PlayStep();
    EXPECT_EQ(cCounted::iDestroyed, 2);
    ASSERT_EQ(game.vObjects.size(), 3u);
    EXPECT_EQ(game.vObjects[1], aObjects[0]);
    EXPECT_EQ(game.vObjects[2], aObjects[3]);
}

TEST_F(cGameFlowTest, CollisionsAndCountsGoByTheExactClass) {
    cGameObject* pProbe = Place(new cCounted, 200, 200);
    Place(new cMonsterLike, 200, 200);
    PlayStep();
    const char* sMonster = typeid(cMonster).name();
    EXPECT_EQ(game.DoCollide(pProbe, sMonster), nullptr);
    EXPECT_EQ(game.NumMonsters(), 0);

    cMonster* pMonster = Place(new cMonster, 210, 200);
    PlayStep();
    EXPECT_EQ(game.DoCollide(pProbe, sMonster), pMonster);
    EXPECT_EQ(game.DoCollide(nullptr, sMonster), nullptr);
    EXPECT_EQ(game.NumMonsters(), 1);
}

TEST_F(cGameFlowTest, TheClassListsFollowTheJoinsThePurgeAndANewGame) {
    const char* sMonster = typeid(cMonster).name();
    cMonster* pFirst = Place(new cMonster, 320, 380);
    cMonster* pSecond = Place(new cMonster, 321, 380);
    EXPECT_EQ(game.DoCollide(pShip, sMonster), nullptr) << "still waiting";
    PlayStep();
    EXPECT_EQ(game.DoCollide(pShip, sMonster), pFirst);
    pFirst->Delete();
    PlayStep();
    EXPECT_EQ(game.DoCollide(pShip, sMonster), pSecond);
    EXPECT_EQ(game.NumMonsters(), 1);

    game.NewGame();
    EXPECT_EQ(game.DoCollide(pShip, sMonster), nullptr);
    EXPECT_EQ(game.NumMonsters(), 0);
    Place(new cMonster, 320, 380);
    PlayStep();
    game.DeleteObjects();
    EXPECT_EQ(game.NumMonsters(), 0);
}

// Waves and monster steps come when whole seconds pass the level's period: 3 s at levels 1 and 2,
// 2 s at 3 and 4, 1 s at 5 and 6.
TEST_F(cGameFlowTest, LevelsFollowTheMonstersCreatedAndSetThePace) {
    const int aFirstMonster[] = {0, 40, 100, 300, 500, 1000};
    const int aPeriod[] = {300, 300, 200, 200, 100, 100};
    for (int iLevel = 1; iLevel <= 6; ++iLevel) {
        game.NewGame();
        const int iFirst = aFirstMonster[iLevel - 1];
        game.iMonstersSpawned = iFirst - 1;
        EXPECT_EQ(game.GetLevel(), iLevel == 1 ? 1 : iLevel - 1) << iFirst - 1 << " monsters";
        game.iMonstersSpawned = iFirst;
        EXPECT_EQ(game.GetLevel(), iLevel) << iFirst << " monsters";

        iTime += aPeriod[iLevel - 1] - 1;
        PlayStep();
        EXPECT_EQ(Waiting(typeid(cMonster)), 0) << "level " << iLevel << ": too early";
        EXPECT_EQ(game.DoMove(), 0) << "level " << iLevel << ": too early";
        iTime += 1;
        PlayStep();
        EXPECT_EQ(Waiting(typeid(cMonster)), 4) << "level " << iLevel << ": one tick later";
        EXPECT_EQ(game.iMonstersSpawned, iFirst + 4);
        EXPECT_EQ(game.iLastWaveTime, iTime);
        EXPECT_EQ(game.DoMove(), 60 + iLevel) << "level " << iLevel;
    }
    game.iMonstersSpawned = 5000;
    EXPECT_EQ(game.GetLevel(), 6);
    // A kill scores the level as last computed.
    game.iMonstersSpawned = 40;
    game.CalcLevel();
    game.iMonstersSpawned = 100;
    game.Kill();
    EXPECT_EQ(game.GetScore(), 2);
}

TEST_F(cGameFlowTest, EveryMonsterGetsOneStepPerPeriod) {
    for (int i = 0; i < 5; ++i)
        Place(new cMonster, 100, 100);
    PlayStep();
    SetLevel(6);
    game.iLastMoveTime = iTime - 100;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(game.DoMove(), 66);
    EXPECT_NE(game.iLastMoveTime, iTime) << "the period goes on until all five had their step";
    EXPECT_EQ(game.DoMove(), 66);
    EXPECT_EQ(game.iLastMoveTime, iTime);
    EXPECT_EQ(game.DoMove(), 0);
}

TEST_F(cGameFlowTest, EscapeOrASwitchAwayPausesIntoTheMenuAndTheStepGoesOn) {
    Place(new cCounted, 0, 0);
    key[KEY_ESC] = 1;
    PlayStep();
    key[KEY_ESC] = 0;
    EXPECT_FALSE(game.IsPlaying());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_MAINMENU});
    EXPECT_EQ(game.vObjects.size(), 2u) << "the step still merged";

    bFocusLost = true;
    PlayStep();
    EXPECT_FALSE(game.IsPlaying());

    // A switch made while paused is forgotten once a step has seen it.
    bFocusLost = true;
    game.Update();
    PlayStep();
    EXPECT_TRUE(game.IsPlaying());
}

TEST_F(cGameFlowTest, AScoreQualifiesWhileTheTableHasRoomOrWhenItReachesTheTenth) {
    std::string sNine;
    for (int i = 0; i < 9; ++i)
        sNine += " <entry name = \"Ace\" score = \"99\" />\n";
    // Scores 0 to 11 in ascending order: the best ten are 11 down to 2.
    std::string sTwelve;
    for (int i = 0; i < 12; ++i)
        sTwelve += " <entry name = \"P" + std::to_string(i) + "\" score = \"" + std::to_string(i) +
                   "\" />\n";
    const struct {
        const char* sCase;
        bool bFile;
        std::string sEntries;
        int iScore;
        bool bQualifies;
    } aCases[] = {
        {"no file", false, "", 0, true},
        {"no entries", true, "", 0, true},
        {"nine higher", true, sNine, 0, true},
        {"below the tenth", true, sTwelve, 1, false},
        {"equal to the tenth", true, sTwelve, 2, true},
    };
    for (const auto& Case : aCases) {
        if (Case.bFile)
            WriteHOF(Case.sEntries);
        game.iCurrentScore = Case.iScore;
        EXPECT_EQ(game.LoadHOF(), Case.bQualifies) << Case.sCase;
    }
    ASSERT_EQ(game.HOF.vEntries.size(), 10u) << "a second load replaces the first";
    EXPECT_EQ(game.HOF.vEntries[0].sName, "P11");
    EXPECT_EQ(game.HOF.vEntries[9].iScore, 2);
}

TEST_F(cGameFlowTest, ScoresReadLikeAtoiButNeverOverflow) {
    WriteHOF(" <entry name = \"A\" score = \"99999999999\" />\n"
             " <entry name = \"B\" score = \"-99999999999\" />\n"
             " <entry name = \"C\" score = \" 12abc\" />\n"
             " <entry />\n");
    game.LoadHOF();
    ASSERT_EQ(game.HOF.vEntries.size(), 4u);
    EXPECT_EQ(game.HOF.vEntries[0].iScore, INT_MAX);
    EXPECT_EQ(game.HOF.vEntries[1].iScore, 12);
    EXPECT_EQ(game.HOF.vEntries[2].iScore, 0);
    EXPECT_EQ(game.HOF.vEntries[2].sName, "");
    EXPECT_EQ(game.HOF.vEntries[3].iScore, INT_MIN);
}

TEST_F(cGameFlowTest, GameOverShowsTheEntryOnlyForAQualifyingScore) {
    game.Play();
    game.GameOver();
    EXPECT_FALSE(game.IsPlaying());
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOFENTER}) << "an empty table has room";
    EXPECT_EQ(Music(), 2);

    std::string sTen;
    for (int i = 0; i < 10; ++i)
        sTen += " <entry name = \"Bo\" score = \"1\" />\n";
    WriteHOF(sTen);
    game.Play();
    game.GameOver();
    EXPECT_EQ(game.pGui->vActive, std::vector<int>{WND_HOF});
    EXPECT_EQ(Music(), 3);
}

TEST(cGameInstanceTest, ObjectsStillWaitingToJoinAreDestroyedWithTheGame) {
    cCounted::iDestroyed = 0;
    {
        cGameInstance game;
        game.AddObject(new cCounted);
    }
    EXPECT_EQ(cCounted::iDestroyed, 1);
}
