#include <cmath>
#include <cstdlib>

#include "core/main.h"
#include "objects/cBullet.h"
#include "objects/cMonster.h"
#include "objects/cParticleEffect.h"
#include "objects/cPie.h"
#include "objects/cPowerup.h"
#include "support/GameTest.h"

namespace {

class cCombatTest : public cPlayingTest {
protected:
    // A bullet at (x, y) flying as the player's do, updated once.
    cBullet* Shoot(float x, float y) {
        cBullet* pBullet = Join(new cBullet, x, y);
        pBullet->SetVelocity(cVector(0, -4, 0));
        pBullet->Update(1, &game);
        return pBullet;
    }
};

// The first seed whose first rand() passes the test.
template <class tTest> unsigned FirstSeed(tTest bPasses) {
    unsigned iSeed = 1;
    for (srand(iSeed); !bPasses(rand()); srand(++iSeed)) {
    }
    return iSeed;
}

} // namespace

TEST_F(cCombatTest, ABulletHitMarksBothScoresAndExplodesWhereTheBulletWas) {
    cMonster* pHit = Join(new cMonster, 200, 100);
    cMonster* pMissed = Join(new cMonster, 400, 100);
    game.iCurrentScore = 10;
    cBullet* pBullet = Shoot(200, 123.9f);
    EXPECT_FALSE(Shoot(400, 124.0f)->bDelete || pMissed->bDelete);
    EXPECT_TRUE(pHit->bDelete && pBullet->bDelete);
    EXPECT_FLOAT_EQ(pBullet->GetPosition().y, 119.9f);
    ASSERT_EQ(Added<cParticleEffect>().size(), 1u);
    EXPECT_EQ(Added<cParticleEffect>()[0]->GetPosition().y, 123.9f);
    EXPECT_EQ(vSounds, std::vector<int>{0});
    EXPECT_EQ(game.GetScore(), 11);
    EXPECT_TRUE(Shoot(10, 2)->bDelete) << "past the top";
    EXPECT_FALSE(Shoot(10, 4)->bDelete);
}

TEST_F(cCombatTest, AMarkedMonsterIsHitAgainAndOnlyTheFirstInReachIsHit) {
    SetLevel(3);
    Join(new cPowerupSS, 200, 100);
    cMonster* pFirst = Join(new cMonster, 200, 100);
    cMonster* pSecond = Join(new cMonster, 201, 100);
    Shoot(200, 110);
    Shoot(200, 110);
    EXPECT_TRUE(pFirst->bDelete);
    EXPECT_FALSE(pSecond->bDelete);
    EXPECT_EQ(Added<cParticleEffect>().size(), 2u);
    EXPECT_EQ(vSounds, (std::vector<int>{0, 0}));
    EXPECT_EQ(game.GetScore(), 6);
}

// The explosion draws first: its count, then three numbers per particle; the drop roll comes next.
TEST_F(cCombatTest, PowerupsDropByTheLevelTable) {
    Join(new cMonster, 200, 100);
    for (int iLevel = 1; iLevel <= 6; ++iLevel) {
        SetLevel(iLevel);
        int aDrops[3] = {0, 0, 0};
        for (unsigned iSeed = 1; iSeed <= 100; ++iSeed) {
            srand(iSeed);
            for (int i = 3 * (5 + rand() % 20); i > 0; --i)
                rand();
            const int iPick = iLevel * (rand() % 10);
            srand(iSeed);
            Shoot(200, 110);
            const int iDrop =
                static_cast<int>(Added<cPowerupSC>().size() + 2 * Added<cPowerupSS>().size());
            EXPECT_EQ(iDrop, iPick <= 2 ? iPick : 0) << "level " << iLevel << " seed " << iSeed;
            if (iDrop > 0) {
                EXPECT_EQ(game.vNewObjects.back()->GetPosition().y, 110.0f);
            }
            ++aDrops[iDrop % 3];
            for (cGameObject* pObject : game.vNewObjects)
                delete pObject;
            game.vNewObjects.clear();
        }
        EXPECT_EQ(aDrops[1] > 0, iLevel == 1) << "super chargers at level " << iLevel;
        EXPECT_EQ(aDrops[2] > 0, iLevel <= 2) << "super speed at level " << iLevel;
    }
}

TEST_F(cCombatTest, AMonsterCirclesInPlaceAndGlidesDownToEachGrantedDepth) {
    cMonster* pMonster = Join(new cMonster, 106, 50);
    for (int i = 0; i < 50; ++i)
        pMonster->Update(2, &game);
    EXPECT_EQ(pMonster->GetPosition().y, 50.0f) << "nothing granted yet";
    EXPECT_NEAR(pMonster->vOffset.x, 10 * std::cos(-3.0), 1e-3);
    EXPECT_NEAR(pMonster->vOffset.y, 10 * std::sin(-3.0), 1e-3);

    iTime += 300;
    pMonster->Update(1, &game);
    EXPECT_EQ(pMonster->vTarget.y, 61.0f);
    EXPECT_FLOAT_EQ(pMonster->GetPosition().y, 50.7625f);
    for (int i = 0; i < 30; ++i)
        pMonster->Update(1, &game);
    EXPECT_NEAR(pMonster->GetPosition().y, 61.4375, 1e-4) << "15 glides, then past the target";
    iTime += 300;
    pMonster->Update(1, &game);
    EXPECT_NEAR(pMonster->GetPosition().y, 61.4375 + 122 / 80.0, 1e-4);
    EXPECT_EQ(pMonster->GetPosition().x, 106.0f);
}

TEST_F(cCombatTest, MonstersDropPiesFromTheirRightSideMoreOftenAtHigherLevels) {
    const unsigned iSeedBoth = FirstSeed([](int iRoll) { return iRoll % 980 == 1; });
    const unsigned iSeedAtSix =
        FirstSeed([](int iRoll) { return iRoll % 880 == 1 && iRoll % 980 != 1; });
    cMonster* pMonster = Join(new cMonster, 200, 100);
    pMonster->SetBitmap(3);
    srand(iSeedAtSix);
    pMonster->Update(1, &game);
    EXPECT_TRUE(Added<cPie>().empty());
    srand(iSeedBoth);
    pMonster->Update(1, &game);
    ASSERT_EQ(Added<cPie>().size(), 1u);
    EXPECT_EQ(Added<cPie>()[0]->GetPosition().x, 200.0f + Sprite(3)->w / 2);
    EXPECT_EQ(Added<cPie>()[0]->GetPosition().y, 100.0f + Sprite(3)->h / 2);
    SetLevel(6);
    srand(iSeedAtSix);
    pMonster->Update(1, &game);
    EXPECT_EQ(Added<cPie>().size(), 2u);
}

TEST_F(cCombatTest, AMonsterEndsTheGameAtTheShipOrLeavingPastTheBottom) {
    cMonster* pLow = Join(new cMonster, 50, 480);
    pLow->Update(1, &game);
    EXPECT_FALSE(pLow->bDelete || GameIsOver());
    pLow->SetPosition(cVector(50, 480.1f, 0));
    pLow->Update(1, &game);
    EXPECT_TRUE(pLow->bDelete && GameIsOver());

    game.Play();
    cMonster* pLanded = Join(new cMonster, 320, 479);
    pLanded->Update(1, &game);
    EXPECT_TRUE(GameIsOver());
    EXPECT_FALSE(pLanded->bDelete);
}
