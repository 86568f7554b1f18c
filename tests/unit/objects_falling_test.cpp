#include <algorithm>
#include <cstdlib>

#include "core/main.h"
#include "objects/cParticleEffect.h"
#include "objects/cPie.h"
#include "objects/cPowerup.h"
#include "support/GameTest.h"

TEST_F(cPlayingTest, PiesAndPowerupsFallFromRestAndLeaveOnlyPastTheBottom) {
    cPie* pPie = Join(new cPie, 100, 100);
    cPowerup* pPowerup = Join(new cPowerupSC, 200, 100);
    for (cGameObject* pObject : std::vector<cGameObject*>{pPie, pPowerup}) {
        pObject->Update(1, &game);
        pObject->Update(1, &game);
        EXPECT_FLOAT_EQ(pObject->GetPosition().y, 100 + 0.0381f + 0.0762f);
    }
    // Rising by one step of gravity, each comes to rest right on the bottom line.
    pPie->vVelocity = pPowerup->vVelocity = cVector(0, -0.0381f, 0);
    for (cGameObject* pObject : std::vector<cGameObject*>{pPie, pPowerup}) {
        pObject->SetPosition(cVector(100, 480, 0));
        pObject->Update(1, &game);
        EXPECT_FALSE(pObject->bDelete) << "on the bottom line";
        pObject->Update(1, &game);
        EXPECT_TRUE(pObject->bDelete) << "past it";
    }
    EXPECT_TRUE(game.IsPlaying());
    EXPECT_TRUE(vSounds.empty());
}

TEST_F(cPlayingTest, APieOnTheShipEndsTheGameAndStillFalls) {
    cPie* pPie = Join(new cPie, 320, 479);
    pPie->Update(1, &game);
    EXPECT_TRUE(pPie->bDelete && GameIsOver());
    EXPECT_FLOAT_EQ(pPie->GetPosition().y, 479.0381f);
}

TEST_F(cPlayingTest, APowerupTakenRefillsOnlyItsOwnChargeAndPlaysItsSound) {
    pShip->iSupercharger = 300;
    pShip->iSuperspeed = 50;
    cPowerup* pSC = Join(new cPowerupSC, 320, 479);
    pSC->Update(1, &game);
    EXPECT_EQ(pShip->SC(), 1000);
    EXPECT_EQ(pShip->SS(), 50);
    EXPECT_TRUE(pSC->bDelete);
    EXPECT_FLOAT_EQ(pSC->GetPosition().y, 479.0381f);
    Join(new cPowerupSS, 320, 479)->Update(1, &game);
    EXPECT_EQ(pShip->SS(), 1000);
    EXPECT_EQ(vSounds, (std::vector<int>{2, 2}));
    EXPECT_TRUE(game.IsPlaying());
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
            EXPECT_TRUE(pParticle->iFrames == 1 && pParticle->iBitmap == 4);
            EXPECT_TRUE(pParticle->iLastTime == iTime && pParticle->vPosition.Length() == 0);
            fSlowest = std::min(fSlowest, pParticle->vVelocity.Length());
            fFastest = std::max(fFastest, pParticle->vVelocity.Length());
        }
    }
    EXPECT_EQ(iFewest, 5);
    EXPECT_EQ(iMost, 24);
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
