#include <cmath>

#include "objects/cBullet.h"
#include "objects/cMonster.h"
#include "objects/cParticleEffect.h"
#include "objects/cPie.h"
#include "objects/cPlayer.h"
#include "objects/cPowerup.h"
#include "support/GameTest.h"

namespace {

// The first seed whose first rand() passes the test.
template <class tTest> unsigned FirstSeed(tTest bPasses) {
    unsigned iSeed = 1;
    for (srand(iSeed); !bPasses(rand()); srand(++iSeed)) {
    }
    return iSeed;
}

// Pixels where the object's drawing differs from the sprite's drawn with its top-left corner at
// (x, y), or from nothing when there is no sprite.
int Misdrawn(cGameInstance& game, cGameObject* pObject, BITMAP* pSprite, int x, int y) {
    tBitmap pDrawn = Cleared(640, 480, makecol(255, 0, 255));
    tBitmap pExpected = Cleared(640, 480, makecol(255, 0, 255));
    pObject->Draw(pDrawn.get(), &game);
    if (pSprite)
        draw_sprite(pExpected.get(), pSprite, x, y);
    return DifferentPixels(pDrawn.get(), pExpected.get());
}

} // namespace

TEST_F(cPlayingTest, EnergyRechargesToTheLevelsCapTwiceAsFastWithTheSuperCharger) {
    game.Pause();
    Input(50);
    EXPECT_EQ(mSent.at(WND_ENERGYBAR), std::make_pair(50, 80)) << "paused, it grows and is shown";
    Input(100);
    EXPECT_EQ(mSent.at(WND_ENERGYBAR).first, 80);
    SetLevel(2);
    Input(1000);
    EXPECT_EQ(mSent.at(WND_ENERGYBAR), std::make_pair(160, 160));
    EXPECT_EQ(pShip->SC(), 0);

    game.pPlayer->iEnergy = 0;
    game.Play();
    pShip->iSupercharger = 300;
    pShip->AddSupercharger();
    Input(3);
    EXPECT_EQ(pShip->SC(), 997);
    EXPECT_EQ(mSent.at(WND_ENERGYBAR).first, 6);
    pShip->iSupercharger = 1;
    Input(2);
    EXPECT_EQ(mSent.at(WND_ENERGYBAR).first, 8)
        << "the step that empties the charge runs without it";
    EXPECT_EQ(pShip->SC(), 0);
}

TEST_F(cPlayingTest, HeldFireShootsInABurstThenEveryTwentyTicksButNeverWhilePaused) {
    Input(100);
    key[KEY_SPACE] = 1;
    game.Pause();
    Input(10);
    EXPECT_TRUE(Added<cBullet>().empty() && vSounds.empty());
    EXPECT_EQ(mSent.at(WND_ENERGYBAR).first, 80);
    game.Play();
    std::vector<int> vShotTimes;
    for (int iTick = 0; iTick <= 100; ++iTick) {
        const std::size_t iBefore = game.vNewObjects.size();
        Input(iTick == 0 ? 0 : 1);
        if (game.vNewObjects.size() > iBefore)
            vShotTimes.push_back(iTick);
    }
    EXPECT_EQ(vShotTimes, (std::vector<int>{0, 8, 16, 24, 32, 40, 60, 80, 100}));
    EXPECT_EQ(vSounds, std::vector<int>(9, kSoundShot));
    const cBullet* pBullet = Added<cBullet>().at(0);
    EXPECT_EQ(pBullet->iBitmap, 2);
    EXPECT_EQ(pBullet->GetPosition().y, 480.0f - (Sprite(kBitmapBullet)->h + 64));
    EXPECT_EQ(pBullet->vVelocity.y, -4.0f);
}

TEST_F(cPlayingTest, TheShipMovesOnlyWhilePlayingAndStopsAtTheEdges) {
    Input(100);
    key[KEY_LEFT] = key[KEY_SPACE] = 1;
    Input(2);
    EXPECT_EQ(pShip->GetPosition().x, 310.0f);
    EXPECT_EQ(Added<cBullet>().at(0)->GetPosition().x, 320.0f - Sprite(kBitmapBullet)->w / 2)
        << "a shot leaves from where the ship stood before the step";
    key[KEY_SPACE] = 0;
    key[KEY_RIGHT] = 1;
    Input(3);
    EXPECT_EQ(pShip->GetPosition().x, 310.0f);
    key[KEY_LEFT] = 0;
    pShip->AddSuperspeed();
    Input(2);
    EXPECT_EQ(pShip->GetPosition().x, 325.0f);
    game.Pause();
    Input(10);
    EXPECT_EQ(pShip->GetPosition().x, 325.0f);
    EXPECT_EQ(pShip->SS(), 998) << "charges drain only while playing";
    game.Play();
    Input(100);
    EXPECT_EQ(pShip->GetPosition().x, 640.0f - Sprite(kBitmapShip)->w);
    Input(1);
    EXPECT_EQ(pShip->GetPosition().x, 640.0f - Sprite(kBitmapShip)->w) << "held at the stop";
    key[KEY_RIGHT] = 0;
    key[KEY_LEFT] = 1;
    Input(200);
    EXPECT_EQ(pShip->GetPosition().x, 0.0f);
    EXPECT_EQ(pShip->GetPosition().y, 386.0f);
}

TEST_F(cPlayingTest, ABulletHitsTheFirstMonsterInReachAgainUntilThePurge) {
    SetLevel(3);
    Join(new cPowerupSS, 200, 100);
    cMonster* pHit = Join(new cMonster, 200, 100);
    cMonster* pOther = Join(new cMonster, 201, 100);
    cMonster* pMissed = Join(new cMonster, 400, 100);
    game.iCurrentScore = 10;
    const auto Shoot = [&](float x, float y) {
        cBullet* pBullet = Join(new cBullet, x, y);
        pBullet->SetVelocity(cVector(0, -4, 0));
        pBullet->Update(1, &game);
        return pBullet;
    };
    cBullet* pBullet = Shoot(200, 123.9f);
    EXPECT_TRUE(pHit->bDelete && pBullet->bDelete && !pOther->bDelete);
    EXPECT_FLOAT_EQ(pBullet->GetPosition().y, 119.9f);
    EXPECT_FALSE(Shoot(400, 124.0f)->bDelete || pMissed->bDelete);
    Shoot(200, 110);
    ASSERT_EQ(Added<cParticleEffect>().size(), 2u);
    EXPECT_EQ(Added<cParticleEffect>()[0]->GetPosition().y, 123.9f) << "where the bullet was";
    EXPECT_EQ(Added<cParticleEffect>()[0]->GetPosition().x, 200.0f);
    EXPECT_FALSE(Added<cParticleEffect>()[0]->Particles.empty());
    EXPECT_EQ(vSounds, (std::vector<int>{kSoundImpact, kSoundImpact}));
    EXPECT_EQ(game.GetScore(), 16);
    EXPECT_TRUE(Shoot(10, 2)->bDelete) << "past the top";
    EXPECT_FALSE(Shoot(10, 4)->bDelete);
}

// The explosion draws first: its count, then three numbers per particle; the drop roll comes next.
TEST_F(cPlayingTest, PowerupsDropByTheLevelTable) {
    Join(new cMonster, 200, 100);
    for (int iLevel = 1; iLevel <= 3; ++iLevel) {
        SetLevel(iLevel);
        int aDrops[3] = {0, 0, 0};
        for (unsigned iSeed = 1; iSeed <= 60; ++iSeed) {
            srand(iSeed);
            for (int i = 3 * (5 + rand() % 20); i > 0; --i)
                rand();
            const int iPick = iLevel * (rand() % 10);
            srand(iSeed);
            cBullet* pBullet = Join(new cBullet, 200, 110);
            pBullet->Update(1, &game);
            const int iDrop =
                static_cast<int>(Added<cPowerupSC>().size() + 2 * Added<cPowerupSS>().size());
            EXPECT_EQ(iDrop, iPick <= 2 ? iPick : 0) << "level " << iLevel << " seed " << iSeed;
            if (iDrop > 0) {
                EXPECT_EQ(game.vNewObjects.back()->GetPosition().y, 110.0f);
            }
            ++aDrops[iDrop];
            for (cGameObject* pObject : game.vNewObjects)
                delete pObject;
            game.vNewObjects.clear();
        }
        EXPECT_EQ(aDrops[1] > 0, iLevel == 1) << "super chargers at level " << iLevel;
        EXPECT_EQ(aDrops[2] > 0, iLevel <= 2) << "super speed at level " << iLevel;
    }
}

TEST_F(cPlayingTest, AMonsterCirclesInPlaceAndGlidesDownToEachGrantedDepth) {
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

TEST_F(cPlayingTest, MonstersDropPiesFromTheirRightSideMoreOftenAtHigherLevels) {
    const unsigned iSeedBoth = FirstSeed([](int iRoll) { return iRoll % 980 == 1; });
    const unsigned iSeedAtSix =
        FirstSeed([](int iRoll) { return iRoll % 880 == 1 && iRoll % 980 != 1; });
    cMonster* pMonster = Join(new cMonster, 200, 100);
    pMonster->SetBitmap(kBitmapMonster);
    srand(iSeedAtSix);
    pMonster->Update(1, &game);
    EXPECT_TRUE(Added<cPie>().empty());
    srand(iSeedBoth);
    pMonster->Update(1, &game);
    ASSERT_EQ(Added<cPie>().size(), 1u);
    EXPECT_EQ(Added<cPie>()[0]->GetPosition().x, 200.0f + Sprite(kBitmapMonster)->w / 2);
    EXPECT_EQ(Added<cPie>()[0]->GetPosition().y, 100.0f + Sprite(kBitmapMonster)->h / 2);
    SetLevel(6);
    srand(iSeedAtSix);
    pMonster->Update(1, &game);
    EXPECT_EQ(Added<cPie>().size(), 2u);
}

// Monsters end the game at the ship or the bottom, pies on the ship; what falls leaves past it.
TEST_F(cPlayingTest, WhatFallsEndsTheGameOrFeedsTheShip) {
    const struct {
        cGameObject* pObject;
        float x, y;
        bool bEnds, bDeleted;
    } aCases[] = {
        {new cMonster, 50, 480, false, false},
        {new cMonster, 50, 480.1f, true, true},
        {new cMonster, 320, 479, true, false},
        {new cPie, 320, 479, true, true},
    };
    for (const auto& Case : aCases) {
        game.Play();
        Join(Case.pObject, Case.x, Case.y)->Update(1, &game);
        EXPECT_EQ(GameIsOver(), Case.bEnds) << typeid(*Case.pObject).name() << " at " << Case.y;
        EXPECT_EQ(Case.pObject->bDelete, Case.bDeleted) << typeid(*Case.pObject).name();
    }
    EXPECT_FLOAT_EQ(aCases[3].pObject->GetPosition().y, 479.0381f) << "a pie still falls";
    EXPECT_EQ(vSounds, std::vector<int>(3, kSoundShipExplosion)) << "the ship bursts at each end";
    vSounds.clear();
    game.Play();
    cPie* pPie = Join(new cPie, 100, 100);
    cPowerup* pPowerup = Join(new cPowerupSC, 100, 100);
    for (int i = 0; i < 2; ++i) {
        pPie->Update(1, &game);
        pPowerup->Update(1, &game);
    }
    EXPECT_FLOAT_EQ(pPie->GetPosition().y + pPowerup->GetPosition().y, 200 + 2 * 0.1143f);
    // Rising by one step of gravity, each comes to rest right on the bottom line.
    pPie->vVelocity = pPowerup->vVelocity = cVector(0, -0.0381f, 0);
    for (cGameObject* pObject : std::vector<cGameObject*>{pPie, pPowerup}) {
        pObject->SetPosition(cVector(100, 480, 0));
        pObject->Update(1, &game);
        EXPECT_FALSE(pObject->bDelete) << "on the bottom line";
        pObject->Update(1, &game);
        EXPECT_TRUE(pObject->bDelete) << "past it";
    }
    EXPECT_TRUE(vSounds.empty() && game.IsPlaying() && !game.Banner.Showing(iTime));

    pShip->iSupercharger = 300;
    pShip->iSuperspeed = 50;
    cPowerup* pTaken = Join(new cPowerupSC, 320, 479);
    pTaken->Update(1, &game);
    EXPECT_TRUE(pShip->SC() == 1000 && pShip->SS() == 50 && pTaken->bDelete);
    EXPECT_FLOAT_EQ(pTaken->GetPosition().y, 479.0381f);
    EXPECT_EQ(game.Banner.Text(), "Super charger");
    Join(new cPowerupSS, 320, 479)->Update(1, &game);
    EXPECT_EQ(pShip->SS(), 1000);
    EXPECT_EQ(game.Banner.Text(), "Super speed");
    EXPECT_EQ(vSounds, (std::vector<int>{kSoundPowerup, kSoundPowerup}));
}

// A pie ends the game once its centre is a pixel into the ship's drawn column, never elsewhere.
TEST_F(cPlayingTest, APieEndsTheGameOnlyWhereItVisiblyLandsOnTheShip) {
    tBitmap pDrawn = Cleared(640, 480, makecol(255, 0, 255));
    pShip->Draw(pDrawn.get(), &game);
    const int iLeft = 320 - Sprite(kBitmapShip)->w / 2;
    int iTouching = 0;
    for (int x = iLeft - 1; x <= iLeft + Sprite(kBitmapShip)->w; ++x) {
        int iTop = 0;
        while (iTop < 480 && getpixel(pDrawn.get(), x, iTop) == makecol(255, 0, 255))
            ++iTop;
        for (float fDepth : {-0.5f, 0.5f}) {
            game.Play();
            Join(new cPie, x + 0.5f, std::min(iTop, 479) + fDepth)->Update(1, &game);
            const bool bEnds = iTop < 480 && fDepth > 0;
            ASSERT_EQ(GameIsOver(), bEnds) << "column " << x << " drawn from " << iTop;
            iTouching += bEnds;
        }
    }
    EXPECT_GT(iTouching, Sprite(kBitmapShip)->w / 2);
}

TEST_F(cPlayingTest, AnExplosionHasFiveToTwentyFourOneSecondParticles) {
    int iFewest = 100, iMost = 0;
    float fSlowest = 1, fFastest = 0;
    for (unsigned iSeed = 1; iSeed <= 300; ++iSeed) {
        srand(iSeed);
        cParticleEffect effect;
        effect.Init(1, 2, 0.5f, 0.8f, 5, 25);
        iFewest = std::min(iFewest, static_cast<int>(effect.Particles.size()));
        iMost = std::max(iMost, static_cast<int>(effect.Particles.size()));
        for (const cParticle* pParticle : effect.Particles) {
            EXPECT_TRUE(pParticle->iFrames == 1 && pParticle->iBitmap == 4 && !pParticle->bDead);
            EXPECT_TRUE(pParticle->iLastTime == iTime && pParticle->vPosition.Length() == 0);
            fSlowest = std::min(fSlowest, pParticle->vVelocity.Length());
            fFastest = std::max(fFastest, pParticle->vVelocity.Length());
        }
    }
    EXPECT_EQ(std::make_pair(iFewest, iMost), std::make_pair(5, 24));
    EXPECT_NEAR(fSlowest, 0.50, 1e-5);
    EXPECT_NEAR(fFastest, 0.79, 1e-5);
}

TEST_F(cPlayingTest, ParticlesFallOnTheClockAndTheEffectEndsWithTheLast) {
    cParticleEffect* pEffect = Join(new cParticleEffect, 200, 100);
    for (int iFrames : {1, 1, 2}) {
        pEffect->Particles.push_back(new cParticle);
        pEffect->Particles.back()->vVelocity = cVector(0.25f, 0, 0);
        pEffect->Particles.back()->iFrames = iFrames;
        pEffect->Particles.back()->iLastTime = iTime;
    }
    cParticle* pLasting = pEffect->Particles.back();
    iTime += 10;
    pEffect->Update(1, &game);
    EXPECT_FLOAT_EQ(pLasting->vVelocity.y, 0.281f);
    EXPECT_FLOAT_EQ(pLasting->vPosition.y, 2.81f);
    EXPECT_FLOAT_EQ(pLasting->vPosition.x, 2.5f);
    iTime += 89;
    pEffect->Update(1, &game);
    EXPECT_EQ(pEffect->Particles.size(), 3u) << "99 ticks are not yet a frame";
    iTime += 1;
    pEffect->Update(1, &game);
    EXPECT_EQ(pEffect->Particles, std::vector<cParticle*>{pLasting});
    EXPECT_FALSE(pEffect->bDelete);
    // A pause leaves the particle's clock behind: the whole gap passes in one update.
    iTime += 250;
    pEffect->Update(1, &game);
    EXPECT_TRUE(pEffect->Particles.empty() && pEffect->bDelete);
}

// Each kind places its sprite by its own point, truncated; without a sprite it draws nothing.
TEST_F(cPlayingTest, EachKindPlacesItsSpriteByItsOwnPoint) {
    pShip->SetPosition(cVector(0.9f, 386.5f, 0));
    cMonster* pMonster = Join(new cMonster, 106.6f, 50.5f);
    pMonster->vOffset = cVector(-3.7f, 2.9f, 0);
    cParticleEffect* pEffect = Join(new cParticleEffect, 100.5f, 50);
    pEffect->Particles.push_back(new cParticle);
    pEffect->Particles[0]->iBitmap = kBitmapParticle;
    pEffect->Particles[0]->vPosition = cVector(-3.2f, 4.6f, 0);
    const struct {
        cGameObject* pObject;
        int iBitmap, x, y;
    } aCases[] = {
        {Join(new cBullet, -0.7f, 10.9f), kBitmapBullet, 0, 10},
        {pShip, kBitmapShip, -(Sprite(kBitmapShip)->w / 2), 386},
        {pMonster, kBitmapMonsterHeavy, 103 - Sprite(kBitmapMonsterHeavy)->w / 2, 52},
        {Join(new cPowerupSS, Sprite(kBitmapSuperSpeed)->w / 2 - 0.5f,
              Sprite(kBitmapSuperSpeed)->h / 2 + 20.5f),
         kBitmapSuperSpeed, -1, 20},
        {pEffect, kBitmapParticle, int(97.3f - Sprite(kBitmapParticle)->w / 2),
         int(54.6f - Sprite(kBitmapParticle)->h / 2)},
        {Join(new cPie, Sprite(kBitmapPie)->w / 2 - 0.5f, Sprite(kBitmapPie)->h / 2 + 20.5f),
         kBitmapPie, 0, 20},
    };
    for (const auto& Case : aCases) {
        Case.pObject->SetBitmap(Case.iBitmap);
        EXPECT_EQ(Misdrawn(game, Case.pObject, Sprite(Case.iBitmap), Case.x, Case.y), 0)
            << typeid(*Case.pObject).name();
        Case.pObject->SetBitmap(999);
    }
    pEffect->Particles[0]->iBitmap = 999;
    for (const auto& Case : aCases)
        EXPECT_EQ(Misdrawn(game, Case.pObject,
                           Case.iBitmap == kBitmapPie ? Sprite(kBitmapPie) : nullptr, 0, 20),
                  0);
    aCases[0].pObject->SetPosition(pShip->GetPosition());
    EXPECT_FALSE(pShip->Collides(aCases[0].pObject, &game)) << "no picture, nothing hits";
}

// A point turns about the origin in the plane, z dropped, and stays as it was itself.
TEST(Vector, RotatesAPointInThePlaneAndSumsAList) {
    const struct {
        cVector v;
        float fAngle, x, y;
    } aCases[] = {{{1, 0, 5}, M_PI / 2, 0, 1},
                  {{0, 2, 0}, M_PI / 2, -2, 0},
                  {{3, 4, 1}, M_PI, -3, -4},
                  {{3, -4, 0}, 0, 3, -4}};
    for (const auto& Case : aCases) {
        cVector v = Case.v;
        const cVector r = RotatePoint(v, Case.fAngle);
        EXPECT_NEAR(r.x, Case.x, 1e-6) << Case.v.x << "," << Case.v.y;
        EXPECT_NEAR(r.y, Case.y, 1e-6) << Case.v.x << "," << Case.v.y;
        EXPECT_TRUE(r.z == 0 && v.x == Case.v.x && v.y == Case.v.y && v.z == Case.v.z);
    }
    const cVector sum = SumarizeVectors({{1, 2, 3}, {-1, 1, 1}});
    EXPECT_TRUE(sum.x == 0 && sum.y == 3 && sum.z == 4 && SumarizeVectors({}).x == 0);
}
